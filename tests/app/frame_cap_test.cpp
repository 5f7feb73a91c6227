// The frame cap, on a clock of the test's own: without vertical sync the frames come at the
// display's rate and no faster, late frames are not made up for, and swaps that keep the pace
// themselves are never held back, unless they only claim to.
#include "app/frame_cap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// A loop of frames that each take `workMs` to draw, then swap; with vsync the swap returns at the
// next refresh of a display of `displayHz`. Returns when each frame began, for `seconds`.
struct Loop {
  double workMs = 1;
  double displayHz = 0;   // 0: the swap returns at once
  double stallAtMs = -1;  // one frame beginning after this takes 100 ms more
  std::vector<double> begins;

  void Run(FrameCap& cap, double seconds) {
    double now = 0;
    bool stalled = false;
    while (now < seconds * 1000) {
      begins.push_back(now);
      now += workMs;
      if (stallAtMs >= 0 && !stalled && now > stallAtMs) {
        now += 100;
        stalled = true;
      }
      if (displayHz > 0) {
        const double period = 1000 / displayHz;
        now = std::ceil(now / period) * period;
      }
      const double wait = cap.AfterSwap(now);
      EXPECT_GE(wait, 0);
      now += wait;
    }
  }

  int FramesBetween(double fromMs, double toMs) const {
    int n = 0;
    for (double t : begins) n += t >= fromMs && t < toMs;
    return n;
  }
};

TEST(FrameCapTest, WithoutVerticalSyncFramesComeAtTheDisplaysRateAndLateOnesAreNotMadeUp) {
  for (double hz : {60.0, 144.0, 59.94, 0.0}) {
    SCOPED_TRACE(hz);
    FrameCap cap;
    cap.Start(hz, false);
    EXPECT_TRUE(cap.Capping());
    Loop loop;
    loop.stallAtMs = 500;
    loop.Run(cap, 2);
    const double rate = hz > 0 ? hz : 60;  // unknown: 60
    // The first half second: every frame one interval after the one before.
    EXPECT_NEAR(loop.FramesBetween(0, 500), rate / 2, 1);
    // The stall costs its own frames; the second after it runs at the rate again, not faster.
    EXPECT_NEAR(loop.FramesBetween(1000, 2000), rate, 1);
    for (size_t i = 1; i < loop.begins.size(); ++i) {
      EXPECT_GE(loop.begins[i] - loop.begins[i - 1], 1000 / rate - 1e-9) << i;
    }
  }
}

TEST(FrameCapTest, FramesSlowerThanTheDisplayAreNeverHeldBack) {
  FrameCap cap;
  cap.Start(60, false);
  Loop loop;
  loop.workMs = 25;
  loop.Run(cap, 1);
  EXPECT_EQ(loop.FramesBetween(0, 1000), 40);
}

TEST(FrameCapTest, SyncedSwapsAreNeverHeldBackButSwapsThatOnlyClaimSyncAreCapped) {
  for (double hz : {60.0, 144.0}) {
    SCOPED_TRACE(hz);
    FrameCap synced;
    synced.Start(hz, true);
    Loop display;
    display.displayHz = hz;
    display.Run(synced, 2);
    EXPECT_FALSE(synced.Capping());
    EXPECT_NEAR(display.FramesBetween(0, 2000), 2 * hz, 1);

    // The swap interval was granted, yet the swaps return at once: after the frames that are
    // timed (well under a second) the cap holds.
    FrameCap claimed;
    claimed.Start(hz, true);
    Loop fast;
    fast.Run(claimed, 2);
    EXPECT_TRUE(claimed.Capping());
    EXPECT_NEAR(fast.FramesBetween(1000, 2000), hz, 1);

    // Started again (a new size, say) where the swaps now keep the pace: the cap lets go.
    claimed.Start(hz, true);
    Loop later;
    later.displayHz = hz;
    later.Run(claimed, 1);
    EXPECT_FALSE(claimed.Capping());
  }
}

}  // namespace
