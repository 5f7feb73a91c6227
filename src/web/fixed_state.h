// The fixed-function state the layer keeps on behalf of WebGL: the switches, blend and depth
// functions, the light, the material, the texture binding and the current vertex attributes, with
// their OpenGL 1.1 defaults,
// and the glPushAttrib/glPopAttrib stack over the attribute groups the program pushes. Plain
// data; the renderer turns it into WebGL state when it draws. Needs no WebGL.
#pragma once

#include <cstdint>

namespace gl11 {

// The parameters of one texture object that GL_TEXTURE_BIT saves with the binding.
struct TextureParameters {
  uint32_t wrapS = 0x2901;      // GL_REPEAT
  uint32_t wrapT = 0x2901;      // GL_REPEAT
  uint32_t minFilter = 0x2702;  // GL_NEAREST_MIPMAP_LINEAR
  uint32_t magFilter = 0x2601;  // GL_LINEAR
};

struct FixedState {
  // Switches of glEnable/glDisable.
  bool blend = false;
  bool depthTest = false;
  bool cullFace = false;
  bool texture2D = false;
  bool lighting = false;
  bool light0 = false;
  bool colorMaterial = false;
  bool fog = false;

  uint32_t blendSource = 1;       // GL_ONE
  uint32_t blendDestination = 0;  // GL_ZERO
  uint32_t depthFunc = 0x0201;    // GL_LESS
  bool depthMask = true;
  float clearColor[4] = {0, 0, 0, 0};
  float clearDepth = 1;

  uint32_t boundTexture = 0;  // the name bound to GL_TEXTURE_2D; 0 is the default texture

  // Light 0, its position already in eye coordinates (transformed when glLightfv set it).
  float lightAmbient[4] = {0, 0, 0, 1};
  float lightDiffuse[4] = {1, 1, 1, 1};
  float lightPosition[4] = {0, 0, 1, 0};
  float sceneAmbient[4] = {0.2f, 0.2f, 0.2f, 1};
  // The front material.
  float materialAmbient[4] = {0.2f, 0.2f, 0.2f, 1};
  float materialDiffuse[4] = {0.8f, 0.8f, 0.8f, 1};
  uint32_t colorMaterialMode = 0x1602;  // GL_AMBIENT_AND_DIFFUSE

  // The current vertex attributes, which glColor, glNormal and glTexCoord set.
  float color[4] = {1, 1, 1, 1};
  float normal[3] = {0, 0, 1};
  float texCoord[2] = {0, 0};
};

// Attribute groups of glPushAttrib that the layer saves; others are accepted and not saved.
constexpr uint32_t kCurrentBit = 0x0001;
constexpr uint32_t kEnableBit = 0x2000;
constexpr uint32_t kColorBufferBit = 0x4000;
constexpr uint32_t kDepthBufferBit = 0x0100;
constexpr uint32_t kFogBit = 0x0080;
constexpr uint32_t kTextureBit = 0x40000;

// Where the stack reads and writes texture parameters: the texture objects live elsewhere.
class TextureParameterStore {
 public:
  virtual ~TextureParameterStore() = default;
  virtual TextureParameters Get(uint32_t name) const = 0;
  virtual void Set(uint32_t name, const TextureParameters& parameters) = 0;
};

// glPushAttrib/glPopAttrib. GL_TEXTURE_BIT saves the binding and the parameters of the texture
// bound at the push; the pop gives that texture its parameters back, then rebinds it.
class AttribStack {
 public:
  // False, changing nothing, when the stack is full (OpenGL's stack-overflow error).
  bool Push(uint32_t mask, const FixedState& state, const TextureParameterStore& textures);
  // False, changing nothing, when the stack is empty (stack underflow).
  bool Pop(FixedState* state, TextureParameterStore* textures);
  int Size() const { return size_; }

 private:
  struct Entry {
    uint32_t mask;
    FixedState state;
    TextureParameters texture;
  };
  static constexpr int kDepth = 16;  // GL_MAX_ATTRIB_STACK_DEPTH's minimum
  Entry entries_[kDepth];
  int size_ = 0;
};

}  // namespace gl11
