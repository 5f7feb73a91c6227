// The framed images; see clamp_border.h.
#include "web/clamp_border.h"

#include <algorithm>
#include <cstddef>

namespace gl11 {

namespace {

int Log2(int side) {
  int log = 0;
  while ((1 << (log + 1)) <= side) ++log;
  return log;
}

}  // namespace

BorderFrame FrameFor(const MipChain& chain, bool clampS, bool clampT, int maxSide) {
  BorderFrame frame;
  const int sides[2] = {chain.width, chain.height};
  const bool clamps[2] = {clampS, clampT};
  int last = static_cast<int>(chain.levels.size()) - 1;
  for (int axis = 0; axis < 2; ++axis) {
    if (clamps[axis]) last = std::min(last, Log2(sides[axis]));
  }
  auto fits = [&](int level) {
    for (int axis = 0; axis < 2; ++axis) {
      if (clamps[axis] && sides[axis] + (2 << level) > maxSide) return false;
    }
    return true;
  };
  while (last > 0 && !fits(last)) --last;
  const bool framed = (clampS || clampT) && last >= 0 && fits(last);
  for (int axis = 0; axis < 2; ++axis) {
    const int margin = framed && clamps[axis] ? 1 << last : 0;
    const float side = static_cast<float>(sides[axis] + 2 * margin);
    frame.margin[axis] = margin;
    frame.map[axis] = static_cast<float>(sides[axis]) / side;
    frame.map[axis + 2] = static_cast<float>(margin) / side;
    frame.range[axis] = clamps[axis] ? frame.map[axis + 2] : -1e30f;
    frame.range[axis + 2] = clamps[axis] ? frame.map[axis + 2] + frame.map[axis] : 1e30f;
  }
  frame.width = sides[0] + 2 * frame.margin[0];
  frame.height = sides[1] + 2 * frame.margin[1];
  frame.levels = framed ? last + 1 : static_cast<int>(chain.levels.size());
  return frame;
}

FramedTexels TexelsRead(const MipChain& chain, const BorderFrame& frame, int level) {
  const int width = std::max(chain.width >> level, 1);
  const int height = std::max(chain.height >> level, 1);
  const int ringX = frame.margin[0] > 0 ? 1 : 0;
  const int ringY = frame.margin[1] > 0 ? 1 : 0;
  FramedTexels texels;
  texels.x = (frame.margin[0] >> level) - ringX;
  texels.y = (frame.margin[1] >> level) - ringY;
  texels.width = width + 2 * ringX;
  texels.height = height + 2 * ringY;
  texels.rgba.assign(static_cast<std::size_t>(texels.width) * texels.height * 4, 0);
  for (std::size_t alpha = 3; alpha < texels.rgba.size(); alpha += 4) texels.rgba[alpha] = 255;
  const std::vector<uint8_t>& picture = chain.levels[static_cast<std::size_t>(level)];
  for (int y = 0; y < height; ++y) {
    std::copy_n(
        picture.begin() + static_cast<std::ptrdiff_t>(y) * width * 4, width * 4,
        texels.rgba.begin() + (static_cast<std::ptrdiff_t>(y + ringY) * texels.width + ringX) * 4);
  }
  return texels;
}

}  // namespace gl11
