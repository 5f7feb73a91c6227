// FrameTarget: where the benchmark draws at 1024x768 and what "presenting" a frame means there.
// Offscreen it is Mesa's EGL surfaceless context with a framebuffer object (OffscreenGL); a frame
// is presented by glFinish, which, like a swap on a software renderer, returns only once the whole
// frame is rasterised; nothing is copied or read back. In a window (SDL2, needs a display) it is
// SDL_GL_SwapWindow after draining the window's events. Both loops of a run present the same way.
#pragma once

#include <memory>
#include <string>

class OffscreenGL;

enum class TargetKind { kOffscreen, kWindow };

class FrameTarget {
 public:
  FrameTarget(TargetKind kind, int width, int height);
  ~FrameTarget();
  FrameTarget(const FrameTarget&) = delete;
  FrameTarget& operator=(const FrameTarget&) = delete;

  // False when the context could not be made; error() then says why.
  bool ok() const { return error_.empty(); }
  const char* error() const { return error_.c_str(); }
  TargetKind kind() const { return kind_; }
  // "offscreen EGL, present = glFinish" or "SDL2 window, present = swap".
  const char* Describe() const;

  void Present();

 private:
  void OpenWindow(int width, int height);
  void CloseWindow();

  TargetKind kind_;
  std::string error_;
  std::unique_ptr<OffscreenGL> offscreen_;
  void* window_ = nullptr;   // SDL_Window*
  void* context_ = nullptr;  // SDL_GLContext
};

// True when this build can open a window (it was built with SDL2).
bool WindowTargetAvailable();
