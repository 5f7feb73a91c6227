// The SDL shell's gamepads, driven through SDL's real game-controller code by a virtual pad:
// plugged in, read each pass, unplugged mid-hold, and a Back tap that lasts less than a drain.
#include "app/sdl/gamepad.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include "app/key_table.h"

namespace {

class SdlGamepadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearKeys();
    ASSERT_EQ(SDL_Init(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
    SDL_VirtualJoystickDesc desc = {};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = "virtual pad";
    device_ = SDL_JoystickAttachVirtualEx(&desc);
    ASSERT_GE(device_, 0) << SDL_GetError();
    ASSERT_TRUE(SDL_IsGameController(device_)) << "no controller mapping for the virtual pad";
    joystick_ = SDL_JoystickOpen(device_);
    ASSERT_NE(joystick_, nullptr) << SDL_GetError();
  }

  void TearDown() override {
    ClosePads();
    if (joystick_ != nullptr) SDL_JoystickClose(joystick_);
    SDL_Quit();
    ClearKeys();
    TakeEscape();
  }

  // One pass of the shell's loop, as far as keys go: the events drained, then the pads polled.
  static void Pass() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) HandlePadEvent(event);
    PollPads();
  }

  // The virtual pad's buttons and axes are numbered as the controller's, its mapping being made
  // from the description above.
  void Button(SDL_GameControllerButton button, bool down) {
    SDL_JoystickSetVirtualButton(joystick_, button, down ? SDL_PRESSED : SDL_RELEASED);
  }
  void Axis(SDL_GameControllerAxis axis, int value) {
    SDL_JoystickSetVirtualAxis(joystick_, axis, static_cast<Sint16>(value));
  }

  static void Focus(Uint8 change) {
    SDL_Event event = {};
    event.type = SDL_WINDOWEVENT;
    event.window.event = change;
    HandlePadEvent(event);
  }

  int device_ = -1;
  SDL_Joystick* joystick_ = nullptr;
};

TEST_F(SdlGamepadTest, APadDrivesUntilItIsUnpluggedAndReleasesOnlyItsOwnHolds) {
  Pass();  // its arrival: opened, and at rest it holds nothing
  for (int key : {kKeyUp, kKeyLeft, kKeyRight, kKeyEscape}) EXPECT_EQ(g_keys[key], 0) << key;

  SetKey(kKeyUp, 1);
  Button(SDL_CONTROLLER_BUTTON_A, true);
  Axis(SDL_CONTROLLER_AXIS_LEFTX, SDL_JOYSTICK_AXIS_MIN);
  Pass();
  EXPECT_EQ(g_keys[kKeyUp], kKeyboard | kGamepad);
  EXPECT_EQ(g_keys[kKeyLeft], kGamepad);

  // The trigger drives instead of A, the stick back inside its dead zone, the d-pad turns.
  Button(SDL_CONTROLLER_BUTTON_A, false);
  Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, SDL_JOYSTICK_AXIS_MAX);
  Axis(SDL_CONTROLLER_AXIS_LEFTX, -SDL_JOYSTICK_AXIS_MAX * 2 / 5);
  Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
  Pass();
  EXPECT_EQ(g_keys[kKeyUp], kKeyboard | kGamepad);
  EXPECT_EQ(g_keys[kKeyLeft], 0);
  EXPECT_EQ(g_keys[kKeyRight], kGamepad);

  // The shell releases every key when the window loses the focus; the pad stays quiet until the
  // focus is back, then what it still holds is held again.
  Focus(SDL_WINDOWEVENT_FOCUS_LOST);
  ClearKeys();
  Pass();
  EXPECT_EQ(g_keys[kKeyUp], 0);
  EXPECT_EQ(g_keys[kKeyRight], 0);
  Focus(SDL_WINDOWEVENT_FOCUS_GAINED);
  SetKey(kKeyUp, 1);
  Pass();
  EXPECT_EQ(g_keys[kKeyUp], kKeyboard | kGamepad);
  EXPECT_EQ(g_keys[kKeyRight], kGamepad);

  ASSERT_EQ(SDL_JoystickDetachVirtual(device_), 0) << SDL_GetError();
  Pass();
  EXPECT_EQ(g_keys[kKeyUp], kKeyboard) << "the keyboard still holds up";
  EXPECT_EQ(g_keys[kKeyRight], 0);
}

TEST_F(SdlGamepadTest, BackEndsTheDemoHeldOrTappedWithinOneDrain) {
  Pass();
  Button(SDL_CONTROLLER_BUTTON_BACK, true);
  Pass();
  EXPECT_EQ(g_keys[kKeyEscape], kGamepad);
  Button(SDL_CONTROLLER_BUTTON_BACK, false);
  Pass();
  EXPECT_EQ(g_keys[kKeyEscape], 0);
  TakeEscape();

  Button(SDL_CONTROLLER_BUTTON_BACK, true);
  SDL_PumpEvents();  // the press is queued ...
  Button(SDL_CONTROLLER_BUTTON_BACK, false);
  Pass();  // ... and its release comes in the same drain
  EXPECT_TRUE(TakeEscape());
  Pass();
  EXPECT_EQ(g_keys[kKeyEscape], 0);
  EXPECT_FALSE(TakeEscape()) << "one tap, one quit";
}

}  // namespace
