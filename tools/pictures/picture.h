// Picture: the generator's canvas, linear floats per channel with row 0 at the top, and the
// helpers every picture is drawn with: colour arithmetic, smooth steps and periodic noise.
// Periodic noise is what lets the sky and the track tile: every lattice index is taken modulo
// the period, so the value at u = 1 equals the value at u = 0.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Colour {
  double r = 0, g = 0, b = 0;
};

inline Colour operator+(Colour a, Colour b) {
  return {a.r + b.r, a.g + b.g, a.b + b.b};
}
inline Colour operator-(Colour a, Colour b) {
  return {a.r - b.r, a.g - b.g, a.b - b.b};
}
inline Colour operator*(Colour a, double k) {
  return {a.r * k, a.g * k, a.b * k};
}
inline Colour operator*(Colour a, Colour b) {
  return {a.r * b.r, a.g * b.g, a.b * b.b};
}
inline Colour Mix(Colour a, Colour b, double t) {
  return a + (b - a) * t;
}
// 8-bit sRGB-ish notation for palettes: Rgb8(255, 128, 0).
inline Colour Rgb8(int r, int g, int b) {
  return {r / 255.0, g / 255.0, b / 255.0};
}
// Screen blend, as the track and flares are drawn: a + b - a * b.
inline Colour Screen(Colour a, Colour b) {
  return {a.r + b.r - a.r * b.r, a.g + b.g - a.g * b.g, a.b + b.b - a.b * b.b};
}

double Clamp01(double v);
double SmoothStep(double edge0, double edge1, double x);
// Distance from a to b on a circle of circumference 1, in [0, 0.5].
double WrappedDistance(double a, double b);
// Signed offset a - b on a circle of circumference 1, in [-0.5, 0.5).
double WrappedOffset(double a, double b);

// A 32-bit integer hash of up to three integers and a seed, uniform in [0, 1).
double Hash01(int32_t x, int32_t y, uint32_t seed);

// Value noise in [0, 1] with quintic smoothing, periodic: the lattice repeats every periodX
// cells in x and periodY cells in y, so Noise(x + periodX, y) == Noise(x, y).
double PeriodicNoise(double x, double y, int periodX, int periodY, uint32_t seed);
// Fractal sum of `octaves` PeriodicNoise layers, each of twice the frequency and the period of
// the one before, normalised to [0, 1]. Periodic over [0, periodX) x [0, periodY).
double PeriodicFbm(double x, double y, int periodX, int periodY, int octaves, uint32_t seed);

class Picture {
 public:
  Picture(int width, int height);

  int width() const { return width_; }
  int height() const { return height_; }
  Colour& at(int x, int y) { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  const Colour& at(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  // Adds to a pixel with both coordinates wrapped around the edges.
  void AddWrapped(int x, int y, Colour c);

  // Fills every pixel from f(u, v), u and v the pixel centre in [0, 1) with v = 0 at the top,
  // averaged over samples x samples points per pixel for smooth edges.
  template <typename F>
  void Fill(F f, int samples = 1) {
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) {
        Colour sum;
        for (int sy = 0; sy < samples; ++sy) {
          for (int sx = 0; sx < samples; ++sx) {
            const double u = (x + (sx + 0.5) / samples) / width_;
            const double v = (y + (sy + 0.5) / samples) / height_;
            sum = sum + f(u, v);
          }
        }
        at(x, y) = sum * (1.0 / (samples * samples));
      }
    }
  }

  // The picture in 8 bits per channel: R, G, B per pixel, rows top-first, no row fill.
  // `dither` adds a deterministic sub-step noise against banding in gradients; a pixel that is
  // exactly black stays black either way.
  std::vector<unsigned char> Quantised(bool dither) const;

  // Writes Quantised(dither) as an uncompressed 24-bit bottom-up BMP (BITMAPFILEHEADER, 40-byte
  // BITMAPINFOHEADER, bfOffBits 54). True when the file was written.
  bool WriteBmp(const std::string& path, bool dither) const;

 private:
  int width_;
  int height_;
  std::vector<Colour> pixels_;
};

// The four pictures; each is a pure function of nothing, so every run writes the same bytes.
Picture DrawSky();           // 512 x 256, tiles both ways
Picture DrawTrackSurface();  // 256 x 256, tiles top to bottom
Picture DrawGate();          // 256 x 128, start/finish banner
Picture DrawFlare();         // 64 x 64, black edge

// The desktop icon of the installed program, side x side (64 unless asked); not read by the demo.
// Every size is drawn from the same picture function, not scaled from another size.
Picture DrawIcon(int side = 64);
