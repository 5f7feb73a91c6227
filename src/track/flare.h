// Flare: one glowing marker beside the track, and the per-frame arithmetic that fades, sizes and
// turns it toward the camera point. View and Facing are pure; Draw and FaceCamera issue them.
#pragma once

// How far a flare is from the camera point and how it is drawn there.
struct FlareView {
  bool drawn;      // false beyond the cut-off distance: then no OpenGL call at all
  float distance;  // from the camera point to the flare's centre
  float grey;      // colour level, not clamped: 0 at the cut-off, above 1 nearer than 5
  float halfSize;  // half the square's side; grows with distance, so every flare spans one angle
};

// The two rotations that stand the square across the line to the camera point, in degrees as
// glRotatef receives them: about X first, then about Y.
struct FlareFacing {
  float angleX;
  float angleY;
};

class Flare {
 public:
  Flare() = default;
  virtual ~Flare() = default;
  Flare(const Flare&) = default;
  Flare& operator=(const Flare&) = default;

  FlareView View(float cx, float cy, float cz) const;
  FlareFacing Facing(float cx, float cy, float cz) const;
  // Draws the flare's square for the camera point, or issues nothing when it is too far.
  void Draw(float cx, float cy, float cz) const;
  // Multiplies the current matrix by the two facing rotations.
  void FaceCamera(float cx, float cy, float cz) const;

  // Stored depth first; drawn at (x, y, z).
  float z = 0.0f;
  float y = 0.0f;
  float x = 0.0f;
};
