// The web layer's matrices, attribute stack and mipmaps against what Mesa computes for the same
// calls: the scene's camera and flare transforms, the scene's glPushAttrib groups, and
// gluBuild2DMipmaps on a BGR picture with padded rows; and the list compiler on a list shaped
// like the track's.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "offscreen_gl.h"
#include "opengl.h"
#include "web/display_list.h"
#include "web/fixed_state.h"
#include "web/matrix.h"
#include "web/mipmap.h"

namespace {

using gl11::Matrix;

void ExpectNear(const Matrix& ours, const GLfloat (&mesa)[16]) {
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(ours.m[i], mesa[i], 2e-6f) << "element " << i;
}

// A camera on a climb turned left, then a flare's translation and facing turns, pushed and
// popped: the order of the products, the rotation's sense and the stack must all agree.
TEST(GlLayerMatrices, MatchMesaForTheCameraAndAFlare) {
  OffscreenGL gl(16, 16);
  ASSERT_TRUE(gl.ok()) << gl.error();
  GLfloat mesa[16];

  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(120.0, 4.0 / 3.0, 0.001, 6.0);
  glGetFloatv(GL_PROJECTION_MATRIX, mesa);
  ExpectNear(Matrix::Perspective(120.0, 4.0 / 3.0, 0.001, 6.0), mesa);

  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glRotatef(318.09f, 1, 0, 0);
  glRotatef(360.0f - 192.0f, 0, 1, 0);
  glRotatef(360.0f, 0, 0, 1);
  glTranslatef(-0.042f, -0.1675f, -2.73f);
  gl11::MatrixStack stack(32);
  stack.Top() = Matrix::Rotation(318.09f, 1, 0, 0) * Matrix::Rotation(360.0f - 192.0f, 0, 1, 0) *
                Matrix::Rotation(360.0f, 0, 0, 1) * Matrix::Translation(-0.042f, -0.1675f, -2.73f);
  const Matrix camera = stack.Top();
  glGetFloatv(GL_MODELVIEW_MATRIX, mesa);
  ExpectNear(camera, mesa);

  glPushMatrix();
  glTranslatef(0.15f, 0.2f, 3.1f);
  glRotatef(-5.7106f, 1, 0, 0);
  glRotatef(8.5308f, 0, 1, 0);
  ASSERT_TRUE(stack.Push());
  stack.Top() = stack.Top() * Matrix::Translation(0.15f, 0.2f, 3.1f) *
                Matrix::Rotation(-5.7106f, 1, 0, 0) * Matrix::Rotation(8.5308f, 0, 1, 0);
  glGetFloatv(GL_MODELVIEW_MATRIX, mesa);
  ExpectNear(stack.Top(), mesa);

  // Rotations and translations only: the normals' matrix is the upper 3x3 itself, not its
  // transpose.
  float normals[9];
  stack.Top().NormalMatrix(normals);
  for (int column = 0; column < 3; ++column) {
    for (int row = 0; row < 3; ++row) {
      EXPECT_NEAR(normals[column * 3 + row], mesa[column * 4 + row], 2e-6f);
    }
  }

  glPopMatrix();
  ASSERT_TRUE(stack.Pop());
  glGetFloatv(GL_MODELVIEW_MATRIX, mesa);
  ExpectNear(stack.Top(), mesa);
  EXPECT_FALSE(stack.Pop()) << "the last matrix stays";

  for (int i = 1; i < 32; ++i) ASSERT_TRUE(stack.Push());
  stack.Top() = Matrix::Identity();
  EXPECT_FALSE(stack.Push()) << "a full stack takes no more";
  EXPECT_EQ(stack.Size(), 32);
}

class Parameters : public gl11::TextureParameterStore {
 public:
  gl11::TextureParameters Get(uint32_t name) const override { return table[name]; }
  void Set(uint32_t name, const gl11::TextureParameters& p) override { table[name] = p; }
  gl11::TextureParameters table[3];
};

// The sky's bracket inside the flares' one: each pop gives back exactly its groups, and the
// texture bound at the push gets its own wrap back even when another one is bound at the pop.
TEST(GlLayerAttributes, PopRestoresThePushedGroupsOnly) {
  gl11::FixedState state;
  Parameters textures;
  gl11::AttribStack stack;
  state.blend = true;
  state.depthTest = true;
  state.texture2D = true;
  state.boundTexture = 1;
  textures.table[1].wrapS = GL_CLAMP;
  ASSERT_TRUE(stack.Push(gl11::kTextureBit | gl11::kColorBufferBit | gl11::kDepthBufferBit, state,
                         textures));
  state.depthTest = false;
  state.boundTexture = 2;
  state.blendSource = GL_SRC_ALPHA;
  ASSERT_TRUE(stack.Push(gl11::kTextureBit | gl11::kFogBit, state, textures));
  state.fog = true;
  state.blend = false;  // not in this push: stays off at its pop
  textures.table[2].wrapS = GL_REPEAT;
  state.boundTexture = 1;
  textures.table[1].wrapS = GL_REPEAT;
  state.lighting = true;  // in no pushed group: survives both pops

  ASSERT_TRUE(stack.Pop(&state, &textures));
  EXPECT_FALSE(state.fog);
  EXPECT_FALSE(state.blend);
  EXPECT_EQ(state.boundTexture, 2u);
  EXPECT_EQ(textures.table[2].wrapS, static_cast<uint32_t>(GL_REPEAT)) << "as it was pushed";
  EXPECT_EQ(textures.table[1].wrapS, static_cast<uint32_t>(GL_REPEAT)) << "not bound at the push";

  ASSERT_TRUE(stack.Pop(&state, &textures));
  EXPECT_TRUE(state.blend);
  EXPECT_TRUE(state.depthTest);
  EXPECT_EQ(state.blendSource, static_cast<uint32_t>(GL_ONE));
  EXPECT_EQ(state.boundTexture, 1u);
  EXPECT_EQ(textures.table[1].wrapS, static_cast<uint32_t>(GL_CLAMP));
  EXPECT_TRUE(state.lighting);
  EXPECT_FALSE(stack.Pop(&state, &textures)) << "an empty stack changes nothing";
}

// The floor's bracket: every switch and the current attributes come back, the binding too.
TEST(GlLayerAttributes, EnableAndCurrentGroupsComeBack) {
  gl11::FixedState state;
  Parameters textures;
  gl11::AttribStack stack;
  state.lighting = state.cullFace = state.colorMaterial = true;
  state.color[0] = 0.25f;
  state.texCoord[1] = 0.5f;
  ASSERT_TRUE(
      stack.Push(gl11::kEnableBit | gl11::kTextureBit | gl11::kCurrentBit, state, textures));
  state.lighting = state.cullFace = false;
  state.texture2D = true;
  state.boundTexture = 2;
  state.color[0] = 1;
  state.texCoord[1] = 0;
  state.blendSource = GL_SRC_ALPHA;  // in no pushed group
  ASSERT_TRUE(stack.Pop(&state, &textures));
  EXPECT_TRUE(state.lighting && state.cullFace && state.colorMaterial);
  EXPECT_FALSE(state.texture2D);
  EXPECT_EQ(state.boundTexture, 0u);
  EXPECT_EQ(state.color[0], 0.25f);
  EXPECT_EQ(state.texCoord[1], 0.5f);
  EXPECT_EQ(state.blendSource, static_cast<uint32_t>(GL_SRC_ALPHA));
}

gl11::ListCommand Command(gl11::ListCommand::Kind kind, float a = 0, float b = 0, float c = 0) {
  return {kind, {a, b, c, 0}};
}

// As the track's list: a colour, a gate quad bound to one picture with no normal of its own, then
// the surface's picture and triangles with normals. The quad splits counter-clockwise, the gate
// takes glCallList's normal, a stray vertex and an incomplete triangle add nothing, a draw knows
// where its coordinates leave the picture, and the list leaves its last attributes and binding
// current.
TEST(GlLayerLists, CompileIntoDrawsOfOneBindingAndOneSetOfAttributes) {
  using C = gl11::ListCommand;
  const std::vector<C> commands = {
      Command(C::kColor, 1, 1, 1.75f),
      Command(C::kVertex, 9, 9, 9),  // outside glBegin
      Command(C::kBindTexture, 3),
      Command(C::kBegin, GL_QUADS),
      Command(C::kTexCoord, 0, 1),
      Command(C::kVertex, 0, 0, 0),
      Command(C::kVertex, 1, 0, 0),
      Command(C::kVertex, 1, 1, 0),
      Command(C::kVertex, 0, 1, 0),
      Command(C::kEnd),
      Command(C::kBindTexture, 1),
      Command(C::kBegin, GL_TRIANGLES),
      Command(C::kNormal, 0, 1, 0),
      Command(C::kVertex, 2, 0, 0),
      Command(C::kVertex, 3, 0, 0),
      Command(C::kTexCoord, 1, 0),
      Command(C::kVertex, 3, 0, 1),
      Command(C::kNormal, 0, 0, 1),
      Command(C::kVertex, 5, 5, 5),  // an incomplete second triangle
      Command(C::kEnd),
      Command(C::kBegin, GL_TRIANGLES),
      Command(C::kVertex, 4, 0, 0),
      Command(C::kTexCoord, 1, -0.5f),  // off the picture: a clamped axis clamps per fragment
      Command(C::kVertex, 5, 0, 0),
      Command(C::kTexCoord, 1, 0),
      Command(C::kVertex, 5, 0, 1),
      Command(C::kEnd),
  };
  const gl11::CompiledList list = gl11::CompileList(commands);
  ASSERT_EQ(list.vertices.size(), 12u);
  const float quadX[] = {0, 1, 1, 0, 1, 0};
  const float quadY[] = {0, 0, 1, 0, 1, 1};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(list.vertices[i].position[0], quadX[i]) << i;
    EXPECT_EQ(list.vertices[i].position[1], quadY[i]) << i;
    EXPECT_EQ(list.vertices[i].position[3], 1.0f);
    EXPECT_EQ(list.vertices[i].color[2], 1.75f);
    EXPECT_EQ(list.vertices[i].texCoord[1], 1.0f);
  }
  EXPECT_EQ(list.vertices[8].texCoord[0], 1.0f);
  EXPECT_EQ(list.vertices[7].texCoord[0], 0.0f);
  EXPECT_EQ(list.vertices[11].normal[2], 1.0f) << "the normal set in the dropped triangle";
  EXPECT_EQ(list.vertices[11].position[0], 5.0f);

