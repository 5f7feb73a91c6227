// Windows icon files (.ico): one file holding the same icon at several sizes, for the resource
// compiler to embed in the program. Pure bytes in, bytes out; the PNG encoding is the caller's.
#pragma once

#include <vector>

struct IcoImage {
  int side = 0;                    // 1 to 256 pixels, square
  std::vector<unsigned char> rgb;  // side * side * 3 bytes, rows top-first
  // When not empty, the image is stored as these PNG bytes (the usual form at 256 x 256);
  // otherwise as a 32-bit bottom-up DIB with an all-opaque mask, which every reader takes.
  std::vector<unsigned char> png;
};

// The .ico file's bytes: the ICONDIR header, one 16-byte entry per image in the order given,
// then the images. Empty when an image's side or pixel count is wrong.
std::vector<unsigned char> IcoFile(const std::vector<IcoImage>& images);
