// Gamepads as keys; see pad_keys.h.
#include "app/pad_keys.h"

#include "app/key_table.h"

namespace {

constexpr float kStickDeadZone = 0.5f;

}  // namespace

PadKeys KeysOfPad(const PadState& pad) {
  const bool* p = pad.pressed;
  PadKeys keys;
  keys.up = p[kPadA] || p[kPadRightTrigger] || p[kPadUp];
  keys.left = p[kPadLeft] || pad.stickX < -kStickDeadZone;
  keys.right = p[kPadRight] || pad.stickX > kStickDeadZone;
  keys.quit = p[kPadBack];
  keys.start = p[kPadStart];
  return keys;
}

void ApplyPadKeys(const PadKeys& before, const PadKeys& now) {
  const struct {
    bool was, is;
    int code;
  } changes[] = {{before.up, now.up, kKeyUp},
                 {before.left, now.left, kKeyLeft},
                 {before.right, now.right, kKeyRight},
                 {before.quit, now.quit, kKeyEscape}};
  for (const auto& c : changes) {
    if (c.was != c.is) SetKeyFrom(kGamepad, static_cast<unsigned>(c.code), c.is);
  }
}
