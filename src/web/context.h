// The layer's one rendering context: the fixed state, the matrix and attribute stacks, the
// vertices waiting to be drawn, the texture objects and the compiled display lists. The gl_*.cpp
// files implement the OpenGL 1.1 entry points on it; renderer.cpp draws it with WebGL.
// Emscripten only.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "web/clamp_border.h"
#include "web/display_list.h"
#include "web/fixed_state.h"
#include "web/matrix.h"
#include "web/mipmap.h"

namespace gl11 {

// A texture's picture as one WebGL texture holds it for one combination of wraps.
struct WebGlImage {
  uint32_t texture = 0;  // 0 until drawn with these wraps on the current context
  BorderFrame frame;
  uint32_t minFilter = 0;  // last given to the WebGL texture; 0 for none yet
};

struct TextureObject {
  TextureParameters parameters;
  MipChain chain;        // the picture's levels, from gluBuild2DMipmaps; none without a picture
  WebGlImage images[4];  // indexed by the axes that clamp (TexAxisBit)
};

struct Context : TextureParameterStore {
  FixedState state;
  AttribStack attribs;
  MatrixStack modelview{32};
  MatrixStack projection{2};
  MatrixStack* matrices = &modelview;

  uint32_t primitive = 0;  // the mode of the open glBegin
  bool inBegin = false;
  std::vector<Vertex> primitiveVertices;
  // Whole triangles in eye coordinates, drawn with the state of their time at Flush. Transforming
  // these few on the processor at glEnd lets triangles under different model-view matrices (a
  // flare each) share one draw.
  std::vector<Vertex> batch;

  std::vector<TextureObject> textures{1};  // indexed by name; 0 is the default texture
  int unpackAlignment = 4;
  int viewport[4] = {0, 0, 0, 0};  // set by the shell's first ResizeScene

  std::unordered_map<uint32_t, CompiledList> lists;
  uint32_t recordingName = 0;  // the list being compiled, 0 for none
  std::vector<ListCommand> recording;

  TextureParameters Get(uint32_t name) const override;
  void Set(uint32_t name, const TextureParameters& parameters) override;
  TextureObject* Texture(uint32_t name);  // null for a name never generated
};

Context& Current();

// Draws the waiting triangles with the state as it stands. Every entry point that changes state
// the triangles are drawn with calls this first; the model-view matrix is not such state.
void Flush(Context& context);

// Draws one draw of a compiled list from its static buffer, after the waiting triangles, with the
// state as it stands and the model-view matrix as a uniform.
void DrawList(Context& context, CompiledList& list, const ListDraw& draw);

// Deletes the list's static buffer, if it has one on the current context.
void ReleaseList(CompiledList& list);

// Context::Current() after Flush: the context for an entry point about to change draw state.
Context& ChangingState();

// glClear on WebGL, with the clear values and the depth mask of the fixed state.
void ClearBuffers(const Context& context, uint32_t mask);

// Appends the command to the list being compiled and returns true; false when no list is being
// compiled, and the caller executes the command.
bool Recorded(ListCommand::Kind kind, float a = 0, float b = 0, float c = 0, float d = 0);

void BindTexture(Context& context, uint32_t name);

// Makes and binds the WebGL texture that draws the texture's picture when the axes in `clamped`
// clamp: its levels framed in the border colour on those axes (clamp_border.h).
void MakeImage(const TextureObject& texture, uint8_t clamped, WebGlImage* image);

// Deletes the texture's WebGL textures.
void ReleaseImages(TextureObject* texture);

}  // namespace gl11
