// Track: a ribbon of constant width along +z whose two edges rise and fall on curves of their own.
// Owns the generated cross-sections and flare markers, the surface queries the vehicle stands on,
// and the display list and per-frame pass that draw it. Generation and queries need no OpenGL;
// Build and Draw need a current rendering context.
#pragma once

#include "texture/texture.h"
#include "track/flare.h"

constexpr int kTrackPointCapacity = 301;
constexpr int kFlareCapacity = 300;

// One cross-section: the heights of the left (+x) and right (-x) edges at depth z.
class TrackPoint {
 public:
  TrackPoint() = default;
  virtual ~TrackPoint() = default;
  TrackPoint(const TrackPoint&) = default;
  TrackPoint& operator=(const TrackPoint&) = default;

  float leftHeight = 0.0f;
  float rightHeight = 0.0f;
  float z = 0.0f;
};

class Track {
 public:
  Track();
  virtual ~Track() = default;
  // Member by member: both tracks then name the same textures and display list.
  Track(const Track&) = default;
  Track& operator=(const Track&) = default;

  // Generation (track.cpp). A repeated Generate starts again from point 0.
  void Generate();
  void PlaceFlare(unsigned int i);
  int SegmentCount() const { return segmentCount; }
  float HalfWidth() const { return halfWidth; }

  // Surface queries (track_queries.cpp); a progress outside [0, segmentCount] or NaN answers 0.
  float SampleHeightAt(float index, float lateral) const;
  float HeightAt(float progress, float lateral) const;
  float DepthAt(float progress) const;
  float SlopeAt(float progress, float lateral) const;
  float PitchAt(float progress, float lateral) const;

  // The mesh and its display list (track_mesh.cpp).
  void Build(int id);
  void DrawGates() const;
  void DrawSegmentSurface(int i) const;
  void DrawSegmentWalls(int i) const;
  static void FaceNormal(const float vertices[9], float normal[3]);
  static void CrossProduct(const float a[3], const float b[3], float result[3]);
  static void Normalize(float v[3]);

  // The per-frame pass (track_draw.cpp): the list, then the flares near the camera point.
  void Draw(float cx, float cy, float cz) const;

  Texture gateTexture;
  Texture surfaceTexture;
  Texture flareTexture;
  Flare flares[kFlareCapacity];
  int listId = 0;
  float halfWidth;
  int segmentCount;
  TrackPoint points[kTrackPointCapacity];
};
