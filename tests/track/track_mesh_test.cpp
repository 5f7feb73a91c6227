// The track's display list as OpenGL replays it: built in a real (headless) context and read back
// in feedback mode, then compared vertex by vertex with the generated points it was made from.
#include <gtest/gtest.h>

#include <memory>

#include "feedback_capture.h"
#include "offscreen_gl.h"
#include "opengl.h"
#include "track/track.h"

namespace {

constexpr int kViewport = 1024;

struct Corner {
  float s, t, x, y, z;
};

class TrackMesh : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gl_.ok()) << gl_.error();  // a render test that cannot render fails
    track_->gateTexture.Create("gate");
    track_->surfaceTexture.Create("surface");
    track_->Build(1);

    // A parallel view that holds the whole track (x within 0.15, y within 1.1, z 0 to 30), so
    // nothing is clipped; window positions are then compared with gluProject's.
    glViewport(0, 0, kViewport, kViewport);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-0.25, 0.25, -1.25, 1.25, -31.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview_);
    glGetDoublev(GL_PROJECTION_MATRIX, projection_);
  }

  // Mesa hands a quad to feedback as the triangles (1, 2, 4) and (2, 3, 4); the two gates are
  // joined back into quads here so that the list reads as it was recorded.
  std::vector<FeedbackPolygon> CaptureList() const {
    std::vector<FeedbackPolygon> polygons =
        CapturePolygons([this] { glCallList(static_cast<GLuint>(track_->listId)); });
    for (size_t gate = 0; gate < 2 && polygons.size() > gate + 1; ++gate) {
      FeedbackPolygon& first = polygons[gate];
      const FeedbackPolygon& second = polygons[gate + 1];
      if (first.size() != 3 || second.size() != 3) continue;
      first = {first[0], first[1], second[1], first[2]};
      polygons.erase(polygons.begin() + static_cast<std::ptrdiff_t>(gate) + 1);
    }
    return polygons;
  }

  void ExpectCorner(const FeedbackVertex& v, const Corner& c, const char* where) const {
    const GLint viewport[4] = {0, 0, kViewport, kViewport};
    double wx = 0, wy = 0, wz = 0;
    gluProject(c.x, c.y, c.z, modelview_, projection_, viewport, &wx, &wy, &wz);
    EXPECT_NEAR(v.x, wx, 2e-3) << where;  // 2e-3 pixels is about 1e-6 across the track
    EXPECT_NEAR(v.y, wy, 2e-3) << where;
    EXPECT_NEAR(v.z, wz, 1e-6) << where;  // about 3e-5 along it; points lie 0.1 apart
    EXPECT_EQ(v.s, c.s) << where;
    EXPECT_EQ(v.t, c.t) << where;
  }

  OffscreenGL gl_{8, 8};
  std::unique_ptr<Track> track_ = std::make_unique<Track>();
  double modelview_[16] = {};
  double projection_[16] = {};
};

TEST_F(TrackMesh, ListHoldsTwoGateQuadsThenSixTrianglesPerSegment) {
  const std::vector<FeedbackPolygon> polygons = CaptureList();
  ASSERT_EQ(track_->SegmentCount(), 299);
  ASSERT_EQ(polygons.size(), 2u + 299u * 6u);
  EXPECT_EQ(polygons[0].size(), 4u);
  EXPECT_EQ(polygons[1].size(), 4u);
  size_t vertices = 0;
  for (size_t i = 2; i < polygons.size(); ++i) {
    EXPECT_EQ(polygons[i].size(), 3u) << i;
    vertices += polygons[i].size();
  }
  EXPECT_EQ(vertices, 299u * 18u);
}

