// Vehicle motion on its own copy of the track, and the camera transform made from it.
#include "vehicle/vehicle.h"

#include <cmath>

#include "vehicle/vehicle_view.h"

namespace {

constexpr double kRadiansPerDegree = 0.017453292f;
constexpr float kMinHeading = 91.0f;  // inside (90, 270), so every step moves forward
constexpr float kMaxHeading = 269.0f;
constexpr float kEdgeMargin = 0.025f;  // how close the vehicle may come to an edge
constexpr float kMinProgress = 1.75f;  // where the first step after set-up places the vehicle

}  // namespace

// The track is still empty here, so the first samples answer 0; the first Advance after the
// scene copies the built track into it places the vehicle for real.
Vehicle::Vehicle()
    : roll(0.0f),
      progress(1.0f),
      pitch(0.0f),
      heading(180.0f),
      lateral(0.0f),
      height(0.0f),
      depth(0.0f),
      eyeHeight(0.03f),
      forwardStep(0.08f),
      sideStep(0.01f) {
  height = track.HeightAt(1.0f, 0.0f);
  depth = track.DepthAt(progress);
}

void Vehicle::Steer(float degrees) {
  heading += degrees;
  if (heading < kMinHeading) heading = kMinHeading;
  if (heading > kMaxHeading) heading = kMaxHeading;
}

// Height and depth are sampled where the step lands, before the limits; progress, lateral and
// pitch describe the limited position. The next step samples afresh.
void Vehicle::Advance() {
  const double angle = heading * kRadiansPerDegree;
  float lat = static_cast<float>(lateral - std::sin(angle) * sideStep);
  progress = static_cast<float>(progress - std::cos(angle) * forwardStep);

  const float newDepth = track.DepthAt(progress);
  const float newHeight = track.HeightAt(progress, lat);

  const float halfWidth = track.HalfWidth();
  if (lat < kEdgeMargin - halfWidth) lat = kEdgeMargin - halfWidth;
  if (lat > halfWidth - kEdgeMargin) lat = halfWidth - kEdgeMargin;

  // The far limit is tested second and wins: on an empty track progress ends at -1.
  if (progress < kMinProgress) progress = kMinProgress;
  const int last = track.SegmentCount() - 1;
  if (progress > static_cast<float>(last)) progress = static_cast<float>(last);

  pitch = track.PitchAt(progress, lat);
  lateral = lat;
  height = newHeight;
  depth = newDepth;
}

void Vehicle::ApplyCamera() const {
  ::ApplyCamera(ViewOf(*this));
}
