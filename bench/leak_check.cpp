// The long-drive memory check; see leak_check.h.
#include "leak_check.h"

#include <malloc.h>

#include <cstdio>

#include "app/frame_pass.h"
#include "app/timedemo.h"
#include "frame_target.h"
#include "scene/scene.h"

#if defined(__SANITIZE_ADDRESS__)
#define VORTALUX_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VORTALUX_ASAN 1
#endif
#endif

#if defined(VORTALUX_ASAN)
#include <sanitizer/allocator_interface.h>
#endif

namespace {

// Anonymous pages only: file-backed pages (library code such as the shader compiler's, touched
// the first time a new kind of draw is compiled) come and go with no allocation behind them.
long ResidentKilobytes() {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (status == nullptr) return -1;
  long kilobytes = -1;
  char line[256];
  while (std::fgets(line, sizeof line, status) != nullptr) {
    if (std::sscanf(line, "RssAnon: %ld kB", &kilobytes) == 1) break;
  }
  std::fclose(status);
  return kilobytes;
}

long HeapInUseKilobytes() {
#if defined(VORTALUX_ASAN)
  return static_cast<long>(__sanitizer_get_current_allocated_bytes() / 1024);
#else
  const struct mallinfo2 info = mallinfo2();
  return static_cast<long>((info.uordblks + info.hblkhd) / 1024);
#endif
}

}  // namespace

bool ResidentSetIsMeaningful() {
#if defined(VORTALUX_ASAN)
  return false;
#else
  return true;
#endif
}

MemorySample SampleMemory() {
  MemorySample sample;
  sample.heapKb = HeapInUseKilobytes();
  sample.residentKb = ResidentKilobytes();
  return sample;
}

// The drive starts again from the start gate each time it reaches the finish. One quick lap
// first, drawing every 16th pass, lets the driver compile every kind of draw the track holds (a
// gate comes into view only near the end), so its caches are full before the counted frames.
LeakCheckResult RunLeakCheck(FrameTarget& target, long frames) {
  LeakCheckResult result;
  const long lap = DriveStepCount(g_vehicle);
  for (long pass = 0; pass < lap; ++pass) {
    ApplyArrows(DriveArrowsAt(pass), g_vehicle);
    if (pass % 16 != 0) continue;
    DrawScene();
    target.Present();
  }
  ResetToStart(g_vehicle);
  long pass = 0;
  for (long frame = 1; frame <= frames; ++frame) {
    ApplyArrows(DriveArrowsAt(pass++), g_vehicle);
    if (DriveFinished(g_vehicle)) {
      ResetToStart(g_vehicle);
      pass = 0;
    }
    DrawScene();
    target.Present();
    if (frame == 100) result.at100 = SampleMemory();
  }
  result.atEnd = SampleMemory();
  result.frames = frames;
  return result;
}
