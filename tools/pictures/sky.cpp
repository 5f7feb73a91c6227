// The sky: a dusk panorama, 512 x 256, drawn on a quad that spans one copy of it and scrolled
// with repeat wrap, so it must tile without a seam both ways. Every ingredient is
// periodic in u (periodic noise, wrapped distances, stars drawn with wrap-around) and the
// vertical ramp meets itself at the top and bottom rows (zenith and nadir share one colour).
//
// Layout: the horizon is the middle row (t = 0.5, the screen centre at pitch 0). Above it a
// ramp from a warm horizon through violet to a deep indigo zenith with stars; a setting sun
// with retro slits, slightly right of straight ahead (u = 0.5 faces the track at the start);
// thin clouds lit from the sun's side; below the horizon a sea of clouds fading into the dark.
// Distances are measured on the quad (8 wide, 6 high) so the sun is round on screen.
#include <cmath>

#include "picture.h"

namespace {

constexpr double kQuadWidth = 8.0;
constexpr double kQuadHeight = 6.0;
constexpr double kSunU = 0.58;
constexpr double kSunE = 0.05;       // centre elevation (t - 0.5)
constexpr double kSunRadius = 0.42;  // quad units

struct Stop {
  double at;
  Colour colour;
};

Colour Ramp(const Stop* stops, int count, double x) {
  if (x <= stops[0].at) return stops[0].colour;
  for (int i = 1; i < count; ++i) {
    if (x <= stops[i].at) {
      const double t = (x - stops[i - 1].at) / (stops[i].at - stops[i - 1].at);
      return Mix(stops[i - 1].colour, stops[i].colour, SmoothStep(0, 1, t));
    }
  }
  return stops[count - 1].colour;
}

const Colour kDeep = Rgb8(8, 9, 32);
const Colour kHorizon = Rgb8(255, 164, 110);

// a: 0 at the horizon, 1 at the zenith.
Colour Above(double a) {
  static const Stop stops[] = {{0.00, kHorizon},           {0.06, Rgb8(250, 118, 112)},
                               {0.18, Rgb8(190, 72, 130)}, {0.38, Rgb8(92, 40, 118)},
                               {0.66, Rgb8(30, 20, 72)},   {1.00, kDeep}};
  return Ramp(stops, 6, a);
}

// a: 0 at the horizon, 1 at the nadir.
Colour Below(double a) {
  static const Stop stops[] = {{0.00, kHorizon},
                               {0.05, Rgb8(186, 96, 120)},
                               {0.20, Rgb8(84, 42, 104)},
                               {0.50, Rgb8(28, 20, 64)},
                               {1.00, kDeep}};
  return Ramp(stops, 5, a);
}

// Offsets from the sun's centre in quad units; horizontal offset wrapped around the panorama.
void SunOffset(double u, double e, double* dx, double* dy) {
  *dx = WrappedOffset(u, kSunU) * kQuadWidth;
  *dy = (e - kSunE) * kQuadHeight;
}

// Cover of the high streaks, 0 to 1.
double HighCloud(double u, double v) {
  const double e = 0.5 - v;
  const double band = SmoothStep(0.02, 0.08, e) * SmoothStep(0.36, 0.12, e);
  if (band <= 0) return 0;
  const double n = PeriodicFbm(u * 5, (1 - v) * 22, 5, 22, 5, 11u);
  return SmoothStep(0.48, 0.74, n) * band;
}

// Cover of the cloud sea, 0 to 1; `shade` gets the noise value that lights the tops.
double LowCloud(double u, double v, double* shade) {
  const double depth = v - 0.5;  // 0 at the horizon, 0.5 at the bottom row
  const double band = SmoothStep(0.012, 0.05, depth) * SmoothStep(0.42, 0.16, depth);
  if (band <= 0) return 0;
  const double n = PeriodicFbm(u * 7, (1 - v) * 14, 7, 14, 5, 23u);
  *shade = n;
  return SmoothStep(0.35, 0.70, n) * band;
}

Colour SkyAt(double u, double v) {
  const double e = 0.5 - v;  // elevation: +0.5 top row, -0.5 bottom row
  Colour c = e >= 0 ? Above(e / 0.5) : Below(-e / 0.5);

  double dx = 0, dy = 0;
  SunOffset(u, e, &dx, &dy);
  const double sunDistance = std::sqrt(dx * dx + dy * dy);
  // Glow around the sun and a band of light along the horizon on its side.
  const double glow = 0.55 * std::exp(-sunDistance / 0.55) + 0.25 * std::exp(-sunDistance / 1.6);
  const double horizonBand = std::exp(-std::pow(e * kQuadHeight / 0.22, 2)) *
                             (0.25 + 0.45 * std::exp(-std::pow(dx / 2.4, 2)));
  c = Screen(c, Rgb8(255, 150, 90) * glow);
  c = Screen(c, Rgb8(255, 196, 150) * horizonBand);

  // The sun disc, yellow on top to pink below, cut by slits that widen downwards; only the
  // part above the horizon, with a soft edge.
  if (sunDistance < kSunRadius + 0.02) {
    const double edge = SmoothStep(kSunRadius + 0.015, kSunRadius - 0.015, sunDistance);
    const double down = Clamp01((-dy / kSunRadius + 1) / 2);  // 0 top of disc, 1 bottom
    Colour disc = Mix(Rgb8(255, 244, 170), Rgb8(255, 92, 128), SmoothStep(0.1, 0.95, down));
    double slit = 1.0;
    if (down > 0.42) {
      // The gaps grow toward the bottom of the disc.
      const double k = (down - 0.42) / 0.58;
      const double phase = std::fmod((down - 0.42) * 10.0, 1.0);
      const double gap = 0.10 + 0.45 * k;
      slit = SmoothStep(gap - 0.06, gap + 0.06, phase);
    }
    const double aboveHorizon = SmoothStep(-0.004, 0.004, e);
    c = Mix(c, disc, edge * slit * aboveHorizon);
  }

  // High thin clouds: horizontal streaks above the horizon, dark against the glow, lit on the
  // sun's side.
  const double high = HighCloud(u, v);
  if (high > 0) {
    const double lit = 0.25 + 0.75 * std::exp(-std::fabs(dx) / 1.8);
    const Colour cloud = Mix(Rgb8(70, 34, 86), Rgb8(255, 150, 130), lit * SmoothStep(0.3, 0.0, e));
    c = Mix(c, cloud, high * 0.85);
  }

  // A sea of clouds below: rolling tops just under the horizon, fading into the dark.
  double shade = 0;
  const double low = LowCloud(u, v, &shade);
  if (low > 0) {
    const double lit = std::exp(-std::fabs(dx) / 2.2) * SmoothStep(0.25, 0.02, -e);
    const Colour top = Mix(Rgb8(96, 54, 120), Rgb8(255, 170, 140), lit);
    c = Mix(c, top, low * (0.45 + 0.35 * shade));
  }
  return c;
}

// Stars scattered over a jittered grid, in the dark above the glow and below the cloud sea, so
// the field runs on across the top/bottom wrap (pitch scrolls the sky by up to its full
// height). Each is a small soft dot drawn with wrap-around, so a star on an edge continues on
// the opposite one; clouds hide them.
void AddStars(Picture& sky) {
  const int cellsX = 96, cellsY = 48;
  const double cellW = static_cast<double>(sky.width()) / cellsX;
  const double cellH = static_cast<double>(sky.height()) / cellsY;
  for (int cy = 0; cy < cellsY; ++cy) {
    for (int cx = 0; cx < cellsX; ++cx) {
      const double x = (cx + Hash01(cx, cy, 41u)) * cellW;
      const double y = (cy + Hash01(cx, cy, 43u)) * cellH;
      const double u = x / sky.width(), v = y / sky.height();
      const double e = 0.5 - v;
      double shade = 0;
      const double cover = std::fmax(HighCloud(u, v), LowCloud(u, v, &shade));
      const double fade =
          std::fmax(SmoothStep(0.10, 0.30, e), SmoothStep(0.26, 0.44, -e)) * (1 - cover);
      if (fade <= 0 || Hash01(cx, cy, 47u) > 0.45) continue;
      const double r = Hash01(cx, cy, 53u);
      const double brightness = fade * (0.2 + 0.8 * r * r * r);
      const double size = 0.4 + 0.45 * r;  // gaussian radius in pixels
      const Colour tint = Mix(Rgb8(170, 190, 255), Rgb8(255, 230, 200), Hash01(cx, cy, 59u));
      const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
      for (int py = y0 - 2; py <= y0 + 2; ++py) {
        for (int px = x0 - 2; px <= x0 + 2; ++px) {
          const double ddx = px + 0.5 - x, ddy = py + 0.5 - y;
          const double w = std::exp(-(ddx * ddx + ddy * ddy) / (2 * size * size));
          sky.AddWrapped(px, py, tint * (brightness * w));
        }
      }
    }
  }
}

}  // namespace

Picture DrawSky() {
  Picture stars(512, 256);
  AddStars(stars);
  Picture sky(512, 256);
  sky.Fill(SkyAt, 3);
  for (int y = 0; y < sky.height(); ++y) {
    for (int x = 0; x < sky.width(); ++x) {
      sky.at(x, y) = Screen(sky.at(x, y), stars.at(x, y));
    }
  }
  return sky;
}
