// The web shell's pace: 60 steps per second of page time at any frame rate, evenly spread, and
// never a burst after a stall.
#include "app/step_clock.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The steps of each frame after the first, for `frames` frames `interval` ms apart (plus the
// jitter of frame i, if any) from time 1000.
std::vector<int> Frames(double interval, int frames, double (*jitter)(int) = nullptr) {
  StepClock clock;
  EXPECT_EQ(clock.StepsAt(1000), 1);
  std::vector<int> steps;
  for (int i = 1; i <= frames; ++i) {
    steps.push_back(clock.StepsAt(1000 + i * interval + (jitter ? jitter(i) : 0)));
  }
  return steps;
}

int Sum(const std::vector<int>& steps) {
  int sum = 0;
  for (int s : steps) sum += s;
  return sum;
}

TEST(StepClock, TakesSixtyStepsASecondEvenlyAtAnyFrameRate) {
  for (int hz : {30, 60, 144}) {
    const std::vector<int> steps = Frames(1000.0 / hz, 2 * hz);
    EXPECT_EQ(Sum(steps), 120) << hz << " Hz";
    const int most = hz == 30 ? 2 : 1;
    const int least = hz == 144 ? 0 : most;
    for (int s : steps) EXPECT_TRUE(s >= least && s <= most) << hz << " Hz: " << s;
  }
  // A 60 Hz display whose frames come up to a millisecond early or late still steps once each.
  const std::vector<int> jittered = Frames(1000.0 / 60, 600, [](int i) {
    return i % 3 == 0 ? -1.0 : i % 3 == 1 ? 1.0 : 0.0;
  });
  for (int s : jittered) EXPECT_EQ(s, 1);
  EXPECT_EQ(Sum(Frames(1000 / 59.94, 5994)), 6000);  // 100 s of a 59.94 Hz display
}

TEST(StepClock, AStallTakesAFewStepsAndDropsTheRest) {
  StepClock clock;
  clock.StepsAt(0);
  EXPECT_EQ(clock.StepsAt(1000), kMostStepsPerFrame);  // a tab hidden for a second
  EXPECT_EQ(clock.StepsAt(1000 + 1000.0 / 60), 1);     // and no catching up afterwards
  EXPECT_EQ(clock.StepsAt(900), 0);                    // a clock that steps back is no time
  EXPECT_EQ(clock.StepsAt(900 + 1000.0 / 60), 1);
}

}  // namespace
