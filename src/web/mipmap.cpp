// The processor's mipmaps; see mipmap.h.
#include "web/mipmap.h"

#include <cstddef>

namespace gl11 {

namespace {

constexpr int kComponents = 3;

using Image = std::vector<uint8_t>;  // RGB, tightly packed

// Area-weighted resampling for a picture whose sides are not powers of two: each target pixel
// averages the source pixels under it. GLU's own scaler weighs partial pixels a little
// differently; the program's pictures all have power-of-two sides and never take this path.
Image Scale(const Image& in, int width, int height, int toWidth, int toHeight) {
  Image out(static_cast<std::size_t>(toWidth) * toHeight * kComponents);
  for (int y = 0; y < toHeight; ++y) {
    const int y0 = y * height / toHeight;
    const int y1 = (y + 1) * height / toHeight > y0 ? (y + 1) * height / toHeight : y0 + 1;
    for (int x = 0; x < toWidth; ++x) {
      const int x0 = x * width / toWidth;
      const int x1 = (x + 1) * width / toWidth > x0 ? (x + 1) * width / toWidth : x0 + 1;
      for (int c = 0; c < kComponents; ++c) {
        unsigned sum = 0;
        for (int sy = y0; sy < y1; ++sy) {
          for (int sx = x0; sx < x1; ++sx)
            sum += in[(static_cast<std::size_t>(sy) * width + sx) * 3 + c];
        }
        const unsigned count = static_cast<unsigned>((y1 - y0) * (x1 - x0));
        out[(static_cast<std::size_t>(y) * toWidth + x) * 3 + c] =
            static_cast<uint8_t>((sum + count / 2) / count);
      }
    }
  }
  return out;
}

// GLU's box filter: a 2x2 block averages with rounding, (a + b + c + d + 2) / 4; once a side is 1
// two neighbours average with truncation, (a + b) / 2.
Image Halve(const Image& in, int width, int height) {
  const int w = width > 1 ? width / 2 : 1;
  const int h = height > 1 ? height / 2 : 1;
  Image out(static_cast<std::size_t>(w) * h * kComponents);
  auto at = [&](int x, int y, int c) { return unsigned(in[(std::size_t(y) * width + x) * 3 + c]); };
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      for (int c = 0; c < kComponents; ++c) {
        unsigned value;
        if (width > 1 && height > 1) {
          value = (at(2 * x, 2 * y, c) + at(2 * x + 1, 2 * y, c) + at(2 * x, 2 * y + 1, c) +
                   at(2 * x + 1, 2 * y + 1, c) + 2) /
                  4;
        } else if (width > 1) {
          value = (at(2 * x, 0, c) + at(2 * x + 1, 0, c)) / 2;
        } else {
          value = (at(0, 2 * y, c) + at(0, 2 * y + 1, c)) / 2;
        }
        out[(std::size_t(y) * w + x) * 3 + c] = static_cast<uint8_t>(value);
      }
    }
  }
  return out;
}

std::vector<uint8_t> ToRgba(const Image& rgb) {
  std::vector<uint8_t> rgba(rgb.size() / 3 * 4);
  for (std::size_t i = 0, j = 0; i < rgb.size(); i += 3, j += 4) {
    rgba[j] = rgb[i];
    rgba[j + 1] = rgb[i + 1];
    rgba[j + 2] = rgb[i + 2];
    rgba[j + 3] = 255;
  }
  return rgba;
}

}  // namespace

int NearestPowerOfTwo(int side, int maxSide) {
  int power = 1;
  for (unsigned value = static_cast<unsigned>(side); value > 1; value >>= 1) {
    if (value == 3) {
      power *= 4;
      break;
    }
    power *= 2;
  }
  while (power > maxSide && power > 1) power /= 2;
  return power;
}

MipChain BuildMipmaps(const uint8_t* pixels, int width, int height, bool bgr, int alignment,
                      int maxSide) {
  MipChain chain;
  if (width < 1 || height < 1 || pixels == nullptr) return chain;
  const std::size_t align = alignment > 1 ? static_cast<std::size_t>(alignment) : 1;
  const std::size_t row = (static_cast<std::size_t>(width) * 3 + align - 1) / align * align;
  Image image(static_cast<std::size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    const uint8_t* in = pixels + row * y;
    uint8_t* out = &image[static_cast<std::size_t>(y) * width * 3];
    for (int x = 0; x < width; ++x, in += 3, out += 3) {
      out[0] = in[bgr ? 2 : 0];
      out[1] = in[1];
      out[2] = in[bgr ? 0 : 2];
    }
  }
  int w = NearestPowerOfTwo(width, maxSide);
  int h = NearestPowerOfTwo(height, maxSide);
  if (w != width || h != height) image = Scale(image, width, height, w, h);
  chain.width = w;
  chain.height = h;
  for (;;) {
    chain.levels.push_back(ToRgba(image));
    if (w == 1 && h == 1) break;
    image = Halve(image, w, h);
    w = w > 1 ? w / 2 : 1;
    h = h > 1 ? h / 2 : 1;
  }
  return chain;
}

}  // namespace gl11
