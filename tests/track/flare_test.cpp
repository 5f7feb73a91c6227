// Flare markers: the fade, size and facing arithmetic, and what Flare::Draw hands to OpenGL for
// it (read back in feedback mode from a camera like the vehicle's, with back faces culled).
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "feedback_capture.h"
#include "offscreen_gl.h"
#include "opengl.h"
#include "track/flare.h"
#include "vehicle/vehicle.h"

namespace {

Flare At(float x, float y, float z) {
  Flare flare;
  flare.x = x;
  flare.y = y;
  flare.z = z;
  return flare;
}

TEST(FlareView, FadesAndGrowsWithDistance) {
  const FlareView view = At(0.3f, 0.2f, 12.0f).View(0, 0, 10);
  EXPECT_TRUE(view.drawn);
  EXPECT_NEAR(view.distance, 2.03224f, 1e-5f);
  EXPECT_NEAR(view.grey, 3.96776f, 1e-5f);
  EXPECT_NEAR(view.halfSize, 0.203224f, 1e-6f);

  EXPECT_EQ(At(0, 0, 15).View(0, 0, 10).grey, 1.0f);     // distance 5
  EXPECT_EQ(At(0, 0, 10.5f).View(0, 0, 10).grey, 5.5f);  // distance 0.5, not clamped
  const FlareView here = At(1, 2, 3).View(1, 2, 3);
  EXPECT_TRUE(here.drawn);
  EXPECT_EQ(here.halfSize, 0.0f);
}

TEST(FlareView, CutOffIsInclusive) {
  const FlareView edge = At(0, 0, 16).View(0, 0, 10);
  EXPECT_TRUE(edge.drawn);
  EXPECT_EQ(edge.distance, 6.0f);
  EXPECT_EQ(edge.grey, 0.0f);
  EXPECT_FALSE(At(0, 0, std::nextafter(16.0f, 17.0f)).View(0, 0, 10).drawn);
  EXPECT_FALSE(At(0, 6.0f, 0.5f).View(0, 0, 0).drawn);
  EXPECT_FALSE(At(NAN, 0, 0).View(0, 0, 0).drawn);
}

TEST(FlareFacing, TurnsTowardTheCameraPoint) {
  const FlareFacing ahead = At(0.3f, 0.2f, 12).Facing(0, 0, 10);
  EXPECT_NEAR(ahead.angleX, -5.7106f, 1e-4f);
  EXPECT_NEAR(ahead.angleY, 8.5308f, 1e-4f);
  const FlareFacing behind = At(0.3f, 0.2f, 8).Facing(0, 0, 10);
  EXPECT_NEAR(behind.angleX, 5.7106f, 1e-4f);
  EXPECT_NEAR(behind.angleY, -8.5308f, 1e-4f);
  const FlareFacing straight = At(0.1f, 0.2f, 14).Facing(0.1f, 0.2f, 10);
  EXPECT_EQ(straight.angleX, 0.0f);
  EXPECT_EQ(straight.angleY, 0.0f);
}

// Sharing height and depth (or lateral position and depth) with the camera point is 0/0 inside
// the arcsine; the square must still get finite angles.
TEST(FlareFacing, ZeroOverZeroGivesFiniteAngles) {
  const FlareFacing level = At(0.5f, 1, 3).Facing(0, 1, 3);
  EXPECT_TRUE(std::isfinite(level.angleX));
  EXPECT_TRUE(std::isfinite(level.angleY));
  const FlareFacing above = At(0, 1.5f, 3).Facing(0, 1, 3);
  EXPECT_TRUE(std::isfinite(above.angleX));
  EXPECT_TRUE(std::isfinite(above.angleY));
  const FlareFacing same = At(2, 2, 2).Facing(2, 2, 2);
  EXPECT_EQ(same.angleX, 0.0f);
  EXPECT_EQ(same.angleY, 0.0f);
}

// Flare::Draw against a real context: a vehicle's camera, the scene's perspective and culling.
class FlareDraw : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gl_.ok()) << gl_.error();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(120.0, 4.0 / 3.0, 0.001, 6.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_CULL_FACE);
  }

  // The vehicle's camera for a surface point and heading; returns the polygons a flare gives.
  std::vector<FeedbackPolygon> Drawn(const Flare& flare, float cx, float cy, float cz,
                                     float heading = 180.0f) {
    vehicle_->lateral = cx;
    vehicle_->height = cy;
    vehicle_->depth = cz;
    vehicle_->heading = heading;
    glLoadIdentity();
    vehicle_->ApplyCamera();
    return CapturePolygons([&] { flare.Draw(cx, cy, cz); }, 1024);
  }

  OffscreenGL gl_{64, 48};
  std::unique_ptr<Vehicle> vehicle_ = std::make_unique<Vehicle>();
};

