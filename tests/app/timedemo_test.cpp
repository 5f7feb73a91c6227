// The scripted drive must cover what the frame benchmark claims to time: the start, both heading
// limits, climbs and descents, and the finish, in a bounded number of passes.
#include "app/timedemo.h"
#include "app/frame_pass.h"

#include <gtest/gtest.h>

#include "vehicle/vehicle.h"

namespace {

class DriveTest : public ::testing::Test {
 protected:
  void SetUp() override { vehicle.track.Generate(); }
  Vehicle vehicle;
};

TEST_F(DriveTest, ReachesTheFinishThroughBothHeadingLimitsAndClimbsBothWays) {
  const long passes = DriveStepCount(vehicle);
  ASSERT_GT(passes, 1000);
  ASSERT_LT(passes, 20000);

  ResetToStart(vehicle);
  EXPECT_FLOAT_EQ(vehicle.progress, 1.75f);
  float lowestHeading = 180.0f;
  float highestHeading = 180.0f;
  bool rising = false;
  bool falling = false;
  bool touchedLeftEdge = false;
  bool touchedRightEdge = false;
  long finishedAt = -1;
  for (long pass = 0; pass < passes; ++pass) {
    ApplyArrows(DriveArrowsAt(pass), vehicle);
    lowestHeading = std::min(lowestHeading, vehicle.heading);
    highestHeading = std::max(highestHeading, vehicle.heading);
    // The pitch wraps to just below 360 on a rising surface.
    if (vehicle.pitch > 180.0f) rising = true;
    if (vehicle.pitch > 0.5f && vehicle.pitch < 180.0f) falling = true;
    if (vehicle.lateral >= 0.125f - 1e-6f) touchedLeftEdge = true;
    if (vehicle.lateral <= -0.125f + 1e-6f) touchedRightEdge = true;
    if (finishedAt < 0 && DriveFinished(vehicle)) finishedAt = pass;
  }
  EXPECT_FLOAT_EQ(lowestHeading, 91.0f);
  EXPECT_FLOAT_EQ(highestHeading, 269.0f);
  EXPECT_TRUE(rising);
  EXPECT_TRUE(falling);
  EXPECT_TRUE(touchedLeftEdge);
  EXPECT_TRUE(touchedRightEdge);
  // The count includes a short linger in front of the finish gate, no more.
  ASSERT_GE(finishedAt, 0);
  EXPECT_GT(finishedAt, passes - 100);
  EXPECT_FLOAT_EQ(vehicle.progress, 298.0f);
}

TEST_F(DriveTest, CountingLeavesTheVehicleAtTheStart) {
  DriveStepCount(vehicle);
  EXPECT_FLOAT_EQ(vehicle.progress, 1.75f);
  EXPECT_FLOAT_EQ(vehicle.heading, 180.0f);
  EXPECT_NEAR(vehicle.lateral, 0.0f, 1e-6f);  // the first step sways by sin(180 degrees)
}

TEST_F(DriveTest, AnEmptyTrackHasNoDrive) {
  Vehicle empty;
  EXPECT_EQ(DriveStepCount(empty), 0);
  EXPECT_FALSE(DriveFinished(empty));
}

TEST(DriveKeysTest, UpIsAlwaysHeldAndNeverBothArrows) {
  for (long pass = 0; pass < 5000; ++pass) {
    const Arrows keys = DriveArrowsAt(pass);
    EXPECT_TRUE(keys.up) << pass;
    EXPECT_FALSE(keys.left && keys.right) << pass;
  }
}

}  // namespace
