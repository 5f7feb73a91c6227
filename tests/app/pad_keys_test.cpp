// Gamepads as keys: the standard buttons and the stick's dead zone, and a pad that lets go (or
// goes away) releasing only its own holds.
#include "app/pad_keys.h"

#include <gtest/gtest.h>

#include "app/key_table.h"

namespace {

PadKeys Press(int button, float stickX = 0) {
  PadState pad;
  if (button >= 0) pad.pressed[button] = true;
  pad.stickX = stickX;
  return KeysOfPad(pad);
}

TEST(PadKeys, StandardButtonsAndTheStickMapToTheArrowsBackAndStart) {
  for (int b : {kPadA, kPadRightTrigger, kPadUp}) EXPECT_TRUE(Press(b).up) << b;
  EXPECT_TRUE(Press(kPadLeft).left);
  EXPECT_TRUE(Press(kPadRight).right);
  EXPECT_TRUE(Press(kPadBack).quit);
  EXPECT_TRUE(Press(kPadStart).start);
  for (int b = 0; b < kPadButtonCount; ++b) {
    const PadKeys k = Press(b);
    const int held = k.up + k.left + k.right + k.quit + k.start;
    EXPECT_EQ(held, b == kPadA || b == kPadRightTrigger || b == kPadUp || b == kPadLeft ||
                        b == kPadRight || b == kPadBack || b == kPadStart)
        << b;
  }
  EXPECT_FALSE(Press(-1, -0.5f).left);  // the dead zone's edge is still at rest
  EXPECT_TRUE(Press(-1, -0.51f).left);
  EXPECT_FALSE(Press(-1, 0.5f).right);
  EXPECT_TRUE(Press(-1, 0.51f).right);
}

TEST(PadKeys, APadReleasesOnlyWhatItHeld) {
  ClearKeys();
  SetKey(kKeyUp, 1);
  const PadKeys none;
  const PadKeys driving = Press(kPadA, -1);
  ApplyPadKeys(none, driving);
  EXPECT_NE(g_keys[kKeyUp], 0);
  EXPECT_NE(g_keys[kKeyLeft], 0);
  ApplyPadKeys(driving, none);  // let go, or unplugged
  EXPECT_NE(g_keys[kKeyUp], 0) << "the keyboard still holds up";
  EXPECT_EQ(g_keys[kKeyLeft], 0);
  ApplyPadKeys(none, Press(kPadBack));
  EXPECT_TRUE(TakeEscape());
  ClearKeys();
  TakeEscape();
}

}  // namespace
