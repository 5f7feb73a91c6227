// BMP header parsing and checks; see bmp.h.
#include "texture/bmp.h"

uint16_t ReadLittleEndian16(const unsigned char* bytes) {
  return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

uint32_t ReadLittleEndian32(const unsigned char* bytes) {
  return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
         (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

namespace {

// Two's complement reinterpretation without relying on an implementation-defined conversion.
int32_t ToSigned32(uint32_t value) {
  return value <= 0x7FFFFFFFu ? static_cast<int32_t>(value) : -static_cast<int32_t>(~value) - 1;
}

}  // namespace

BmpCheck ParseBmpFileHeader(const unsigned char* bytes, size_t count, uint64_t fileSize,
                            BmpHeader* header) {
  if (count < kBmpFileHeaderSize) return BmpCheck::kTooShort;
  header->type = ReadLittleEndian16(bytes + 0);
  header->offBits = ReadLittleEndian32(bytes + 10);
  if (header->type != kBmpMagic) return BmpCheck::kBadMagic;
  // Below 14 the block size bfOffBits - 14 wraps to about 4 GiB; below 38 the fields are missing.
  if (header->offBits < kBmpMinimumOffBits) return BmpCheck::kOffBitsTooSmall;
  // Checked before the block is allocated: a block the file cannot fill is never allocated.
  if (header->offBits > fileSize) return BmpCheck::kBeyondFile;
  return BmpCheck::kOk;
}

uint32_t BmpHeaderBlockSize(const BmpHeader& header) {
  return header.offBits - kBmpFileHeaderSize;
}

BmpCheck ParseBmpInfoHeader(const unsigned char* block, size_t count, BmpHeader* header) {
  if (count < kBmpInfoFieldsSize) return BmpCheck::kTooShort;
  // Block offsets are file offsets minus 14: biWidth at 18 is block byte 4, and so on.
  header->width = ToSigned32(ReadLittleEndian32(block + 4));
  header->height = ToSigned32(ReadLittleEndian32(block + 8));
  header->bitCount = ReadLittleEndian16(block + 14);
  header->compression = ReadLittleEndian32(block + 16);
  header->sizeImage = ReadLittleEndian32(block + 20);
  return BmpCheck::kOk;
}

uint64_t BmpRowBytes(int32_t width) {
  if (width <= 0) return 0;
  return (static_cast<uint64_t>(width) * 3 + 3) / 4 * 4;
}

uint64_t BmpUploadBytes(int32_t width, int32_t height) {
  // |INT32_MIN| does not fit int32_t, so take the magnitude in 64 bits.
  const uint64_t rows = height < 0 ? static_cast<uint64_t>(-static_cast<int64_t>(height))
                                   : static_cast<uint64_t>(height);
  return rows * BmpRowBytes(width);
}

BmpCheck BmpPixelDataSize(const BmpHeader& header, uint64_t fileSize, uint32_t* size) {
  if (header.bitCount != 24) return BmpCheck::kBadBitCount;
  if (header.compression != 0) return BmpCheck::kCompressed;
  if (header.width <= 0) return BmpCheck::kBadWidth;
  if (header.height == 0) return BmpCheck::kBadHeight;
  const uint64_t needed = BmpUploadBytes(header.width, header.height);
  // With 24 bits per pixel the computed size, |height| x ceil(24 x width / 8) rounded
  // up to 4, is exactly what the upload reads.
  const uint64_t stored = header.sizeImage != 0 ? header.sizeImage : needed;
  if (stored < needed) return BmpCheck::kSizeTooSmall;
  if (stored > 0xFFFFFFFFu) return BmpCheck::kSizeTooLarge;
  if (header.offBits > fileSize || stored > fileSize - header.offBits) {
    return BmpCheck::kBeyondFile;
  }
  *size = static_cast<uint32_t>(stored);
  return BmpCheck::kOk;
}
