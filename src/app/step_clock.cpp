// The web shell's pace; see step_clock.h.
#include "app/step_clock.h"

#include <cmath>

namespace {

// A frame that comes a little early still takes its step, and the step's time is owed: the
// animation frames of a 60 Hz display jitter around 16.7 ms, and without this leeway such a
// display would alternate frames of no step and of two. The total over time stays exact.
constexpr double kEarlyStep = 0.1;

}  // namespace

int StepClock::StepsAt(double ms) {
  if (!started_) {
    started_ = true;
    lastMs_ = ms;
    return 1;
  }
  const double elapsed = ms > lastMs_ ? ms - lastMs_ : 0;  // a clock that steps back is no time
  lastMs_ = ms;
  owed_ += elapsed * kStepsPerSecond / 1000;
  int steps = static_cast<int>(std::floor(owed_ + kEarlyStep));
  if (steps > kMostStepsPerFrame) {
    steps = kMostStepsPerFrame;
    owed_ = kMostStepsPerFrame;  // the time past the cap is dropped, not caught up later
  }
  owed_ -= steps;
  return steps;
}
