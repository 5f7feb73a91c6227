// Surface queries: height, depth, slope and pitch at a fractional progress (in point indices) and
// a lateral offset. Read-only; a progress outside [0, segmentCount], or NaN, answers 0.
#include <cmath>

#include "track/track.h"

namespace {

constexpr double kDegreesPerRadian = 57.29578f;

// Also keeps every index inside the point table, whatever segmentCount holds.
bool OutOfRange(float progress, int segmentCount) {
  const int last = segmentCount < kTrackPointCapacity ? segmentCount : kTrackPointCapacity - 1;
  return !(progress >= 0.0f) || static_cast<double>(progress) > last;
}

}  // namespace

// A straight line across one cross-section: lateral +halfWidth gives the left edge's height,
// -halfWidth the right's, and offsets beyond an edge continue the line.
float Track::SampleHeightAt(float index, float lateral) const {
  const TrackPoint& point = points[static_cast<int>(std::floor(index))];
  const double width = static_cast<double>(halfWidth) + halfWidth;
  const double rightWeight = width - (width * 0.5 + lateral);
  return static_cast<float>(
      (point.leftHeight * (width - rightWeight) + point.rightHeight * rightWeight) / width);
}

float Track::HeightAt(float progress, float lateral) const {
  if (OutOfRange(progress, segmentCount)) return 0.0f;
  const float i = std::floor(progress);
  const double t = static_cast<double>(progress) - i;
  const double a = SampleHeightAt(i, lateral);
  const double b = SampleHeightAt(std::ceil(progress), lateral);
  return static_cast<float>((1.0 - t) * a + t * b);
}

float Track::DepthAt(float progress) const {
  if (OutOfRange(progress, segmentCount)) return 0.0f;
  const float i = std::floor(progress);
  const double t = static_cast<double>(progress) - i;
  const double a = points[static_cast<int>(i)].z;
  const double b = points[static_cast<int>(std::ceil(progress))].z;
  return static_cast<float>((1.0 - t) * a + t * b);
}

// Negative when the surface rises toward higher progress. Equal heights, which includes every
// whole-number progress, answer 0 before the division.
float Track::SlopeAt(float progress, float lateral) const {
  if (OutOfRange(progress, segmentCount)) return 0.0f;
  const float i = std::floor(progress);
  const float j = std::ceil(progress);
  const float a = SampleHeightAt(i, lateral);
  const float b = SampleHeightAt(j, lateral);
  if (b == a) return 0.0f;
  const double rise = static_cast<double>(b) - a;
  const double run =
      static_cast<double>(points[static_cast<int>(j)].z) - points[static_cast<int>(i)].z;
  return static_cast<float>(-kDegreesPerRadian *
                            std::asin(rise / std::sqrt(std::pow(run, 2.0) + std::pow(rise, 2.0))));
}

// The slope blended from this segment into the next, so the camera tilts without a jump at a
// point. A rising surface gives a value just below 360.
float Track::PitchAt(float progress, float lateral) const {
  if (OutOfRange(progress, segmentCount)) return 0.0f;
  const float i = std::floor(progress);
  const float next = std::ceil(progress) + 0.1f;  // inside the next segment
  const double t = static_cast<double>(progress) - i;
  double blended = (1.0 - t) * SlopeAt(progress, lateral) + t * SlopeAt(next, lateral);
  if (blended < 0.0) blended += 360.0;
  // A tiny negative blend plus 360 rounds to 360 in float; 0 turns the camera alike and keeps the
  // result inside [0, 360).
  const float pitch = static_cast<float>(blended);
  return pitch >= 360.0f ? 0.0f : pitch;
}
