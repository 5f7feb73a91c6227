// The steps a paced loop took, with the arrows each held, written in vortalux-frame's key-step
// syntax ("none*2 up*37 up+left*4"): the run replays offscreen to the very vehicle it drove.
// Portable; it reads what FramePacer hands back.
#pragma once

#include <string>
#include <vector>

#include "app/frame_pacer.h"

class StepJournal {
 public:
  // A frame's steps; a step the frame took again first leaves the journal.
  void Add(const PacedFrame& frame);
  // Steps taken with the same arrows.
  void Add(const Arrows& arrows, long steps);

  // Groups of equal arrows, neighbours never alike; empty before the first step.
  std::string Text() const;

 private:
  struct Group {
    Arrows arrows;
    long steps;
  };
  std::vector<Group> groups_;
};
