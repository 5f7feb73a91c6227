// What gluBuild2DMipmaps computes on the processor: a 24-bit picture (BGR or RGB rows, each
// padded to the unpack alignment) brought to power-of-two sides, then halved level by level with
// GLU's box filter down to 1x1, as RGBA rows ready for WebGL. Pure; needs no WebGL.
#pragma once

#include <cstdint>
#include <vector>

namespace gl11 {

struct MipChain {
  int width = 0;  // of level 0
  int height = 0;
  std::vector<std::vector<uint8_t>> levels;  // RGBA, tightly packed, level 0 first
};

// The power of two GLU scales a side to: the nearest one, 3 going up to 4 (so 3 -> 4, 5 -> 4,
// 6 -> 8), at most maxSide.
int NearestPowerOfTwo(int side, int maxSide);

// Empty when width or height is below 1.
MipChain BuildMipmaps(const uint8_t* pixels, int width, int height, bool bgr, int alignment,
                      int maxSide);

}  // namespace gl11
