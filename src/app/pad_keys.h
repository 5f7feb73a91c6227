// Gamepads as keys: what a pad in the standard mapping holds, and how the held set reaches the key
// table. The page reads its pads through the Gamepad API and the SDL shell through its game
// controllers; both fill a PadState in the same layout. Portable: no window-system type here.
#pragma once

// The standard mapping's numbering (the W3C Gamepad layout).
constexpr int kPadA = 0;
constexpr int kPadRightTrigger = 7;
constexpr int kPadBack = 8;
constexpr int kPadStart = 9;
constexpr int kPadUp = 12;
constexpr int kPadLeft = 14;
constexpr int kPadRight = 15;
constexpr int kPadButtonCount = 17;

// One poll of every pad taken together: a button is pressed when any pad presses it.
struct PadState {
  bool pressed[kPadButtonCount] = {};
  float stickX = 0;  // the left stick's x, -1 (left) to 1; the pad whose stick is furthest out
};

struct PadKeys {
  bool up = false;     // A, the right trigger or the d-pad's up
  bool left = false;   // the d-pad's left or the stick past -0.5
  bool right = false;  // the d-pad's right or the stick past 0.5
  bool quit = false;   // Back/Select, as Escape
  bool start = false;  // Start: begins the demo where it waits to be started
};

PadKeys KeysOfPad(const PadState& pad);

// Gives the key table the pads' keys: presses and releases by the kGamepad source only, for the
// keys that changed since `before`, so the keyboard's and touch's holds are left as they are.
void ApplyPadKeys(const PadKeys& before, const PadKeys& now);
