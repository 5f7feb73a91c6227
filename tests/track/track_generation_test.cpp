// Generation, copying and the mesh's pure math, against values computed for the float-accumulated
// parameter (a parameter formed as index * 0.1 would miss them).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "track/track.h"

namespace {

std::unique_ptr<Track> GeneratedTrack() {
  auto track = std::make_unique<Track>();
  track->Generate();
  return track;
}

TEST(TrackGeneration, NewTrackIsEmpty) {
  const Track track;
  EXPECT_EQ(track.SegmentCount(), 0);
  EXPECT_FLOAT_EQ(track.HalfWidth(), 0.15f);
}

TEST(TrackGeneration, MakesExactlyThreeHundredPoints) {
  const auto track = GeneratedTrack();
  EXPECT_EQ(track->SegmentCount(), 299);
  EXPECT_FLOAT_EQ(track->points[1].z, 0.1f);
  EXPECT_FLOAT_EQ(track->points[100].z, 10.000002f);
  EXPECT_FLOAT_EQ(track->points[200].z, 20.00004f);
  const TrackPoint& unused = track->points[300];
  EXPECT_EQ(unused.leftHeight, 0.0f);
  EXPECT_EQ(unused.rightHeight, 0.0f);
  EXPECT_EQ(unused.z, 0.0f);
}

TEST(TrackGeneration, EndPointsMatchTheCurves) {
  const auto track = GeneratedTrack();
  EXPECT_FLOAT_EQ(track->points[0].leftHeight, -0.0251190f);
  EXPECT_FLOAT_EQ(track->points[0].rightHeight, 0.1000325f);
  EXPECT_EQ(track->points[0].z, 0.0f);
  EXPECT_FLOAT_EQ(track->points[299].leftHeight, -0.9914386f);
  EXPECT_FLOAT_EQ(track->points[299].rightHeight, -0.8631975f);
  EXPECT_FLOAT_EQ(track->points[299].z, 29.900078f);
}

TEST(TrackGeneration, EdgesStayWithinTheirCurves) {
  const auto track = GeneratedTrack();
  for (int i = 0; i <= 299; ++i) {
    const TrackPoint& p = track->points[i];
    EXPECT_LE(std::fabs(p.leftHeight), 0.992f) << i;
    EXPECT_LE(std::fabs(p.rightHeight), 0.992f) << i;
    EXPECT_LE(std::fabs(p.leftHeight - p.rightHeight), 0.176f) << i;
    if (i > 0) {
      EXPECT_GT(p.z, track->points[i - 1].z) << i;
    }
  }
}

TEST(TrackGeneration, FlaresAlternateEdgesAboveTheWalls) {
  const auto track = GeneratedTrack();
  const Flare& f0 = track->flares[0];
  EXPECT_EQ(f0.z, 0.0f);
  EXPECT_FLOAT_EQ(f0.y, 0.2000325f);
  EXPECT_FLOAT_EQ(f0.x, -0.15f);
  const Flare& f1 = track->flares[1];
  EXPECT_FLOAT_EQ(f1.z, 0.1f);
  EXPECT_FLOAT_EQ(f1.y, 0.1739969f);
  EXPECT_FLOAT_EQ(f1.x, 0.15f);
  const Flare& f299 = track->flares[299];
  EXPECT_FLOAT_EQ(f299.z, 29.900078f);
  EXPECT_FLOAT_EQ(f299.y, -0.8914385f);
  EXPECT_FLOAT_EQ(f299.x, 0.15f);
  for (int i = 0; i < kFlareCapacity; ++i) {
    const TrackPoint& p = track->points[i];
    const float edge = i % 2 == 0 ? p.rightHeight : p.leftHeight;
    EXPECT_EQ(track->flares[i].y, edge + 0.1f) << i;
    EXPECT_EQ(track->flares[i].z, p.z) << i;
  }
}

TEST(TrackGeneration, SecondGenerationStartsAgain) {
  auto track = GeneratedTrack();
  const auto fresh = GeneratedTrack();
  track->Generate();
  EXPECT_EQ(track->SegmentCount(), 299);
  EXPECT_EQ(std::memcmp(&track->points[299].z, &fresh->points[299].z, sizeof(float)), 0);
  EXPECT_EQ(track->points[300].z, 0.0f);
}

TEST(TrackCopy, CopiesEveryMember) {
  auto source = GeneratedTrack();
  source->listId = 1;
  source->gateTexture.id = 3;
  source->gateTexture.width = 256;
  source->gateTexture.height = 64;
  std::strcpy(source->gateTexture.name, "gfx/StartEnd.bmp");
  source->flareTexture.id = 5;

  auto copy = std::make_unique<Track>();
  *copy = *source;
  EXPECT_EQ(copy->listId, 1);
  EXPECT_EQ(copy->SegmentCount(), 299);
  EXPECT_EQ(copy->HalfWidth(), 0.15f);
  EXPECT_STREQ(copy->gateTexture.name, "gfx/StartEnd.bmp");
  EXPECT_EQ(copy->gateTexture.id, 3u);
  EXPECT_EQ(copy->gateTexture.width, 256);
  EXPECT_EQ(copy->gateTexture.height, 64);
  EXPECT_EQ(copy->flareTexture.id, 5u);
  for (int i = 0; i < kTrackPointCapacity; ++i) {
    EXPECT_EQ(copy->points[i].leftHeight, source->points[i].leftHeight);
    EXPECT_EQ(copy->points[i].rightHeight, source->points[i].rightHeight);
    EXPECT_EQ(copy->points[i].z, source->points[i].z);
  }
  for (int i = 0; i < kFlareCapacity; ++i) {
    EXPECT_EQ(copy->flares[i].x, source->flares[i].x);
    EXPECT_EQ(copy->flares[i].y, source->flares[i].y);
    EXPECT_EQ(copy->flares[i].z, source->flares[i].z);
  }
  // The copy names the same OpenGL textures; neither may delete them here, with no context.
  for (Track* t : {source.get(), copy.get()}) {
    t->gateTexture.id = 0;
    t->flareTexture.id = 0;
  }
}

// The mesh's normals, from the same vertices the display list is built from.
TEST(TrackNormals, FirstSurfaceTriangle) {
  const auto track = GeneratedTrack();
  const TrackPoint& p = track->points[0];
  const TrackPoint& q = track->points[1];
  EXPECT_FLOAT_EQ(q.rightHeight, 0.1863882f);
  const float vertices[9] = {-0.15f, q.rightHeight, q.z,           0.15f, p.leftHeight,
                             p.z,    -0.15f,        p.rightHeight, p.z};
  float normal[3];
  Track::FaceNormal(vertices, normal);
  EXPECT_NEAR(normal[0], 0.301086f, 1e-6f);
  EXPECT_NEAR(normal[1], 0.721732f, 1e-6f);
  EXPECT_NEAR(normal[2], -0.623257f, 1e-6f);
}

TEST(TrackNormals, SurfaceFacesUpAndWallsFaceInwardExactly) {
  const auto track = GeneratedTrack();
  const float h = track->HalfWidth();
  for (int i = 0; i < track->SegmentCount(); ++i) {
    const TrackPoint& p = track->points[i];
    const TrackPoint& q = track->points[i + 1];
    const float surface[2][9] = {
        {-h, q.rightHeight, q.z, h, p.leftHeight, p.z, -h, p.rightHeight, p.z},
        {h, q.leftHeight, q.z, h, p.leftHeight, p.z, -h, q.rightHeight, q.z}};
    for (const auto& triangle : surface) {
      float n[3];
      Track::FaceNormal(triangle, n);
      EXPECT_GT(n[1], 0.68f) << i;
    }
    const float left[9] = {h, p.leftHeight, p.z, h, q.leftHeight, q.z, h, p.leftHeight + 0.1f, p.z};
    const float right[9] = {-h, q.rightHeight,        q.z, -h, p.rightHeight, p.z,
                            -h, p.rightHeight + 0.1f, p.z};
    float n[3];
    Track::FaceNormal(left, n);
    EXPECT_EQ(n[0], -1.0f) << i;
    EXPECT_EQ(n[1], 0.0f) << i;
    EXPECT_EQ(n[2], 0.0f) << i;
    Track::FaceNormal(right, n);
    EXPECT_EQ(n[0], 1.0f) << i;
    EXPECT_EQ(n[1], 0.0f) << i;
    EXPECT_EQ(n[2], 0.0f) << i;
  }
}

TEST(TrackNormals, DegenerateTrianglesGiveZero) {
  const float point[9] = {1, 2, 3, 1, 2, 3, 1, 2, 3};
  const float line[9] = {0, 0, 0, 1, 1, 1, 2, 2, 2};
  for (const auto* vertices : {point, line}) {
    float n[3] = {7, 7, 7};
    Track::FaceNormal(vertices, n);
    EXPECT_EQ(n[0], 0.0f);
    EXPECT_EQ(n[1], 0.0f);
    EXPECT_EQ(n[2], 0.0f);
  }
}

TEST(TrackNormals, CrossProductAndNormalize) {
  const float x[3] = {1, 0, 0};
  const float y[3] = {0, 1, 0};
  float z[3];
  Track::CrossProduct(x, y, z);
  EXPECT_EQ(z[0], 0.0f);
  EXPECT_EQ(z[1], 0.0f);
  EXPECT_EQ(z[2], 1.0f);
  float v[3] = {3, 0, -4};
  Track::Normalize(v);
  EXPECT_FLOAT_EQ(v[0], 0.6f);
  EXPECT_EQ(v[1], 0.0f);
  EXPECT_FLOAT_EQ(v[2], -0.8f);
}

}  // namespace
