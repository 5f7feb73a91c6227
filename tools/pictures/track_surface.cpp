// The track surface, 256 x 256, also used for the walls. Each triangle shows its
// own half of the picture, and working the mapping out shows what reaches the screen:
//   road: s = lateral position (0 at the right edge, 1 at the left), t = frac(-(a + b)) for
//         a across and b along the segment; t jumps from 0 to 1 on every quad's diagonal;
//   wall: s = height (0 at the foot, 1 at the top), t = a sawtooth or triangle wave of b + s.
// So only what depends on s reads as a shape (stripes along the road, bands along the walls);
// anything that varies with t repeats every 0.1 of depth, slanted, and would strobe as the
// vehicle moves 0.08 a step. The picture is therefore stripes across s with a faint grain
// that tiles from top to bottom row.
//
// The track is drawn with a screen blend over the sky, so dark is see-through: the body is a
// deep slate blue that tints the sky behind it, and the lines glow. The colour (1, 1, 1.75)
// leaves the road as is (lit above 1) and the walls at (0.9, 0.9, 1): blue-leaning colours
// keep their look on both.
#include <cmath>

#include "picture.h"

namespace {

constexpr double kPi = 3.14159265358979323846;  // M_PI is not standard C++

// A glowing line at s = centre: a solid core of half-width `core` and a soft halo.
double Line(double s, double centre, double core, double halo) {
  const double d = std::fabs(s - centre);
  return SmoothStep(core + 0.004, core - 0.004, d) + 0.55 * std::exp(-std::pow(d / halo, 2));
}

Colour SurfaceAt(double s, double v) {
  const double edge = std::fmin(s, 1 - s);  // distance from the nearer side

  // Body: slate blue, a little lighter in the two lanes, with a grain that tiles in t.
  const double lane = 0.5 + 0.5 * std::cos((s - 0.25) * 4 * kPi);
  Colour c = Mix(Rgb8(40, 48, 100), Rgb8(58, 68, 128), lane * SmoothStep(0.05, 0.16, edge));
  const double grain = PeriodicFbm(s * 32, v * 32, 32, 32, 3, 5u) - 0.5;
  c = c * (1 + 0.12 * grain);

  // Dark kerb at each side (also the foot and top of the walls), then the neon edge stripes.
  c = Mix(c, Rgb8(6, 6, 20), SmoothStep(0.045, 0.028, edge));
  const double stripe = Line(edge, 0.07, 0.013, 0.022);
  c = Screen(c, Mix(Rgb8(20, 150, 220), Rgb8(200, 255, 255), SmoothStep(0.4, 1.0, stripe)) *
                    Clamp01(stripe));

  // Centre line: warm amber, to answer the flares; a thin double line. It runs right under
  // the eye, where it is magnified most, so it stays narrow and not too bright.
  const double centre =
      0.8 * (Line(s, 0.5 - 0.012, 0.0045, 0.01) + Line(s, 0.5 + 0.012, 0.0045, 0.01));
  c = Screen(c, Mix(Rgb8(190, 80, 30), Rgb8(255, 200, 130), SmoothStep(0.5, 1.0, centre)) *
                    Clamp01(centre));

  // Faint lane guides at a quarter from each side.
  const double guide = 0.35 * (Line(s, 0.25, 0.003, 0.012) + Line(s, 0.75, 0.003, 0.012));
  c = Screen(c, Rgb8(90, 130, 255) * Clamp01(guide));
  return c;
}

}  // namespace

Picture DrawTrackSurface() {
  Picture track(256, 256);
  track.Fill(SurfaceAt, 4);
  return track;
}
