// vortalux-icon: writes the installed program's icon, 64 x 64, as the PNG file given as the only
// argument. The packaging runs it at build time; every run writes the same bytes.
#include <cstdio>
#include <vector>

#include "picture.h"
#include "png_file.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vortalux-icon <output.png>\n");
    return 2;
  }
  const Picture icon = DrawIcon();
  const std::vector<unsigned char> rgb = icon.Quantised(false);
  if (!WritePng(argv[1], icon.width(), icon.height(), rgb.data())) {
    std::fprintf(stderr, "vortalux-icon: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
