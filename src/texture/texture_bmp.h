// The file half of Texture::LoadBMP (open, the three
// reads, the header checks of bmp.h, close), with no OpenGL, so tests and the fuzzer can run it
// without a rendering context. LoadBMP adds the texture object and the upload.
#pragma once

#include <cstdint>
#include <memory>

struct BmpPixels {
  bool headerRead = false;  // width and height below come from the file
  int32_t width = 0;
  int32_t height = 0;  // negative for a top-down picture, as stored
  uint32_t size = 0;   // bytes in `data`; at least BmpUploadBytes(width, height)
  std::unique_ptr<unsigned char[]> data;
};

// True when the pixel data was read in full; `picture` then owns it. On failure `data` is
// empty, and `headerRead` says whether width and height were taken from the file. Never
// allocates more than the file holds.
bool ReadBmpFile(const char* fileName, BmpPixels* picture);
