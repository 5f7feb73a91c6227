// vortalux-icon: writes the installed program's icon as the PNG file given, 64 x 64 unless
// "--size N" asks for N x N (16 to 1024). The packaging runs it at build time, once per size it
// ships; every run writes the same bytes.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "picture.h"
#include "png_file.h"

namespace {

int Usage() {
  std::fprintf(stderr, "usage: vortalux-icon [--size N] <output.png>   (N from 16 to 1024)\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int side = 64;
  const char* out = nullptr;
  if (argc == 2) {
    out = argv[1];
  } else if (argc == 4 && std::strcmp(argv[1], "--size") == 0) {
    char* end = nullptr;
    const long n = std::strtol(argv[2], &end, 10);
    if (*argv[2] == '\0' || *end != '\0' || n < 16 || n > 1024) return Usage();
    side = static_cast<int>(n);
    out = argv[3];
  } else {
    return Usage();
  }
  const Picture icon = DrawIcon(side);
  const std::vector<unsigned char> rgb = icon.Quantised(false);
  if (!WritePng(out, icon.width(), icon.height(), rgb.data())) {
    std::fprintf(stderr, "vortalux-icon: cannot write %s\n", out);
    return 1;
  }
  return 0;
}
