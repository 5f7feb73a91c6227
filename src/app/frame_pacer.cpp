// The paced loop's steps and views; see frame_pacer.h.
#include "app/frame_pacer.h"

#include <cmath>

#include "app/frame_pass.h"
#include "vehicle/vehicle.h"

namespace {

// A frame this close after a step's end counts as at its end: clocks round (a browser's to 0.1 ms
// or coarser) and sums of frame intervals drift by a few ulps, and a frame meant to show step n
// whole must not begin step n + 1 for that.
constexpr double kOnTime = 0.01;

bool Adds(const Arrows& now, const Arrows& step) {
  return (now.up && !step.up) || (now.left && !step.left) || (now.right && !step.right);
}

Arrows Both(const Arrows& a, const Arrows& b) {
  return {a.up || b.up, a.left || b.left, a.right || b.right};
}

}  // namespace

PacedFrame FramePacer::Frame(double ms, const Arrows& arrows, Vehicle& vehicle) {
  return Frame(
      ms, [&arrows](long) { return arrows; }, vehicle);
}

PacedFrame FramePacer::Frame(double ms, const StepArrows& arrowsOf, Vehicle& vehicle) {
  if (!started_) {
    started_ = true;
    lastMs_ = ms;
    time_ = static_cast<double>(taken_) + (everStarted_ ? 0 : 1);
    everStarted_ = true;
    before_ = after_ = ViewOf(vehicle);
    stepping_ = false;  // no step in progress to take again
  }
  time_ += (ms > lastMs_ ? ms - lastMs_ : 0) * kStepsPerSecond / 1000;  // no time runs backwards
  lastMs_ = ms;

  PacedFrame frame;
  long due = static_cast<long>(std::ceil(time_ - kOnTime)) - taken_;
  if (due > kMostStepsPerFrame) {
    due = kMostStepsPerFrame;
    time_ = static_cast<double>(taken_ + due);  // the time past the cap is dropped
  }
  Arrows retaken;
  if (due <= 0 && stepping_) {
    const Arrows now = arrowsOf(taken_ - 1);
    if (Adds(now, lastArrows_)) {
      Restore(before_, vehicle);
      --taken_;
      due = 1;
      frame.retook = true;
      retaken = Both(now, lastArrows_);
    }
  }
  for (long i = 0; i < due; ++i) {
    const Arrows arrows = frame.retook ? retaken : arrowsOf(taken_);
    before_ = ViewOf(vehicle);
    ApplyArrows(arrows, vehicle);
    ++taken_;
    frame.stepArrows[i] = frame.arrows = lastArrows_ = arrows;
  }
  if (due > 0) {
    stepping_ = true;
    after_ = ViewOf(vehicle);
    frame.steps = static_cast<int>(due);
  }
  frame.view = Between(before_, after_, time_ - static_cast<double>(taken_ - 1));
  return frame;
}
