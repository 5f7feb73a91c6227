// OffscreenGL: a headless OpenGL rendering context for tests, benchmarks and screenshots.
// It opens an EGL display on Mesa's surfaceless platform (no display server needed), creates a
// compatibility-profile context, makes it current with no surface and renders into an RGBA8
// framebuffer object with a 16-bit depth buffer, the depth the Windows program asks for.
// While an OffscreenGL is alive and ok(), plain gl* and glu* calls draw into its framebuffer.
// Needs Mesa's EGL (libegl-mesa0, libgl1-mesa-dri) at run time; only one at a time per thread.
#pragma once

#include <string>
#include <vector>

class OffscreenGL {
 public:
  OffscreenGL(int width, int height);
  ~OffscreenGL();
  OffscreenGL(const OffscreenGL&) = delete;
  OffscreenGL& operator=(const OffscreenGL&) = delete;

  // False when any step of the set-up failed; error() then names the step.
  bool ok() const { return error_.empty(); }
  const char* error() const { return error_.c_str(); }
  int width() const { return width_; }
  int height() const { return height_; }

  // The colour buffer after glFinish: rows top-first, 3 bytes (R, G, B) per pixel, no row fill.
  std::vector<unsigned char> ReadRGB() const;
  // Replaces the framebuffer's storage with one of the new size and sets the viewport to it.
  // The contents are undefined afterwards.
  void Resize(int width, int height);

 private:
  bool CreateFramebuffer();
  void DestroyFramebuffer();

  int width_ = 0;
  int height_ = 0;
  std::string error_;
  void* display_ = nullptr;  // EGLDisplay
  void* context_ = nullptr;  // EGLContext
  unsigned int framebuffer_ = 0;
  unsigned int colour_ = 0;
  unsigned int depth_ = 0;
};
