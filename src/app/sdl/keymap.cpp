// SDL keycode and scancode -> Windows virtual-key code; see sdl_keymap.h.
#include "app/sdl/keymap.h"

#include <SDL_keycode.h>
#include <SDL_scancode.h>

namespace {

// Windows virtual-key codes by SDL scancode (the USB HID usage of the key's position), for every
// position that has a Windows code; 0 elsewhere.
struct ScancodeKey {
  SDL_Scancode scancode;
  int windowsKey;
};
constexpr ScancodeKey kScancodeKeys[] = {
    {SDL_SCANCODE_1, '1'},
    {SDL_SCANCODE_2, '2'},
    {SDL_SCANCODE_3, '3'},
    {SDL_SCANCODE_4, '4'},
    {SDL_SCANCODE_5, '5'},
    {SDL_SCANCODE_6, '6'},
    {SDL_SCANCODE_7, '7'},
    {SDL_SCANCODE_8, '8'},
    {SDL_SCANCODE_9, '9'},
    {SDL_SCANCODE_0, '0'},
    {SDL_SCANCODE_RETURN, 0x0D},        // VK_RETURN
    {SDL_SCANCODE_ESCAPE, 0x1B},        // VK_ESCAPE
    {SDL_SCANCODE_BACKSPACE, 0x08},     // VK_BACK
    {SDL_SCANCODE_TAB, 0x09},           // VK_TAB
    {SDL_SCANCODE_SPACE, 0x20},         // VK_SPACE
    {SDL_SCANCODE_MINUS, 0xBD},         // VK_OEM_MINUS
    {SDL_SCANCODE_EQUALS, 0xBB},        // VK_OEM_PLUS
    {SDL_SCANCODE_LEFTBRACKET, 0xDB},   // VK_OEM_4
    {SDL_SCANCODE_RIGHTBRACKET, 0xDD},  // VK_OEM_6
    {SDL_SCANCODE_BACKSLASH, 0xDC},     // VK_OEM_5
    {SDL_SCANCODE_NONUSHASH, 0xDC},     // VK_OEM_5 (the ISO key left of Return)
    {SDL_SCANCODE_SEMICOLON, 0xBA},     // VK_OEM_1
    {SDL_SCANCODE_APOSTROPHE, 0xDE},    // VK_OEM_7
    {SDL_SCANCODE_GRAVE, 0xC0},         // VK_OEM_3
    {SDL_SCANCODE_COMMA, 0xBC},         // VK_OEM_COMMA
    {SDL_SCANCODE_PERIOD, 0xBE},        // VK_OEM_PERIOD
    {SDL_SCANCODE_SLASH, 0xBF},         // VK_OEM_2
    {SDL_SCANCODE_CAPSLOCK, 0x14},      // VK_CAPITAL
    {SDL_SCANCODE_F1, 0x70},            // VK_F1 .. VK_F12
    {SDL_SCANCODE_F2, 0x71},
    {SDL_SCANCODE_F3, 0x72},
    {SDL_SCANCODE_F4, 0x73},
    {SDL_SCANCODE_F5, 0x74},
    {SDL_SCANCODE_F6, 0x75},
    {SDL_SCANCODE_F7, 0x76},
    {SDL_SCANCODE_F8, 0x77},
    {SDL_SCANCODE_F9, 0x78},
    {SDL_SCANCODE_F10, 0x79},
    {SDL_SCANCODE_F11, 0x7A},
    {SDL_SCANCODE_F12, 0x7B},
    {SDL_SCANCODE_PRINTSCREEN, 0x2C},   // VK_SNAPSHOT
    {SDL_SCANCODE_SCROLLLOCK, 0x91},    // VK_SCROLL
    {SDL_SCANCODE_PAUSE, 0x13},         // VK_PAUSE
    {SDL_SCANCODE_INSERT, 0x2D},        // VK_INSERT
    {SDL_SCANCODE_HOME, 0x24},          // VK_HOME
    {SDL_SCANCODE_PAGEUP, 0x21},        // VK_PRIOR
    {SDL_SCANCODE_DELETE, 0x2E},        // VK_DELETE
    {SDL_SCANCODE_END, 0x23},           // VK_END
    {SDL_SCANCODE_PAGEDOWN, 0x22},      // VK_NEXT
    {SDL_SCANCODE_RIGHT, 0x27},         // VK_RIGHT
    {SDL_SCANCODE_LEFT, 0x25},          // VK_LEFT
    {SDL_SCANCODE_DOWN, 0x28},          // VK_DOWN
    {SDL_SCANCODE_UP, 0x26},            // VK_UP
    {SDL_SCANCODE_NUMLOCKCLEAR, 0x90},  // VK_NUMLOCK
    {SDL_SCANCODE_KP_DIVIDE, 0x6F},     // VK_DIVIDE
    {SDL_SCANCODE_KP_MULTIPLY, 0x6A},   // VK_MULTIPLY
    {SDL_SCANCODE_KP_MINUS, 0x6D},      // VK_SUBTRACT
    {SDL_SCANCODE_KP_PLUS, 0x6B},       // VK_ADD
    {SDL_SCANCODE_KP_ENTER, 0x0D},      // VK_RETURN, as Windows reports it
    {SDL_SCANCODE_KP_1, 0x61},          // VK_NUMPAD1 .. VK_NUMPAD9
    {SDL_SCANCODE_KP_2, 0x62},
    {SDL_SCANCODE_KP_3, 0x63},
    {SDL_SCANCODE_KP_4, 0x64},
    {SDL_SCANCODE_KP_5, 0x65},
    {SDL_SCANCODE_KP_6, 0x66},
    {SDL_SCANCODE_KP_7, 0x67},
    {SDL_SCANCODE_KP_8, 0x68},
    {SDL_SCANCODE_KP_9, 0x69},
    {SDL_SCANCODE_KP_0, 0x60},            // VK_NUMPAD0
    {SDL_SCANCODE_KP_PERIOD, 0x6E},       // VK_DECIMAL
    {SDL_SCANCODE_NONUSBACKSLASH, 0xE2},  // VK_OEM_102
    {SDL_SCANCODE_APPLICATION, 0x5D},     // VK_APPS
    {SDL_SCANCODE_F13, 0x7C},             // VK_F13 .. VK_F24
    {SDL_SCANCODE_F14, 0x7D},
    {SDL_SCANCODE_F15, 0x7E},
    {SDL_SCANCODE_F16, 0x7F},
    {SDL_SCANCODE_F17, 0x80},
    {SDL_SCANCODE_F18, 0x81},
    {SDL_SCANCODE_F19, 0x82},
    {SDL_SCANCODE_F20, 0x83},
    {SDL_SCANCODE_F21, 0x84},
    {SDL_SCANCODE_F22, 0x85},
    {SDL_SCANCODE_F23, 0x86},
    {SDL_SCANCODE_F24, 0x87},
    {SDL_SCANCODE_HELP, 0x2F},        // VK_HELP
    {SDL_SCANCODE_SELECT, 0x29},      // VK_SELECT
    {SDL_SCANCODE_MUTE, 0xAD},        // VK_VOLUME_MUTE
    {SDL_SCANCODE_VOLUMEUP, 0xAF},    // VK_VOLUME_UP
    {SDL_SCANCODE_VOLUMEDOWN, 0xAE},  // VK_VOLUME_DOWN
    {SDL_SCANCODE_KP_COMMA, 0x6C},    // VK_SEPARATOR
    {SDL_SCANCODE_CLEAR, 0x0C},       // VK_CLEAR
    {SDL_SCANCODE_LCTRL, 0x11},       // VK_CONTROL
    {SDL_SCANCODE_LSHIFT, 0x10},      // VK_SHIFT
    {SDL_SCANCODE_LALT, 0x12},        // VK_MENU
    {SDL_SCANCODE_LGUI, 0x5B},        // VK_LWIN
    {SDL_SCANCODE_RCTRL, 0x11},       // VK_CONTROL
    {SDL_SCANCODE_RSHIFT, 0x10},      // VK_SHIFT
    {SDL_SCANCODE_RALT, 0x12},        // VK_MENU
    {SDL_SCANCODE_RGUI, 0x5C},        // VK_RWIN
    {SDL_SCANCODE_AUDIONEXT, 0xB0},   // VK_MEDIA_NEXT_TRACK
    {SDL_SCANCODE_AUDIOPREV, 0xB1},   // VK_MEDIA_PREV_TRACK
    {SDL_SCANCODE_AUDIOSTOP, 0xB2},   // VK_MEDIA_STOP
    {SDL_SCANCODE_AUDIOPLAY, 0xB3},   // VK_MEDIA_PLAY_PAUSE
    {SDL_SCANCODE_SLEEP, 0x5F},       // VK_SLEEP
};

int WindowsKeyAt(int scancode) {
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
    return 'A' + (scancode - SDL_SCANCODE_A);
  }
  for (const ScancodeKey& entry : kScancodeKeys) {
    if (entry.scancode == scancode) return entry.windowsKey;
  }
  return 0;
}

}  // namespace

int WindowsKeyFromSdl(std::int32_t keycode, int scancode) {
  // Keys the layout names by a control character: honour the layout (a Caps Lock remapped to
  // Escape is Escape).
  switch (keycode) {
    case SDLK_ESCAPE:
      return 0x1B;
    case SDLK_RETURN:
      return 0x0D;
    case SDLK_BACKSPACE:
      return 0x08;
    case SDLK_TAB:
      return 0x09;
    case SDLK_SPACE:
      return 0x20;
    case SDLK_DELETE:
      return 0x2E;
    default:
      break;
  }
  // Keys without a character (arrows, F-keys, modifiers, keypad...) carry their scancode in the
  // keycode; that is the key the layout means.
  if (keycode & SDLK_SCANCODE_MASK) return WindowsKeyAt(keycode & ~SDLK_SCANCODE_MASK);
  // Letters follow the layout, as Windows virtual keys do.
  if (keycode >= 'a' && keycode <= 'z') return 'A' + (keycode - 'a');
  // Every other character key (digits, punctuation, letters of non-Latin layouts) by position.
  return WindowsKeyAt(scancode);
}
