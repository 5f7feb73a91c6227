// The frame cap; see frame_cap.h.
#include "app/frame_cap.h"

#include <algorithm>

namespace {

// The first swaps after a start, or after the window changed, are not timed: a new drawable's
// first buffers are free, so those swaps return at once even where vertical sync holds.
constexpr int kSettlingSwaps = 10;
constexpr int kTimedSwaps = 30;
// Synced swaps come one refresh interval apart on average; swaps that come at less than this
// share of it are not synced. Between it and 1 the frames run at most a third too fast.
constexpr double kSyncedShare = 0.75;

}  // namespace

void FrameCap::Start(double hz, bool vsync) {
  periodMs_ = 1000.0 / (hz > 0 ? hz : 60);
  capping_ = !vsync;
  timed_ = vsync ? 0 : -1;
  begun_ = false;
}

double FrameCap::AfterSwap(double ms) {
  if (timed_ >= 0) {
    ++timed_;
    if (timed_ == kSettlingSwaps) timedFromMs_ = ms;
    if (timed_ == kSettlingSwaps + kTimedSwaps) {
      capping_ = ms - timedFromMs_ < kTimedSwaps * periodMs_ * kSyncedShare;
      timed_ = -1;
    }
  }
  if (!capping_) return 0;
  // The next frame begins one interval after this one began (after this swap, for the first one
  // capped), or now if this one took longer.
  beginMs_ = std::max((begun_ ? beginMs_ : ms) + periodMs_, ms);
  begun_ = true;
  return beginMs_ - ms;
}
