// The demo's loop as the SDL shell and the page both run it: the start-up (the scene, the
// vehicle's first step, the projection), each pass's steps and picture, where the steps' arrows
// come from (the keys, a drive played back, the timedemo's drive), the journal of the steps taken
// and the timedemo's frame times. Portable: the shell brings the clock, the size and the events,
// and does the swap and any wait. The Win32 program keeps its own loop, call for call.
#pragma once

#include <string>
#include <vector>

#include "app/frame_pacer.h"
#include "app/key_steps.h"
#include "app/step_journal.h"
#include "app/timedemo.h"

enum class Pace {
  kClock,  // 60 steps a second of the clock, every frame drawn between the last two steps
  kPass,   // one step a pass, so the speed follows the frame rate (--classic, ?pace=frame)
};

struct LoopOptions {
  Pace pace = Pace::kClock;
  std::vector<KeyGroup> play;  // a drive played back first (--play); the keys drive after it
  bool timedemo = false;       // the timedemo's drive, one step a pass, timed; it ends the run
  long timedemoFrames = 0;     // the timedemo's frames at most; 0 for the whole drive
  bool record = false;         // keep the journal of the steps taken (--record)
  // A pass whose view is the one drawn last draws nothing: for the page, whose browser keeps
  // showing the last picture. A double-buffered window needs every pass drawn.
  bool drawOnlyChanges = false;
};

class DemoLoop {
 public:
  explicit DemoLoop(const LoopOptions& options = {});

  // In the current context: the scene set up, the vehicle's first step onto its track (the
  // timedemo's drive is measured on it), and the projection for width x height pixels. Returns
  // the pictures that could not be loaded (their surfaces stay untextured).
  std::vector<std::string> Start(int width, int height);
  // Set-up again in a new context after the last was lost: the same track, the vehicle where it
  // stood, the time without a context not driven. The shell then gives the size.
  std::vector<std::string> Restore();
  // The projection for a new size; the next pass draws whatever its view.
  void Resize(int width, int height);

  // One pass at ms on a monotonic clock: the pass's steps, then its picture. False once the
  // timedemo has drawn its last frame: nothing is drawn then, and Figures() is complete.
  bool Pass(double ms);
  // The last picture drawn again, as after a resize. Nothing before the first pass.
  void Redraw();

  long Passes() const { return passes_; }
  // The steps taken, in key-step syntax, when recording; empty otherwise.
  std::string Journal() const { return journal_.Text(); }
  // The timedemo's figures once its last frame is drawn.
  const FrameFigures& Figures() const { return figures_; }

 private:
  Arrows ScriptArrows(long step, const Arrows& keys) const;
  bool TimedemoPass(double ms);

  LoopOptions options_;
  KeyScript play_;
  long timedemoSteps_ = 0;
  long stepsTaken_ = 0;  // by a pass-paced loop
  long passes_ = 0;
  FramePacer pacer_;
  StepJournal journal_;
  bool redraw_ = true;
  VehicleView drawn_ = {};
  std::vector<double> passMs_;  // the timedemo's pass start times
  FrameFigures figures_;
};
