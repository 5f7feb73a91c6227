// Driving a vehicle on a copy of the generated track, as the program does after set-up.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "vehicle/vehicle.h"
#include "vehicle/vehicle_view.h"

namespace {

std::unique_ptr<Vehicle> VehicleOnGeneratedTrack() {
  auto vehicle = std::make_unique<Vehicle>();
  auto track = std::make_unique<Track>();
  track->Generate();
  vehicle->track = *track;
  return vehicle;
}

TEST(Vehicle, StartsAtRestOnAnEmptyTrack) {
  const Vehicle vehicle;
  EXPECT_EQ(vehicle.progress, 1.0f);
  EXPECT_EQ(vehicle.heading, 180.0f);
  EXPECT_EQ(vehicle.height, 0.0f);
  EXPECT_EQ(vehicle.depth, 0.0f);
  EXPECT_EQ(vehicle.pitch, 0.0f);
  EXPECT_EQ(vehicle.lateral, 0.0f);
  EXPECT_EQ(vehicle.roll, 0.0f);
  EXPECT_FLOAT_EQ(vehicle.eyeHeight, 0.03f);
  EXPECT_EQ(vehicle.track.SegmentCount(), 0);
}

TEST(Vehicle, HeadingStaysWithinItsLimits) {
  Vehicle vehicle;
  for (int i = 0; i < 59; ++i) vehicle.Steer(1.5f);
  EXPECT_EQ(vehicle.heading, 268.5f);
  vehicle.Steer(1.5f);
  EXPECT_EQ(vehicle.heading, 269.0f);
  vehicle.Steer(-1.5f);
  EXPECT_EQ(vehicle.heading, 267.5f);
  // Left and right in one pass cancel below 267.5; above it the left step is cut at the limit.
  vehicle.Steer(1.5f);
  vehicle.Steer(-1.5f);
  EXPECT_EQ(vehicle.heading, 267.5f);
  vehicle.Steer(1.0f);
  vehicle.Steer(1.5f);
  vehicle.Steer(-1.5f);
  EXPECT_EQ(vehicle.heading, 267.5f);
  for (int i = 0; i < 200; ++i) vehicle.Steer(-1.5f);
  EXPECT_EQ(vehicle.heading, 91.0f);
  vehicle.Steer(-1.5f);
  EXPECT_EQ(vehicle.heading, 91.0f);
}

TEST(Vehicle, FirstStepAfterTheCopyPlacesIt) {
  auto vehicle = VehicleOnGeneratedTrack();
  vehicle->Advance();
  EXPECT_EQ(vehicle->progress, 1.75f);
  EXPECT_NEAR(vehicle->depth, 0.108f, 1e-6f);
  EXPECT_NEAR(vehicle->height, 0.13751f, 5e-6f);
  EXPECT_NEAR(vehicle->pitch, 318.09f, 5e-3f);
  EXPECT_NEAR(vehicle->lateral, 0.0f, 1e-9f);
}

TEST(Vehicle, StepsScaleWithTheHeading) {
  auto vehicle = VehicleOnGeneratedTrack();
  vehicle->progress = 10.0f;
  vehicle->Advance();
  EXPECT_NEAR(vehicle->progress, 10.08f, 1e-5f);
  EXPECT_NEAR(vehicle->lateral, 0.0f, 1e-9f);

  for (int i = 0; i < 60; ++i) vehicle->Steer(1.5f);
  const float before = vehicle->progress;
  vehicle->Advance();
  EXPECT_NEAR(vehicle->progress - before, 0.0014f, 1e-4f);
  EXPECT_NEAR(vehicle->lateral, 0.01f, 1e-4f);
}

// Steering alone moves nothing but the view direction.
TEST(Vehicle, SteeringDoesNotMove) {
  auto vehicle = VehicleOnGeneratedTrack();
  vehicle->Advance();
  const Vehicle before = *vehicle;
  vehicle->Steer(-1.5f);
  EXPECT_EQ(vehicle->progress, before.progress);
  EXPECT_EQ(vehicle->lateral, before.lateral);
  EXPECT_EQ(vehicle->height, before.height);
  EXPECT_EQ(vehicle->depth, before.depth);
  EXPECT_EQ(vehicle->pitch, before.pitch);
}

TEST(Vehicle, DrivingStraightStopsAtTheFarEnd) {
  auto vehicle = VehicleOnGeneratedTrack();
  for (int i = 0; i < 5000; ++i) vehicle->Advance();
  EXPECT_EQ(vehicle->progress, 298.0f);
  EXPECT_EQ(vehicle->pitch, 0.0f);
  EXPECT_NEAR(vehicle->depth, 29.808f, 1e-4f);
  EXPECT_NEAR(vehicle->height, -0.9312f, 1e-4f);
}

// Sixty left turns then driving: lateral stops 0.025 inside the edge, while that step's height is
// sampled where the step landed.
TEST(Vehicle, DrivingIntoASideStopsInsideTheEdge) {
  auto vehicle = VehicleOnGeneratedTrack();
  vehicle->progress = 20.0f;
  for (int i = 0; i < 60; ++i) vehicle->Steer(1.5f);
  for (int i = 0; i < 13; ++i) vehicle->Advance();
  const float lateral = vehicle->lateral;
  EXPECT_FLOAT_EQ(lateral, 0.125f);
  vehicle->Advance();
  EXPECT_FLOAT_EQ(vehicle->lateral, 0.125f);
  const float unclamped = static_cast<float>(0.125f - std::sin(269.0 * 0.017453292f) * 0.01f);
  EXPECT_GT(unclamped, 0.125f);
  EXPECT_FLOAT_EQ(vehicle->height, vehicle->track.HeightAt(vehicle->progress, unclamped));
}

TEST(Vehicle, AnUnfilledTrackEndsAtMinusOne) {
  Vehicle vehicle;
  vehicle.Advance();
  EXPECT_EQ(vehicle.progress, -1.0f);
  EXPECT_EQ(vehicle.height, 0.0f);
  EXPECT_EQ(vehicle.depth, 0.0f);
  EXPECT_EQ(vehicle.pitch, 0.0f);
  vehicle.Advance();
  EXPECT_EQ(vehicle.progress, -1.0f);
}

}  // namespace

