// Sky: the backdrop picture drawn first every frame as one quad in eye coordinates, its texture
// coordinates scrolled by the vehicle's heading and pitch.
#pragma once

#include "texture/texture.h"

// Texture-coordinate offsets for the sky quad: heading and pitch in units of 180 degrees.
struct SkyOffset {
  float u;
  float v;
};
SkyOffset SkyOffsetFor(float pitch, float heading);

class Sky {
 public:
  Sky() = default;
  virtual ~Sky() = default;

  // Needs the model-view matrix at identity; leaves the texture bound and the colour white.
  void Draw(float pitch, float heading);

  Texture texture;
};
