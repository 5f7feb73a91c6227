// The paced loop: 60 steps a second of the shell's clock at any frame rate, each frame drawn
// between the last two steps at its own time, presses shown at the next frame and never lost, and
// a journal of the steps that replays to the very same vehicle.
#include "app/frame_pacer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "app/frame_pass.h"
#include "vehicle/vehicle.h"

namespace {

// Bit for bit: the view drawn at a step's end must be the vehicle itself.
void ExpectSameView(const VehicleView& a, const VehicleView& b) {
  EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0)
      << "progress " << a.progress << " and " << b.progress << ", heading " << a.heading << " and "
      << b.heading << ", pitch " << a.pitch << " and " << b.pitch;
}

class FramePacerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    vehicle.track.Generate();
    vehicle.Advance();  // as at window creation
    start = ViewOf(vehicle);
  }

  // One frame; keeps the journal of steps as the page keeps it, a retaken step leaving it first.
  PacedFrame Frame(double ms, Arrows arrows) {
    const PacedFrame frame = pacer.Frame(ms, arrows, vehicle);
    if (frame.retook) journal.pop_back();
    journal.insert(journal.end(), static_cast<size_t>(frame.steps), frame.arrows);
    return frame;
  }

  // The journal played on a vehicle of its own, one step a pass as the frame tool plays it.
  VehicleView Replayed() const {
    Vehicle replay;
    replay.track = vehicle.track;
    replay.Advance();
    for (const Arrows& arrows : journal) ApplyArrows(arrows, replay);
    return ViewOf(replay);
  }

  Vehicle vehicle;
  VehicleView start = {};
  FramePacer pacer;
  std::vector<Arrows> journal;
};

constexpr Arrows kUp = {true, false, false};
constexpr Arrows kNone = {};

TEST_F(FramePacerTest, SixtyStepsASecondAtAnyRateEveryFrameNewAndExactAtEachStepsEnd) {
  for (double hz : {30.0, 60.0, 144.0, 240.0, 59.94}) {
    SCOPED_TRACE(hz);
    vehicle = Vehicle();
    SetUp();
    pacer = FramePacer();
    journal.clear();
    const PacedFrame first = Frame(1000, kNone);
    EXPECT_EQ(first.steps, 1);  // the first frame takes one step and shows it whole
    ExpectSameView(first.view, ViewOf(vehicle));
    VehicleView shown = first.view;
    size_t steps = journal.size();
    const int frames = static_cast<int>(2 * hz);
    for (int i = 1; i <= frames; ++i) {
      const double ms = 1000 + i * 1000.0 / hz;
      const PacedFrame frame = Frame(ms, kUp);
      EXPECT_LE(frame.steps, hz < 60 ? 2 : 1);
      EXPECT_GT(frame.view.progress, shown.progress) << "frame " << i << " shows nothing new";
      EXPECT_LE(frame.view.progress, vehicle.progress) << "ahead of the vehicle";
      shown = frame.view;
      const double step = (ms - 1000) * 60 / 1000;
      if (std::abs(step - std::round(step)) < 1e-9) ExpectSameView(frame.view, ViewOf(vehicle));
    }
    EXPECT_EQ(journal.size() - steps, 120u);
    ExpectSameView(Replayed(), ViewOf(vehicle));
  }
}

TEST_F(FramePacerTest, AStallTakesAFewStepsAndDropsTheRestAndTimeNeverRunsBack) {
  Frame(0, kUp);
  EXPECT_EQ(Frame(1000, kUp).steps, kMostStepsPerFrame);  // a tab hidden for a second
  ExpectSameView(Frame(1000, kUp).view, ViewOf(vehicle));
  EXPECT_EQ(Frame(1000 + 1000.0 / 60, kUp).steps, 1);  // and no catching up afterwards
  EXPECT_EQ(Frame(900, kUp).steps, 0);                 // a clock that steps back is no time
  EXPECT_EQ(Frame(900 + 1000.0 / 60, kUp).steps, 1);
}

// At 240 Hz a step spans four frames. An arrow pressed during one shows at the next frame, the
// step taken again with it; a release undoes nothing; a tap seen by one frame alone still steps.
TEST_F(FramePacerTest, APressShowsAtTheNextFrameAndNoInputIsLostOrUndone) {
  const double frame = 1000.0 / 240;
  double ms = 0;
  Frame(ms, kNone);
  for (int i = 0; i < 5; ++i) Frame(ms += frame, kNone);  // into a step taken with nothing held
  ExpectSameView(Frame(ms += frame, kNone).view, start);

  const PacedFrame pressed = Frame(ms += frame, kUp);
  EXPECT_TRUE(pressed.retook);
  EXPECT_TRUE(pressed.arrows.up);
  EXPECT_GT(pressed.view.progress, start.progress) << "the press does not show at once";

  const float reached = Frame(ms += frame, kNone).view.progress;  // let go in the same step
  EXPECT_GT(reached, pressed.view.progress) << "the step goes on to its end";
  EXPECT_FLOAT_EQ(vehicle.progress, start.progress + 0.08f);

  const PacedFrame left = Frame(ms += frame, {true, true, false});  // a turn joins the step
  EXPECT_FALSE(left.retook) << "a new step began at this frame: no need to take one back";
  Frame(ms += frame, {false, false, true});  // right joins that step; up and left stay in it
  EXPECT_TRUE(journal.back().up && journal.back().left && journal.back().right);
  ExpectSameView(Replayed(), ViewOf(vehicle));
}

TEST_F(FramePacerTest, ARestartTakesNoStepAndShowsTheVehicleWhereItStands) {
  Frame(0, kUp);
  Frame(1000.0 / 144, kUp);
  const size_t steps = journal.size();
  pacer.Restart();
  const PacedFrame resumed = Frame(60000, kUp);  // a minute later: that time is not driven
  EXPECT_EQ(resumed.steps, 0);
  EXPECT_FALSE(resumed.retook) << "no step is in progress after a restart";
  ExpectSameView(resumed.view, ViewOf(vehicle));
  EXPECT_EQ(Frame(60000 + 1000.0 / 60, kUp).steps, 1);
  EXPECT_EQ(journal.size(), steps + 1);
}

// Frames at random intervals from 2 to 40 ms, arrows pressed and let go at random: the journal
// replays to the vehicle, the view always lies between the vehicle before and after its last step
// and shows it whole once it stands still.
TEST_F(FramePacerTest, RandomFramesAndArrowsReplayExactly) {
  std::mt19937 random(17);
  std::uniform_real_distribution<double> interval(2, 40);
  std::bernoulli_distribution flip(0.1);
  Arrows held;
  double ms = 0;
  for (int i = 0; i < 3000; ++i) {
    if (flip(random)) held.up = !held.up;
    if (flip(random)) held.left = !held.left;
    if (flip(random)) held.right = !held.right;
    const PacedFrame frame = Frame(ms += interval(random), held);
    ASSERT_GE(frame.view.progress, start.progress);
    ASSERT_LE(frame.view.progress, vehicle.progress);
  }
  for (int i = 0; i < 3; ++i) Frame(ms += 20, kNone);
  ExpectSameView(Frame(ms += 20, kNone).view, ViewOf(vehicle));
  ExpectSameView(Replayed(), ViewOf(vehicle));
}

}  // namespace
