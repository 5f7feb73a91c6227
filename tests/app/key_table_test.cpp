// The key table: one entry per code below 256, codes beyond ignored, all released at once.
#include "app/key_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

namespace {

class KeyTableTest : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
  static void Reset() {
    ClearKeys();
    TakeEscape();
  }
  static int HeldCount() { return static_cast<int>(std::count(g_keys, g_keys + kKeyCount, 1)); }
};

TEST_F(KeyTableTest, PressAndReleaseLandInTheKeysOwnEntry) {
  SetKey(kKeyUp, 1);
  EXPECT_EQ(g_keys[kKeyUp], 1);
  EXPECT_EQ(HeldCount(), 1);
  SetKey(kKeyUp, 0);
  EXPECT_EQ(g_keys[kKeyUp], 0);
  EXPECT_EQ(HeldCount(), 0);
}

TEST_F(KeyTableTest, EveryCodeBelow256HasItsOwnEntry) {
  for (int code = 0; code < kKeyCount; ++code) {
    SetKey(static_cast<std::uint64_t>(code), 1);
    EXPECT_EQ(g_keys[code], 1) << code;
    EXPECT_EQ(HeldCount(), 1) << code;
    SetKey(static_cast<std::uint64_t>(code), 0);
  }
}

TEST_F(KeyTableTest, CodesOf256OrMoreAreIgnored) {
  for (std::uint64_t code : {std::uint64_t{256}, std::uint64_t{257}, std::uint64_t{0x10000},
                             std::uint64_t{1} << 40, ~std::uint64_t{0}}) {
    SetKey(code, 1);
    EXPECT_EQ(HeldCount(), 0) << code;
  }
  // A wide code is not truncated onto a small one: 256 + 38 must not hold the up arrow.
  SetKey(256 + kKeyUp, 1);
  EXPECT_EQ(g_keys[kKeyUp], 0);
}

TEST_F(KeyTableTest, ClearKeysReleasesEveryHeldKey) {
  SetKey(kKeyUp, 1);
  SetKey(kKeyLeft, 1);
  SetKey(255, 1);
  ClearKeys();
  EXPECT_EQ(HeldCount(), 0);
}

// The keyboard, a finger and a pad each hold the up arrow in turn: it is held until the last lets
// go, a release or an unplugged pad frees only its own source, and a pad's Escape is still a tap.
TEST_F(KeyTableTest, AKeyIsHeldWhileAnySourceHoldsIt) {
  SetKey(kKeyUp, 1);
  SetKeyFrom(kTouch, kKeyUp, true);
  SetKeyFrom(kGamepad, kKeyUp, true);
  SetKeyFrom(kGamepad, kKeyLeft, true);
  SetKey(kKeyUp, 0);
  EXPECT_NE(g_keys[kKeyUp], 0);
  ReleaseKeysFrom(kGamepad);
  EXPECT_NE(g_keys[kKeyUp], 0);
  EXPECT_EQ(g_keys[kKeyLeft], 0);
  SetKeyFrom(kTouch, kKeyUp, false);
  EXPECT_EQ(g_keys[kKeyUp], 0);
  SetKeyFrom(kTouch, 256 + kKeyUp, true);
  EXPECT_EQ(g_keys[kKeyUp], 0);

  SetKeyFrom(kGamepad, kKeyEscape, true);
  SetKeyFrom(kGamepad, kKeyEscape, false);
  EXPECT_TRUE(TakeEscape());
  EXPECT_FALSE(TakeEscape());
}

// A press and its release in one drain of events: the arrows are not held, but the quit is kept
// for exactly one pass. Held, Escape quits on every pass; other keys never quit.
TEST_F(KeyTableTest, ATapOfEscapeQuitsOnceHeldOrNot) {
  SetKey(kKeyUp, 1);
  SetKey(kKeyUp, 0);
  SetKey(kKeyEscape + 256, 1);
  EXPECT_FALSE(TakeEscape());

  SetKey(kKeyEscape, 1);
  SetKey(kKeyEscape, 0);
  EXPECT_EQ(HeldCount(), 0);
  EXPECT_TRUE(TakeEscape());
  EXPECT_FALSE(TakeEscape());

  SetKey(kKeyEscape, 1);
  EXPECT_TRUE(TakeEscape());
  EXPECT_TRUE(TakeEscape());
  SetKey(kKeyEscape, 0);
  EXPECT_FALSE(TakeEscape());
}

}  // namespace
