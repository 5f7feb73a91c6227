// The long-drive memory check: the real frame drawn for every pass of the scripted drive, over and
// over, with the process's memory sampled at frame 100 (once every start-up allocation has
// settled) and at the last frame: the heap in use (the program's and the driver's) and the
// resident set. Run under LeakSanitizer it also shows that nothing leaks at exit. Needs a current
// context with the scene set up.
#pragma once

class FrameTarget;

struct MemorySample {
  long heapKb = -1;      // bytes allocated and not yet freed, in kB
  long residentKb = -1;  // the resident set's anonymous pages, in kB
};

struct LeakCheckResult {
  long frames = 0;
  MemorySample at100;
  MemorySample atEnd;
  long HeapGrowthKb() const { return atEnd.heapKb - at100.heapKb; }
  long ResidentGrowthKb() const { return atEnd.residentKb - at100.residentKb; }
};

LeakCheckResult RunLeakCheck(FrameTarget& target, long frames);

MemorySample SampleMemory();
// AddressSanitizer keeps freed blocks in quarantine, so the resident set grows under it whatever
// the program does; only the heap in use says anything there.
bool ResidentSetIsMeaningful();