TEST_F(TrackMesh, GatesCloseBothEnds) {
  const std::vector<FeedbackPolygon> polygons = CaptureList();
  ASSERT_GE(polygons.size(), 2u);
  const float h = 0.15f;
  const TrackPoint& s = track_->points[0];
  const TrackPoint& f = track_->points[299];
  EXPECT_EQ(s.z, 0.0f);
  EXPECT_FLOAT_EQ(f.z, 29.900078f);
  const Corner start[4] = {{0, 1, -h, s.rightHeight + 0.1f, s.z},
                           {0, 0, -h, s.rightHeight, s.z},
                           {1, 0, h, s.leftHeight, s.z},
                           {1, 1, h, s.leftHeight + 0.1f, s.z}};
  const Corner finish[4] = {{0, 1, h, f.leftHeight + 0.1f, f.z},
                            {0, 0, h, f.leftHeight, f.z},
                            {1, 0, -h, f.rightHeight, f.z},
                            {1, 1, -h, f.rightHeight + 0.1f, f.z}};
  for (int k = 0; k < 4; ++k) {
    ExpectCorner(polygons[0][static_cast<size_t>(k)], start[k], "start gate");
    ExpectCorner(polygons[1][static_cast<size_t>(k)], finish[k], "finish gate");
  }
}

TEST_F(TrackMesh, EveryTriangleMatchesItsSegment) {
  const std::vector<FeedbackPolygon> polygons = CaptureList();
  ASSERT_EQ(polygons.size(), 2u + 299u * 6u);
  const float h = 0.15f;
  for (int i = 0; i < 299; ++i) {
    const TrackPoint& p = track_->points[i];
    const TrackPoint& q = track_->points[i + 1];
    const float pl = p.leftHeight + 0.1f, ql = q.leftHeight + 0.1f;
    const float pr = p.rightHeight + 0.1f, qr = q.rightHeight + 0.1f;
    const Corner expected[6][3] = {
        {{0, 0, -h, q.rightHeight, q.z},
         {1, 0, h, p.leftHeight, p.z},
         {0, 1, -h, p.rightHeight, p.z}},
        {{1, 0, h, q.leftHeight, q.z},
         {1, 1, h, p.leftHeight, p.z},
         {0, 1, -h, q.rightHeight, q.z}},
        {{0, 0, h, p.leftHeight, p.z}, {0, 1, h, q.leftHeight, q.z}, {1, 1, h, pl, p.z}},
        {{0, 0, h, q.leftHeight, q.z}, {1, 1, h, ql, q.z}, {1, 0, h, pl, p.z}},
        {{0, 1, -h, q.rightHeight, q.z}, {0, 0, -h, p.rightHeight, p.z}, {1, 1, -h, pr, p.z}},
        {{0, 1, -h, q.rightHeight, q.z}, {1, 1, -h, pr, p.z}, {1, 0, -h, qr, q.z}}};
    for (int t = 0; t < 6; ++t) {
      const FeedbackPolygon& triangle = polygons[2u + static_cast<size_t>(i * 6 + t)];
      ASSERT_EQ(triangle.size(), 3u);
      for (int k = 0; k < 3; ++k) {
        const std::string where = "segment " + std::to_string(i) + " triangle " +
                                  std::to_string(t + 1) + " vertex " + std::to_string(k + 1);
        ExpectCorner(triangle[static_cast<size_t>(k)], expected[t][k], where.c_str());
      }
    }
  }
}

TEST_F(TrackMesh, FirstSurfaceTriangleSitsWhereTheCurvesPutIt) {
  const std::vector<FeedbackPolygon> polygons = CaptureList();
  ASSERT_GT(polygons.size(), 2u);
  const Corner expected[3] = {{0, 0, -0.15f, 0.1863882f, 0.1f},
                              {1, 0, 0.15f, -0.0251190f, 0.0f},
                              {0, 1, -0.15f, 0.1000325f, 0.0f}};
  for (int k = 0; k < 3; ++k) {
    ExpectCorner(polygons[2][static_cast<size_t>(k)], expected[k], "segment 0 triangle 1");
  }
}

