// The timedemo's drive and figures; see timedemo.h.
#include "app/timedemo.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/frame_pass.h"
#include "vehicle/vehicle.h"

namespace {

// One cycle, in steps. 60 turning steps of 1.5 degrees take the heading from 180 to a limit.
constexpr long kStraight = 200;
constexpr long kTurn = 60;
constexpr long kHoldAtLimit = 20;
constexpr long kHalfCycle = kStraight + 2 * kTurn + kHoldAtLimit;
constexpr long kCycle = 2 * kHalfCycle;
constexpr long kLingerAtFinish = 40;  // a few frames facing the finish gate
constexpr long kStepLimit = 1000000;  // a guard against a track the vehicle never finishes

}  // namespace

Arrows DriveArrowsAt(long step) {
  const long inCycle = step % kCycle;
  const bool leftFirst = inCycle < kHalfCycle;  // turn to 269 (left) first, then to 91
  const long t = inCycle % kHalfCycle;
  Arrows arrows;
  arrows.up = true;
  if (t < kStraight) return arrows;
  const long turning = t - kStraight;
  const bool away = turning < kTurn;                  // toward the limit
  const bool back = turning >= kTurn + kHoldAtLimit;  // back to 180
  arrows.left = (away && leftFirst) || (back && !leftFirst);
  arrows.right = (away && !leftFirst) || (back && leftFirst);
  return arrows;
}

bool DriveFinished(const Vehicle& vehicle) {
  const int last = vehicle.track.SegmentCount() - 1;
  return last > 0 && vehicle.progress >= static_cast<float>(last);
}

void ResetToStart(Vehicle& vehicle) {
  vehicle.progress = 1.0f;
  vehicle.heading = 180.0f;
  vehicle.lateral = 0.0f;
  vehicle.pitch = 0.0f;
  vehicle.roll = 0.0f;
  vehicle.Advance();
}

long DriveStepCount(Vehicle& vehicle) {
  if (vehicle.track.SegmentCount() <= 1) return 0;
  ResetToStart(vehicle);
  long step = 0;
  while (!DriveFinished(vehicle) && step < kStepLimit) ApplyArrows(DriveArrowsAt(step++), vehicle);
  ResetToStart(vehicle);
  return step + kLingerAtFinish;
}

FrameFigures SumUpFrames(std::vector<double> frameMs) {
  FrameFigures figures;
  if (frameMs.empty()) return figures;
  std::sort(frameMs.begin(), frameMs.end());
  const size_t n = frameMs.size();
  double total = 0;
  for (double ms : frameMs) total += ms;
  figures.frames = static_cast<long>(n);
  figures.seconds = total / 1000;
  figures.fps = total > 0 ? static_cast<double>(n) * 1000 / total : 0;
  figures.medianMs = n % 2 == 1 ? frameMs[n / 2] : (frameMs[n / 2 - 1] + frameMs[n / 2]) / 2;
  // The nearest-rank percentile: the least time that 99% of the frames keep to.
  const size_t rank = static_cast<size_t>(std::ceil(0.99 * static_cast<double>(n)));
  figures.p99Ms = frameMs[std::max<size_t>(rank, 1) - 1];
  figures.maxMs = frameMs.back();
  return figures;
}

std::string FiguresLine(const FrameFigures& f) {
  char line[200];
  std::snprintf(line, sizeof line,
                "timedemo: %ld frames in %.2f s, %.1f frames/s; frame time median %.2f ms, 99th "
                "percentile %.2f ms, max %.2f ms",
                f.frames, f.seconds, f.fps, f.medianMs, f.p99Ms, f.maxMs);
  return line;
}
