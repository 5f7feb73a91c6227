// The program's icon as vortalux-icon writes it (tools/pictures): the .ico that the Windows
// program embeds holds every size Windows shows, each the same picture as the tool's PNG of
// that size, in the layout Windows reads (a 32-bit DIB of doubled height with its mask, and
// PNG at 256).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "png_file.h"

namespace {

const std::string kDir = ::testing::TempDir();

std::vector<unsigned char> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
}

void RunTool(const std::string& arguments) {
  const std::string command = std::string("\"") + VORTALUX_ICON_TOOL + "\" " + arguments;
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

std::vector<unsigned char> PngPixels(const std::string& path, int side) {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
  EXPECT_TRUE(ReadPng(path.c_str(), &width, &height, &rgb)) << path;
  EXPECT_EQ(width, side);
  EXPECT_EQ(height, side);
  return rgb;
}

uint32_t Le(const std::vector<unsigned char>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b.at(at + i);
  return v;
}

TEST(Icon, IcoHoldsEverySizeAsTheSamePictureInTheLayoutWindowsReads) {
  const std::string ico = kDir + "vortalux_test.ico";
  RunTool("\"" + ico + "\"");
  const std::vector<unsigned char> file = FileBytes(ico);
  ASSERT_GE(file.size(), 6u);
  EXPECT_EQ(Le(file, 0, 2), 0u);
  EXPECT_EQ(Le(file, 2, 2), 1u);  // an icon, not a cursor
  const int sides[] = {16, 24, 32, 48, 64, 256};
  ASSERT_EQ(Le(file, 4, 2), std::size(sides));

  size_t next = 6 + 16 * std::size(sides);  // the images follow the directory, back to back
  for (size_t i = 0; i < std::size(sides); ++i) {
    const int side = sides[i];
    SCOPED_TRACE("side " + std::to_string(side));
    const size_t entry = 6 + 16 * i;
    EXPECT_EQ(Le(file, entry, 1), side == 256 ? 0u : static_cast<uint32_t>(side));
    EXPECT_EQ(Le(file, entry + 1, 1), side == 256 ? 0u : static_cast<uint32_t>(side));
    EXPECT_EQ(Le(file, entry + 4, 2), 1u);   // planes
    EXPECT_EQ(Le(file, entry + 6, 2), 32u);  // bits per pixel
    const size_t size = Le(file, entry + 8, 4), offset = Le(file, entry + 12, 4);
    EXPECT_EQ(offset, next);
    ASSERT_LE(offset + size, file.size());
    next = offset + size;

    const std::string png = kDir + "vortalux_test_" + std::to_string(side) + ".png";
    RunTool("--size " + std::to_string(side) + " \"" + png + "\"");
    const std::vector<unsigned char> expected = PngPixels(png, side);
    if (side == 256) {
      // Stored as PNG: the bytes decode to the same picture.
      const std::string embedded = kDir + "vortalux_test_embedded.png";
      std::ofstream(embedded, std::ios::binary)
          .write(reinterpret_cast<const char*>(&file[offset]), static_cast<std::streamsize>(size));
      EXPECT_EQ(PngPixels(embedded, side), expected);
      continue;
    }
    EXPECT_EQ(Le(file, offset, 4), 40u);  // BITMAPINFOHEADER
    EXPECT_EQ(Le(file, offset + 4, 4), static_cast<uint32_t>(side));
    EXPECT_EQ(Le(file, offset + 8, 4), 2u * side);  // colour rows and mask rows
    EXPECT_EQ(Le(file, offset + 14, 2), 32u);
    EXPECT_EQ(Le(file, offset + 16, 4), 0u);  // BI_RGB
    const size_t maskRow = (side + 31) / 32 * 4;
    ASSERT_EQ(size, 40 + 4u * side * side + maskRow * side);
    std::vector<unsigned char> rgb;  // bottom-up BGRA back to top-first RGB
    bool opaque = true;
    for (int y = side - 1; y >= 0; --y) {
      for (int x = 0; x < side; ++x) {
        const unsigned char* p = &file[offset + 40 + 4 * (static_cast<size_t>(y) * side + x)];
        rgb.insert(rgb.end(), {p[2], p[1], p[0]});
        opaque = opaque && p[3] == 255;
      }
    }
    EXPECT_EQ(rgb, expected);
    EXPECT_TRUE(opaque);
    const size_t mask = offset + 40 + 4u * side * side;
    EXPECT_EQ(std::vector<unsigned char>(file.begin() + mask, file.begin() + offset + size),
              std::vector<unsigned char>(maskRow * side, 0));  // every pixel shown
  }
  EXPECT_EQ(next, file.size());
}

}  // namespace
