// Key steps: a drive written as a list such as "up*120 left*20 up+left*30", groups of steps of
// the loop, each with the arrows held during it. The frame tool renders after them, the programs
// play them back (--play) and write what they drove in the same syntax (step_journal.h). Pure;
// needs no OpenGL.
#pragma once

#include <string>
#include <vector>

#include "app/frame_pass.h"

// The arrows held during a pass; none held is an idle pass that only draws.
using HeldArrows = Arrows;

// `passes` passes of the loop with `arrows` held.
struct KeyGroup {
  HeldArrows arrows;
  long passes = 1;
};

// The most passes one group may ask for; far more than the 3,703 that drive the whole track with
// Up held.
constexpr long kMaxPassesPerGroup = 1000000;
// The most passes a whole list may ask for: over a week at 60 a second, and within a 32-bit long.
constexpr long kMaxPasses = 50000000;

// Groups are separated by blanks; a group is key names joined by '+' (up, left, right, none),
// optionally followed by '*' and a pass count from 1 to kMaxPassesPerGroup, kMaxPasses in all. On a
// malformed list returns false with `error` saying which group is wrong and why; `groups` is then
// unspecified.
bool ParseKeySteps(const std::string& text, std::vector<KeyGroup>* groups, std::string* error);

// A pass plays its arrows with the loop's own ApplyArrows (frame_pass.h), so the tool cannot drift
// from the program.

// A drive read step by step.
class KeyScript {
 public:
  KeyScript() = default;
  explicit KeyScript(const std::vector<KeyGroup>& groups);

  long Steps() const { return ends_.empty() ? 0 : ends_.back(); }
  // The arrows of step `step`, 0 to Steps() - 1; none held past the end.
  Arrows At(long step) const;

 private:
  std::vector<KeyGroup> groups_;
  std::vector<long> ends_;  // the step after each group's last
};
