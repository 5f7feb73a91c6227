// The journal of a paced run: its text is vortalux-frame's key-step list, steps taken again are
// not counted twice, and played by the frame tool's own parser it drives a vehicle to the very
// state the run left.
#include "app/step_journal.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/frame_pass.h"
#include "app/key_steps.h"
#include "vehicle/vehicle.h"

namespace {

PacedFrame Steps(int steps, Arrows arrows, bool retook = false) {
  PacedFrame frame;
  frame.steps = steps;
  frame.arrows = arrows;
  for (int i = 0; i < steps; ++i) frame.stepArrows[i] = arrows;
  frame.retook = retook;
  return frame;
}

TEST(StepJournalTest, WritesTheFrameToolsSyntaxAndTakesBackRetakenSteps) {
  StepJournal journal;
  EXPECT_EQ(journal.Text(), "");
  journal.Add(Steps(1, {}));
  journal.Add(Steps(0, {true, false, false}));  // a frame within the step: nothing new
  journal.Add(Steps(2, {}));
  journal.Add(Steps(4, {true, false, false}));
  journal.Add(Steps(1, {}));
  journal.Add(Steps(1, {true, false, false}, true));  // the idle step again, with up: one group
  EXPECT_EQ(journal.Text(), "none*3 up*5");
  journal.Add(Steps(2, {true, true, true}));
  journal.Add(Steps(1, {false, false, true}));
  journal.Add(Steps(1, {true, false, true}, true));
  EXPECT_EQ(journal.Text(), "none*3 up*5 up+left+right*2 up+right*1");
}

// Frames from 1 to 40 ms apart with arrows pressed, let go and tapped at random: many steps are
// taken again. The text parses with the frame tool's parser and replays to the same vehicle.
TEST(StepJournalTest, ARandomRunReplaysFromItsTextToTheSameVehicle) {
  Vehicle vehicle;
  vehicle.track.Generate();
  vehicle.Advance();
  FramePacer pacer;
  StepJournal journal;
  std::mt19937 random(4);
  std::uniform_real_distribution<double> interval(1, 40);
  std::bernoulli_distribution flip(0.08);
  Arrows held;
  double ms = 0;
  int retaken = 0;
  for (int i = 0; i < 4000; ++i) {
    if (flip(random)) held.up = !held.up;
    if (flip(random)) held.left = !held.left;
    if (flip(random)) held.right = !held.right;
    const PacedFrame frame = pacer.Frame(ms += interval(random), held, vehicle);
    retaken += frame.retook;
    journal.Add(frame);
  }
  EXPECT_GT(retaken, 50);

  std::vector<KeyGroup> groups;
  std::string error;
  ASSERT_TRUE(ParseKeySteps(journal.Text(), &groups, &error)) << error;
  Vehicle replay;
  replay.track = vehicle.track;
  replay.Advance();
  for (size_t g = 0; g < groups.size(); ++g) {
    const Arrows& a = groups[g].arrows;
    if (g > 0) {
      const Arrows& b = groups[g - 1].arrows;
      EXPECT_FALSE(a.up == b.up && a.left == b.left && a.right == b.right) << "group " << g;
    }
    for (long pass = 0; pass < groups[g].passes; ++pass) ApplyArrows(a, replay);
  }
  const VehicleView replayed = ViewOf(replay);
  const VehicleView drove = ViewOf(vehicle);
  EXPECT_EQ(std::memcmp(&replayed, &drove, sizeof replayed), 0);
}

}  // namespace
