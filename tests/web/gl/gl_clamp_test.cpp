// GL_CLAMP as the web layer draws it against Mesa's own: the layer's shaders, compiled on Mesa's
// OpenGL, draw quads from the layer's framed images (uploaded as the layer uploads them, the
// texels it leaves unset a loud colour), and Mesa's fixed-function pipeline draws the same quads
// from the same picture with GL_CLAMP and its black border. The picture's outer rows and columns
// are strong colours, so a wrong share of the border at either mipmap level, a missing border, a
// seam or a clamp on a repeat axis shows.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "offscreen_gl.h"
#include "web/clamp_border.h"
#include "web/display_list.h"
#include "web/mipmap.h"
#include "web/shaders.h"

namespace {

constexpr int kFrame = 256;  // pixels a side
// The largest difference in a channel between the two: the layer's lookup is WebGL's 8-bit one
// where Mesa filters GL_CLAMP in floating point.
constexpr int kTolerance = 2;

// A quad in pixels, its corners' texture coordinates, turned about its centre.
struct Quad {
  float x, y, width, height;
  float s0, t0, s1, t1;
  float degrees = 0;
};

// The quad's corners counter-clockwise from (s0, t0): x, y in normalised device coordinates, then
// s, t.
std::vector<float> Corners(const Quad& q) {
  const float cx = q.x + q.width / 2;
  const float cy = q.y + q.height / 2;
  const float c = std::cos(q.degrees * 3.14159265f / 180);
  const float s = std::sin(q.degrees * 3.14159265f / 180);
  const float corners[4][4] = {
      {-1, -1, q.s0, q.t0}, {1, -1, q.s1, q.t0}, {1, 1, q.s1, q.t1}, {-1, 1, q.s0, q.t1}};
  std::vector<float> out;
  for (const auto& k : corners) {
    const float dx = k[0] * q.width / 2;
    const float dy = k[1] * q.height / 2;
    out.push_back((cx + c * dx - s * dy) * 2 / kFrame - 1);
    out.push_back((cy + s * dx + c * dy) * 2 / kFrame - 1);
    out.push_back(k[2]);
    out.push_back(k[3]);
  }
  return out;
}

// RGB rows, tightly packed: noise inside, and the outer texels of each side one strong colour
// (left red, right green, bottom blue, top yellow).
std::vector<uint8_t> EdgePicture(int width, int height) {
  constexpr uint8_t kEdges[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}};
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
  uint32_t seed = 2024;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
      for (int c = 0; c < 3; ++c) {
        p[c] = static_cast<uint8_t>(64 + ((seed = seed * 1103515245u + 12345u) >> 25));
      }
      const int side = x == 0 ? 0 : x == width - 1 ? 1 : y == 0 ? 2 : y == height - 1 ? 3 : -1;
      if (side >= 0) std::copy(kEdges[side], kEdges[side] + 3, p);
    }
  }
  return rgb;
}

GLuint Compile(GLenum type, const std::string& source) {
  const GLuint shader = glCreateShader(type);
  const char* text = source.c_str();
  glShaderSource(shader, 1, &text, nullptr);
  glCompileShader(shader);
  GLint ok = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  char log[1024] = "";
  glGetShaderInfoLog(shader, sizeof log, nullptr, log);
  EXPECT_EQ(ok, GL_TRUE) << log;
  return shader;
}

// The layer's program for a textured, unlit draw, linked as the renderer links it.
GLuint LayerProgram(unsigned bits) {
  const GLuint program = glCreateProgram();
  const GLuint shaders[] = {Compile(GL_VERTEX_SHADER, gl11::VertexShaderSource(bits)),
                            Compile(GL_FRAGMENT_SHADER, gl11::FragmentShaderSource(bits))};
  for (GLuint shader : shaders) glAttachShader(program, shader);
  for (GLuint a = 0; a < gl11::kAttributeCount; ++a) {
    glBindAttribLocation(program, a, gl11::kAttributeNames[a]);
  }
  glLinkProgram(program);
  for (GLuint shader : shaders) glDeleteShader(shader);
  GLint ok = GL_FALSE;
  glGetProgramiv(program, GL_LINK_STATUS, &ok);
  EXPECT_EQ(ok, GL_TRUE);
  return program;
}

class GlLayerClamp : public ::testing::Test {
 protected:
  GlLayerClamp() : gl_(kFrame, kFrame) {}

  // Both pictures of the quads, Mesa's and the layer's, as RGBA rows bottom first.
  void Draw(const std::vector<uint8_t>& rgb, int width, int height, GLenum wrapT,
            const std::vector<Quad>& quads) {
    ASSERT_TRUE(gl_.ok()) << gl_.error();
    mesa_ = DrawFixed(rgb, width, height, wrapT, quads);
    layer_ = DrawLayer(rgb, width, height, wrapT, quads);
  }