  ASSERT_EQ(list.draws.size(), 2u);
  const gl11::ListDraw& gate = list.draws[0];
  EXPECT_EQ(gate.first, 0u);
  EXPECT_EQ(gate.count, 6u);
  EXPECT_EQ(gate.inherited, gl11::kNormalBit);
  EXPECT_TRUE(gate.bindsTexture);
  EXPECT_EQ(gate.texture, 3u);
  EXPECT_EQ(gate.texCoordsOutside, 0);
  const gl11::ListDraw& surface = list.draws[1];
  EXPECT_EQ(surface.first, 6u);
  EXPECT_EQ(surface.count, 6u) << "both triangle batches in one draw";
  EXPECT_EQ(surface.inherited, 0);
  EXPECT_EQ(surface.texture, 1u);
  EXPECT_EQ(surface.texCoordsOutside, gl11::kAxisT);

  EXPECT_EQ(list.sets, gl11::kColorBit | gl11::kNormalBit | gl11::kTexCoordBit);
  EXPECT_EQ(list.normal[2], 1.0f);
  EXPECT_EQ(list.texCoord[0], 1.0f);
  EXPECT_TRUE(list.bindsTexture);
  EXPECT_EQ(list.texture, 1u);
}

// Mesa's mipmap levels of a 2x8 BGR picture, read back as RGBA.
std::vector<std::vector<uint8_t>> MesaLevels(const std::vector<uint8_t>& bgr, int alignment) {
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
  std::vector<std::vector<uint8_t>> levels;
  if (gluBuild2DMipmaps(GL_TEXTURE_2D, 3, 2, 8, GL_BGR_EXT, GL_UNSIGNED_BYTE, bgr.data()) != 0) {
    return levels;
  }
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  for (int level = 0; level < 4; ++level) {
    GLint w = 0, h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &h);
    levels.emplace_back(static_cast<size_t>(w) * h * 4);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, levels.back().data());
  }
  glDeleteTextures(1, &texture);
  return levels;
}

