// The flare, 64 x 64, added with a screen blend so black is transparent: a white-hot
// core, an amber glow and a faint four-point star, all faded by a window that is exactly zero
// from 0.94 of the half-width outward, so every edge pixel is black. The flare quad faces the
// camera, so the star's arms stay horizontal and vertical on screen.
#include <cmath>

#include "picture.h"

namespace {

Colour FlareAt(double u, double v) {
  const double x = (u - 0.5) * 2, y = (v - 0.5) * 2;  // -1..1 across the square
  const double r = std::sqrt(x * x + y * y);
  const double window = r < 0.94 ? std::pow(1 - (r / 0.94) * (r / 0.94), 2) : 0.0;
  if (window <= 0) return Colour{};
  const double core = std::exp(-std::pow(r / 0.10, 2));
  const double glow = std::exp(-std::pow(r / 0.32, 2));
  const double halo = std::exp(-r / 0.30);
  const double arms = std::exp(-std::pow(y / 0.035, 2)) * std::exp(-std::fabs(x) / 0.32) +
                      std::exp(-std::pow(x / 0.035, 2)) * std::exp(-std::fabs(y) / 0.32);
  Colour c = Rgb8(255, 252, 240) * (1.6 * core);
  c = c + Rgb8(255, 190, 90) * (0.9 * glow);
  c = c + Rgb8(255, 110, 40) * (0.45 * halo);
  c = c + Rgb8(255, 220, 170) * (0.35 * arms);
  // Soft shoulder instead of a hard clip, per channel.
  c = {1 - std::exp(-1.5 * c.r), 1 - std::exp(-1.5 * c.g), 1 - std::exp(-1.5 * c.b)};
  return c * window;
}

}  // namespace

Picture DrawFlare() {
  Picture flare(64, 64);
  flare.Fill(FlareAt, 4);
  return flare;
}
