// The long-drive memory check: the real frame drawn for every pass of the scripted drive, over and
// over, with the process's resident memory sampled at frame 100 (once every start-up allocation
// has settled) and at the last frame. Run under LeakSanitizer or valgrind it also shows that
// nothing leaks. Needs a current context with the scene set up.
#pragma once

class FrameTarget;

struct LeakCheckResult {
  long frames = 0;
  long residentAt100Kb = 0;
  long residentAtEndKb = 0;
  long GrowthKb() const { return residentAtEndKb - residentAt100Kb; }
};

LeakCheckResult RunLeakCheck(FrameTarget& target, long frames);

// The process's resident set in kilobytes (Linux /proc), or -1 when it cannot be read.
long ResidentKilobytes();
