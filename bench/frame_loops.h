// The two loops the benchmark times against each other at one size, in one context: the demo's
// real frame (DrawScene for each position of the scripted drive) and the floor (floor_scene.h),
// each followed by a present. Need a current context; the demo loop needs the scene set up
// (InitScene, ResizeScene).
#pragma once

#include "floor_scene.h"

class FrameTarget;

struct LoopTiming {
  long frames = 0;
  double seconds = 0.0;
  double drawSeconds = 0.0;  // of the demo, inside DrawScene: the processor's part of the frames
  double FramesPerSecond() const { return seconds > 0.0 ? frames / seconds : 0.0; }
};

// Drives g_vehicle from the start to the finish by the script, drawing and presenting every
// stride-th pass (stride 1 draws every pass, as the program does).
LoopTiming RunDemoDrive(FrameTarget& target, long passes, int stride);
// The floor for the given number of frames.
LoopTiming RunFloor(FrameTarget& target, FloorScene& floor, long frames);
