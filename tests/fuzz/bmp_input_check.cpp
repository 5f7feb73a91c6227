// See bmp_input_check.h.
#include "bmp_input_check.h"

#include <cstdio>

#include "texture/bmp.h"
#include "texture/texture.h"
#include "texture/texture_bmp.h"

namespace {

bool WriteFile(const std::string& path, const uint8_t* data, size_t size) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

std::string CheckParser(const uint8_t* data, size_t size) {
  BmpHeader header;
  if (ParseBmpFileHeader(data, size, size, &header) != BmpCheck::kOk) return "";
  const uint32_t block = BmpHeaderBlockSize(header);
  if (header.offBits < kBmpMinimumOffBits || header.offBits > size) {
    return "file header accepted with bfOffBits outside [38, file size]";
  }
  if (ParseBmpInfoHeader(data + kBmpFileHeaderSize, block, &header) != BmpCheck::kOk) {
    return "info header refused a block of at least 24 bytes";
  }
  uint32_t pixels = 0;
  if (BmpPixelDataSize(header, size, &pixels) != BmpCheck::kOk) return "";
  if (uint64_t{header.offBits} + pixels > size) return "pixel data accepted past the end";
  if (pixels < BmpUploadBytes(header.width, header.height)) {
    return "pixel data accepted shorter than the upload reads";
  }
  if (header.width <= 0 || header.height == 0 || header.bitCount != 24 || header.compression != 0) {
    return "pixel data accepted for a picture the upload cannot read";
  }
  return "";
}

}  // namespace

std::string CheckBmpInput(const uint8_t* data, size_t size, const std::string& scratchPath,
                          bool withLoadBmp) {
  std::string broken = CheckParser(data, size);
  if (!broken.empty()) return broken;

  if (!WriteFile(scratchPath, data, size)) return "cannot write " + scratchPath;
  BmpPixels picture;
  if (ReadBmpFile(scratchPath.c_str(), &picture)) {
    if (!picture.data) return "read succeeded without pixel data";
    if (picture.size > size) return "pixel block larger than the file";
    const uint64_t upload = BmpUploadBytes(picture.width, picture.height);
    if (upload > picture.size) return "pixel block shorter than the upload reads";
    // Touch the last byte the upload would read, so that AddressSanitizer checks the bound
    // that GLU (not instrumented) relies on.
    volatile unsigned char last = picture.data[upload - 1];
    (void)last;
  } else if (picture.data) {
    return "failed read kept pixel data";
  }

  if (withLoadBmp) {
    Texture texture;
    texture.LoadBMP(scratchPath.c_str());
    if (texture.id == 0) return "LoadBMP left no texture object";
    if (picture.headerRead &&
        (texture.width != picture.width || texture.height != picture.height)) {
      return "LoadBMP recorded another size than the file's";
    }
  }
  return "";
}
