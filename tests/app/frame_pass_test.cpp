// The loop's key steps (steps 2-4 of a pass): which held keys move and turn the vehicle,
// in which order. Generation and the surface queries need no OpenGL, so the vehicle runs on a
// generated track here.
#include "app/frame_pass.h"

#include <gtest/gtest.h>

#include "app/key_table.h"
#include "vehicle/vehicle.h"

namespace {

class FramePassTest : public ::testing::Test {
 protected:
  void SetUp() override {
    vehicle.track.Generate();
    vehicle.Advance();  // as at window creation: on the track, progress 1.75
    reference = vehicle;
  }

  void Hold(int key) { keys[key] = 1; }

  int keys[kKeyCount] = {};
  Vehicle vehicle;
  Vehicle reference;
};

void ExpectSamePlace(const Vehicle& a, const Vehicle& b) {
  EXPECT_EQ(a.progress, b.progress);
  EXPECT_EQ(a.lateral, b.lateral);
  EXPECT_EQ(a.heading, b.heading);
  EXPECT_EQ(a.pitch, b.pitch);
  EXPECT_EQ(a.height, b.height);
  EXPECT_EQ(a.depth, b.depth);
}

TEST_F(FramePassTest, NothingHeldLeavesTheVehicleAsItWas) {
  for (int pass = 0; pass < 10; ++pass) ApplyHeldKeys(keys, vehicle);
  ExpectSamePlace(vehicle, reference);
}

TEST_F(FramePassTest, HoldingUpForNPassesMakesNSteps) {
  Hold(kKeyUp);
  for (int pass = 0; pass < 25; ++pass) {
    ApplyHeldKeys(keys, vehicle);
    reference.Advance();
  }
  ExpectSamePlace(vehicle, reference);
  EXPECT_GT(vehicle.progress, 1.75f);
}

TEST_F(FramePassTest, LeftTurnsByPlusOneAndAHalfDegreesAndRightByMinus) {
  Hold(kKeyLeft);
  ApplyHeldKeys(keys, vehicle);
  EXPECT_EQ(vehicle.heading, 181.5f);
  keys[kKeyLeft] = 0;
  Hold(kKeyRight);
  ApplyHeldKeys(keys, vehicle);
  ApplyHeldKeys(keys, vehicle);
  EXPECT_EQ(vehicle.heading, 178.5f);
  EXPECT_EQ(vehicle.progress, reference.progress);  // turning alone does not move
}

TEST_F(FramePassTest, LeftAndRightTogetherCancelBelowTheLimit) {
  Hold(kKeyLeft);
  Hold(kKeyRight);
  ApplyHeldKeys(keys, vehicle);
  EXPECT_EQ(vehicle.heading, 180.0f);
}

TEST_F(FramePassTest, LeftAndRightTogetherApplyLeftFirstAndLowerTheHeadingAtTheLimit) {
  vehicle.heading = 268.0f;  // left is cut at 269, then right takes 1.5 off
  Hold(kKeyLeft);
  Hold(kKeyRight);
  ApplyHeldKeys(keys, vehicle);
  EXPECT_EQ(vehicle.heading, 267.5f);
}

TEST_F(FramePassTest, UpMovesBeforeTheTurnsOfTheSamePass) {
  Hold(kKeyUp);
  Hold(kKeyLeft);
  ApplyHeldKeys(keys, vehicle);
  reference.Advance();
  reference.Steer(1.5f);
  ExpectSamePlace(vehicle, reference);
}

TEST_F(FramePassTest, DownAndEscapeDoNotMoveTheVehicle) {
  Hold(kKeyDown);
  Hold(kKeyEscape);
  ApplyHeldKeys(keys, vehicle);
  ExpectSamePlace(vehicle, reference);
}

}  // namespace
