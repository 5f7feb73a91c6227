// The headless context the rendering tests stand on: a clear colour reads back, core gl* calls
// reach the EGL context, resizing works and a PNG file is written.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "offscreen_gl.h"
#include "opengl.h"
#include "png_file.h"

namespace {

TEST(OffscreenGL, ClearColourReadsBack) {
  OffscreenGL gl(8, 4);
  ASSERT_TRUE(gl.ok()) << gl.error();
  EXPECT_EQ(gl.width(), 8);
  EXPECT_EQ(gl.height(), 4);
  glClearColor(1.0f, 0.5f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  const std::vector<unsigned char> rgb = gl.ReadRGB();
  ASSERT_EQ(rgb.size(), 8u * 4u * 3u);
  for (size_t i = 0; i < rgb.size(); i += 3) {
    EXPECT_EQ(rgb[i], 255);
    EXPECT_NEAR(rgb[i + 1], 128, 1);
    EXPECT_EQ(rgb[i + 2], 0);
  }
}

TEST(OffscreenGL, RowsComeTopFirstAndDepthWorks) {
  OffscreenGL gl(4, 4);
  ASSERT_TRUE(gl.ok()) << gl.error();
  EXPECT_NE(glGetString(GL_VERSION), nullptr);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  // A red quad over the top half, then a green one behind it over everything: depth keeps red.
  glColor3f(1, 0, 0);
  glBegin(GL_QUADS);
  glVertex3f(-1, 0, 0);
  glVertex3f(1, 0, 0);
  glVertex3f(1, 1, 0);
  glVertex3f(-1, 1, 0);
  glEnd();
  glColor3f(0, 1, 0);
  glBegin(GL_QUADS);
  glVertex3f(-1, -1, 0.5f);
  glVertex3f(1, -1, 0.5f);
  glVertex3f(1, 1, 0.5f);
  glVertex3f(-1, 1, 0.5f);
  glEnd();
  const std::vector<unsigned char> rgb = gl.ReadRGB();
  ASSERT_EQ(rgb.size(), 4u * 4u * 3u);
  EXPECT_EQ(rgb[0], 255);  // top-left pixel: red
  EXPECT_EQ(rgb[1], 0);
  const size_t bottomLeft = 3u * 4u * 3u;
  EXPECT_EQ(rgb[bottomLeft], 0);  // bottom-left pixel: green
  EXPECT_EQ(rgb[bottomLeft + 1], 255);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(OffscreenGL, ResizeChangesTheFramebuffer) {
  OffscreenGL gl(4, 4);
  ASSERT_TRUE(gl.ok()) << gl.error();
  gl.Resize(16, 2);
  ASSERT_TRUE(gl.ok()) << gl.error();
  glClearColor(0, 0, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  const std::vector<unsigned char> rgb = gl.ReadRGB();
  ASSERT_EQ(rgb.size(), 16u * 2u * 3u);
  EXPECT_EQ(rgb[rgb.size() - 1], 255);
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 16);
  EXPECT_EQ(viewport[3], 2);
}

TEST(OffscreenGL, ContextsCanFollowEachOther) {
  for (int i = 0; i < 3; ++i) {
    OffscreenGL gl(2, 2);
    ASSERT_TRUE(gl.ok()) << gl.error();
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(gl.ReadRGB()[1], 255);
  }
}

TEST(OffscreenGL, BadSizeReportsAnError) {
  OffscreenGL gl(0, 4);
  EXPECT_FALSE(gl.ok());
  EXPECT_STRNE(gl.error(), "");
  EXPECT_TRUE(gl.ReadRGB().empty());
}

TEST(WritePng, WritesAPngFile) {
  const std::string path = ::testing::TempDir() + "vortalux_offscreen_test.png";
  const unsigned char rgb[2 * 2 * 3] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
  ASSERT_TRUE(WritePng(path.c_str(), 2, 2, rgb));
  std::ifstream in(path, std::ios::binary);
  const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
  ASSERT_GE(bytes.size(), 8u);
  const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  EXPECT_TRUE(std::equal(signature, signature + 8, bytes.begin()));
  std::remove(path.c_str());
}

TEST(WritePng, RefusesAnUnwritablePath) {
  const unsigned char rgb[3] = {};
  EXPECT_FALSE(WritePng("/nonexistent-folder/x.png", 1, 1, rgb));
  EXPECT_FALSE(WritePng(nullptr, 1, 1, rgb));
}

}  // namespace