namespace {

// A view between two steps: exact at both ends and where nothing moved, linear in between, and
// the pitch across its wrap the short way round (from 350 to 10 through 0, never through 180).
TEST(VehicleView, LiesBetweenTwoStepsTheShortWayRound) {
  const VehicleView from = {1.75f, 0.1f, 0.2f, 0.3f, 180.0f, 350.0f, 0.0f, 0.03f};
  const VehicleView to = {1.83f, 0.1f, 0.25f, 0.38f, 181.5f, 10.0f, 0.0f, 0.03f};
  for (double t : {0.0, 1.0}) {
    const VehicleView& end = t == 0 ? from : to;
    const VehicleView at = Between(from, to, t);
    EXPECT_EQ(std::memcmp(&at, &end, sizeof at), 0) << t;
  }
  const VehicleView half = Between(from, to, 0.5);
  EXPECT_FLOAT_EQ(half.progress, 1.79f);
  EXPECT_EQ(half.lateral, 0.1f);  // unmoved, so exactly as it was
  EXPECT_FLOAT_EQ(half.heading, 180.75f);
  EXPECT_FLOAT_EQ(half.pitch, 0.0f);
  EXPECT_FLOAT_EQ(Between(from, to, 0.25).pitch, 355.0f);
  EXPECT_FLOAT_EQ(Between(to, from, 0.25).pitch, 5.0f);
  // Just short of 360 in double, 360 itself once stored: the pitch stays within [0, 360).
  const float wrapped =
      Between({0, 0, 0, 0, 0, 359.99997f, 0, 0}, {0, 0, 0, 0, 0, 0.00003f, 0, 0}, 0.5).pitch;
  EXPECT_TRUE(wrapped >= 0.0f && wrapped < 360.0f) << wrapped;

  // What a view restores is what a step changes: the vehicle goes on from it as from the original.
  auto vehicle = VehicleOnGeneratedTrack();
  vehicle->Advance();
  const VehicleView before = ViewOf(*vehicle);
  vehicle->Steer(1.5f);
  vehicle->Advance();
  const VehicleView after = ViewOf(*vehicle);
  Restore(before, *vehicle);
  vehicle->Steer(1.5f);
  vehicle->Advance();
  const VehicleView again = ViewOf(*vehicle);
  EXPECT_EQ(std::memcmp(&again, &after, sizeof again), 0);
}

}  // namespace
