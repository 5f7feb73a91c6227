// Hostile files: headers that lie about offsets, sizes, bit depth or compression. Each must be
// refused with false, no file left open and no allocation beyond the file's own size (measured
// with AllocationTracker), both by the file reader alone and by Texture::LoadBMP.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "allocation_tracker.h"
#include "bmp_builder.h"
#include "offscreen_gl.h"
#include "opengl.h"
#include "texture/texture.h"
#include "texture/texture_bmp.h"

namespace {

struct Hostile {
  std::string what;
  std::vector<unsigned char> bytes;
};

std::vector<unsigned char> Good() {
  return SolidBmp(5, 2, Rgb{10, 20, 30});
}

Hostile With32(const std::string& what, size_t offset, uint32_t value) {
  std::vector<unsigned char> bytes = Good();
  Put32(bytes, offset, value);
  return {what, bytes};
}

Hostile With16(const std::string& what, size_t offset, uint16_t value) {
  std::vector<unsigned char> bytes = Good();
  Put16(bytes, offset, value);
  return {what, bytes};
}

std::vector<Hostile> HostileFiles() {
  std::vector<Hostile> files;
  // bfOffBits: below 14 the block size bfOffBits - 14 wraps to about 4 GiB; below 38 the header
  // block cannot hold the fields read from it; past the end the block cannot be filled.
  for (uint32_t offBits : {0u, 1u, 13u, 14u, 15u, 30u, 37u}) {
    files.push_back(With32("bfOffBits " + std::to_string(offBits), kOffOffBits, offBits));
  }
  for (uint32_t offBits : {87u, 1000u, 0x7FFFFFFFu, 0xFFFFFFF0u, 0xFFFFFFFFu}) {
    files.push_back(
        With32("bfOffBits past the end " + std::to_string(offBits), kOffOffBits, offBits));
  }
  // Pixel-data sizes the file cannot hold, up to 4 GiB.
  for (uint32_t size : {33u, 1000u, 0x7FFFFFFFu, 0xF0000000u, 0xFFFFFFFFu}) {
    files.push_back(With32("biSizeImage " + std::to_string(size), kOffSizeImage, size));
  }
  // Computed sizes that overflow 32 bits (biSizeImage 0).
  {
    Hostile h = With32("width 2^30 x 4 rows", kOffWidth, 0x40000000u);
    Put32(h.bytes, kOffHeight, 4);
    Put32(h.bytes, kOffSizeImage, 0);
    files.push_back(h);
    Hostile max = With32("width and height INT32_MAX", kOffWidth, 0x7FFFFFFFu);
    Put32(max.bytes, kOffHeight, 0x7FFFFFFFu);
    Put32(max.bytes, kOffSizeImage, 0);
    files.push_back(max);
    Hostile min = With32("height INT32_MIN", kOffHeight, 0x80000000u);
    Put32(min.bytes, kOffSizeImage, 0);
    files.push_back(min);
    Hostile wide = With32("width 2^29, biSizeImage 4 GiB - 1", kOffWidth, 0x20000000u);
    Put32(wide.bytes, kOffHeight, 1);
    Put32(wide.bytes, kOffSizeImage, 0xFFFFFFFFu);
    files.push_back(wide);
  }
  // Sizes that cannot be drawn.
  files.push_back(With32("width 0", kOffWidth, 0));
  files.push_back(With32("width -5", kOffWidth, static_cast<uint32_t>(-5)));
  files.push_back(With32("width INT32_MIN", kOffWidth, 0x80000000u));
  files.push_back(With32("height 0", kOffHeight, 0));
  // biSizeImage below what the upload reads (2 rows of 16 bytes).
  files.push_back(With32("biSizeImage 30 of 32", kOffSizeImage, 30));
  files.push_back(With32("biSizeImage 1", kOffSizeImage, 1));
  {
    Hostile taller = With32("height 3 with 2 rows stored", kOffHeight, 3);
    files.push_back(taller);
    Hostile wider = With32("width 6 with 5-pixel rows stored", kOffWidth, 6);
    files.push_back(wider);
  }
  // Other formats: the bytes would not be 3 per pixel.
  for (uint16_t bits : {0, 1, 4, 8, 16, 32, 48}) {
    files.push_back(With16("biBitCount " + std::to_string(bits), kOffBitCount, bits));
  }
  for (uint32_t compression : {1u, 2u, 3u, 4u, 5u, 6u, 0x80000000u}) {
    files.push_back(
        With32("biCompression " + std::to_string(compression), kOffCompression, compression));
  }
  return files;
}

TEST(BmpHostileRead, RefusedWithoutAllocatingMoreThanTheFile) {
  for (const Hostile& file : HostileFiles()) {
    const std::string path = WriteTempFile("hostile.bmp", file.bytes);
    const int filesBefore = OpenFileCount();
    BmpPixels picture;
    bool read = true;
    size_t total = 0, largest = 0;
    {
      AllocationTracker tracker;
      read = ReadBmpFile(path.c_str(), &picture);
      total = tracker.total();
      largest = tracker.largest();
    }
    EXPECT_FALSE(read) << file.what;
    EXPECT_EQ(picture.data, nullptr) << file.what;
    EXPECT_LE(total, file.bytes.size()) << file.what;
    EXPECT_LE(largest, file.bytes.size()) << file.what;
    EXPECT_EQ(OpenFileCount(), filesBefore) << file.what << ": file left open";
  }
}

TEST(BmpHostileRead, TinyFileDeclaringFourGigabytes) {
  // 58 bytes that claim 4 GiB - 1 of pixel data: nothing near that size is asked for.
  std::vector<unsigned char> bytes = SolidBmp(1, 1, Rgb{1, 1, 1});
  Put32(bytes, kOffSizeImage, 0xFFFFFFFFu);
  const std::string path = WriteTempFile("four_gib.bmp", bytes);
  BmpPixels picture;
  AllocationTracker tracker;
  EXPECT_FALSE(ReadBmpFile(path.c_str(), &picture));
  EXPECT_LE(tracker.largest(), bytes.size());
  EXPECT_TRUE(picture.headerRead);
  EXPECT_EQ(picture.width, 1);
}

TEST(BmpHostileRead, GoodFileAllocatesOnlyItsTwoBlocks) {
  const std::vector<unsigned char> bytes = Good();
  const std::string path = WriteTempFile("good.bmp", bytes);
  BmpPixels picture;
  AllocationTracker tracker;
  ASSERT_TRUE(ReadBmpFile(path.c_str(), &picture));
  EXPECT_EQ(tracker.count(), 2u);  // header block and pixel block
  EXPECT_EQ(tracker.total(), 40u + 32u);
  EXPECT_EQ(picture.size, 32u);
  EXPECT_EQ(picture.data[0], 30);  // first byte stored: blue of the bottom-left pixel
}

TEST(BmpHostileRead, LargerHeaderBlocksAreSkipped) {
  // A BITMAPV5HEADER-sized block (124 bytes) plus a 16-byte gap before the pixels: the header
  // block is bfOffBits - 14 bytes, read whole and ignored beyond its first 24 bytes.
  const std::vector<unsigned char> good = Good();
  std::vector<unsigned char> bytes(good.begin(), good.begin() + 54);
  bytes.resize(14 + 124 + 16, 0xEE);
  bytes.insert(bytes.end(), good.begin() + 54, good.end());
  Put32(bytes, kOffOffBits, 14 + 124 + 16);
  Put32(bytes, kOffInfoSize, 124);
  BmpPixels picture;
  ASSERT_TRUE(ReadBmpFile(WriteTempFile("v5.bmp", bytes).c_str(), &picture));
  EXPECT_EQ(picture.size, 32u);
  EXPECT_EQ(picture.data[0], 30);
  EXPECT_EQ(picture.data[2], 10);
}

TEST(BmpHostileLoad, LoadBmpRefusesEveryHostileFile) {
  OffscreenGL gl(16, 16);
  ASSERT_TRUE(gl.ok()) << gl.error();
  for (const Hostile& file : HostileFiles()) {
    const std::string path = WriteTempFile("hostile_gl.bmp", file.bytes);
    Texture texture;
    bool loaded = true;
    size_t largest = 0;
    {
      AllocationTracker tracker;
      loaded = texture.LoadBMP(path.c_str());
      largest = tracker.largest();
    }
    EXPECT_FALSE(loaded) << file.what;
    EXPECT_LE(largest, file.bytes.size()) << file.what;
    ASSERT_NE(texture.id, 0u) << file.what;
    GLint width = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 0) << file.what << ": the texture got an image";
  }
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
