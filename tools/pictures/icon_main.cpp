// vortalux-icon: writes the installed program's icon into the file given, drawing every size
// from the same picture function. A .png holds one size, 64 x 64 unless "--size N" asks for
// N x N (16 to 1024). A .ico holds each size asked for (16 to 256) or, with none asked, the
// sizes Windows shows (16, 24, 32, 48, 64, 256). The packaging runs it at build time; every
// run writes the same bytes.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "ico_file.h"
#include "picture.h"
#include "png_file.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: vortalux-icon [--size N]... <output.png|output.ico>\n"
               "  .png: one size, N from 16 to 1024 (64 by default)\n"
               "  .ico: each size given, N from 16 to 256 (16 24 32 48 64 256 by default)\n");
  return 2;
}

bool EndsWith(const std::string& s, const char* suffix) {
  const size_t n = std::strlen(suffix);
  return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

bool WriteFile(const char* path, const std::vector<unsigned char>& bytes) {
  FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return false;
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (std::fclose(file) != 0) written = false;
  return written;
}

bool WriteIco(const char* path, const std::vector<int>& sides) {
  std::vector<IcoImage> images;
  for (const int side : sides) {
    IcoImage image;
    image.side = side;
    image.rgb = DrawIcon(side).Quantised(false);
    // PNG is how the largest size is stored by convention; small ones stay DIBs for old readers.
    if (side == 256) image.png = EncodePng(side, side, image.rgb.data());
    images.push_back(std::move(image));
  }
  const std::vector<unsigned char> bytes = IcoFile(images);
  return !bytes.empty() && WriteFile(path, bytes);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sides;
  int i = 1;
  for (; i + 1 < argc && std::strcmp(argv[i], "--size") == 0; i += 2) {
    char* end = nullptr;
    const long n = std::strtol(argv[i + 1], &end, 10);
    if (*argv[i + 1] == '\0' || *end != '\0' || n < 16 || n > 1024) return Usage();
    sides.push_back(static_cast<int>(n));
  }
  if (i != argc - 1) return Usage();
  const char* out = argv[i];
  bool written = false;
  if (EndsWith(out, ".ico")) {
    if (sides.empty()) sides = {16, 24, 32, 48, 64, 256};
    for (const int side : sides) {
      if (side > 256) return Usage();
    }
    written = WriteIco(out, sides);
  } else {
    if (sides.size() > 1) return Usage();
    const Picture icon = DrawIcon(sides.empty() ? 64 : sides[0]);
    const std::vector<unsigned char> rgb = icon.Quantised(false);
    written = WritePng(out, icon.width(), icon.height(), rgb.data());
  }
  if (!written) {
    std::fprintf(stderr, "vortalux-icon: cannot write %s\n", out);
    return 1;
  }
  return 0;
}
