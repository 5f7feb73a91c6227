// Picture helpers and the BMP writer; see picture.h.
#include "picture.h"

#include <cmath>
#include <cstdio>

double Clamp01(double v) {
  return v < 0 ? 0 : (v > 1 ? 1 : v);
}

double SmoothStep(double edge0, double edge1, double x) {
  const double t = Clamp01((x - edge0) / (edge1 - edge0));
  return t * t * (3 - 2 * t);
}

double WrappedOffset(double a, double b) {
  double d = std::fmod(a - b, 1.0);
  if (d < -0.5) d += 1.0;
  if (d >= 0.5) d -= 1.0;
  return d;
}

double WrappedDistance(double a, double b) {
  return std::fabs(WrappedOffset(a, b));
}

double Hash01(int32_t x, int32_t y, uint32_t seed) {
  // Integer mixing (a variant of the "lowbias32" finaliser): same result on every platform.
  uint32_t h = seed * 0x9E3779B9u;
  h ^= static_cast<uint32_t>(x) * 0x85EBCA6Bu;
  h = (h ^ (h >> 16)) * 0x7FEB352Du;
  h ^= static_cast<uint32_t>(y) * 0xC2B2AE35u;
  h = (h ^ (h >> 15)) * 0x846CA68Bu;
  h ^= h >> 16;
  return (h >> 8) * (1.0 / 16777216.0);
}

namespace {

int Wrap(int i, int period) {
  const int m = i % period;
  return m < 0 ? m + period : m;
}

double Quintic(double t) {
  return t * t * t * (t * (t * 6 - 15) + 10);
}

}  // namespace

double PeriodicNoise(double x, double y, int periodX, int periodY, uint32_t seed) {
  const double fx = std::floor(x), fy = std::floor(y);
  const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
  const double tx = Quintic(x - fx), ty = Quintic(y - fy);
  const int x0 = Wrap(ix, periodX), x1 = Wrap(ix + 1, periodX);
  const int y0 = Wrap(iy, periodY), y1 = Wrap(iy + 1, periodY);
  const double a = Hash01(x0, y0, seed), b = Hash01(x1, y0, seed);
  const double c = Hash01(x0, y1, seed), d = Hash01(x1, y1, seed);
  return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

double PeriodicFbm(double x, double y, int periodX, int periodY, int octaves, uint32_t seed) {
  double sum = 0, weight = 1, total = 0;
  for (int o = 0; o < octaves; ++o) {
    const int scale = 1 << o;
    sum += weight * PeriodicNoise(x * scale, y * scale, periodX * scale, periodY * scale,
                                  seed + 101u * static_cast<uint32_t>(o));
    total += weight;
    weight *= 0.5;
  }
  return sum / total;
}

Picture::Picture(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height) {}

void Picture::AddWrapped(int x, int y, Colour c) {
  Colour& p = at(((x % width_) + width_) % width_, ((y % height_) + height_) % height_);
  p = p + c;
}

namespace {

void Put16(std::vector<unsigned char>& out, size_t at, uint32_t v) {
  out[at] = static_cast<unsigned char>(v);
  out[at + 1] = static_cast<unsigned char>(v >> 8);
}

void Put32(std::vector<unsigned char>& out, size_t at, uint32_t v) {
  Put16(out, at, v & 0xFFFF);
  Put16(out, at + 2, v >> 16);
}

unsigned char Quantise(double v, double dither) {
  if (v <= 0) return 0;
  const double scaled = Clamp01(v) * 255.0 + dither;
  const long q = std::lround(scaled);
  return static_cast<unsigned char>(q < 0 ? 0 : (q > 255 ? 255 : q));
}

}  // namespace

std::vector<unsigned char> Picture::Quantised(bool dither) const {
  std::vector<unsigned char> rgb(static_cast<size_t>(width_) * height_ * 3);
  unsigned char* p = rgb.data();
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x, p += 3) {
      const Colour& c = at(x, y);
      // Triangular noise of +-1 step, different per channel, the same on every run.
      const auto noise = [&](uint32_t channel) {
        return dither ? Hash01(x, y, 17u + channel) + Hash01(x, y, 29u + channel) - 1.0 : 0.0;
      };
      p[0] = Quantise(c.r, noise(0));
      p[1] = Quantise(c.g, noise(1));
      p[2] = Quantise(c.b, noise(2));
    }
  }
  return rgb;
}

bool Picture::WriteBmp(const std::string& path, bool dither) const {
  const size_t row = (static_cast<size_t>(width_) * 3 + 3) / 4 * 4;
  const size_t pixelBytes = row * height_;
  std::vector<unsigned char> bytes(54 + pixelBytes, 0);
  bytes[0] = 'B';
  bytes[1] = 'M';
  Put32(bytes, 2, static_cast<uint32_t>(bytes.size()));
  Put32(bytes, 10, 54);
  Put32(bytes, 14, 40);
  Put32(bytes, 18, static_cast<uint32_t>(width_));
  Put32(bytes, 22, static_cast<uint32_t>(height_));  // positive: bottom row first
  Put16(bytes, 26, 1);
  Put16(bytes, 28, 24);
  Put32(bytes, 34, static_cast<uint32_t>(pixelBytes));
  Put32(bytes, 38, 2835);  // 72 dpi, for viewers that care
  Put32(bytes, 42, 2835);
  const std::vector<unsigned char> rgb = Quantised(dither);
  for (int fileRow = 0; fileRow < height_; ++fileRow) {
    const unsigned char* from = &rgb[static_cast<size_t>(height_ - 1 - fileRow) * width_ * 3];
    unsigned char* to = &bytes[54 + row * fileRow];
    for (int x = 0; x < width_; ++x, from += 3, to += 3) {
      to[0] = from[2];
      to[1] = from[1];
      to[2] = from[0];
    }
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}
