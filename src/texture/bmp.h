// The BMP headers as Texture::LoadBMP reads them, parsed from bytes: the 14-byte file header
// (BITMAPFILEHEADER) and the fields of the header block that follows it (BITMAPINFOHEADER's
// first 24 bytes). Pure functions: no file system, no OpenGL, so tests and the fuzzer feed them
// arrays. All fields are little-endian and read byte by byte into fixed-width types.
//
// The checks go beyond the magic number so that a hostile file can make
// the loader neither read past a block nor allocate more than the file holds: see BmpCheck.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr uint32_t kBmpFileHeaderSize = 14;
// The header block's fields the loader uses, biSize to biSizeImage.
constexpr uint32_t kBmpInfoFieldsSize = 24;
// The smallest bfOffBits whose header block holds those fields.
constexpr uint32_t kBmpMinimumOffBits = kBmpFileHeaderSize + kBmpInfoFieldsSize;
constexpr uint16_t kBmpMagic = 0x4D42;  // the bytes 'B', 'M'

// The fields the loader uses, in file order; the rest are skipped.
struct BmpHeader {
  uint16_t type = 0;         // bfType, offset 0
  uint32_t offBits = 0;      // bfOffBits, offset 10: where the pixel data starts
  int32_t width = 0;         // biWidth, offset 18
  int32_t height = 0;        // biHeight, offset 22; negative for a top-down picture
  uint16_t bitCount = 0;     // biBitCount, offset 28
  uint32_t compression = 0;  // biCompression, offset 30; 0 is BI_RGB (uncompressed)
  uint32_t sizeImage = 0;    // biSizeImage, offset 34; 0 means "compute it"
};

enum class BmpCheck {
  kOk,
  kTooShort,         // fewer bytes than the header needs
  kBadMagic,         // bfType is not 'BM'
  kOffBitsTooSmall,  // the header block cannot hold the 24 bytes of fields used
  kBeyondFile,       // the header block or the pixel data would reach past the file's end
  kBadBitCount,      // not 24 bits per pixel
  kCompressed,       // biCompression is not 0
  kBadWidth,         // width 0 or negative
  kBadHeight,        // height 0: no rows
  kSizeTooSmall,     // the pixel data is shorter than what the upload reads
  kSizeTooLarge,     // the pixel-data size does not fit 32 bits
};

uint16_t ReadLittleEndian16(const unsigned char* bytes);
uint32_t ReadLittleEndian32(const unsigned char* bytes);

// Reads bfType and bfOffBits from the first 14 of `count` bytes and checks them against a file
// of `fileSize` bytes: the magic, a header block of at least 24 bytes, and a header block that
// ends inside the file. Fills `header` as far as the bytes allow even when it refuses.
BmpCheck ParseBmpFileHeader(const unsigned char* bytes, size_t count, uint64_t fileSize,
                            BmpHeader* header);

// The header block's length, bfOffBits - 14, for a header that ParseBmpFileHeader accepted.
uint32_t BmpHeaderBlockSize(const BmpHeader& header);

// Reads the info fields from the first 24 of `count` bytes of the header block. No value
// checks: the loader records width and height from here even when the picture is refused.
BmpCheck ParseBmpInfoHeader(const unsigned char* block, size_t count, BmpHeader* header);

// Row length in bytes of a 24-bit picture of that width as the upload reads it: 3 bytes per
// pixel, filled up to a multiple of 4.
uint64_t BmpRowBytes(int32_t width);
// Bytes the upload reads: |height| rows of BmpRowBytes(width). 64-bit, so it cannot overflow.
uint64_t BmpUploadBytes(int32_t width, int32_t height);

// The number of pixel-data bytes to read (biSizeImage, or when that is 0 the computed size),
// checked: 24 bits per pixel, uncompressed, width above 0, height not 0, at least what the
// upload reads, within 32 bits, and within the `fileSize - bfOffBits` bytes the file holds.
BmpCheck BmpPixelDataSize(const BmpHeader& header, uint64_t fileSize, uint32_t* size);
