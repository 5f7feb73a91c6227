// The pace of the SDL program and of the page: the loop's steps at 60 a second of the shell's
// clock whatever the display's rate, and every frame drawn between the last two steps at the
// frame's own time, so that each frame of a fast display shows a new picture while the vehicle
// moves exactly as the steps say. Portable: it sees the frame's time in milliseconds, the arrows
// and the vehicle, and hands back the view to draw.
#pragma once

#include <functional>

#include "app/key_table.h"
#include "vehicle/vehicle_view.h"

class Vehicle;

constexpr double kStepsPerSecond = 60;
// A frame takes at most this many steps: after a stall, or a tab hidden and shown again, the
// vehicle goes on from where it was instead of jumping ahead, and the time beyond is dropped.
constexpr int kMostStepsPerFrame = 4;

// What a frame did to the vehicle and what it draws.
struct PacedFrame {
  // The step in progress was taken back before this frame's steps and is counted in them again:
  // an arrow was pressed while it was being shown (see FramePacer::Frame).
  bool retook = false;
  int steps = 0;                          // the steps taken
  Arrows arrows;                          // the arrows of the frame's last step
  Arrows stepArrows[kMostStepsPerFrame];  // the arrows each step was taken with, in order
  VehicleView view;
};

// The arrows of each step, by its number from 0 (the first step a pacer takes): the same for
// every step of a frame when the keys drive, or a recorded drive's, step by step.
using StepArrows = std::function<Arrows(long step)>;

class FramePacer {
 public:
  // The frame at time ms (a monotonic clock) with the arrows held, or pressed since the last frame
  // (TakeArrows). Step n spans the time from n - 1 to n in steps of 1/60 s: a frame takes every
  // step that has begun by its time, and draws the last one the share of it that has passed,
  // between the vehicle before that step and after it. At a step's end, and while the vehicle
  // stands still, the view is exactly the vehicle's. The first frame takes one step and shows it
  // whole, as the loop's first pass does.
  //
  // A step in progress was taken with the arrows of the frame that began it. When a later frame
  // in the same step brings an arrow that step did not hold, the step is taken back and taken
  // again with both frames' arrows, so a press shows at the next frame and never more than a step
  // late. Letting go never takes a step back: what was shown is not undone.
  PacedFrame Frame(double ms, const Arrows& arrows, Vehicle& vehicle);
  // The same with each step's arrows of its own. A step is taken again only when the arrows of
  // the step in progress, asked for again, add one.
  PacedFrame Frame(double ms, const StepArrows& arrowsOf, Vehicle& vehicle);

  // The next frame takes no step and shows the vehicle where it stands; the time until then is
  // not driven. For a pause: a lost graphics context, say.
  void Restart() { started_ = false; }

 private:
  bool everStarted_ = false;
  bool started_ = false;
  bool stepping_ = false;  // a step was taken since the start: before_ is the vehicle before it
  double lastMs_ = 0;
  double time_ = 0;  // the frame's time in steps
  long taken_ = 0;   // the steps taken; the last one ends at time taken_
  Arrows lastArrows_;
  VehicleView before_ = {};  // the vehicle before the last step
  VehicleView after_ = {};   // and after it
};
