// The shadow copies of WebGL's state; see webgl_state.h.
#include "web/webgl_state.h"

#include <GL/gl.h>
#include <webgl/webgl1.h>

#include <array>

namespace gl11::webgl {

namespace {

// A value WebGL holds, as last set; unknown until the first call.
template <typename T>
struct Shadow {
  T value{};
  bool known = false;

  // True, keeping `next`, when WebGL must be told it.
  bool Changes(const T& next) {
    if (known && value == next) return false;
    value = next;
    known = true;
    return true;
  }
};

struct State {
  Shadow<bool> blend, depthTest, cullFace, depthMask;
  Shadow<std::array<uint32_t, 2>> blendFunc;
  Shadow<uint32_t> depthFunc, program, arrayBuffer, texture;
  Shadow<std::array<int, 4>> viewport;
  Shadow<std::array<float, 4>> clearColor;
  Shadow<float> clearDepth;
  Shadow<bool> vertexArrays[4];
};

State g_state;

Shadow<bool>* SwitchOf(uint32_t capability) {
  switch (capability) {
    case GL_BLEND:
      return &g_state.blend;
    case GL_DEPTH_TEST:
      return &g_state.depthTest;
    case GL_CULL_FACE:
      return &g_state.cullFace;
    default:
      return nullptr;
  }
}

}  // namespace

void Enable(uint32_t capability, bool on) {
  Shadow<bool>* shadow = SwitchOf(capability);
  if (shadow == nullptr || !shadow->Changes(on)) return;
  if (on) {
    emscripten_glEnable(capability);
  } else {
    emscripten_glDisable(capability);
  }
}

void BlendFunc(uint32_t source, uint32_t destination) {
  if (g_state.blendFunc.Changes({source, destination})) {
    emscripten_glBlendFunc(source, destination);
  }
}

void DepthFunc(uint32_t function) {
  if (g_state.depthFunc.Changes(function)) emscripten_glDepthFunc(function);
}

void DepthMask(bool on) {
  if (g_state.depthMask.Changes(on)) emscripten_glDepthMask(on);
}

void Viewport(const int (&v)[4]) {
  if (g_state.viewport.Changes({v[0], v[1], v[2], v[3]})) {
    emscripten_glViewport(v[0], v[1], v[2], v[3]);
  }
}

void ClearColor(const float (&c)[4]) {
  if (g_state.clearColor.Changes({c[0], c[1], c[2], c[3]})) {
    emscripten_glClearColor(c[0], c[1], c[2], c[3]);
  }
}

void ClearDepth(float depth) {
  if (g_state.clearDepth.Changes(depth)) emscripten_glClearDepthf(depth);
}

void UseProgram(uint32_t program) {
  if (g_state.program.Changes(program)) emscripten_glUseProgram(program);
}

void BindArrayBuffer(uint32_t buffer) {
  if (g_state.arrayBuffer.Changes(buffer)) emscripten_glBindBuffer(GL_ARRAY_BUFFER, buffer);
}

void BindTexture(uint32_t texture) {
  if (g_state.texture.Changes(texture)) emscripten_glBindTexture(GL_TEXTURE_2D, texture);
}

void VertexArray(uint32_t index, bool enabled) {
  if (!g_state.vertexArrays[index].Changes(enabled)) return;
  if (enabled) {
    emscripten_glEnableVertexAttribArray(index);
  } else {
    emscripten_glDisableVertexAttribArray(index);
  }
}

void TextureDeleted(uint32_t texture) {
  if (g_state.texture.value == texture) g_state.texture.known = false;
}

void Forget() {
  g_state = State{};
}

}  // namespace gl11::webgl
