// EGL surfaceless context + framebuffer object; see offscreen_gl.h. The framebuffer entry points
// are not in the OpenGL 1.1 headers' link interface, so they come through eglGetProcAddress.
// libGL (which the core links) and libEGL share GLVND's dispatch, so the core's plain gl* calls
// reach the context made current here.
#include "offscreen_gl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>

namespace {

struct FramebufferCalls {
  PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
  PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
  PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
  PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
  PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
  PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
  PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
  PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
  PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;

  bool Load() {
    Get(genFramebuffers, "glGenFramebuffers");
    Get(deleteFramebuffers, "glDeleteFramebuffers");
    Get(bindFramebuffer, "glBindFramebuffer");
    Get(genRenderbuffers, "glGenRenderbuffers");
    Get(deleteRenderbuffers, "glDeleteRenderbuffers");
    Get(bindRenderbuffer, "glBindRenderbuffer");
    Get(renderbufferStorage, "glRenderbufferStorage");
    Get(framebufferRenderbuffer, "glFramebufferRenderbuffer");
    Get(checkFramebufferStatus, "glCheckFramebufferStatus");
    return genFramebuffers && deleteFramebuffers && bindFramebuffer && genRenderbuffers &&
           deleteRenderbuffers && bindRenderbuffer && renderbufferStorage &&
           framebufferRenderbuffer && checkFramebufferStatus;
  }

  template <typename F>
  static void Get(F& f, const char* name) {
    f = reinterpret_cast<F>(eglGetProcAddress(name));
  }
};

FramebufferCalls g_fbo;

}  // namespace

OffscreenGL::OffscreenGL(int width, int height) : width_(width), height_(height) {
  if (width <= 0 || height <= 0) {
    error_ = "OffscreenGL: width and height must be positive";
    return;
  }
  auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
      eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (!getPlatformDisplay) {
    error_ = "OffscreenGL: eglGetPlatformDisplayEXT is not available";
    return;
  }
  EGLDisplay display =
      getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  if (display == EGL_NO_DISPLAY) {
    error_ = "OffscreenGL: no EGL display on the surfaceless platform";
    return;
  }
  EGLint major = 0, minor = 0;
  if (!eglInitialize(display, &major, &minor)) {
    error_ = "OffscreenGL: eglInitialize failed";
    return;
  }
  display_ = display;
  if (!eglBindAPI(EGL_OPENGL_API)) {
    error_ = "OffscreenGL: eglBindAPI(EGL_OPENGL_API) failed";
    return;
  }
  // The config only fixes the context's kind; nothing is drawn to an EGL surface. The
  // surfaceless platform offers pbuffer configs only (the default asks for window ones).
  const EGLint configAttribs[] = {EGL_SURFACE_TYPE,
                                  EGL_PBUFFER_BIT,
                                  EGL_RENDERABLE_TYPE,
                                  EGL_OPENGL_BIT,
                                  EGL_RED_SIZE,
                                  8,
                                  EGL_GREEN_SIZE,
                                  8,
                                  EGL_BLUE_SIZE,
                                  8,
                                  EGL_NONE};
  EGLConfig config = nullptr;
  EGLint configCount = 0;
  if (!eglChooseConfig(display, configAttribs, &config, 1, &configCount) || configCount < 1) {
    error_ = "OffscreenGL: no OpenGL-capable EGL config";
    return;
  }
  const EGLint contextAttribs[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                   EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
  EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttribs);
  if (context == EGL_NO_CONTEXT) {
    error_ = "OffscreenGL: eglCreateContext (compatibility profile) failed";
    return;
  }
  context_ = context;
  if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
    error_ = "OffscreenGL: eglMakeCurrent with no surface failed";
    return;
  }
  if (!g_fbo.Load()) {
    error_ = "OffscreenGL: framebuffer object entry points are missing";
    return;
  }
  if (!CreateFramebuffer()) return;
  glViewport(0, 0, width_, height_);
}

OffscreenGL::~OffscreenGL() {
  EGLDisplay display = static_cast<EGLDisplay>(display_);
  if (display == nullptr) return;
  if (context_ != nullptr) {
    if (eglGetCurrentContext() == static_cast<EGLContext>(context_)) DestroyFramebuffer();
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display, static_cast<EGLContext>(context_));
  }
  // The display stays initialised for the life of the process (eglInitialize again is a no-op).
  // eglTerminate would unload Mesa's driver, whose once-only allocations LeakSanitizer then
  // reports as leaks from an unknown module.
  eglReleaseThread();
}

bool OffscreenGL::CreateFramebuffer() {
  g_fbo.genFramebuffers(1, &framebuffer_);
  g_fbo.bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  g_fbo.genRenderbuffers(1, &colour_);
  g_fbo.bindRenderbuffer(GL_RENDERBUFFER, colour_);
  g_fbo.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width_, height_);
  g_fbo.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
  g_fbo.genRenderbuffers(1, &depth_);
  g_fbo.bindRenderbuffer(GL_RENDERBUFFER, depth_);
  g_fbo.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, width_, height_);
  g_fbo.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
  g_fbo.bindRenderbuffer(GL_RENDERBUFFER, 0);
  // Drawing and reading both go to the one colour attachment. A glDrawBuffer(GL_BACK) from the
  // scene code (ResizeScene) is refused with a GL error while a framebuffer object is bound, so
  // it leaves this setting alone.
  glDrawBuffer(GL_COLOR_ATTACHMENT0);
  glReadBuffer(GL_COLOR_ATTACHMENT0);
  if (g_fbo.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    error_ = "OffscreenGL: the framebuffer object is incomplete";
    return false;
  }
  return true;
}

void OffscreenGL::DestroyFramebuffer() {
  if (!g_fbo.bindFramebuffer) return;
  g_fbo.bindFramebuffer(GL_FRAMEBUFFER, 0);
  if (colour_) g_fbo.deleteRenderbuffers(1, &colour_);
  if (depth_) g_fbo.deleteRenderbuffers(1, &depth_);
  if (framebuffer_) g_fbo.deleteFramebuffers(1, &framebuffer_);
  colour_ = depth_ = framebuffer_ = 0;
}

void OffscreenGL::Resize(int width, int height) {
  if (context_ == nullptr || width <= 0 || height <= 0) return;
  width_ = width;
  height_ = height;
  DestroyFramebuffer();
  if (CreateFramebuffer()) glViewport(0, 0, width_, height_);
}

std::vector<unsigned char> OffscreenGL::ReadRGB() const {
  std::vector<unsigned char> rgb;
  if (!ok()) return rgb;
  glFinish();
  const size_t rowBytes = static_cast<size_t>(width_) * 3;
  std::vector<unsigned char> bottomFirst(rowBytes * static_cast<size_t>(height_));
  GLint packAlignment = 4;
  glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_COLOR_ATTACHMENT0);
  glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, bottomFirst.data());
  glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
  // OpenGL returns the bottom row first; callers want pictures the way files store them.
  rgb.resize(bottomFirst.size());
  for (int y = 0; y < height_; ++y) {
    std::memcpy(rgb.data() + static_cast<size_t>(y) * rowBytes,
                bottomFirst.data() + static_cast<size_t>(height_ - 1 - y) * rowBytes, rowBytes);
  }
  return rgb;
}
