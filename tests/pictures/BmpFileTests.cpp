// Writing and reading the BMP files of the program's pictures.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/BmpFile.h"

namespace zarvo::pictures {
namespace {

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};

std::uint32_t U32At(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
         static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

void PutU32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes[offset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

// 3 x 2, 24 bits: top row red, green, blue; bottom row white, black, red.
Bitmap SmallDirect() {
  Bitmap bitmap(3, 2, 24, {}, kBlack);
  bitmap.At(0, 0) = kRed;
  bitmap.At(1, 0) = kGreen;
  bitmap.At(2, 0) = kBlue;
  bitmap.At(0, 1) = kWhite;
  bitmap.At(1, 1) = kBlack;
  bitmap.At(2, 1) = kRed;
  return bitmap;
}

TEST(BmpFileTest, DirectColourFileHasTheExactLayout) {
  const std::vector<std::uint8_t> bytes = EncodeBmp(SmallDirect());
  // 3 pixels of 3 bytes pad to 12 bytes a row.
  ASSERT_EQ(bytes.size(), 14u + 40u + 2u * 12u);
  EXPECT_EQ(bytes[0], 'B');
  EXPECT_EQ(bytes[1], 'M');
  EXPECT_EQ(U32At(bytes, 2), bytes.size());
  EXPECT_EQ(U32At(bytes, 6), 0u);
  EXPECT_EQ(U32At(bytes, 10), 54u);
  EXPECT_EQ(U32At(bytes, 14), 40u);
  EXPECT_EQ(U32At(bytes, 18), 3u);
  EXPECT_EQ(U32At(bytes, 22), 2u);
  EXPECT_EQ(bytes[26] | bytes[27] << 8, 1);
  EXPECT_EQ(bytes[28] | bytes[29] << 8, 24);
  EXPECT_EQ(U32At(bytes, 30), 0u);
  EXPECT_EQ(U32At(bytes, 34), 24u);
  EXPECT_EQ(U32At(bytes, 46), 0u);
  // The bottom row comes first, each pixel blue, green, red, then the padding.
  const std::vector<std::uint8_t> rows(bytes.begin() + 54, bytes.end());
  const std::vector<std::uint8_t> expected = {
      255, 255, 255, 0, 0,   0, 0,   0, 255, 0, 0, 0,  // white, black, red
      0,   0,   255, 0, 255, 0, 255, 0, 0,   0, 0, 0,  // red, green, blue
  };
  EXPECT_EQ(rows, expected);
}

TEST(BmpFileTest, FourBitFileHoldsThePaletteAndPacksTwoPixelsAByte) {
  // 5 x 1: indices 1 0 2 2 1 pack into 0x10 0x22 0x10 and pad to 4 bytes.
  Bitmap bitmap(5, 1, 4, {kBlack, kRed, kBlue}, kBlack);
  bitmap.At(0, 0) = kRed;
  bitmap.At(2, 0) = kBlue;
  bitmap.At(3, 0) = kBlue;
  bitmap.At(4, 0) = kRed;
  const std::vector<std::uint8_t> bytes = EncodeBmp(bitmap);
  ASSERT_EQ(bytes.size(), 54u + 3u * 4u + 4u);
  EXPECT_EQ(U32At(bytes, 10), 66u);
  EXPECT_EQ(U32At(bytes, 46), 3u);
  const std::vector<std::uint8_t> palette(bytes.begin() + 54, bytes.begin() + 66);
  EXPECT_EQ(palette, (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0}));
  const std::vector<std::uint8_t> row(bytes.begin() + 66, bytes.end());
  EXPECT_EQ(row, (std::vector<std::uint8_t>{0x10, 0x22, 0x10, 0x00}));
}

TEST(BmpFileTest, EveryDepthReadsBackAsWritten) {
  std::vector<Rgb> palette16;
  for (int i = 0; i < 16; ++i) palette16.push_back({static_cast<std::uint8_t>(i * 16), 0, 0});
  std::vector<Rgb> palette256;
  for (int i = 0; i < 256; ++i) palette256.push_back({static_cast<std::uint8_t>(i), 7, 9});
  struct Case {
    int width;
    int height;
    int bits;
    std::vector<Rgb> palette;
  };
  const Case cases[] = {
      {7, 3, 4, palette16}, {5, 4, 8, palette256}, {18, 15, 24, {}}, {1, 1, 24, {}}};
  for (const Case& c : cases) {
    Bitmap bitmap(c.width, c.height, c.bits, c.palette, c.bits == 24 ? kBlack : c.palette[0]);
    for (int row = 0; row < c.height; ++row) {
      for (int column = 0; column < c.width; ++column) {
        const std::size_t n = static_cast<std::size_t>(row * 31 + column * 7);
        bitmap.At(column, row) =
            c.bits == 24 ? Rgb{static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(row),
                               static_cast<std::uint8_t>(column)}
                         : c.palette[n % c.palette.size()];
      }
    }
    const Bitmap read = DecodeBmp(EncodeBmp(bitmap));
    EXPECT_EQ(read.width, c.width);
    EXPECT_EQ(read.height, c.height);
    EXPECT_EQ(read.bitsPerPixel, c.bits);
    EXPECT_EQ(read.palette, c.palette);
    EXPECT_EQ(read.pixels, bitmap.pixels) << c.width << " x " << c.height << " x " << c.bits;
  }
}

TEST(BmpFileTest, WritingRejectsWhatNoFileCanHold) {
  Bitmap offPalette(2, 2, 4, {kBlack, kWhite}, kBlack);
  offPalette.At(1, 1) = kRed;
  EXPECT_THROW(EncodeBmp(offPalette), BmpError);
  EXPECT_THROW(EncodeBmp(Bitmap(2, 2, 24, {kBlack}, kBlack)), BmpError);
  EXPECT_THROW(EncodeBmp(Bitmap(2, 2, 4, std::vector<Rgb>(17, kBlack), kBlack)), BmpError);
  EXPECT_THROW(EncodeBmp(Bitmap(2, 2, 16, {}, kBlack)), BmpError);
  EXPECT_THROW(EncodeBmp(Bitmap(0, 2, 24, {}, kBlack)), BmpError);
}

struct Corruption {
  const char* name;
  std::function<void(std::vector<std::uint8_t>&)> apply;
};

class BmpCorruptionTest : public ::testing::TestWithParam<Corruption> {};

TEST_P(BmpCorruptionTest, IsRejected) {
  // 4 x 2 at 4 bits with a 3-colour palette: small enough to corrupt by hand.
  Bitmap bitmap(4, 2, 4, {kBlack, kRed, kBlue}, kRed);
  std::vector<std::uint8_t> bytes = EncodeBmp(bitmap);
  ASSERT_NO_THROW(DecodeBmp(bytes));
  GetParam().apply(bytes);
  EXPECT_THROW(DecodeBmp(bytes), BmpError);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BmpCorruptionTest,
    ::testing::Values(
        Corruption{"Empty", [](auto& b) { b.clear(); }},
        Corruption{"CutInsideTheInfoHeader",
                   [](auto& b) {
                     b.resize(30);
                     PutU32(b, 2, 30);
                   }},
        Corruption{"CutInsideTheRows",
                   [](auto& b) {
                     b.pop_back();
                     PutU32(b, 2, static_cast<std::uint32_t>(b.size()));
                   }},
        Corruption{"TrailingByte",
                   [](auto& b) {
                     b.push_back(0);
                     PutU32(b, 2, static_cast<std::uint32_t>(b.size()));
                   }},
        Corruption{"FileSizeFieldWrong",
                   [](auto& b) { PutU32(b, 2, static_cast<std::uint32_t>(b.size() + 1)); }},
        Corruption{"NotBM", [](auto& b) { b[1] = 'A'; }},
        Corruption{"OffsetPastThePalette", [](auto& b) { PutU32(b, 10, U32At(b, 10) + 4); }},
        Corruption{"CoreHeader", [](auto& b) { PutU32(b, 14, 12); }},
        Corruption{"TopDown", [](auto& b) { PutU32(b, 22, static_cast<std::uint32_t>(-2)); }},
        Corruption{"ZeroWidth", [](auto& b) { PutU32(b, 18, 0); }},
        Corruption{"HugeWidth", [](auto& b) { PutU32(b, 18, 0x7FFFFFFF); }},
        Corruption{"TwoPlanes", [](auto& b) { b[26] = 2; }},
        Corruption{"SixteenBits", [](auto& b) { b[28] = 16; }},
        Corruption{"RunLengthCompressed", [](auto& b) { PutU32(b, 30, 2); }},
        Corruption{"ImageSizeWrong", [](auto& b) { PutU32(b, 34, 9); }},
        Corruption{"PaletteTooLarge", [](auto& b) { PutU32(b, 46, 17); }},
        // The first pixel names entry 5 of a 3-entry palette.
        Corruption{"PixelOutsideThePalette", [](auto& b) { b[U32At(b, 10)] = 0x51; }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zarvo::pictures
