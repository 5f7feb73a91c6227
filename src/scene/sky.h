// Sky: the backdrop picture drawn first every frame as one quad in eye coordinates, its texture
// coordinates scrolled by the vehicle's heading and pitch, widened by whole copies of the picture
// where the view is wider than the quad.
#pragma once

#include "texture/texture.h"

// Texture-coordinate offsets for the sky quad: heading and pitch in units of 180 degrees.
struct SkyOffset {
  float u;
  float v;
};
SkyOffset SkyOffsetFor(float pitch, float heading);

// The widest view, width over height, that the 8 x 6 quad at z = -1.5 fills under the scene's
// 120-degree vertical field: its half-width 4 over the view's half-height there, 1.5 tan 60.
// Every taller view, down to a phone held upright, is filled by the quad as it is.
constexpr double kSkyQuadWidestAspect = 4.0 / (1.5 * 1.7320508075688772);

// The quad as drawn: corners counter-clockwise from the lower left, each with its texture
// coordinates.
struct SkyQuad {
  struct Corner {
    float s, t, x, y;
  };
  Corner corners[4];
};

// For a view of `aspect` up to kSkyQuadWidestAspect, the 8 x 6 quad with one copy of the picture.
// For a wider one, the quad gains k whole copies of the picture on each side, 8 units wide each at
// the same scale, k the fewest that fill the view: the repeat wrap tiles them.
SkyQuad SkyQuadFor(float pitch, float heading, double aspect);

class Sky {
 public:
  Sky() = default;
  virtual ~Sky() = default;

  // Needs the model-view matrix at identity; leaves the texture bound and the colour white.
  // `aspect` is the projection's width over height (the 4:3 screen by default).
  void Draw(float pitch, float heading, double aspect = 4.0 / 3.0);

  Texture texture;
};
