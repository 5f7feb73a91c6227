// FrameTarget; see frame_target.h. Only this file of the benchmark includes SDL.h.
#include "frame_target.h"

#include "offscreen_gl.h"
#include "opengl.h"

#if defined(VORTALUX_BENCH_WINDOW)
#include <SDL.h>
#endif

FrameTarget::FrameTarget(TargetKind kind, int width, int height) : kind_(kind) {
  if (kind == TargetKind::kWindow) {
    OpenWindow(width, height);
    return;
  }
  offscreen_ = std::make_unique<OffscreenGL>(width, height);
  if (!offscreen_->ok()) error_ = offscreen_->error();
}

FrameTarget::~FrameTarget() {
  CloseWindow();
}

const char* FrameTarget::Describe() const {
  return kind_ == TargetKind::kWindow ? "SDL2 window, present = swap"
                                      : "offscreen EGL, present = glFinish";
}

#if defined(VORTALUX_BENCH_WINDOW)

bool WindowTargetAvailable() {
  return true;
}

// The program's own window: borderless at (0,0), double-buffered, 16-bit depth.
void FrameTarget::OpenWindow(int width, int height) {
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    error_ = std::string("SDL_Init: ") + SDL_GetError();
    return;
  }
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
  SDL_Window* window = SDL_CreateWindow("Vortalux bench", 0, 0, width, height,
                                        SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS);
  if (window == nullptr) {
    error_ = std::string("SDL_CreateWindow: ") + SDL_GetError();
    return;
  }
  window_ = window;
  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (context == nullptr) {
    error_ = std::string("SDL_GL_CreateContext: ") + SDL_GetError();
    return;
  }
  context_ = context;
  SDL_GL_SetSwapInterval(0);  // as fast as the loop runs; Xvfb has no vertical blank anyway
  glViewport(0, 0, width, height);
}

void FrameTarget::CloseWindow() {
  if (context_ != nullptr) SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context_));
  if (window_ != nullptr) SDL_DestroyWindow(static_cast<SDL_Window*>(window_));
  if (kind_ == TargetKind::kWindow) SDL_Quit();
  context_ = window_ = nullptr;
}

void FrameTarget::Present() {
  if (kind_ == TargetKind::kOffscreen) {
    glFinish();
    return;
  }
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
  }
  SDL_GL_SwapWindow(static_cast<SDL_Window*>(window_));
}

#else

bool WindowTargetAvailable() {
  return false;
}

void FrameTarget::OpenWindow(int, int) {
  error_ = "this build has no window support (SDL2 was not found)";
}

void FrameTarget::CloseWindow() {}

void FrameTarget::Present() {
  glFinish();
}

#endif
