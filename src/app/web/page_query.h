// The page's address query ("?size=1280x720&pace=frame&play=up*60"): what it asks of the demo, or
// why it cannot be followed. Portable: the page hands over location.search, and the parse is
// tested natively.
#pragma once

#include <string>
#include <vector>

#include "app/key_steps.h"
#include "app/timedemo.h"

constexpr int kMostQuerySize = 99999;  // ?size's largest side, before the context's own limit

struct PageQuery {
  int width = 0;  // ?size=WxH: a fixed drawing buffer; 0 for the page's own device pixels
  int height = 0;
  bool paceFrame = false;      // ?pace=frame: one step a pass, as the native programs' --classic
  bool timedemo = false;       // ?timedemo: the timed drive, started at once
  long frames = 0;             // ?frames=N: the timedemo's frames at most; 0 for the whole drive
  std::vector<KeyGroup> play;  // ?play=STEPS: a drive played back first
  bool record = false;         // ?record: keep the journal of the steps (window.vortalux.steps)
  std::string error;           // empty when the query can be followed; else what is wrong
};

// Reads location.search, with or without its '?'. Names are matched exactly, the first of a name
// counts, and names the demo does not know are left to others. Values are percent-decoded; a '+'
// stays a '+' (it joins keys in ?play), so a space is written %20. A malformed value, or values
// that cannot go together, leave `error` saying which and why.
PageQuery ParsePageQuery(const std::string& search);
