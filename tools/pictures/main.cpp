// vortalux-pictures: writes the demo's four pictures, Track.bmp, StartEnd.bmp, Flare.bmp and
// Sky.bmp, as uncompressed 24-bit BMPs into the folder given as the only argument (created if
// missing). The build runs it to fill gfx/ beside the programs; it reads nothing and every run
// writes the same bytes.
#include <cstdio>
#include <string>
#include <system_error>

#include "picture.h"

#if defined(_WIN32)
#include <direct.h>
#define VORTALUX_MKDIR(path) _mkdir(path)
#else
#include <sys/stat.h>
#define VORTALUX_MKDIR(path) mkdir(path, 0755)
#endif

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vortalux-pictures <output folder>\n");
    return 2;
  }
  const std::string folder = argv[1];
  VORTALUX_MKDIR(folder.c_str());  // may exist already; a failure shows in the writes below
  struct Output {
    const char* name;
    Picture (*draw)();
    bool dither;
  };
  const Output outputs[] = {{"Track.bmp", DrawTrackSurface, true},
                            {"StartEnd.bmp", DrawGate, false},
                            {"Flare.bmp", DrawFlare, false},
                            {"Sky.bmp", DrawSky, true}};
  int failures = 0;
  for (const Output& output : outputs) {
    const std::string path = folder + "/" + output.name;
    if (!output.draw().WriteBmp(path, output.dither)) {
      std::fprintf(stderr, "vortalux-pictures: cannot write %s\n", path.c_str());
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}
