// The scene as the program runs it, in a headless context: set-up, projection, camera and the
// order of one frame, read back with glGet* and in feedback mode. Runs from the folder that holds
// gfx/, so InitScene loads the real pictures.
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "../track/feedback_capture.h"
#include "offscreen_gl.h"
#include "opengl.h"
#include "scene/scene.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

void ClearErrors() {
  while (glGetError() != GL_NO_ERROR) {
  }
}

void ExpectMatrix(GLenum which, const double (&expected)[16], double tolerance) {
  GLdouble actual[16] = {};
  glGetDoublev(which, actual);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << "element " << i;
}

// gluPerspective's own matrix for the arguments, to compare the scene's projection with.
void Perspective(double aspect, double (&matrix)[16]) {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  gluPerspective(120.0, aspect, 0.001, 6.0);
  glGetDoublev(GL_PROJECTION_MATRIX, matrix);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}

class Scene : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gl_.ok()) << gl_.error();  // a render test that cannot render fails
    ASSERT_EQ(chdir(VORTALUX_RUNTIME_DIR), 0) << VORTALUX_RUNTIME_DIR;
  }

  // What the window procedure does at creation, then one size report.
  void StartAsTheProgramDoes() {
    InitScene();
    g_vehicle.Advance();
    ResizeScene(kWidth, kHeight);
    ClearErrors();  // glDrawBuffer(GL_BACK) is refused while the offscreen framebuffer is bound
  }

  OffscreenGL gl_{kWidth, kHeight};
};

TEST_F(Scene, ResizeSetsViewportAndProjection) {
  double expected[16];
  ResizeScene(kWidth, kHeight);
  Perspective(4.0 / 3.0, expected);
  ExpectMatrix(GL_PROJECTION_MATRIX, expected, 0.0);
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], kWidth);
  EXPECT_EQ(viewport[3], kHeight);
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
  const double identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  ExpectMatrix(GL_MODELVIEW_MATRIX, identity, 0.0);
}

TEST_F(Scene, ResizeToNoHeightUsesTheWidthAsAspect) {
  double expected[16];
  ResizeScene(640, 0);
  Perspective(640.0, expected);
  ExpectMatrix(GL_PROJECTION_MATRIX, expected, 0.0);
  GLdouble actual[16] = {};
  glGetDoublev(GL_PROJECTION_MATRIX, actual);
  EXPECT_TRUE(std::isfinite(actual[0]));
}

// Every field at its value after construction: pitch 0, heading 180, roll 0 (a full turn), the
// eye 0.03 above the origin.
TEST_F(Scene, CameraAfterConstructionIsAHalfTurnAndTheEyeHeight) {
  const Vehicle vehicle;
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  vehicle.ApplyCamera();
  const double expected[16] = {-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, -0.03, 0, 1};
  ExpectMatrix(GL_MODELVIEW_MATRIX, expected, 1e-6);
}

