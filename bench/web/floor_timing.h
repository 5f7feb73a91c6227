// The page's timed modes, for the browser benchmark: "?drive" (web_main.cpp) and "?floor", which
// draws the benchmark's floor frame (floor_scene.h) through the same layer instead of the scene.
// In both, every frame ends with a one-pixel read-back, so that each frame is drawn before the next
// one starts, and the time spent drawing inside the frame callback is summed. Emscripten only.
#pragma once

// The "frames" limit with "floor" in the query (0 for none), or -1 without "floor".
int PageFloorFrames();

// Loads the floor's picture and sets up its state; false when the picture cannot be read.
bool StartFloor();

// One floor frame.
void DrawFloorFrame();

// Reads one pixel of the drawing buffer back: returns once WebGL has drawn the frame so far.
void ReadBackOnePixel();

// Milliseconds of processor time inside the frame callbacks, summed between Begin and End.
class DrawTimer {
 public:
  void Begin();
  void End();
  double Ms() const { return ms_; }

 private:
  double start_ = 0;
  double ms_ = 0;
};
