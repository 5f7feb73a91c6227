// The pure header parser: every field it reads, each check, and the sizes it computes, fed
// straight from byte arrays.
#include "texture/bmp.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <vector>

#include "bmp_builder.h"

// Names the checks in failure messages.
std::ostream& operator<<(std::ostream& out, BmpCheck check) {
  static const char* const kNames[] = {
      "kOk",         "kTooShort", "kBadMagic",  "kOffBitsTooSmall", "kBeyondFile",  "kBadBitCount",
      "kCompressed", "kBadWidth", "kBadHeight", "kSizeTooSmall",    "kSizeTooLarge"};
  return out << kNames[static_cast<int>(check)];
}

namespace {

std::vector<unsigned char> Valid(int width = 4, int height = 2) {
  return SolidBmp(width, height, Rgb{1, 2, 3});
}

BmpCheck ParseAll(const std::vector<unsigned char>& bytes, BmpHeader* header, uint32_t* size) {
  const BmpCheck fileCheck = ParseBmpFileHeader(bytes.data(), bytes.size(), bytes.size(), header);
  if (fileCheck != BmpCheck::kOk) return fileCheck;
  const uint32_t block = BmpHeaderBlockSize(*header);
  const BmpCheck infoCheck = ParseBmpInfoHeader(bytes.data() + kBmpFileHeaderSize, block, header);
  if (infoCheck != BmpCheck::kOk) return infoCheck;
  return BmpPixelDataSize(*header, bytes.size(), size);
}

TEST(BmpLittleEndian, ReadsFixedWidthLittleEndian) {
  const unsigned char bytes[] = {0x78, 0x56, 0x34, 0x12, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(ReadLittleEndian16(bytes), 0x5678u);
  EXPECT_EQ(ReadLittleEndian32(bytes), 0x12345678u);
  // Exactly four bytes: the 0xFF bytes that follow do not leak in, as they would through an
  // 8-byte `long`.
  EXPECT_EQ(ReadLittleEndian32(bytes + 4), 0xFFFFFFFFu);
}

TEST(BmpFileHeader, ReadsMagicAndOffset) {
  BmpHeader header;
  const std::vector<unsigned char> bytes = Valid();
  ASSERT_EQ(ParseBmpFileHeader(bytes.data(), bytes.size(), bytes.size(), &header), BmpCheck::kOk);
  EXPECT_EQ(header.type, 0x4D42);
  EXPECT_EQ(header.offBits, 54u);
  EXPECT_EQ(BmpHeaderBlockSize(header), 40u);
}

TEST(BmpFileHeader, IgnoresSizeAndReservedFields) {
  std::vector<unsigned char> bytes = Valid();
  Put32(bytes, kOffSize, 0xDEADBEEF);
  Put16(bytes, 6, 0xFFFF);
  Put16(bytes, 8, 0xFFFF);
  BmpHeader header;
  EXPECT_EQ(ParseBmpFileHeader(bytes.data(), bytes.size(), bytes.size(), &header), BmpCheck::kOk);
}

TEST(BmpFileHeader, RefusesFewerThan14Bytes) {
  const std::vector<unsigned char> bytes = Valid();
  BmpHeader header;
  EXPECT_EQ(ParseBmpFileHeader(bytes.data(), 13, bytes.size(), &header), BmpCheck::kTooShort);
}

TEST(BmpFileHeader, RefusesEitherWrongMagicByte) {
  for (const auto& magic : {std::vector<unsigned char>{'B', 'N'}, {'C', 'M'}, {'M', 'B'}}) {
    std::vector<unsigned char> bytes = Valid();
    bytes[0] = magic[0];
    bytes[1] = magic[1];
    BmpHeader header;
    EXPECT_EQ(ParseBmpFileHeader(bytes.data(), bytes.size(), bytes.size(), &header),
              BmpCheck::kBadMagic)
        << magic[0] << magic[1];
  }
}

TEST(BmpFileHeader, RefusesAHeaderBlockTooShortForTheFields) {
  // 0 and 13 are below the 14-byte file header (bfOffBits - 14 would wrap to about 4 GiB);
  // 37 leaves the block one byte short of biSizeImage's end.
  for (uint32_t offBits : {0u, 1u, 13u, 14u, 20u, 37u}) {
    std::vector<unsigned char> bytes = Valid();
    Put32(bytes, kOffOffBits, offBits);
    BmpHeader header;
    EXPECT_EQ(ParseBmpFileHeader(bytes.data(), bytes.size(), bytes.size(), &header),
              BmpCheck::kOffBitsTooSmall)
        << offBits;
  }
  std::vector<unsigned char> bytes = Valid();
  Put32(bytes, kOffOffBits, 38);
  BmpHeader header;
  EXPECT_EQ(ParseBmpFileHeader(bytes.data(), bytes.size(), bytes.size(), &header), BmpCheck::kOk);
}

TEST(BmpFileHeader, RefusesAHeaderBlockLargerThanTheFile) {
  std::vector<unsigned char> bytes = Valid();
  BmpHeader header;
  Put32(bytes, kOffOffBits, static_cast<uint32_t>(bytes.size()));
  EXPECT_EQ(ParseBmpFileHeader(bytes.data(), bytes.size(), bytes.size(), &header), BmpCheck::kOk);
  for (uint32_t offBits : {static_cast<uint32_t>(bytes.size() + 1), 0x7FFFFFFFu, 0xFFFFFFFFu}) {
    Put32(bytes, kOffOffBits, offBits);
    EXPECT_EQ(ParseBmpFileHeader(bytes.data(), bytes.size(), bytes.size(), &header),
              BmpCheck::kBeyondFile)
        << offBits;
  }
}

TEST(BmpInfoHeader, ReadsEveryUsedField) {
  std::vector<unsigned char> bytes = Valid();
  Put32(bytes, kOffWidth, 0x00012345);
  Put32(bytes, kOffHeight, static_cast<uint32_t>(-7));
  Put16(bytes, kOffBitCount, 0x0118);
  Put32(bytes, kOffCompression, 0x0A0B0C0D);
  Put32(bytes, kOffSizeImage, 0xFEDCBA98);
  BmpHeader header;
  ASSERT_EQ(ParseBmpInfoHeader(bytes.data() + 14, 40, &header), BmpCheck::kOk);
  EXPECT_EQ(header.width, 0x12345);
  EXPECT_EQ(header.height, -7);
  EXPECT_EQ(header.bitCount, 0x0118);
  EXPECT_EQ(header.compression, 0x0A0B0C0Du);
  EXPECT_EQ(header.sizeImage, 0xFEDCBA98u);
}

TEST(BmpInfoHeader, ReadsExtremeSignedValues) {
  std::vector<unsigned char> bytes = Valid();
  Put32(bytes, kOffWidth, 0x7FFFFFFF);
  Put32(bytes, kOffHeight, 0x80000000);
  BmpHeader header;
  ASSERT_EQ(ParseBmpInfoHeader(bytes.data() + 14, 40, &header), BmpCheck::kOk);
  EXPECT_EQ(header.width, INT32_MAX);
  EXPECT_EQ(header.height, INT32_MIN);
}

TEST(BmpInfoHeader, NeedsTheFirst24BytesOnly) {
  const std::vector<unsigned char> bytes = Valid();
  BmpHeader header;
  EXPECT_EQ(ParseBmpInfoHeader(bytes.data() + 14, 23, &header), BmpCheck::kTooShort);
  EXPECT_EQ(ParseBmpInfoHeader(bytes.data() + 14, 24, &header), BmpCheck::kOk);
  EXPECT_EQ(header.sizeImage, 24u);
}

TEST(BmpSizes, RowsAreFilledToFourBytes) {
  EXPECT_EQ(BmpRowBytes(1), 4u);
  EXPECT_EQ(BmpRowBytes(4), 12u);
  EXPECT_EQ(BmpRowBytes(5), 16u);
  EXPECT_EQ(BmpRowBytes(0), 0u);
  EXPECT_EQ(BmpRowBytes(-3), 0u);
  EXPECT_EQ(BmpUploadBytes(5, 2), 32u);
  EXPECT_EQ(BmpUploadBytes(5, -2), 32u);
  EXPECT_EQ(BmpUploadBytes(INT32_MAX, INT32_MIN),
            (uint64_t{INT32_MAX} * 3 + 3) / 4 * 4 * (uint64_t{1} << 31));
}

TEST(BmpPixelData, UsesBiSizeImageOrComputesIt) {
  BmpHeader header;
  uint32_t size = 0;
  ASSERT_EQ(ParseAll(Valid(4, 2), &header, &size), BmpCheck::kOk);
  EXPECT_EQ(size, 24u);
  // Width 5: rows of 15 bytes filled to 16.
  ASSERT_EQ(ParseAll(MakeBmp(
                         5, 2, [](int, int) { return Rgb{}; }, true),
                     &header, &size),
            BmpCheck::kOk);
  EXPECT_EQ(header.sizeImage, 0u);
  EXPECT_EQ(size, 32u);
  // A biSizeImage above what the upload needs is read whole.
  std::vector<unsigned char> bytes = Valid(4, 2);
  bytes.resize(bytes.size() + 8);
  Put32(bytes, kOffSizeImage, 32);
  ASSERT_EQ(ParseAll(bytes, &header, &size), BmpCheck::kOk);
  EXPECT_EQ(size, 32u);
}

TEST(BmpPixelData, TopDownPictureNeedsItsRowsToo) {
  BmpHeader header;
  uint32_t size = 0;
  ASSERT_EQ(ParseAll(SolidBmp(3, 3, Rgb{}), &header, &size), BmpCheck::kOk);
  std::vector<unsigned char> bytes = MakeBmp(
      3, 3, [](int, int) { return Rgb{}; }, false, true);
  ASSERT_EQ(ParseAll(bytes, &header, &size), BmpCheck::kOk);
  EXPECT_EQ(header.height, -3);
  EXPECT_EQ(size, 36u);
}

struct FieldCase {
  const char* what;
  size_t offset;
  uint32_t value;
  bool is16;
  BmpCheck expected;
};

TEST(BmpPixelData, RefusesWhatTheUploadCannotRead) {
  const FieldCase cases[] = {
      {"8 bits per pixel", kOffBitCount, 8, true, BmpCheck::kBadBitCount},
      {"32 bits per pixel", kOffBitCount, 32, true, BmpCheck::kBadBitCount},
      {"0 bits per pixel", kOffBitCount, 0, true, BmpCheck::kBadBitCount},
      {"RLE8", kOffCompression, 1, false, BmpCheck::kCompressed},
      {"bit fields", kOffCompression, 3, false, BmpCheck::kCompressed},
      {"width 0", kOffWidth, 0, false, BmpCheck::kBadWidth},
      {"width -4", kOffWidth, static_cast<uint32_t>(-4), false, BmpCheck::kBadWidth},
      {"width INT32_MIN", kOffWidth, 0x80000000u, false, BmpCheck::kBadWidth},
      {"height 0", kOffHeight, 0, false, BmpCheck::kBadHeight},
      {"biSizeImage one short", kOffSizeImage, 23, false, BmpCheck::kSizeTooSmall},
      {"biSizeImage without row fill", kOffSizeImage, 3 * 4 * 2 - 1, false,
       BmpCheck::kSizeTooSmall},
      {"biSizeImage past the file", kOffSizeImage, 25, false, BmpCheck::kBeyondFile},
      {"biSizeImage 4 GiB - 1", kOffSizeImage, 0xFFFFFFFFu, false, BmpCheck::kBeyondFile},
      {"height 3 rows for 2 stored", kOffHeight, 3, false, BmpCheck::kSizeTooSmall},
  };
  for (const FieldCase& c : cases) {
    std::vector<unsigned char> bytes = Valid(4, 2);
    if (c.is16) {
      Put16(bytes, c.offset, static_cast<uint16_t>(c.value));
    } else {
      Put32(bytes, c.offset, c.value);
    }
    BmpHeader header;
    uint32_t size = 12345;
    EXPECT_EQ(ParseAll(bytes, &header, &size), c.expected) << c.what;
    EXPECT_EQ(size, 12345u) << c.what << ": size written on refusal";
  }
}

TEST(BmpPixelData, RefusesSizesBeyond32Bits) {
  BmpHeader header;
  header.offBits = 54;
  header.bitCount = 24;
  header.width = 0x40000000;  // rows of 3 GiB
  header.height = 2;
  uint32_t size = 0;
  const uint64_t hugeFile = uint64_t{1} << 40;
  EXPECT_EQ(BmpPixelDataSize(header, hugeFile, &size), BmpCheck::kSizeTooLarge);
  header.height = INT32_MIN;
  EXPECT_EQ(BmpPixelDataSize(header, hugeFile, &size), BmpCheck::kSizeTooLarge);
  // A declared biSizeImage smaller than the 64-bit need is refused as too small, not wrapped.
  header.sizeImage = 0xFFFFFFFFu;
  EXPECT_EQ(BmpPixelDataSize(header, hugeFile, &size), BmpCheck::kSizeTooSmall);
}

TEST(BmpPixelData, AFileExactlyLongEnoughIsAccepted) {
  BmpHeader header;
  header.offBits = 54;
  header.bitCount = 24;
  header.width = 5;
  header.height = 2;
  uint32_t size = 0;
  EXPECT_EQ(BmpPixelDataSize(header, 54 + 32, &size), BmpCheck::kOk);
  EXPECT_EQ(size, 32u);
  EXPECT_EQ(BmpPixelDataSize(header, 54 + 31, &size), BmpCheck::kBeyondFile);
}

}  // namespace
