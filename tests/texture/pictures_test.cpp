// The four pictures the build draws into gfx/ (tools/pictures): the form the loader reads, the
// sizes, and the properties the drawing code relies on: the sky tiles both ways, the track
// tiles top to bottom, the flare's edge is exactly black, and every run writes the same bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "offscreen_gl.h"
#include "opengl.h"
#include "texture/bmp.h"
#include "texture/texture.h"
#include "texture/texture_bmp.h"

namespace {

const std::string kGfx = VORTALUX_GFX_DIR;

std::vector<unsigned char> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
}

// A picture read back from its BMP: RGB, row 0 at the top.
struct Image {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
  const unsigned char* at(int x, int y) const { return &rgb[3 * (y * width + x)]; }
  int Sum(int x, int y) const { return at(x, y)[0] + at(x, y)[1] + at(x, y)[2]; }
};

Image Read(const std::string& name) {
  Image image;
  BmpPixels picture;
  if (!ReadBmpFile((kGfx + "/" + name).c_str(), &picture)) return image;
  image.width = picture.width;
  image.height = picture.height;
  image.rgb.resize(static_cast<size_t>(image.width) * image.height * 3);
  const size_t row = BmpRowBytes(picture.width);
  for (int y = 0; y < image.height; ++y) {
    const unsigned char* src = picture.data.get() + row * (image.height - 1 - y);
    for (int x = 0; x < image.width; ++x) {
      unsigned char* dst = &image.rgb[3 * (y * image.width + x)];
      dst[0] = src[3 * x + 2];
      dst[1] = src[3 * x + 1];
      dst[2] = src[3 * x + 0];
    }
  }
  return image;
}

double PixelDistance(const Image& image, int x0, int y0, int x1, int y1) {
  double d = 0;
  for (int c = 0; c < 3; ++c) d += std::abs(image.at(x0, y0)[c] - image.at(x1, y1)[c]);
  return d;
}

// Mean difference across the seam between the last and the first column (or row), and the
// median of the mean differences between neighbouring columns (rows) inside the picture.
struct Seam {
  double across = 0;
  double medianInside = 0;
};

double Median(std::vector<double> values) {
  std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
  return values[values.size() / 2];
}

Seam ColumnSeam(const Image& image) {
  Seam seam;
  std::vector<double> inside;
  for (int x = 0; x < image.width; ++x) {
    const int next = (x + 1) % image.width;
    double sum = 0;
    for (int y = 0; y < image.height; ++y) sum += PixelDistance(image, x, y, next, y);
    (next == 0 ? seam.across : inside.emplace_back()) = sum / image.height;
  }
  seam.medianInside = Median(inside);
  return seam;
}

Seam RowSeam(const Image& image) {
  Seam seam;
  std::vector<double> inside;
  for (int y = 0; y < image.height; ++y) {
    const int next = (y + 1) % image.height;
    double sum = 0;
    for (int x = 0; x < image.width; ++x) sum += PixelDistance(image, x, y, x, next);
    (next == 0 ? seam.across : inside.emplace_back()) = sum / image.width;
  }
  seam.medianInside = Median(inside);
  return seam;
}

struct Expected {
  const char* name;
  int width, height;
};
const Expected kPictures[] = {{"Track.bmp", 256, 256},
                              {"StartEnd.bmp", 256, 128},
                              {"Flare.bmp", 64, 64},
                              {"Sky.bmp", 512, 256}};

TEST(Pictures, AreUncompressed24BitBottomUpBmpsOfPowerOfTwoSizes) {
  for (const Expected& e : kPictures) {
    const std::vector<unsigned char> bytes = FileBytes(kGfx + "/" + e.name);
    ASSERT_GE(bytes.size(), 54u) << e.name;
    BmpHeader header;
    ASSERT_EQ(ParseBmpFileHeader(bytes.data(), bytes.size(), bytes.size(), &header), BmpCheck::kOk)
        << e.name;
    EXPECT_EQ(header.offBits, 54u) << e.name;
    EXPECT_EQ(ReadLittleEndian32(&bytes[14]), 40u) << e.name;  // BITMAPINFOHEADER
    ASSERT_EQ(ParseBmpInfoHeader(&bytes[14], 40, &header), BmpCheck::kOk);
    EXPECT_EQ(header.width, e.width) << e.name;
    EXPECT_EQ(header.height, e.height) << e.name;  // positive: bottom row first
    EXPECT_EQ(header.bitCount, 24) << e.name;
    EXPECT_EQ(header.compression, 0u) << e.name;
    EXPECT_EQ(ReadLittleEndian32(&bytes[2]), bytes.size()) << e.name;
    uint32_t size = 0;
    ASSERT_EQ(BmpPixelDataSize(header, bytes.size(), &size), BmpCheck::kOk) << e.name;
    EXPECT_EQ(54u + size, bytes.size()) << e.name;
    EXPECT_EQ(e.width & (e.width - 1), 0) << e.name;
    EXPECT_EQ(e.height & (e.height - 1), 0) << e.name;
  }
}

