// The SDL shell's gamepads; see sdl_gamepad.h. SDL's game-controller layout names the same
// buttons as the standard mapping (A is the bottom face button, Back the left middle one), so
// reading a controller is a table from one numbering to the other. Start has no key: the SDL
// shell runs at once and has nothing to start.
#include "app/sdl/gamepad.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/key_table.h"
#include "app/pad_keys.h"

namespace {

constexpr struct {
  SDL_GameControllerButton sdl;
  int pad;
} kButtons[] = {{SDL_CONTROLLER_BUTTON_A, kPadA},
                {SDL_CONTROLLER_BUTTON_BACK, kPadBack},
                {SDL_CONTROLLER_BUTTON_START, kPadStart},
                {SDL_CONTROLLER_BUTTON_DPAD_UP, kPadUp},
                {SDL_CONTROLLER_BUTTON_DPAD_LEFT, kPadLeft},
                {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, kPadRight}};

// SDL reports a trigger from 0 (at rest) to 32767. An eighth of the travel counts as a press: a
// light pull drives, a worn trigger's drift at rest does not.
constexpr Sint16 kTriggerPressed = SDL_JOYSTICK_AXIS_MAX / 8;

std::vector<SDL_GameController*> g_pads;
bool g_backPressed = false;  // a press of Back the next poll has not yet seen
// While the window lacks the focus the pads hold nothing, as the shell's ClearKeys left it; what
// they still hold when it returns differs from g_held again and is pressed anew.
bool g_focused = true;
PadKeys g_held;  // what the pads hold in the key table

void Open(int deviceIndex) {
  SDL_GameController* pad = SDL_GameControllerOpen(deviceIndex);
  if (pad == nullptr) return;
  // A controller present at start-up can be announced twice (once by the start-up scan, once as
  // it is plugged in); SDL then hands out the same one again, with one more reference.
  if (std::find(g_pads.begin(), g_pads.end(), pad) != g_pads.end()) {
    SDL_GameControllerClose(pad);
  } else {
    g_pads.push_back(pad);
  }
}

void Close(SDL_JoystickID instance) {
  auto gone = std::find_if(g_pads.begin(), g_pads.end(), [instance](SDL_GameController* pad) {
    return SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad)) == instance;
  });
  if (gone == g_pads.end()) return;
  SDL_GameControllerClose(*gone);
  g_pads.erase(gone);
}

void Read(SDL_GameController* pad, PadState& state) {
  for (const auto& b : kButtons) {
    if (SDL_GameControllerGetButton(pad, b.sdl)) state.pressed[b.pad] = true;
  }
  if (SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT) > kTriggerPressed) {
    state.pressed[kPadRightTrigger] = true;
  }
  // -32768..32767, so full left is a hair past -1.
  const float x = std::max(-1.0f, SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX) /
                                      float{SDL_JOYSTICK_AXIS_MAX});
  if (std::fabs(x) > std::fabs(state.stickX)) state.stickX = x;
}

}  // namespace

void HandlePadEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
      Open(event.cdevice.which);  // a device index here, an instance id below
      break;
    case SDL_CONTROLLERDEVICEREMOVED:
      Close(event.cdevice.which);
      break;
    case SDL_CONTROLLERBUTTONDOWN:
      if (event.cbutton.button == SDL_CONTROLLER_BUTTON_BACK) g_backPressed = true;
      break;
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) g_focused = false;
      if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) g_focused = true;
      break;
    default:
      break;
  }
}

void PollPads() {
  PadState state;
  if (g_focused) {
    for (SDL_GameController* pad : g_pads) Read(pad, state);
    if (g_backPressed) state.pressed[kPadBack] = true;
  }
  g_backPressed = false;
  const PadKeys now = KeysOfPad(state);
  ApplyPadKeys(g_held, now);
  g_held = now;
}

void ClosePads() {
  for (SDL_GameController* pad : g_pads) SDL_GameControllerClose(pad);
  g_pads.clear();
  ReleaseKeysFrom(kGamepad);
  g_held = PadKeys();
  g_backPressed = false;
  g_focused = true;
}
