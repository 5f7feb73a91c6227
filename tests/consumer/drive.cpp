// Generates a track, copies it into a vehicle and drives it to the far end with nothing but the
// core's public headers; prints what it checked and exits non-zero on any difference.
#include <cmath>
#include <cstdio>
#include <memory>

#include "track/track.h"
#include "vehicle/vehicle.h"

namespace {

int failures = 0;

void Expect(const char* what, double actual, double expected, double tolerance) {
  const bool ok = std::fabs(actual - expected) <= tolerance;
  std::printf("%s %s: %.7g (expected %.7g)\n", ok ? "ok  " : "FAIL", what, actual, expected);
  if (!ok) ++failures;
}

}  // namespace

int main() {
  auto track = std::make_unique<Track>();
  track->Generate();
  Expect("segment count", track->SegmentCount(), 299, 0);
  Expect("point 299 z", track->points[299].z, 29.900078, 2e-6);

  auto vehicle = std::make_unique<Vehicle>();
  vehicle->track = *track;
  vehicle->Advance();
  Expect("first step: depth", vehicle->depth, 0.108, 1e-6);
  Expect("first step: height", vehicle->height, 0.13751, 5e-6);
  Expect("first step: pitch", vehicle->pitch, 318.09, 5e-3);

  while (vehicle->progress < 298.0f) vehicle->Advance();
  vehicle->Advance();
  Expect("far end: progress", vehicle->progress, 298, 0);
  Expect("far end: depth", vehicle->depth, 29.808, 1e-4);
  Expect("far end: height", vehicle->height, -0.9312, 1e-4);
  return failures == 0 ? 0 : 1;
}
