// The web shell's pace: how many of the loop's steps an animation frame takes so that the demo
// moves 60 steps per second of page time whatever the display's frame rate. Portable: it sees only
// the frame's time in milliseconds.
#pragma once

constexpr double kStepsPerSecond = 60;
// A frame takes at most this many steps: after a stall, or a tab hidden and shown again, the
// vehicle goes on from where it was instead of jumping ahead, and the time beyond is dropped.
constexpr int kMostStepsPerFrame = 4;

class StepClock {
 public:
  // The steps the frame drawn at time ms (a monotonic clock: performance.now or the animation
  // frame's timestamp) takes. The first frame takes one step, as the loop's first pass does.
  int StepsAt(double ms);

 private:
  bool started_ = false;
  double lastMs_ = 0;
  double owed_ = 0;  // steps' worth of time not yet taken; slightly negative after an early frame
};
