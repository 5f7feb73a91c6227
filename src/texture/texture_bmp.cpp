// Texture::LoadBMP: reads an uncompressed 24-bit BMP through the file seam (file.h) and builds
// its mipmaps with GLU. Needs a current rendering context for LoadBMP; ReadBmpFile needs none.
//
// The file is read in three reads with no seeking: the 14-byte file header, the header block of
// bfOffBits - 14 bytes, then the pixel data, which therefore starts at bfOffBits. The pixel data
// goes to OpenGL exactly as stored: BGR bytes, rows filled to 4 bytes, bottom row first.
#include <new>

#include "opengl.h"
#include "texture/bmp.h"
#include "texture/file.h"
#include "texture/texture.h"
#include "texture/texture_bmp.h"

namespace {

// Owns the open file and the header block while the headers are read, and on every way out
// (failure, success, exception) closes the file and then frees the header block, in that order.
struct HeaderReadGuard {
  InputFile file;
  std::unique_ptr<unsigned char[]> headerBlock;

  HeaderReadGuard() = default;
  HeaderReadGuard(const HeaderReadGuard&) = delete;
  HeaderReadGuard& operator=(const HeaderReadGuard&) = delete;
  ~HeaderReadGuard() {
    file.Close();
    headerBlock.reset();
  }
};

}  // namespace

bool ReadBmpFile(const char* fileName, BmpPixels* picture) {
  HeaderReadGuard guard;
  if (!guard.file.Open(fileName)) return false;
  uint64_t fileSize = 0;
  if (!guard.file.Size(&fileSize)) return false;

  unsigned char fileHeader[kBmpFileHeaderSize];
  if (guard.file.Read(fileHeader, kBmpFileHeaderSize) != kBmpFileHeaderSize) return false;
  BmpHeader header;
  if (ParseBmpFileHeader(fileHeader, sizeof fileHeader, fileSize, &header) != BmpCheck::kOk) {
    return false;
  }

  const uint32_t blockSize = BmpHeaderBlockSize(header);
  guard.headerBlock.reset(new (std::nothrow) unsigned char[blockSize]);
  if (!guard.headerBlock) return false;
  if (guard.file.Read(guard.headerBlock.get(), blockSize) != blockSize) return false;
  ParseBmpInfoHeader(guard.headerBlock.get(), blockSize, &header);
  picture->headerRead = true;
  picture->width = header.width;
  picture->height = header.height;

  uint32_t pixelSize = 0;
  if (BmpPixelDataSize(header, fileSize, &pixelSize) != BmpCheck::kOk) return false;
  // Declared after the guard, so a short read frees the pixel block before the file is closed.
  std::unique_ptr<unsigned char[]> pixels(new (std::nothrow) unsigned char[pixelSize]);
  if (!pixels) return false;
  if (guard.file.Read(pixels.get(), pixelSize) != pixelSize) return false;
  picture->data = std::move(pixels);
  picture->size = pixelSize;
  return true;
}

bool Texture::LoadBMP(const char* fileName) {
  // From here on this Texture holds a new, bound texture object, whatever the file holds.
  Create(fileName);
  BmpPixels picture;
  const bool read = ReadBmpFile(fileName, &picture);
  if (picture.headerRead) {
    width = picture.width;
    height = picture.height;
  }
  if (!read) return false;

  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  // A top-down picture (negative height) is read in full, but the mipmap builder
  // refuses a negative height and leaves the texture without an image. Not handing it to GLU at
  // all gives the same result without relying on every GLU to check.
  if (height > 0) {
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_BGR_EXT, GL_UNSIGNED_BYTE,
                      picture.data.get());
  }
  return true;  // the pixel block is freed here, right after the upload
}
