// Key steps for the frame tool: a list such as "up*120 left*20 up+left*30" read into groups of
// passes of the main loop, each with the arrows held during it. Pure; needs no OpenGL.
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

// The most passes one group may ask for; far more than the 3,703 that drive the whole track.
constexpr long kMaxPassesPerGroup = 1000000;

// Groups are separated by blanks; a group is key names joined by '+' (up, left, right, none),
// optionally followed by '*' and a pass count from 1 to kMaxPassesPerGroup. On a malformed list
// returns false with `error` saying which group is wrong and why; `groups` is then unspecified.
bool ParseKeySteps(const std::string& text, std::vector<KeyGroup>* groups, std::string* error);

// A pass plays its arrows with the loop's own ApplyArrows (frame_pass.h), so the tool cannot drift
// from the program.