std::vector<uint8_t> Noise(size_t size) {
  std::vector<uint8_t> bytes(size);
  uint32_t seed = 12345;
  for (uint8_t& byte : bytes)
    byte = static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 23);
  return bytes;
}

// A 2x8 BGR picture, 2x8, 1x4, 1x2 and 1x1 byte for byte: the channel order, the rounding of
// 2x2 blocks, the one-wide levels' averaging, and rows padded to the unpack alignment. Mesa's
// GLU uploads its own smaller levels with the caller's alignment although it packs them tightly,
// so with rows padded to 4 only its level 0 is right; the layer uploads every level tightly.
TEST(GlLayerMipmaps, MatchGluBuild2DMipmaps) {
  OffscreenGL gl(16, 16);
  ASSERT_TRUE(gl.ok()) << gl.error();
  const std::vector<uint8_t> tight = Noise(6 * 8);
  const std::vector<std::vector<uint8_t>> mesa = MesaLevels(tight, 1);
  const gl11::MipChain chain = gl11::BuildMipmaps(tight.data(), 2, 8, true, 1, 4096);
  EXPECT_EQ(chain.levels, mesa);

  std::vector<uint8_t> padded(8 * 8);
  for (int row = 0; row < 8; ++row) {
    std::copy(tight.begin() + row * 6, tight.begin() + row * 6 + 6, padded.begin() + row * 8);
  }
  const gl11::MipChain fromPadded = gl11::BuildMipmaps(padded.data(), 2, 8, true, 4, 4096);
  EXPECT_EQ(fromPadded.levels, chain.levels);
  ASSERT_FALSE(fromPadded.levels.empty());
  EXPECT_EQ(fromPadded.levels[0], MesaLevels(padded, 4).at(0));
}

}  // namespace
