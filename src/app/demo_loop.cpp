// The demo's loop; see demo_loop.h.
#include "app/demo_loop.h"

#include <cstring>

#include "app/frame_pass.h"
#include "scene/scene.h"

DemoLoop::DemoLoop(const LoopOptions& options) : options_(options), play_(options.play) {}

std::vector<std::string> DemoLoop::Start(int width, int height) {
  std::vector<std::string> failed = InitScene();
  g_vehicle.Advance();  // settles the camera on the freshly built track
  ResizeScene(width, height);
  if (options_.timedemo) {
    options_.pace = Pace::kPass;
    timedemoSteps_ = DriveStepCount(g_vehicle);  // drives there and back to the start
    if (options_.timedemoFrames > 0 && options_.timedemoFrames < timedemoSteps_) {
      timedemoSteps_ = options_.timedemoFrames;
    }
  }
  return failed;
}

std::vector<std::string> DemoLoop::Restore() {
  pacer_.Restart();
  redraw_ = true;
  return InitScene();
}

void DemoLoop::Resize(int width, int height) {
  ResizeScene(width, height);
  redraw_ = true;
}

Arrows DemoLoop::ScriptArrows(long step, const Arrows& keys) const {
  if (options_.timedemo) return DriveArrowsAt(step);
  return step < play_.Steps() ? play_.At(step) : keys;
}

bool DemoLoop::Pass(double ms) {
  if (options_.timedemo && !TimedemoPass(ms)) return false;
  ++passes_;
  if (options_.pace == Pace::kPass) {
    const Arrows arrows = ScriptArrows(stepsTaken_++, ArrowsHeldIn(g_keys));
    ApplyArrows(arrows, g_vehicle);  // up: Advance; left: Steer(1.5); right: Steer(-1.5)
    if (options_.record) journal_.Add(arrows, 1);
    DrawScene();
    drawn_ = ViewOf(g_vehicle);
    return true;
  }
  const Arrows keys = TakeArrows();
  const PacedFrame frame = pacer_.Frame(
      ms, [this, &keys](long step) { return ScriptArrows(step, keys); }, g_vehicle);
  if (options_.record) journal_.Add(frame);
  const bool same = std::memcmp(&frame.view, &drawn_, sizeof drawn_) == 0;
  if (redraw_ || !same || !options_.drawOnlyChanges) DrawScene(frame.view);
  drawn_ = frame.view;
  redraw_ = false;
  return true;
}

void DemoLoop::Redraw() {
  if (passes_ == 0) return;  // no picture yet: the first pass draws
  DrawScene(drawn_);
  redraw_ = false;
}

// Each frame's time runs from its pass's start to the next pass's: the pass after the last frame
// only closes the count.
bool DemoLoop::TimedemoPass(double ms) {
  if (passMs_.size() > static_cast<size_t>(timedemoSteps_)) return false;
  passMs_.push_back(ms);
  if (passMs_.size() <= static_cast<size_t>(timedemoSteps_)) return true;
  std::vector<double> frameMs;
  for (size_t i = 1; i < passMs_.size(); ++i) frameMs.push_back(passMs_[i] - passMs_[i - 1]);
  figures_ = SumUpFrames(frameMs);
  return false;
}
