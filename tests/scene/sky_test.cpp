// The sky backdrop rendered at 1024x768 and read back. Its picture is a coded one made here
// (each texel's red and green say its column and row), so every screen pixel tells which part of
// the picture it shows, and the scroll with heading and pitch can be measured exactly.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "offscreen_gl.h"
#include "opengl.h"
#include "scene/sky.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kTexels = 256;

TEST(SkyOffset, DegreesBecomeFractionsOfThePicture) {
  const SkyOffset start = SkyOffsetFor(0.0f, 180.0f);
  EXPECT_EQ(start.u, 1.0f);  // exactly: the picture starts unshifted
  EXPECT_EQ(start.v, 0.0f);
  EXPECT_EQ(SkyOffsetFor(0.0f, 91.0f).u, 0.50555557f);
  EXPECT_EQ(SkyOffsetFor(0.0f, 269.0f).u, 1.4944445f);
  const float nearlyFull = SkyOffsetFor(359.9f, 180.0f).v;
  EXPECT_LT(nearlyFull, 2.0f);
  EXPECT_GT(nearlyFull, 1.999f);
}

class SkyRender : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gl_.ok()) << gl_.error();  // a render test that cannot render fails
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(120.0, static_cast<double>(kWidth) / kHeight, 0.001, 6.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_CULL_FACE);  // the quad must face the eye to survive the scene's culling

    std::vector<unsigned char> coded(kTexels * kTexels * 3);
    for (int row = 0; row < kTexels; ++row) {
      for (int column = 0; column < kTexels; ++column) {
        unsigned char* texel = &coded[static_cast<size_t>(row * kTexels + column) * 3];
        texel[0] = static_cast<unsigned char>(column);
        texel[1] = static_cast<unsigned char>(row);
        texel[2] = 255;
      }
    }
    sky_->texture.Create("coded sky");  // bound, clamped, as the loader leaves a picture
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, kTexels, kTexels, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 coded.data());
    glBindTexture(GL_TEXTURE_2D, 0);
  }

  std::vector<unsigned char> Frame(float pitch, float heading) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    sky_->Draw(pitch, heading, static_cast<double>(gl_.width()) / gl_.height());
    return gl_.ReadRGB();
  }

  // The picture column and row the quad's vertex table puts at a screen pixel (rows counted
  // top-first), for offsets u and v: the quad spans x in [-4, 4] and y in [-3, 3] at z = -1.5,
  // and a wider one carries the same mapping on past its sides.
  void ExpectedTexel(int px, int py, double u, double v, int* column, int* row) const {
    const int width = gl_.width();
    const int height = gl_.height();
    const double tanHalf = std::tan(60.0 * 3.14159265358979323846 / 180.0);
    const double x = (2.0 * (px + 0.5) / width - 1.0) * 1.5 * tanHalf * width / height;
    const double y = (1.0 - 2.0 * (py + 0.5) / height) * 1.5 * tanHalf;
    const double s = (x + 4.0) / 8.0 - u;
    const double t = (y + 3.0) / 6.0 - v;
    *column = static_cast<int>(std::floor((s - std::floor(s)) * kTexels));
    *row = static_cast<int>(std::floor((t - std::floor(t)) * kTexels));
  }

  // Every 37th pixel of the frame shows the texel the offsets predict; one texel of slack for
  // pixels on a texel boundary, counted around the repeat.
  void ExpectPictureAt(const std::vector<unsigned char>& rgb, float pitch, float heading) {
    const SkyOffset offset = SkyOffsetFor(pitch, heading);
    const int width = gl_.width();
    int misses = 0;
    for (int py = 0; py < gl_.height(); py += 37) {
      for (int px = 0; px < width; px += 37) {
        int column = 0, row = 0;
        ExpectedTexel(px, py, offset.u, offset.v, &column, &row);
        const unsigned char* pixel = &rgb[static_cast<size_t>(py * width + px) * 3];
        const int dc = (pixel[0] - column + kTexels) % kTexels;
        const int dr = (pixel[1] - row + kTexels) % kTexels;
        if ((dc > 1 && dc < kTexels - 1) || (dr > 1 && dr < kTexels - 1) || pixel[2] != 255) {
          if (++misses <= 5) {
            ADD_FAILURE() << "pixel (" << px << ", " << py << ") shows texel (" << int{pixel[0]}
                          << ", " << int{pixel[1]} << "), expected (" << column << ", " << row
                          << ") at pitch " << pitch << ", heading " << heading;
          }
        }
      }
    }
    EXPECT_EQ(misses, 0);
  }

  OffscreenGL gl_{kWidth, kHeight};
  std::unique_ptr<Sky> sky_ = std::make_unique<Sky>();
};

// At heading 180 and pitch 0 the picture sits exactly as stored: the centre of the screen shows
// the centre of the picture and about 87% of it is in view, upright.
TEST_F(SkyRender, StartingViewShowsThePictureUnshifted) {
  const std::vector<unsigned char> rgb = Frame(0.0f, 180.0f);
  ExpectPictureAt(rgb, 0.0f, 180.0f);
  const unsigned char* centre = &rgb[static_cast<size_t>(kHeight / 2 * kWidth + kWidth / 2) * 3];
  EXPECT_NEAR(centre[0], 128, 1);
  EXPECT_NEAR(centre[1], 127, 1);
  const unsigned char* topLeft = &rgb[0];
  EXPECT_NEAR(topLeft[0], 17, 1);   // (1 - 3.46 / 4) / 2 of the width in from the left
  EXPECT_NEAR(topLeft[1], 238, 1);  // and the top rows near the top of the picture
}

