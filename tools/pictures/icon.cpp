// The icon, at any size: the demo at a glance. The track runs from the bottom edge to a vanishing
// point on the horizon, its edges glowing cyan, amber flares standing on alternate sides and
// shrinking with distance, and the striped setting sun of the sky behind, all under a dusk
// gradient. The pixel centre's distance from the horizon sets the depth, as a camera does.
#include <cmath>

#include "picture.h"

namespace {

constexpr double kHorizon = 0.5;    // v of the horizon and the vanishing point
constexpr double kRoadHalf = 0.42;  // the road's half-width at the bottom edge
constexpr int kFlares = 6;

Colour SkyAt(double u, double v) {
  if (v > kHorizon) return Mix(Rgb8(28, 14, 52), Rgb8(8, 6, 24), (v - kHorizon) / kHorizon);
  const double t = v / kHorizon;  // 0 at the top, 1 on the horizon
  Colour sky = t < 0.6 ? Mix(Rgb8(14, 10, 46), Rgb8(92, 36, 120), t / 0.6)
                       : Mix(Rgb8(92, 36, 120), Rgb8(255, 128, 84), (t - 0.6) / 0.4);
  const double du = u - 0.5, dv = v - (kHorizon - 0.04);
  const double r = std::sqrt(du * du + dv * dv);
  // The sun: yellow at the top to rose at the horizon, cut by slits 1/16 apart whose share
  // grows toward the horizon.
  const double above = kHorizon - v;
  const bool slit = std::fmod(above * 16.0, 1.0) < 0.7 * SmoothStep(0.2, 0.0, above);
  if (r < 0.22 && !slit) sky = Mix(Rgb8(255, 232, 120), Rgb8(255, 84, 120), (v - 0.24) / 0.26);
  return sky;
}

Colour IconAt(double u, double v) {
  Colour c = SkyAt(u, v);
  const double below = v - kHorizon;  // 0 at the horizon, 0.5 at the bottom: nearness
  if (below > 0) {
    const double half = kRoadHalf * below / (1 - kHorizon);
    const double off = std::fabs(u - 0.5);
    if (off < half) c = Mix(c, Rgb8(34, 40, 92), 0.85);
    const double line = 0.004 + 0.05 * below;
    c = Screen(c, Rgb8(70, 210, 255) * SmoothStep(line, 0.0, std::fabs(off - half)));
  }
  for (int k = 1; k <= kFlares; ++k) {
    // Flares every unit of depth: nearer ones lower, wider apart and larger.
    const double near = (1 - kHorizon) * 0.9 / k;
    const double side = (k % 2 == 0) ? 1.0 : -1.0;
    const double fu = 0.5 + side * kRoadHalf * near / (1 - kHorizon);
    const double fv = kHorizon + near - 0.02 / k;
    const double radius = 0.07 / std::sqrt(k);
    const double d = std::sqrt((u - fu) * (u - fu) + (v - fv) * (v - fv)) / radius;
    c = Screen(c,
               Rgb8(255, 190, 90) * std::exp(-d * d) + Rgb8(255, 250, 235) * std::exp(-9 * d * d));
  }
  return {Clamp01(c.r), Clamp01(c.g), Clamp01(c.b)};
}

}  // namespace

Picture DrawIcon(int side) {
  Picture icon(side, side);
  icon.Fill(IconAt, 4);
  return icon;
}
