// The two loops the benchmark times against each other at one size, in one context: the demo's
// real frame (DrawScene for each position of the scripted drive) and the floor, the least any
// frame of the demo can cost: clear the depth buffer, one full-screen quad with a mipmapped
// 24-bit texture the size of the sky, present. Need a current context; the demo loop needs the
// scene set up (InitScene, ResizeScene).
#pragma once

#include "texture/texture.h"

class FrameTarget;

// The floor's texture and its one-quad frame. The quad is drawn with the fixed state the floor
// needs (texture on; lighting, blending, depth test and culling off), set in Begin and taken back
// in End, so the scene's state is untouched around a floor run.
class FloorScene {
 public:
  // Loads the picture through the program's own loader, so the floor's texture has the sky's size,
  // format, mipmaps and filtering. False when the file could not be read.
  bool Load(const char* picture);
  void Begin();
  void DrawFrame();
  void End();

 private:
  Texture texture_;
};

struct LoopTiming {
  long frames = 0;
  double seconds = 0.0;
  double FramesPerSecond() const { return seconds > 0.0 ? frames / seconds : 0.0; }
};

// Drives g_vehicle from the start to the finish by the script, drawing and presenting every
// stride-th pass (stride 1 draws every pass, as the program does).
LoopTiming RunDemoDrive(FrameTarget& target, long passes, int stride);
// The floor for the given number of frames.
LoopTiming RunFloor(FrameTarget& target, FloorScene& floor, long frames);