// Each triangle carries its own normal: lit by a red light along +axis and a green one along
// -axis, red minus green is the normal's component on that axis.
TEST_F(TrackMesh, TrianglesAreLitByTheirOwnNormals) {
  const float axes[3][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};
  std::vector<FeedbackPolygon> byAxis[3];
  const GLfloat black[4] = {0, 0, 0, 1};
  const GLfloat red[4] = {1, 0, 0, 1};
  const GLfloat green[4] = {0, 1, 0, 1};
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, black);
  for (GLenum light : {GL_LIGHT0, GL_LIGHT1}) {
    glLightfv(light, GL_AMBIENT, black);
    glLightfv(light, GL_SPECULAR, black);
    glEnable(light);
  }
  glLightfv(GL_LIGHT0, GL_DIFFUSE, red);
  glLightfv(GL_LIGHT1, GL_DIFFUSE, green);
  glEnable(GL_LIGHTING);
  glEnable(GL_COLOR_MATERIAL);
  glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
  for (int a = 0; a < 3; ++a) {
    const GLfloat opposite[4] = {-axes[a][0], -axes[a][1], -axes[a][2], 0};
    glLightfv(GL_LIGHT0, GL_POSITION, axes[a]);
    glLightfv(GL_LIGHT1, GL_POSITION, opposite);
    byAxis[a] = CaptureList();
    ASSERT_EQ(byAxis[a].size(), 2u + 299u * 6u);
  }
  const float h = 0.15f;
  for (int i = 0; i < 299; ++i) {
    const TrackPoint& p = track_->points[i];
    const TrackPoint& q = track_->points[i + 1];
    const float surface[2][9] = {
        {-h, q.rightHeight, q.z, h, p.leftHeight, p.z, -h, p.rightHeight, p.z},
        {h, q.leftHeight, q.z, h, p.leftHeight, p.z, -h, q.rightHeight, q.z}};
    float normals[6][3] = {{}, {}, {-1, 0, 0}, {-1, 0, 0}, {1, 0, 0}, {1, 0, 0}};
    Track::FaceNormal(surface[0], normals[0]);
    Track::FaceNormal(surface[1], normals[1]);
    for (int t = 0; t < 6; ++t) {
      const size_t index = 2u + static_cast<size_t>(i * 6 + t);
      for (int a = 0; a < 3; ++a) {
        for (const FeedbackVertex& v : byAxis[a][index]) {
          EXPECT_NEAR(v.r - v.g, normals[t][a], 1e-5) << "segment " << i << " triangle " << t + 1;
        }
      }
    }
  }
  // The very first: (0.301086, 0.721732, -0.623257).
  EXPECT_NEAR(byAxis[0][2][0].r, 0.301086f, 1e-5);
  EXPECT_NEAR(byAxis[1][2][0].r, 0.721732f, 1e-5);
  EXPECT_NEAR(byAxis[2][2][0].g, 0.623257f, 1e-5);
}

// What a call of the list leaves behind: the unclamped blue of 1.75, the surface texture bound
// and the last right-wall normal current. The next flare pass and gate pass rely on them.
TEST_F(TrackMesh, ListLeavesColourTextureAndNormalBehind) {
  glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
  glNormal3f(0, 0, 1);
  glBindTexture(GL_TEXTURE_2D, 0);
  glCallList(1);
  GLfloat colour[4] = {};
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_EQ(colour[0], 1.0f);
  EXPECT_EQ(colour[1], 1.0f);
  EXPECT_EQ(colour[2], 1.75f);
  EXPECT_EQ(colour[3], 1.0f);
  GLint bound = -1;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(static_cast<unsigned int>(bound), track_->surfaceTexture.id - 1);
  EXPECT_NE(track_->surfaceTexture.id, track_->gateTexture.id);
  GLfloat normal[3] = {};
  glGetFloatv(GL_CURRENT_NORMAL, normal);
  EXPECT_EQ(normal[0], 1.0f);
  EXPECT_EQ(normal[1], 0.0f);
  EXPECT_EQ(normal[2], 0.0f);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
