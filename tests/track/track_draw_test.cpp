// The per-frame track pass rendered and read back: flares brighten as the camera point nears
// them, vanish beyond the cut-off and lie over the track's geometry; the pass leaves blending on
// and restores everything else it changed.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "offscreen_gl.h"
#include "opengl.h"
#include "track/track.h"
#include "vehicle/vehicle.h"

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;
constexpr int kTrackList = 3;

class TrackDraw : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gl_.ok()) << gl_.error();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(120.0, static_cast<double>(kWidth) / kHeight, 0.001, 6.0);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    // Stand-in geometry: a mid-grey wall across the whole view 1 ahead of the camera point, with
    // a texture object of its own bound as the real list binds the surface picture.
    track_->surfaceTexture.Create("surface");
    track_->flareTexture.Create("flare");  // no picture: the squares show their plain grey
    track_->listId = kTrackList;
    glNewList(kTrackList, GL_COMPILE);
    glBindTexture(GL_TEXTURE_2D, 0);
    glColor3f(0.5f, 0.5f, 0.5f);
    glBegin(GL_QUADS);
    glVertex3f(5, -5, 11);
    glVertex3f(-5, -5, 11);
    glVertex3f(-5, 5, 11);
    glVertex3f(5, 5, 11);
    glEnd();
    track_->surfaceTexture.Bind();
    glEndList();
    track_->segmentCount = 0;
    PlaceFlare(0, 0, 0, 100);  // out of reach unless a test moves it
  }

  void PlaceFlare(int i, float x, float y, float z) {
    track_->flares[i].x = x;
    track_->flares[i].y = y;
    track_->flares[i].z = z;
  }

  // One frame from the camera point (0, 0, 10) looking along +z, on black. Returns the centre
  // pixel's red level.
  int CentreAfterFrame(bool withWall = true) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    vehicle_->depth = 10.0f;
    vehicle_->ApplyCamera();
    if (!withWall) track_->listId = 0;  // no such list: glCallList does nothing
    track_->Draw(0, 0, 10);
    track_->listId = kTrackList;
    const std::vector<unsigned char> rgb = gl_.ReadRGB();
    return rgb[(static_cast<size_t>(kHeight / 2) * kWidth + kWidth / 2) * 3];
  }

  OffscreenGL gl_{kWidth, kHeight};
  std::unique_ptr<Track> track_ = std::make_unique<Track>();
  std::unique_ptr<Vehicle> vehicle_ = std::make_unique<Vehicle>();
};

TEST_F(TrackDraw, FlareBrightensAsTheCameraPointNearsIt) {
  int previous = -1;
  for (float distance : {6.0f, 5.9f, 5.6f, 5.3f, 5.05f}) {
    PlaceFlare(0, 0, 0, 10 + distance);
    const int level = CentreAfterFrame(false);
    EXPECT_NEAR(level, (6.0f - distance) * 255.0f, 1.5f) << distance;
    EXPECT_GT(level, previous) << distance;
    previous = level;
  }
  PlaceFlare(0, 0, 0, 13);  // nearer than 5: grey 4, clamped to full white
  EXPECT_EQ(CentreAfterFrame(false), 255);
  PlaceFlare(0, 0, 0, 16.01f);
  EXPECT_EQ(CentreAfterFrame(false), 0);
}

// The wall at depth 11 is nearer than the flare at 15.5 and writes depth; the flare is drawn
// over it all the same, screen-blended: 0.5 + 0.5 * (1 - 0.5) = 0.75.
TEST_F(TrackDraw, FlaresLieOverTheTrack) {
  PlaceFlare(0, 0, 0, 100);
  const int wallOnly = CentreAfterFrame();
  EXPECT_NEAR(wallOnly, 128, 1);
  PlaceFlare(0, 0, 0, 15.5f);
  EXPECT_NEAR(CentreAfterFrame(), 191, 2);
}

TEST_F(TrackDraw, EverySlotUpToTheSegmentCountIsVisited) {
  track_->segmentCount = 299;
  for (int i = 0; i < kFlareCapacity; ++i) PlaceFlare(i, 0, 0, 100);
  PlaceFlare(299, 0, 0, 15);
  EXPECT_EQ(CentreAfterFrame(false), 255);
  track_->segmentCount = 298;
  EXPECT_EQ(CentreAfterFrame(false), 0);
}

TEST_F(TrackDraw, LeavesScreenBlendOnAndRestoresTheRest) {
  glDisable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDepthMask(GL_TRUE);
  GLint bound = 0;
  PlaceFlare(0, 0.1f, 0, 14);  // drawn: grey 1 - (dist - 5)
  glLoadIdentity();
  vehicle_->depth = 10.0f;
  vehicle_->ApplyCamera();
  GLfloat before[16] = {};
  glGetFloatv(GL_MODELVIEW_MATRIX, before);
  track_->Draw(0, 0, 10);

  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  GLint source = 0, destination = 0;
  glGetIntegerv(GL_BLEND_SRC, &source);
  glGetIntegerv(GL_BLEND_DST, &destination);
  EXPECT_EQ(source, GL_ONE);
  EXPECT_EQ(destination, GL_ONE_MINUS_SRC_COLOR);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(static_cast<unsigned int>(bound),
            track_->surfaceTexture.id - 1);  // as the list left it
  GLfloat after[16] = {};
  glGetFloatv(GL_MODELVIEW_MATRIX, after);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(after[i], before[i]) << i;
  GLint stack = 0;
  glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &stack);
  EXPECT_EQ(stack, 0);
  GLfloat colour[4] = {};
  glGetFloatv(GL_CURRENT_COLOR, colour);  // the last flare's grey, not part of the pushed state
  const float grey = track_->flares[0].View(0, 0, 10).grey;
  EXPECT_EQ(colour[0], grey);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
