// The timed loops; see frame_loops.h. Nothing here allocates, reads back or waits inside a loop
// beyond what FrameTarget::Present does for both loops alike.
#include "frame_loops.h"

#include <chrono>

#include "app/frame_pass.h"
#include "app/timedemo.h"
#include "frame_target.h"
#include "opengl.h"
#include "scene/scene.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

LoopTiming RunDemoDrive(FrameTarget& target, long passes, int stride) {
  ResetToStart(g_vehicle);
  LoopTiming timing;
  const Clock::time_point start = Clock::now();
  for (long pass = 0; pass < passes; ++pass) {
    ApplyArrows(DriveArrowsAt(pass), g_vehicle);
    if (pass % stride != 0) continue;
    const Clock::time_point draw = Clock::now();
    DrawScene();
    timing.drawSeconds += SecondsSince(draw);
    target.Present();
    ++timing.frames;
  }
  timing.seconds = SecondsSince(start);
  return timing;
}

LoopTiming RunFloor(FrameTarget& target, FloorScene& floor, long frames) {
  floor.Begin();
  LoopTiming timing;
  const Clock::time_point start = Clock::now();
  for (long frame = 0; frame < frames; ++frame) {
    floor.DrawFrame();
    target.Present();
  }
  timing.seconds = SecondsSince(start);
  timing.frames = frames;
  floor.End();
  return timing;
}
