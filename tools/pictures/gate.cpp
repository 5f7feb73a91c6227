// The start/finish gate, 256 x 128, on a band 0.3 wide and 0.1 high across the track,
// shown upright and unmirrored: a chequered flag between two glowing bars. The quad is 3:1 and
// the picture 2:1, so with bars of 0.16 each the chequers are 21.33 x 29.4 texels, near enough to
// come out square on the band. Drawn with a screen blend, so the dark squares let the sky through
// and the white ones glow.
#include <cmath>

#include "picture.h"

namespace {

constexpr int kRows = 3;
constexpr double kBar = 0.16;  // height of each bar as a fraction of the picture

Colour GateAt(double u, double v) {
  const double fromEdge = std::fmin(v, 1 - v);
  if (fromEdge < kBar) {
    // The bars: a white-hot core line in a cyan glow, dark at the picture's edge and where
    // they meet the chequers.
    const double x = fromEdge / kBar;  // 0 at the outer edge, 1 at the chequers
    const double glow = std::exp(-std::pow((x - 0.5) / 0.28, 2));
    const double core = std::exp(-std::pow((x - 0.5) / 0.09, 2));
    Colour bar = Mix(Rgb8(10, 24, 70), Rgb8(30, 190, 255), glow);
    bar = Screen(bar, Rgb8(230, 255, 255) * core);
    return bar * SmoothStep(0.0, 0.15, x) * SmoothStep(1.0, 0.85, x);
  }
  const double band = (v - kBar) / (1 - 2 * kBar);
  const int row = static_cast<int>(std::floor(band * kRows));
  const int column = static_cast<int>(std::floor(u * 12));
  const bool white = ((row + column) & 1) == 0;
  const Colour light = Rgb8(240, 242, 255);
  const Colour dark = Rgb8(18, 16, 46);
  return white ? light : dark;
}

}  // namespace

Picture DrawGate() {
  Picture gate(256, 128);
  gate.Fill(GateAt, 4);
  return gate;
}
