// The layer's one rendering context: the fixed state, the matrix and attribute stacks, the
// current vertex attributes, the vertices waiting to be drawn, the texture objects and the display
// lists. The gl_*.cpp files implement the OpenGL 1.1 entry points on it; renderer.cpp draws it
// with WebGL. Emscripten only.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "web/fixed_state.h"
#include "web/matrix.h"

namespace gl11 {

// One vertex as the shader reads it: the attributes current when glVertex was called, its
// position and normal already in eye coordinates. Transforming on the processor at glEnd lets
// triangles under different model-view matrices (a flare each) share one draw.
struct Vertex {
  float position[4];
  float color[4];
  float normal[3];
  float texCoord[2];
};

struct TextureObject {
  TextureParameters parameters;
  uint32_t webgl = 0;  // the WebGL texture holding the image, 0 until one is given
  int width = 0;       // of level 0
  int height = 0;
  int levels = 0;  // a complete mipmap chain down to 1x1, or 0 without an image
};

// A command recorded into a display list, with its arguments.
struct ListCommand {
  enum Kind : uint8_t { kBegin, kEnd, kColor, kNormal, kTexCoord, kVertex, kBindTexture };
  Kind kind;
  float value[4];
};

struct Context : TextureParameterStore {
  FixedState state;
  AttribStack attribs;
  MatrixStack modelview{32};
  MatrixStack projection{2};
  MatrixStack* matrices = &modelview;

  float color[4] = {1, 1, 1, 1};
  float normal[3] = {0, 0, 1};
  float texCoord[2] = {0, 0};

  uint32_t primitive = 0;  // the mode of the open glBegin
  bool inBegin = false;
  std::vector<Vertex> primitiveVertices;
  std::vector<Vertex> batch;  // whole triangles drawn with the state of their time, at Flush

  std::vector<TextureObject> textures{1};  // indexed by name; 0 is the default texture
  int unpackAlignment = 4;
  int viewport[4] = {0, 0, 0, 0};  // set by the shell's first ResizeScene

  std::unordered_map<uint32_t, std::vector<ListCommand>> lists;
  std::vector<ListCommand>* recording = nullptr;  // the list being compiled, if any

  TextureParameters Get(uint32_t name) const override;
  void Set(uint32_t name, const TextureParameters& parameters) override;
  TextureObject* Texture(uint32_t name);  // null for a name never generated
};

Context& Current();

// Draws the waiting triangles with the state as it stands. Every entry point that changes state
// the triangles are drawn with calls this first; the model-view matrix is not such state.
void Flush(Context& context);

// Context::Current() after Flush: the context for an entry point about to change draw state.
Context& ChangingState();

// glClear on WebGL, with the clear values and the depth mask of the fixed state.
void ClearBuffers(const Context& context, uint32_t mask);

// Appends the command to the list being compiled and returns true; false when no list is being
// compiled, and the caller executes the command.
bool Recorded(ListCommand::Kind kind, float a = 0, float b = 0, float c = 0, float d = 0);

// The immediate-mode commands, shared by the entry points and display-list replay.
void Begin(Context& context, uint32_t mode);
void End(Context& context);
void AddVertex(Context& context, float x, float y, float z);
void BindTexture(Context& context, uint32_t name);

}  // namespace gl11
