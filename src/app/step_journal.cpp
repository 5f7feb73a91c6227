// The paced loop's journal; see step_journal.h.
#include "app/step_journal.h"

namespace {

bool Same(const Arrows& a, const Arrows& b) {
  return a.up == b.up && a.left == b.left && a.right == b.right;
}

}  // namespace

void StepJournal::Add(const PacedFrame& frame) {
  if (frame.retook && !groups_.empty() && --groups_.back().steps == 0) groups_.pop_back();
  for (int i = 0; i < frame.steps; ++i) Add(frame.stepArrows[i], 1);
}

void StepJournal::Add(const Arrows& arrows, long steps) {
  if (steps <= 0) return;
  if (!groups_.empty() && Same(groups_.back().arrows, arrows)) {
    groups_.back().steps += steps;
  } else {
    groups_.push_back({arrows, steps});
  }
}

std::string StepJournal::Text() const {
  std::string text;
  for (const Group& group : groups_) {
    if (!text.empty()) text += ' ';
    std::string keys;
    if (group.arrows.up) keys += "+up";
    if (group.arrows.left) keys += "+left";
    if (group.arrows.right) keys += "+right";
    text += keys.empty() ? "none" : keys.substr(1);
    text += '*' + std::to_string(group.steps);
  }
  return text;
}
