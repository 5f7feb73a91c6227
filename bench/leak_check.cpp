// The long-drive memory check; see leak_check.h.
#include "leak_check.h"

#include <unistd.h>

#include <cstdio>

#include "drive.h"
#include "frame_target.h"
#include "scene/scene.h"

long ResidentKilobytes() {
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr) return -1;
  long size = 0;
  long resident = -1;
  if (std::fscanf(statm, "%ld %ld", &size, &resident) != 2) resident = -1;
  std::fclose(statm);
  return resident < 0 ? -1 : resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// The drive starts again from the start gate each time it reaches the finish.
LeakCheckResult RunLeakCheck(FrameTarget& target, long frames) {
  LeakCheckResult result;
  ResetToStart(g_vehicle);
  long pass = 0;
  for (long frame = 1; frame <= frames; ++frame) {
    ApplyDriveKeys(DriveKeysAt(pass++), g_vehicle);
    if (DriveFinished(g_vehicle)) {
      ResetToStart(g_vehicle);
      pass = 0;
    }
    DrawScene();
    target.Present();
    if (frame == 100) result.residentAt100Kb = ResidentKilobytes();
  }
  result.residentAtEndKb = ResidentKilobytes();
  result.frames = frames;
  return result;
}