TEST_F(Scene, InitSceneSetsTheFixedStateAndCopiesTheTrack) {
  InitScene();
  for (GLenum cap :
       {GL_DEPTH_TEST, GL_CULL_FACE, GL_TEXTURE_2D, GL_LIGHTING, GL_LIGHT0, GL_COLOR_MATERIAL}) {
    EXPECT_TRUE(glIsEnabled(cap)) << cap;
  }
  // Every component: where the diffuse light reaches, the lit colour is already at full
  // brightness, so a wrong green or blue of it shows in no frame.
  using Rgba = std::array<GLfloat, 4>;
  Rgba light = {};
  glGetLightfv(GL_LIGHT0, GL_AMBIENT, light.data());
  EXPECT_EQ(light, (Rgba{0.7f, 0.7f, 0.7f, 1.0f}));
  glGetLightfv(GL_LIGHT0, GL_DIFFUSE, light.data());
  EXPECT_EQ(light, (Rgba{0.5f, 0.5f, 0.5f, 1.0f}));
  GLint colourMaterial = 0;
  glGetIntegerv(GL_COLOR_MATERIAL_PARAMETER, &colourMaterial);
  EXPECT_EQ(colourMaterial, GL_AMBIENT_AND_DIFFUSE);
  EXPECT_EQ(glIsList(1), GL_TRUE);

  const Track& copy = g_vehicle.track;
  EXPECT_EQ(g_track.listId, 1);
  EXPECT_EQ(copy.listId, 1);
  EXPECT_EQ(copy.SegmentCount(), 299);
  EXPECT_EQ(copy.HalfWidth(), g_track.HalfWidth());
  const Texture* pairs[3][2] = {{&copy.surfaceTexture, &g_track.surfaceTexture},
                                {&copy.gateTexture, &g_track.gateTexture},
                                {&copy.flareTexture, &g_track.flareTexture}};
  for (const auto& pair : pairs) {
    EXPECT_STREQ(pair[0]->name, pair[1]->name);
    EXPECT_EQ(pair[0]->id, pair[1]->id);
    EXPECT_NE(pair[0]->id, 0u);
    EXPECT_EQ(pair[0]->width, pair[1]->width);
    EXPECT_EQ(pair[0]->height, pair[1]->height);
  }
  EXPECT_STREQ(g_track.surfaceTexture.name, "gfx/Track.bmp");
  EXPECT_STREQ(g_track.gateTexture.name, "gfx/StartEnd.bmp");
  EXPECT_STREQ(g_track.flareTexture.name, "gfx/Flare.bmp");
  EXPECT_STREQ(g_sky.texture.name, "gfx/Sky.bmp");
  for (const Texture* loaded :
       {&g_track.surfaceTexture, &g_track.gateTexture, &g_track.flareTexture, &g_sky.texture}) {
    EXPECT_GT(loaded->width, 0) << loaded->name << " (is gfx/ built?)";
    EXPECT_GT(loaded->height, 0) << loaded->name;
  }
  for (int i = 0; i < kTrackPointCapacity; ++i) {
    EXPECT_EQ(copy.points[i].leftHeight, g_track.points[i].leftHeight) << i;
    EXPECT_EQ(copy.points[i].rightHeight, g_track.points[i].rightHeight) << i;
    EXPECT_EQ(copy.points[i].z, g_track.points[i].z) << i;
  }
  for (int i = 0; i < kFlareCapacity; ++i) {
    EXPECT_EQ(copy.flares[i].x, g_track.flares[i].x) << i;
    EXPECT_EQ(copy.flares[i].y, g_track.flares[i].y) << i;
    EXPECT_EQ(copy.flares[i].z, g_track.flares[i].z) << i;
  }
  EXPECT_GT(copy.HeightAt(1.5f, 0.0f), 0.0f);
}

// A frame read back in feedback mode is exactly the sky, then the track's list from the camera,
// then the flares: the same polygons, in that order, as each step drawn on its own.
TEST_F(Scene, FrameDrawsSkyThenTrackThenFlares) {
  StartAsTheProgramDoes();
  DrawScene();  // the first frame; the second starts from the state it left
  const std::vector<FeedbackPolygon> frame = CapturePolygons([] { DrawScene(); });

  glLoadIdentity();
  const std::vector<FeedbackPolygon> sky =
      CapturePolygons([] { g_sky.Draw(g_vehicle.pitch, g_vehicle.heading); });
  g_vehicle.ApplyCamera();
  const std::vector<FeedbackPolygon> track = CapturePolygons([] { glCallList(1); });
  const std::vector<FeedbackPolygon> flares = CapturePolygons([] {
    for (int i = 0; i <= g_track.SegmentCount(); ++i) {
      g_track.flares[i].Draw(g_vehicle.lateral, g_vehicle.height, g_vehicle.depth);
    }
  });
  EXPECT_EQ(sky.size(), 2u);
  EXPECT_GT(track.size(), 100u);
  EXPECT_GT(flares.size(), 10u);  // several flares ahead within reach

  std::vector<FeedbackPolygon> expected = sky;
  expected.insert(expected.end(), track.begin(), track.end());
  expected.insert(expected.end(), flares.begin(), flares.end());
  ASSERT_EQ(frame.size(), expected.size());
  for (size_t i = 0; i < frame.size(); ++i) {
    ASSERT_EQ(frame[i].size(), expected[i].size()) << i;
    for (size_t k = 0; k < frame[i].size(); ++k) {
      EXPECT_EQ(frame[i][k].x, expected[i][k].x) << i;
      EXPECT_EQ(frame[i][k].y, expected[i][k].y) << i;
      EXPECT_EQ(frame[i][k].z, expected[i][k].z) << i;
      EXPECT_EQ(frame[i][k].s, expected[i][k].s) << i;
      EXPECT_EQ(frame[i][k].t, expected[i][k].t) << i;
    }
  }
}

