// Display lists compiled once: the vertex the shader reads, the commands a list records, and the
// compiler that turns a list's commands into triangles in object coordinates for one static
// buffer, cut into draws wherever the list binds a texture or first sets an attribute. Pure data
// and arithmetic; needs no WebGL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace gl11 {

// One vertex as the shader reads it, with the attributes current when glVertex was called.
struct Vertex {
  float position[4];
  float color[4];
  float normal[3];
  float texCoord[2];
};

// The current vertex attributes, one bit each.
enum AttributeBit : uint8_t { kColorBit = 1, kNormalBit = 2, kTexCoordBit = 4 };

// The axes of a texture coordinate, one bit each.
enum TexAxisBit : uint8_t { kAxisS = 1, kAxisT = 2 };

// The axes on which the texture coordinate (s, t) lies outside [0, 1].
uint8_t TexCoordOutside(const float (&st)[2]);

// The axes on which some of `count` vertices' texture coordinates lie outside [0, 1].
uint8_t TexCoordsOutside(const Vertex* vertices, size_t count);

// A command recorded into a display list, with its arguments.
struct ListCommand {
  enum Kind : uint8_t { kBegin, kEnd, kColor, kNormal, kTexCoord, kVertex, kBindTexture };
  Kind kind;
  float value[4];
};

// The whole triangles of one glBegin/glEnd appended to `out`: GL_TRIANGLES as they are, a quad
// (v0 v1 v2 v3) as (v0 v1 v2) and (v0 v2 v3), both counter-clockwise when the quad is. A last
// incomplete primitive, and any other mode, adds nothing.
void AppendTriangles(uint32_t mode, const std::vector<Vertex>& vertices, std::vector<Vertex>* out);

// Vertices [first, first + count) of a compiled list, drawn with one state.
struct ListDraw {
  uint32_t first;
  uint32_t count;
  // The attributes the list had not set yet at these vertices: the ones current at glCallList
  // stand in for them.
  uint8_t inherited;
  bool bindsTexture;             // false: drawn with the texture bound at glCallList
  uint32_t texture;              // the list's own binding, when bindsTexture
  uint8_t texCoordsOutside = 0;  // of the vertices' own coordinates (TexAxisBit)
};

struct CompiledList {
  std::vector<Vertex> vertices;  // object coordinates; the CPU copy of the static buffer
  std::vector<ListDraw> draws;
  // What the list leaves current: the attributes in `sets`, the binding when bindsTexture.
  uint8_t sets = 0;
  float color[4] = {};
  float normal[3] = {};
  float texCoord[2] = {};
  bool bindsTexture = false;
  uint32_t texture = 0;
  uint32_t webglBuffer = 0;  // 0 until drawn on the current WebGL context
};

CompiledList CompileList(const std::vector<ListCommand>& commands);

}  // namespace gl11
