// Builds BMP files as byte arrays for the texture tests: a 14-byte file header, a 40-byte
// BITMAPINFOHEADER and 24-bit BGR rows filled to 4 bytes, bottom row first; fields can then be
// overwritten one by one to make a malformed or hostile file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

struct Rgb {
  unsigned char r, g, b;
};

inline void Put16(std::vector<unsigned char>& bytes, size_t offset, uint16_t value) {
  bytes[offset] = static_cast<unsigned char>(value);
  bytes[offset + 1] = static_cast<unsigned char>(value >> 8);
}

inline void Put32(std::vector<unsigned char>& bytes, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<unsigned char>(value >> (8 * i));
}

// Field offsets in the file.
constexpr size_t kOffType = 0, kOffSize = 2, kOffOffBits = 10, kOffInfoSize = 14, kOffWidth = 18,
                 kOffHeight = 22, kOffPlanes = 26, kOffBitCount = 28, kOffCompression = 30,
                 kOffSizeImage = 34;

// `pixel(x, y)` gives the colour of column x, row y counted from the top of the picture. With
// `topDown` the height is stored negative and the rows go top first. biSizeImage is written as
// the real size unless `sizeImageZero`.
inline std::vector<unsigned char> MakeBmp(int width, int height,
                                          const std::function<Rgb(int, int)>& pixel,
                                          bool sizeImageZero = false, bool topDown = false) {
  const size_t row = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
  const size_t pixelBytes = row * static_cast<size_t>(height);
  std::vector<unsigned char> bytes(54 + pixelBytes, 0);
  bytes[0] = 'B';
  bytes[1] = 'M';
  Put32(bytes, kOffSize, static_cast<uint32_t>(bytes.size()));
  Put32(bytes, kOffOffBits, 54);
  Put32(bytes, kOffInfoSize, 40);
  Put32(bytes, kOffWidth, static_cast<uint32_t>(width));
  Put32(bytes, kOffHeight, static_cast<uint32_t>(topDown ? -height : height));
  Put16(bytes, kOffPlanes, 1);
  Put16(bytes, kOffBitCount, 24);
  Put32(bytes, kOffSizeImage, sizeImageZero ? 0u : static_cast<uint32_t>(pixelBytes));
  for (int y = 0; y < height; ++y) {
    const int fromTop = topDown ? y : height - 1 - y;
    for (int x = 0; x < width; ++x) {
      const Rgb c = pixel(x, fromTop);
      unsigned char* p = &bytes[54 + row * static_cast<size_t>(y) + 3 * static_cast<size_t>(x)];
      p[0] = c.b;
      p[1] = c.g;
      p[2] = c.r;
    }
  }
  return bytes;
}

inline std::vector<unsigned char> SolidBmp(int width, int height, Rgb colour) {
  return MakeBmp(width, height, [colour](int, int) { return colour; });
}

// Writes the bytes to a file in the test's temporary folder and returns its path.
inline std::string WriteTempFile(const std::string& name, const std::vector<unsigned char>& bytes) {
  const std::string path = ::testing::TempDir() + "vortalux_" + name;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file != nullptr) {
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
  return path;
}