TEST_F(Scene, FrameLeavesScreenBlendAndTheCamera) {
  StartAsTheProgramDoes();
  DrawScene();
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  GLint source = 0, destination = 0;
  glGetIntegerv(GL_BLEND_SRC, &source);
  glGetIntegerv(GL_BLEND_DST, &destination);
  EXPECT_EQ(source, GL_ONE);
  EXPECT_EQ(destination, GL_ONE_MINUS_SRC_COLOR);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_FALSE(glIsEnabled(GL_FOG));
  GLint stack = -1;
  glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &stack);
  EXPECT_EQ(stack, 0);

  GLdouble camera[16] = {};
  glGetDoublev(GL_MODELVIEW_MATRIX, camera);
  glLoadIdentity();
  g_vehicle.ApplyCamera();
  double expected[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, expected);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(camera[i], expected[i]) << i;

  // The light was set along +y after the camera: OpenGL keeps it in eye coordinates.
  GLfloat light[4] = {};
  glGetLightfv(GL_LIGHT0, GL_POSITION, light);
  EXPECT_NEAR(light[0], 0.5 * expected[4], 1e-6);
  EXPECT_NEAR(light[1], 0.5 * expected[5], 1e-6);
  EXPECT_NEAR(light[2], 0.5 * expected[6], 1e-6);
  EXPECT_EQ(light[3], 0.0f);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The first frame covers every pixel: the colour buffer is never cleared, so a pixel left at
// the clear colour would show the previous frame.
TEST_F(Scene, FirstFramePaintsEveryPixel) {
  StartAsTheProgramDoes();
  glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  DrawScene();
  const std::vector<unsigned char> rgb = gl_.ReadRGB();
  size_t magenta = 0;
  for (size_t i = 0; i < rgb.size(); i += 3) {
    if (rgb[i] == 255 && rgb[i + 1] == 0 && rgb[i + 2] == 255) ++magenta;
  }
  EXPECT_EQ(magenta, 0u);
}

// The gates face the track: driving forward the start gate (at depth 0, behind the first camera
// position) is never seen, while the finish gate stands in full view at the far end.
TEST_F(Scene, FinishGateIsInViewAtTheEndAndTheStartGateBehind) {
  StartAsTheProgramDoes();
  auto gatePolygons = [] {
    glLoadIdentity();
    g_vehicle.ApplyCamera();
    return CapturePolygons([] { g_track.DrawGates(); }).size();
  };
  EXPECT_LT(g_track.points[0].z, g_vehicle.depth);
  EXPECT_EQ(gatePolygons(), 0u);
  while (g_vehicle.progress < 295.0f) g_vehicle.Advance();
  EXPECT_EQ(gatePolygons(), 2u);  // the finish gate's quad, whole
  while (g_vehicle.progress < 298.0f) g_vehicle.Advance();
  g_vehicle.Advance();
  EXPECT_EQ(g_vehicle.progress, 298.0f);
  EXPECT_GT(gatePolygons(), 0u);
}

}  // namespace
