// Track construction and generation: the cross-sections come from closed-form curves sampled at a
// float parameter that advances by repeated addition of 0.1, and each carries one flare.
#include "track/track.h"

#include <cmath>

Track::Track() : halfWidth(0.15f), segmentCount(0) {}

// The parameter t stays a float advanced by t + 0.1, not index * 0.1: its accumulated error puts
// point 299 at 29.900078 and the next value at 30.000078, past the end, so exactly 300 points are
// made. Each sum of two floats is formed in double, where it is exact; the heights are computed in
// double and stored as floats.
void Track::Generate() {
  segmentCount = 0;  // a second generation starts again from the first point
  float t = 0.0f;
  do {
    const double u = static_cast<double>(t) + 0.1f;
    const double common = std::sin(u);
    TrackPoint& point = points[segmentCount];
    point.rightHeight =
        static_cast<float>(common + 0.125f * std::sin(static_cast<double>(t) + 3.14f));
    point.leftHeight =
        static_cast<float>(common + 0.125f * std::cos(static_cast<double>(t) + 3.114f));
    point.z = t;
    PlaceFlare(static_cast<unsigned int>(segmentCount));
    t = static_cast<float>(u);
    ++segmentCount;
  } while (t <= 30.0f && segmentCount < kFlareCapacity);
  --segmentCount;
}

// Even flares stand on the right edge, odd ones on the left, 0.1 above the edge: level with the
// top of the walls.
void Track::PlaceFlare(unsigned int i) {
  if (i >= static_cast<unsigned int>(kFlareCapacity)) return;
  Flare& flare = flares[i];
  const TrackPoint& point = points[i];
  flare.z = point.z;
  if (i % 2 == 0) {
    flare.x = -halfWidth;
    flare.y = point.rightHeight + 0.1f;
  } else {
    flare.x = halfWidth;
    flare.y = point.leftHeight + 0.1f;
  }
}
