// What the layer last told WebGL, so that a call restating it is left out: the switches, blend
// and depth functions, the viewport, the clear values, the program, the array buffer, the bound
// texture and the enabled vertex arrays. Emscripten only.
#pragma once

#include <cstdint>

namespace gl11::webgl {

void Enable(uint32_t capability, bool on);  // GL_BLEND, GL_DEPTH_TEST or GL_CULL_FACE
void BlendFunc(uint32_t source, uint32_t destination);
void DepthFunc(uint32_t function);
void DepthMask(bool on);
void Viewport(const int (&viewport)[4]);
void ClearColor(const float (&color)[4]);
void ClearDepth(float depth);
void UseProgram(uint32_t program);
void BindArrayBuffer(uint32_t buffer);
void BindTexture(uint32_t texture);  // on unit 0, the only one the layer uses
void VertexArray(uint32_t index, bool enabled);

// The texture is being deleted; WebGL unbinds it.
void TextureDeleted(uint32_t texture);

// Every value unknown again, as on a new context: the next call of each is made.
void Forget();

}  // namespace gl11::webgl