TEST_F(FlareDraw, FlareAheadIsOneSquareWithItsTextureCorners) {
  const std::vector<FeedbackPolygon> polygons = Drawn(At(0.03f, 0.02f, 12), 0, 0, 10);
  ASSERT_EQ(polygons.size(), 2u);  // the quad, as two triangles
  // Corners 1 and 3 of the quad: (0, 1) at (h, -h) and (1, 0) at (-h, h). From a camera
  // looking along +z, +x is on the left: corner 1 is the lower left one on screen.
  // The four corners come as (1, 2, 3) and (1, 3, 4). Every texture coordinate is checked: the
  // flare picture is symmetric about its diagonals, so no frame shows two of them swapped.
  const FeedbackVertex& first = polygons[0][0];
  const FeedbackVertex& third = polygons[1][1];
  const FeedbackVertex* corners[] = {&first, &polygons[0][1], &third, &polygons[1][2]};
  const float expected[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(corners[i]->s, expected[i][0]) << "corner " << i + 1;
    EXPECT_EQ(corners[i]->t, expected[i][1]) << "corner " << i + 1;
  }
  EXPECT_LT(first.x, third.x);
  EXPECT_LT(first.y, third.y);
}

TEST_F(FlareDraw, FlareBehindTheCameraPointIsCulledEvenInView) {
  // Heading 100 looks mostly toward -x: flares 1 across and slightly behind or ahead in depth
  // are both inside the view; only the one ahead faces the camera.
  const Flare behind = At(-1, 0, 9.8f);
  const Flare ahead = At(-1, 0, 10.2f);
  EXPECT_EQ(Drawn(ahead, 0, 0, 10, 100).size(), 2u);
  EXPECT_TRUE(Drawn(behind, 0, 0, 10, 100).empty());
  glDisable(GL_CULL_FACE);
  EXPECT_EQ(Drawn(behind, 0, 0, 10, 100).size(), 2u);  // in view: culling, not clipping, hides it
}

TEST_F(FlareDraw, FlareAtTheCutOffIsDrawnBlack) {
  // The scene's far plane, also at 6.0, would clip it from the eye 0.03 above the point.
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(120.0, 4.0 / 3.0, 0.001, 10.0);
  glMatrixMode(GL_MODELVIEW);
  glColor3f(0.25f, 0.5f, 0.75f);
  EXPECT_EQ(Drawn(At(0, 0, 16), 0, 0, 10).size(), 2u);
  GLfloat colour[4] = {};
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_EQ(colour[0], 0.0f);
  EXPECT_EQ(colour[1], 0.0f);
  EXPECT_EQ(colour[2], 0.0f);
}

// Beyond the cut-off Draw makes no call at all: the current colour, the matrix and its stack
// stay exactly as they were, and nothing reaches the feedback buffer.
TEST_F(FlareDraw, FlareBeyondTheCutOffTouchesNothing) {
  const Flare far = At(0, 0, std::nextafter(16.0f, 17.0f));
  glColor3f(0.25f, 0.5f, 0.75f);
  glLoadIdentity();
  vehicle_->ApplyCamera();
  GLfloat before[16] = {};
  glGetFloatv(GL_MODELVIEW_MATRIX, before);
  GLint depthBefore = 0;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
  GLint passes = 0;
  std::vector<GLfloat> buffer(64, -1.0f);
  glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
  glRenderMode(GL_FEEDBACK);
  far.Draw(0, 0, 10);
  passes = glRenderMode(GL_RENDER);
  EXPECT_EQ(passes, 0);
  GLfloat colour[4] = {};
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_EQ(colour[0], 0.25f);
  EXPECT_EQ(colour[1], 0.5f);
  EXPECT_EQ(colour[2], 0.75f);
  GLfloat after[16] = {};
  glGetFloatv(GL_MODELVIEW_MATRIX, after);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(after[i], before[i]) << i;
  GLint depthAfter = 0;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
  EXPECT_EQ(depthAfter, depthBefore);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(FlareDraw, FlareAtTheCameraPointCoversNothing) {
  const std::vector<FeedbackPolygon> polygons = Drawn(At(0, 0, 10), 0, 0, 10);
  for (const FeedbackPolygon& polygon : polygons) {
    for (const FeedbackVertex& v : polygon) {
      EXPECT_EQ(v.x, polygon[0].x);
      EXPECT_EQ(v.y, polygon[0].y);
    }
  }
  GLint stack = 0;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &stack);
  EXPECT_EQ(stack, 1);  // pushed and popped
}

}  // namespace
