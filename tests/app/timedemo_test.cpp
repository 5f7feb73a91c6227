// The scripted drive must cover what the frame benchmark claims to time: the start, both heading
// limits, climbs and descents, and the finish, in a bounded number of passes.
#include "app/timedemo.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/frame_pass.h"
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

TEST(DriveArrowsTest, UpIsAlwaysHeldAndNeverBothArrows) {
  for (long pass = 0; pass < 5000; ++pass) {
    const Arrows keys = DriveArrowsAt(pass);
    EXPECT_TRUE(keys.up) << pass;
    EXPECT_FALSE(keys.left && keys.right) << pass;
  }
}

}  // namespace

namespace {

// Frame times to figures: a whole drive's worth, with the slow frames a stall brings.
TEST(FrameFiguresTest, SumsUpFramesAsAPersonComparesThem) {
  std::vector<double> ms(1000, 4.0);
  for (int i = 0; i < 9; ++i) ms[static_cast<size_t>(i * 100 + 1)] = 20.0;
  ms[500] = 50.0;
  const FrameFigures f = SumUpFrames(ms);
  EXPECT_EQ(f.frames, 1000);
  EXPECT_DOUBLE_EQ(f.seconds, (990 * 4.0 + 9 * 20.0 + 50.0) / 1000);
  EXPECT_DOUBLE_EQ(f.fps, 1000 / f.seconds);
  EXPECT_DOUBLE_EQ(f.medianMs, 4.0);
  EXPECT_DOUBLE_EQ(f.p99Ms, 4.0);  // ten slow frames of a thousand: the 99th percentile is fast
  ms[2] = 30.0;                    // eleven: it is not
  EXPECT_DOUBLE_EQ(SumUpFrames(ms).p99Ms, 20.0);
  EXPECT_DOUBLE_EQ(f.maxMs, 50.0);
  EXPECT_EQ(FiguresLine(f).rfind("timedemo: 1000 frames in 4.19 s, 238.7 frames/s; frame time "
                                 "median 4.00 ms, 99th percentile 4.00 ms, max 50.00 ms",
                                 0),
            0u);
  EXPECT_EQ(SumUpFrames({}).frames, 0);
}

}  // namespace
