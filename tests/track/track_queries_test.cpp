// Surface queries on the generated track and on hand-made cross-sections.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "track/track.h"

namespace {

std::unique_ptr<Track> GeneratedTrack() {
  auto track = std::make_unique<Track>();
  track->Generate();
  return track;
}

// Three points with chosen heights, 0.1 apart in depth.
std::unique_ptr<Track> HandMadeTrack(float h0, float h1, float h2) {
  auto track = std::make_unique<Track>();
  const float heights[3] = {h0, h1, h2};
  for (int i = 0; i < 3; ++i) {
    track->points[i].leftHeight = heights[i];
    track->points[i].rightHeight = heights[i];
    track->points[i].z = 0.1f * static_cast<float>(i);
  }
  track->segmentCount = 2;
  return track;
}

TEST(TrackQueries, OutOfRangeOrNaNAnswersZero) {
  const Track empty;
  const auto track = GeneratedTrack();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (float p : {1.0f, 0.5f}) {
    EXPECT_EQ(empty.HeightAt(p, 0), 0.0f);
    EXPECT_EQ(empty.DepthAt(p), 0.0f);
    EXPECT_EQ(empty.SlopeAt(p, 0), 0.0f);
    EXPECT_EQ(empty.PitchAt(p, 0), 0.0f);
  }
  for (float p : {-0.001f, 299.01f, 1e9f, nan, -std::numeric_limits<float>::infinity(),
                  std::numeric_limits<float>::infinity()}) {
    EXPECT_EQ(track->HeightAt(p, 0), 0.0f) << p;
    EXPECT_EQ(track->DepthAt(p), 0.0f) << p;
    EXPECT_EQ(track->SlopeAt(p, 0), 0.0f) << p;
    EXPECT_EQ(track->PitchAt(p, 0), 0.0f) << p;
  }
}

TEST(TrackQueries, AWildSegmentCountNeverReadsPastThePoints) {
  auto track = GeneratedTrack();
  track->segmentCount = 100000;
  EXPECT_EQ(track->HeightAt(5000.0f, 0), 0.0f);
  EXPECT_EQ(track->DepthAt(300.0f), 0.0f);  // slot 300 exists and holds 0
}

TEST(TrackQueries, LastPointIsInRange) {
  const auto track = GeneratedTrack();
  EXPECT_EQ(track->DepthAt(299.0f), track->points[299].z);
  EXPECT_EQ(track->HeightAt(299.0f, 0.15f), track->points[299].leftHeight);
}

TEST(TrackQueries, SampleHeightIsALineAcrossTheSection) {
  const auto track = GeneratedTrack();
  const TrackPoint& p = track->points[7];
  EXPECT_FLOAT_EQ(track->SampleHeightAt(7, 0.15f), p.leftHeight);
  EXPECT_FLOAT_EQ(track->SampleHeightAt(7, -0.15f), p.rightHeight);
  EXPECT_FLOAT_EQ(track->SampleHeightAt(7, 0), (p.leftHeight + p.rightHeight) / 2);
  EXPECT_FLOAT_EQ(track->SampleHeightAt(7, 0.3f),
                  p.leftHeight + (p.leftHeight - p.rightHeight) / 2);
  const auto level = HandMadeTrack(0.4f, 0.4f, 0.4f);
  for (float lateral : {-0.3f, -0.15f, 0.0f, 0.07f, 0.15f})
    EXPECT_FLOAT_EQ(level->SampleHeightAt(1, lateral), 0.4f);
}

TEST(TrackQueries, WholeNumberProgressSitsOnThePoint) {
  const auto track = GeneratedTrack();
  for (float p : {0.0f, 1.0f, 57.0f, 298.0f}) {
    EXPECT_EQ(track->HeightAt(p, 0.05f), track->SampleHeightAt(p, 0.05f)) << p;
    EXPECT_EQ(track->DepthAt(p), track->points[static_cast<int>(p)].z) << p;
    EXPECT_EQ(track->SlopeAt(p, 0.05f), 0.0f) << p;
    EXPECT_EQ(track->PitchAt(p, 0.05f), 0.0f) << p;
  }
}

TEST(TrackQueries, ValuesOnTheGeneratedTrack) {
  const auto track = GeneratedTrack();
  EXPECT_NEAR(track->SampleHeightAt(1, 0), 0.13019f, 5e-6f);
  EXPECT_NEAR(track->SampleHeightAt(2, 0), 0.22163f, 5e-6f);
  EXPECT_NEAR(track->HeightAt(1.08f, 0), 0.13751f, 5e-6f);
  EXPECT_NEAR(track->DepthAt(1.08f), 0.108f, 1e-6f);
  EXPECT_NEAR(track->SlopeAt(1.5f, 0), -42.438f, 5e-4f);
  EXPECT_NEAR(track->SlopeAt(2.5f, 0), -41.740f, 5e-4f);
  EXPECT_NEAR(track->PitchAt(1.75f, 0), 318.09f, 5e-3f);
}

TEST(TrackQueries, SlopeSignFollowsTheRise) {
  const auto rising = HandMadeTrack(0.0f, 0.1f, 0.1f);
  EXPECT_NEAR(rising->SlopeAt(0.5f, 0), -45.0f, 1e-3f);
  EXPECT_EQ(rising->SlopeAt(1.5f, 0), 0.0f);  // equal heights: no division
  const auto falling = HandMadeTrack(0.1f, 0.0f, 0.0f);
  EXPECT_NEAR(falling->SlopeAt(0.5f, 0), 45.0f, 1e-3f);
  const float dh = 0.03f;
  const auto small = HandMadeTrack(0.0f, dh, 2 * dh);
  const float expected = -57.29578f * std::asin(dh / std::sqrt(0.01f + dh * dh));
  EXPECT_NEAR(small->SlopeAt(0.5f, 0), expected, 1e-3f);
  EXPECT_NEAR(small->PitchAt(0.001f, 0), expected + 360.0f, 1e-2f);
}

// A tiny negative blend plus 360 rounds to 360.0f; the result must stay inside [0, 360).
TEST(TrackQueries, PitchStaysBelowThreeSixty) {
  const auto track = GeneratedTrack();
  EXPECT_LT(track->PitchAt(14.805322647094727f, 0), 360.0f);
  for (float p = 0.0f; p <= 299.0f; p = std::nextafter(p, 300.0f) + 0.00173f) {
    for (float lateral : {-0.125f, 0.0f, 0.125f}) {
      const float pitch = track->PitchAt(p, lateral);
      ASSERT_GE(pitch, 0.0f) << p;
      ASSERT_LT(pitch, 360.0f) << p;
    }
  }
}

}  // namespace
