// The WebGL context the page draws into, made on its canvas and made current. Header-only, so
// that the benchmark's floor page (bench/web/) asks the browser for the very same context.
// Emscripten only.
#pragma once

#include <emscripten/html5.h>

// ChoosePixelFormat's counterpart: WebGL 2, RGB without alpha, depth, no stencil and no
// antialiasing; the drawing buffer is not kept after presenting (every picture shown is drawn in
// its own frame). Returns the current context, or 0 when the browser cannot make one.
inline EMSCRIPTEN_WEBGL_CONTEXT_HANDLE CreatePageContext(const char* canvas) {
  EmscriptenWebGLContextAttributes attributes;
  emscripten_webgl_init_context_attributes(&attributes);
  attributes.alpha = EM_FALSE;
  attributes.depth = EM_TRUE;
  attributes.stencil = EM_FALSE;
  attributes.antialias = EM_FALSE;
  attributes.preserveDrawingBuffer = EM_FALSE;
  attributes.majorVersion = 2;
  attributes.minorVersion = 0;
  const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context =
      emscripten_webgl_create_context(canvas, &attributes);
  if (context <= 0) return 0;
  if (emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS) {
    emscripten_webgl_destroy_context(context);
    return 0;
  }
  return context;
}