  // Every pixel of the two within kTolerance, and each quad drawn.
  void ExpectSame(const std::vector<Quad>& quads) const {
    int worst = 0;
    int worstAt = 0;
    int count = 0;
    for (size_t i = 0; i < mesa_.size(); ++i) {
      const int d = std::abs(int(mesa_[i]) - int(layer_[i]));
      count += d > kTolerance;
      if (d > worst) worst = d, worstAt = static_cast<int>(i / 4);
    }
    EXPECT_LE(worst, kTolerance) << count << " channels differ; the most at pixel ("
                                 << worstAt % kFrame << ", " << worstAt / kFrame << "): Mesa "
                                 << Pixel(mesa_, worstAt) << ", the layer "
                                 << Pixel(layer_, worstAt);
    for (const Quad& q : quads) {
      const int at = int(q.y + q.height / 2) * kFrame + int(q.x + q.width / 2);
      EXPECT_NE(Pixel(mesa_, at), "77 77 77 255") << "a quad at (" << q.x << ", " << q.y << ")";
    }
  }

 private:
  static std::string Pixel(const std::vector<uint8_t>& rgba, int at) {
    return std::to_string(rgba[at * 4]) + " " + std::to_string(rgba[at * 4 + 1]) + " " +
           std::to_string(rgba[at * 4 + 2]) + " " + std::to_string(rgba[at * 4 + 3]);
  }

  static std::vector<uint8_t> Read() {
    std::vector<uint8_t> rgba(kFrame * kFrame * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kFrame, kFrame, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
  }

  static void Clear() {
    glClearColor(77 / 255.0f, 77 / 255.0f, 77 / 255.0f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
  }

  static void Filter(GLenum wrapS, GLenum wrapT) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLint>(wrapS));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLint>(wrapT));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  }

  static std::vector<uint8_t> DrawFixed(const std::vector<uint8_t>& rgb, int width, int height,
                                        GLenum wrapT, const std::vector<Quad>& quads) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    Filter(GL_CLAMP, wrapT);
    glEnable(GL_TEXTURE_2D);
    glColor4f(1, 1, 1, 1);
    Clear();
    glBegin(GL_QUADS);
    for (const Quad& q : quads) {
      const std::vector<float> v = Corners(q);
      for (size_t i = 0; i < v.size(); i += 4) {
        glTexCoord2f(v[i + 2], v[i + 3]);
        glVertex2f(v[i], v[i + 1]);
      }
    }
    glEnd();
    glDisable(GL_TEXTURE_2D);
    std::vector<uint8_t> rgba = Read();
    glDeleteTextures(1, &texture);
    return rgba;
  }

  // As the renderer draws: the image made for the wraps, the quads as triangles (v0 v1 v2) and
  // (v0 v2 v3), the program the draw's coordinates call for and the frame's uniforms.
  static std::vector<uint8_t> DrawLayer(const std::vector<uint8_t>& rgb, int width, int height,
                                        GLenum wrapT, const std::vector<Quad>& quads) {
    const gl11::MipChain chain = gl11::BuildMipmaps(rgb.data(), width, height, false, 1, 4096);
    const bool clampT = wrapT != GL_REPEAT;
    const gl11::BorderFrame frame = gl11::FrameFor(chain, true, clampT, 4096);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    for (int level = 0; level < frame.levels; ++level) {
      // What the layer leaves unset is magenta here: were it read, it would show.
      const int w = frame.Width(level);
      const int h = frame.Height(level);
      std::vector<uint32_t> unread(static_cast<size_t>(w) * h, 0xffff00ffu);
      glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                   unread.data());
      const gl11::FramedTexels texels = gl11::TexelsRead(chain, frame, level);
      glTexSubImage2D(GL_TEXTURE_2D, level, texels.x, texels.y, texels.width, texels.height,
                      GL_RGBA, GL_UNSIGNED_BYTE, texels.rgba.data());
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, frame.levels - 1);
    Filter(GL_CLAMP_TO_EDGE, clampT ? GL_CLAMP_TO_EDGE : GL_REPEAT);

    std::vector<gl11::Vertex> triangles;
    for (const Quad& q : quads) {
      const std::vector<float> v = Corners(q);
      for (int k : {0, 1, 2, 0, 2, 3}) {
        triangles.push_back({{v[k * 4], v[k * 4 + 1], 0, 1},
                             {1, 1, 1, 1},
                             {0, 0, 1},
                             {v[k * 4 + 2], v[k * 4 + 3]}});
      }
    }
    const uint8_t clamped = gl11::kAxisS | (clampT ? gl11::kAxisT : 0);
    const bool outside = gl11::TexCoordsOutside(triangles.data(), triangles.size()) & clamped;
    const GLuint program =
        LayerProgram(outside ? gl11::kTexturing | gl11::kClampedCoordinates : gl11::kTexturing);
    glUseProgram(program);
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    glUniformMatrix4fv(glGetUniformLocation(program, "uProjection"), 1, GL_FALSE, identity);
    glUniformMatrix4fv(glGetUniformLocation(program, "uModelView"), 1, GL_FALSE, identity);
    glUniform4fv(glGetUniformLocation(program, "uTexMap"), 1, frame.map);
    glUniform4fv(glGetUniformLocation(program, "uTexRange"), 1, frame.range);
    const GLsizei stride = sizeof(gl11::Vertex);
    glVertexAttribPointer(gl11::kPosition, 4, GL_FLOAT, GL_FALSE, stride, triangles[0].position);
    glVertexAttribPointer(gl11::kColor, 4, GL_FLOAT, GL_FALSE, stride, triangles[0].color);
    glVertexAttribPointer(gl11::kTexCoord, 2, GL_FLOAT, GL_FALSE, stride, triangles[0].texCoord);
    for (GLuint a : {gl11::kPosition, gl11::kColor, gl11::kTexCoord}) glEnableVertexAttribArray(a);
    Clear();
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(triangles.size()));
    for (GLuint a : {gl11::kPosition, gl11::kColor, gl11::kTexCoord}) glDisableVertexAttribArray(a);
    glUseProgram(0);
    glDeleteProgram(program);
    std::vector<uint8_t> rgba = Read();
    glDeleteTextures(1, &texture);
    return rgba;
  }

  OffscreenGL gl_;
  std::vector<uint8_t> mesa_;
  std::vector<uint8_t> layer_;
};

