// GL_CLAMP on WebGL 2, which has no texture border. Under GL_CLAMP a linear filter's tap that
// falls off the picture reads the border colour: black, and opaque, as OpenGL reads an RGB
// texture's border. The layer draws such a texture from an image in which every mipmap level of
// the picture is framed in opaque black, and maps the texture coordinates into it; WebGL's plain
// lookup of that image with its edge clamped then computes OpenGL's GL_CLAMP lookup, each level
// with its own share of the border, blended between levels as OpenGL blends them.
//
// The frame lies on every level's texel grid and is one texel wide at the image's last level, m:
// on a framed axis level l has 2^(m - l) frame texels on each side. A lookup reads only the
// frame's innermost texels, so only those are given; the rest of it is never read. Level m is the
// last at which the picture still has whole texels on every framed axis (log2 of its shorter framed
// side). Beyond it OpenGL keeps halving only the longer side, which no one framed image can follow,
// so the lookup stays at level m there. Only a picture that is not square gets there, drawn smaller
// than its shape in pixels (the 512 x 256 sky less than two pixels wide). The level of detail is
// OpenGL's, since the coordinates scale with the image. Pure; needs no WebGL.
#pragma once

#include <cstdint>
#include <vector>

#include "web/mipmap.h"

namespace gl11 {

// How a picture's levels are framed for one combination of wraps.
struct BorderFrame {
  int margin[2] = {0, 0};  // frame texels on each side of level 0, per axis; 0 where none
  int width = 0;           // the framed level 0
  int height = 0;
  int levels = 0;  // the image's levels, level 0 first
  // Texture coordinates into the image: s and t scaled by map[0], map[1], then offset by map[2],
  // map[3]; and the picture's place in the image, (range[0], range[1]) to (range[2], range[3]),
  // to which the coordinates clamp on a clamped axis, and which is unbounded on a repeat axis.
  float map[4] = {1, 1, 0, 0};
  float range[4] = {0, 0, 1, 1};

  int Width(int level) const { return width >> level > 1 ? width >> level : 1; }
  int Height(int level) const { return height >> level > 1 ? height >> level : 1; }
};

// The texels of one level of the image that a lookup reads: the picture's and the frame's one
// texel on each side of it on a framed axis. RGBA rows, tightly packed, to go at (x, y).
struct FramedTexels {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;
};

// The frame for the picture of `chain` when the axes clamp as given, in an image of at most
// maxSide texels a side. A clamped axis whose frame would not fit is left unframed: its edge
// texels then stand in for the border.
BorderFrame FrameFor(const MipChain& chain, bool clampS, bool clampT, int maxSide);

// The texels a lookup reads at level `level` of the framed image.
FramedTexels TexelsRead(const MipChain& chain, const BorderFrame& frame, int level);

}  // namespace gl11