TEST(Pictures, LoadIntoTexturesOfTheirOwnSize) {
  OffscreenGL gl(8, 8);
  ASSERT_TRUE(gl.ok()) << gl.error();
  for (const Expected& e : kPictures) {
    Texture texture;
    ASSERT_TRUE(texture.LoadBMP((kGfx + "/" + e.name).c_str())) << e.name;
    GLint w = 0, h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    EXPECT_EQ(w, e.width) << e.name;
    EXPECT_EQ(h, e.height) << e.name;
  }
}

TEST(Pictures, SkyTilesBothWays) {
  const Image sky = Read("Sky.bmp");
  ASSERT_EQ(sky.width, 512);
  // Across each wrap the picture changes about as much as between neighbours inside it (the
  // dither and the stars keep neighbours from being equal anywhere).
  const Seam columns = ColumnSeam(sky);
  EXPECT_LE(columns.across, 2 * columns.medianInside);
  const Seam rows = RowSeam(sky);
  EXPECT_LE(rows.across, 2 * rows.medianInside);
}

TEST(Pictures, TrackTilesTopToBottom) {
  // Each triangle's t jumps from 0 to 1 along its diagonal: the first and last rows meet there.
  const Image track = Read("Track.bmp");
  ASSERT_EQ(track.width, 256);
  const Seam rows = RowSeam(track);
  EXPECT_LE(rows.across, 2 * rows.medianInside);
}

TEST(Pictures, TrackIsSymmetricAcrossTheRoad) {
  // s runs from the right edge to the left one and from the wall's foot to its top: both
  // sides carry the same stripes.
  const Image track = Read("Track.bmp");
  ASSERT_EQ(track.width, 256);
  double difference = 0;
  for (int x = 0; x < 128; ++x) difference += PixelDistance(track, x, 100, 255 - x, 100);
  EXPECT_LT(difference / 128, 12.0);
}

TEST(Pictures, FlareFadesToExactBlackAtItsEdge) {
  const Image flare = Read("Flare.bmp");
  ASSERT_EQ(flare.width, 64);
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      const double dx = (x + 0.5) / 32 - 1, dy = (y + 0.5) / 32 - 1;
      if (dx * dx + dy * dy >= 0.97 * 0.97) {
        EXPECT_EQ(flare.Sum(x, y), 0) << x << "," << y;
      }
    }
  }
  // A bright, nearly white centre.
  EXPECT_GE(flare.at(32, 32)[0], 240);
  EXPECT_GE(flare.at(32, 32)[1], 220);
  EXPECT_GE(flare.at(32, 32)[2], 180);
}

TEST(Pictures, GateHasLightAndDarkChequers) {
  const Image gate = Read("StartEnd.bmp");
  ASSERT_EQ(gate.width, 256);
  int light = 0, dark = 0;
  for (int x = 0; x < 256; ++x) {
    const int sum = gate.Sum(x, 64);
    if (sum > 600) ++light;
    if (sum < 150) ++dark;
  }
  EXPECT_GT(light, 100);
  EXPECT_GT(dark, 100);
}

TEST(Pictures, EveryRunWritesTheSameBytes) {
  const std::string folder = ::testing::TempDir() + "vortalux_pictures_again";
  const std::string command = std::string("\"") + VORTALUX_PICTURES_TOOL + "\" \"" + folder + "\"";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  for (const Expected& e : kPictures) {
    EXPECT_TRUE(FileBytes(folder + "/" + e.name) == FileBytes(kGfx + "/" + e.name)) << e.name;
  }
}

}  // namespace