// A 16 x 16 picture at every kind of scale: magnified, one texel a pixel, between levels 0 and 1
// and 1 and 2 where the two levels' shares of the border differ, deep down to the 1 x 1 level, and
// turned; in one draw, as the scene's quads are.
TEST_F(GlLayerClamp, MatchesMesaAtEveryLevel) {
  const std::vector<Quad> quads = {
      {8, 8, 64, 64, 0, 0, 1, 1},       {80, 8, 16, 16, 0, 0, 1, 1},
      {104, 8, 11, 11, 0, 0, 1, 1},     {120, 8, 6, 6, 0, 0, 1, 1},
      {130, 8, 3, 3, 0, 0, 1, 1},       {136, 8, 2, 2, 0, 0, 1, 1},
      {140, 8, 1, 1, 0, 0, 1, 1},       {150, 10, 10, 10, 0, 0, 1, 1, 30},
      {170, 8, 13, 7, 0, 0, 1, 1, -15}, {190, 8, 40, 40, 0, 0, 1, 1, 45}};
  Draw(EdgePicture(16, 16), 16, 16, GL_CLAMP, quads);
  ExpectSame(quads);
}

// Coordinates beyond [0, 1] on both axes: magnified, and minified, where the level of detail must
// come from the unclamped coordinates.
TEST_F(GlLayerClamp, MatchesMesaWithCoordinatesBeyondThePicture) {
  const std::vector<Quad> quads = {{8, 8, 48, 48, -0.5f, -0.5f, 1.5f, 1.5f},
                                   {64, 8, 12, 12, -0.5f, -0.25f, 1.5f, 1.25f},
                                   {84, 8, 30, 30, -0.2f, 0.1f, 1.3f, 1.1f, 20}};
  Draw(EdgePicture(16, 16), 16, 16, GL_CLAMP, quads);
  ExpectSame(quads);
}

// A picture twice as wide as it is tall, 32 x 8, down to its 4 x 1 level, and the same picture
// repeating on t while s clamps: the coordinates go round on t and stop at the edge on s.
TEST_F(GlLayerClamp, MatchesMesaOnEachAxisAsItWraps) {
  const std::vector<Quad> quads = {{8, 8, 64, 16, 0, 0, 1, 1},
                                   {80, 8, 20, 5, 0, 0, 1, 1},
                                   {104, 8, 8, 2, 0, 0, 1, 1},
                                   {8, 40, 48, 48, -0.25f, -0.5f, 1.25f, 1.5f},
                                   {64, 40, 12, 12, 0, -1, 1, 2}};
  const std::vector<uint8_t> picture = EdgePicture(32, 8);
  Draw(picture, 32, 8, GL_CLAMP, {quads.begin(), quads.begin() + 3});
  ExpectSame({quads.begin(), quads.begin() + 3});
  Draw(picture, 32, 8, GL_REPEAT, quads);
  ExpectSame(quads);
}

}  // namespace