TEST_F(SkyRender, HeadingScrollsThePictureSideways) {
  for (float heading : {91.0f, 135.0f, 198.0f, 269.0f}) {
    ExpectPictureAt(Frame(0.0f, heading), 0.0f, heading);
  }
  // 18 degrees more heading: what was at a pixel is now 0.1 of the quad's width (0.8 of its
  // 8 units, 118 pixels at this size) to the right.
  const std::vector<unsigned char> before = Frame(0.0f, 180.0f);
  const std::vector<unsigned char> after = Frame(0.0f, 198.0f);
  const double shift =
      0.8 / (1.5 * std::tan(60.0 * 3.14159265358979323846 / 180.0) * 4.0 / 3.0) * (kWidth / 2.0);
  const int row = kHeight / 2;
  for (int px = 0; px + 120 < kWidth; px += 50) {
    const int moved = static_cast<int>(std::lround(px + shift));
    EXPECT_NEAR(after[static_cast<size_t>(row * kWidth + moved) * 3],
                before[static_cast<size_t>(row * kWidth + px) * 3], 1)
        << px;
  }
}

TEST_F(SkyRender, PitchScrollsThePictureVertically) {
  for (float pitch : {1.0f, 30.0f, 318.09f, 359.0f}) {
    ExpectPictureAt(Frame(pitch, 180.0f), pitch, 180.0f);
  }
  // Pitch 1 and 359 move the picture by the same 1/180 of its height, up and down.
  const int centre = (kHeight / 2 * kWidth + kWidth / 2) * 3 + 1;
  const int level = Frame(0.0f, 180.0f)[static_cast<size_t>(centre)];
  const int up = Frame(1.0f, 180.0f)[static_cast<size_t>(centre)];
  const int down = Frame(359.0f, 180.0f)[static_cast<size_t>(centre)];
  EXPECT_NEAR(level - up, kTexels / 180.0, 1);
  EXPECT_NEAR(down - level, kTexels / 180.0, 1);
}

// Wider than the quad fills, up to 32:9, the sky carries the picture on sideways, repeated at the
// same scale, and leaves no pixel undrawn; at 4:3 and anything taller the quad is the 8 x 6 one.
TEST_F(SkyRender, AWideViewShowsThePictureRepeatedSidewaysAtTheSameScale) {
  const int sizes[][2] = {{1280, 720}, {1280, 540}, {1280, 360}};
  for (const auto& size : sizes) {
    SCOPED_TRACE(testing::Message() << size[0] << "x" << size[1]);
    gl_.Resize(size[0], size[1]);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(120.0, static_cast<double>(size[0]) / size[1], 0.001, 6.0);
    glMatrixMode(GL_MODELVIEW);
    for (float heading : {91.0f, 180.0f, 269.0f}) {
      const std::vector<unsigned char> rgb = Frame(318.09f, heading);
      ExpectPictureAt(rgb, 318.09f, heading);
      size_t undrawn = 0;
      for (size_t i = 2; i < rgb.size(); i += 3) undrawn += rgb[i] != 255;
      EXPECT_EQ(undrawn, 0u) << "heading " << heading;
    }
  }
  for (double aspect : {9 / 19.5, 4.0 / 3.0, kSkyQuadWidestAspect}) {
    const SkyQuad quad = SkyQuadFor(30.0f, 200.0f, aspect);
    const SkyOffset offset = SkyOffsetFor(30.0f, 200.0f);
    EXPECT_EQ(quad.corners[0].s, -offset.u) << aspect;
    EXPECT_EQ(quad.corners[2].s, 1.0f - offset.u) << aspect;
    EXPECT_EQ(quad.corners[2].x, 4.0f) << aspect;
  }
  EXPECT_EQ(SkyQuadFor(0.0f, 180.0f, 32.0 / 9).corners[2].x, 12.0f);  // one copy more each side
}

// The sky restores every switch it turns off, keeps the texture's clamped wrap outside its own
// bracket, leaves its texture bound and white current, and writes no depth.
TEST_F(SkyRender, RestoresStateAndLeavesTextureAndWhite) {
  for (bool on : {true, false}) {
    for (GLenum cap : {GL_FOG, GL_BLEND, GL_DEPTH_TEST}) {
      if (on) {
        glEnable(cap);
      } else {
        glDisable(cap);
      }
    }
    glColor3f(0.1f, 0.2f, 0.3f);
    glClear(GL_DEPTH_BUFFER_BIT);
    sky_->Draw(10.0f, 200.0f);
    for (GLenum cap : {GL_FOG, GL_BLEND, GL_DEPTH_TEST}) {
      EXPECT_EQ(glIsEnabled(cap) == GL_TRUE, on) << cap;
    }
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<unsigned int>(bound), sky_->texture.id - 1);
    GLint wrapS = 0, wrapT = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
    EXPECT_EQ(wrapS, GL_CLAMP);
    EXPECT_EQ(wrapT, GL_CLAMP);
    GLfloat colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 1.0f);
    EXPECT_EQ(colour[1], 1.0f);
    EXPECT_EQ(colour[2], 1.0f);
    GLfloat depth = 0.0f;
    glReadPixels(kWidth / 2, kHeight / 2, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_EQ(depth, 1.0f);
    GLint stack = -1;
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &stack);
    EXPECT_EQ(stack, 0);
  }
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
