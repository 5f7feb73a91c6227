// The SDL border of the key table: SDL's keys become the Windows virtual-key codes the Win32
// shell would have received, always below 256.
#include "app/sdl/keymap.h"

#include <SDL_keycode.h>
#include <SDL_scancode.h>
#include <gtest/gtest.h>

#include "app/key_table.h"

namespace {

// The key as SDL reports it with a US layout: the keycode of the key at that position.
int UsKey(SDL_Keycode keycode, SDL_Scancode scancode) {
  return WindowsKeyFromSdl(keycode, scancode);
}

TEST(SdlKeymapTest, TheLoopsKeysGetTheirWindowsCodes) {
  EXPECT_EQ(UsKey(SDLK_LEFT, SDL_SCANCODE_LEFT), kKeyLeft);        // 37
  EXPECT_EQ(UsKey(SDLK_UP, SDL_SCANCODE_UP), kKeyUp);              // 38
  EXPECT_EQ(UsKey(SDLK_RIGHT, SDL_SCANCODE_RIGHT), kKeyRight);     // 39
  EXPECT_EQ(UsKey(SDLK_DOWN, SDL_SCANCODE_DOWN), kKeyDown);        // 40
  EXPECT_EQ(UsKey(SDLK_ESCAPE, SDL_SCANCODE_ESCAPE), kKeyEscape);  // 27
}

TEST(SdlKeymapTest, OtherKeysGetTheCodesWindowsGivesThem) {
  EXPECT_EQ(UsKey(SDLK_RETURN, SDL_SCANCODE_RETURN), 0x0D);
  EXPECT_EQ(UsKey(SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER), 0x0D);
  EXPECT_EQ(UsKey(SDLK_SPACE, SDL_SCANCODE_SPACE), 0x20);
  EXPECT_EQ(UsKey(SDLK_F1, SDL_SCANCODE_F1), 0x70);
  EXPECT_EQ(UsKey(SDLK_F12, SDL_SCANCODE_F12), 0x7B);
  EXPECT_EQ(UsKey(SDLK_HOME, SDL_SCANCODE_HOME), 0x24);
  EXPECT_EQ(UsKey(SDLK_KP_5, SDL_SCANCODE_KP_5), 0x65);  // VK_NUMPAD5
  EXPECT_EQ(UsKey(SDLK_z, SDL_SCANCODE_Z), 'Z');
  EXPECT_EQ(UsKey(SDLK_7, SDL_SCANCODE_7), '7');
  EXPECT_EQ(UsKey(SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON), 0xBA);  // VK_OEM_1
}

TEST(SdlKeymapTest, BothShiftsCtrlsAndAltsGiveTheGenericCodesOfKeyMessages) {
  EXPECT_EQ(UsKey(SDLK_LSHIFT, SDL_SCANCODE_LSHIFT), 0x10);
  EXPECT_EQ(UsKey(SDLK_RSHIFT, SDL_SCANCODE_RSHIFT), 0x10);
  EXPECT_EQ(UsKey(SDLK_LCTRL, SDL_SCANCODE_LCTRL), 0x11);
  EXPECT_EQ(UsKey(SDLK_RCTRL, SDL_SCANCODE_RCTRL), 0x11);
  EXPECT_EQ(UsKey(SDLK_LALT, SDL_SCANCODE_LALT), 0x12);
  EXPECT_EQ(UsKey(SDLK_RALT, SDL_SCANCODE_RALT), 0x12);
}

TEST(SdlKeymapTest, LettersFollowTheLayout) {
  // AZERTY: the key at the US "Q" position types "a", and Windows reports VK 'A'.
  EXPECT_EQ(WindowsKeyFromSdl(SDLK_a, SDL_SCANCODE_Q), 'A');
}

TEST(SdlKeymapTest, OtherCharacterKeysGoByPosition) {
  // AZERTY's "1" key types "&"; Windows still reports VK '1'.
  EXPECT_EQ(WindowsKeyFromSdl('&', SDL_SCANCODE_1), '1');
  // A Cyrillic layout's key at the "A" position types U+0444; Windows reports VK 'A'.
  EXPECT_EQ(WindowsKeyFromSdl(0x0444, SDL_SCANCODE_A), 'A');
}

TEST(SdlKeymapTest, ARemappedEscapeIsEscape) {
  // Caps Lock made Escape by the layout: the key means Escape, as Windows would report it.
  EXPECT_EQ(WindowsKeyFromSdl(SDLK_ESCAPE, SDL_SCANCODE_CAPSLOCK), kKeyEscape);
  // And an arrow named by the layout wins over the key's position.
  EXPECT_EQ(WindowsKeyFromSdl(SDLK_UP, SDL_SCANCODE_KP_8), kKeyUp);
}

TEST(SdlKeymapTest, KeysWithoutAWindowsCodeGiveZero) {
  EXPECT_EQ(WindowsKeyFromSdl(SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN), 0);
  EXPECT_EQ(UsKey(SDLK_BRIGHTNESSUP, SDL_SCANCODE_BRIGHTNESSUP), 0);
}

TEST(SdlKeymapTest, EveryKeyMapsBelow256) {
  for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
    SDL_Keycode keycode = SDL_SCANCODE_TO_KEYCODE(scancode);
    int key = WindowsKeyFromSdl(keycode, scancode);
    EXPECT_GE(key, 0) << scancode;
    EXPECT_LT(key, kKeyCount) << scancode;
  }
}

}  // namespace
