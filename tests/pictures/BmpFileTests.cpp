// Writing and reading the BMP files of the program's pictures and the ICO file of its icon.
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

// ---- icons

constexpr Rgba kOpaqueRed{255, 0, 0, 255};
constexpr Rgba kHalfBlue{0, 0, 255, 128};
constexpr Rgba kClear{0, 0, 0, 0};

std::uint16_t U16At(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

// A square image whose pixel (c, r) is `pick(c, r)`.
IconImage Square(int size, const std::function<Rgba(int, int)>& pick) {
  IconImage image{size, std::vector<Rgba>(static_cast<std::size_t>(size * size))};
  for (int row = 0; row < size; ++row) {
    for (int column = 0; column < size; ++column) image.At(column, row) = pick(column, row);
  }
  return image;
}

TEST(IcoFileTest, TwoImagesHaveTheExactLayout) {
  // 2 pixels: top row red, clear; bottom row half blue, red. 33 pixels: a mask row of 5 bytes
  // pads to 8; only the last column is clear.
  const IconImage small = Square(2, [](int c, int r) {
    return r == 0 ? (c == 0 ? kOpaqueRed : kClear) : (c == 0 ? kHalfBlue : kOpaqueRed);
  });
  const IconImage large = Square(33, [](int c, int) { return c == 32 ? kClear : kOpaqueRed; });
  const std::vector<std::uint8_t> bytes = EncodeIco({small, large});
  const std::size_t smallSize = 40 + 2 * 2 * 4 + 2 * 4;
  const std::size_t largeSize = 40 + 33 * 33 * 4 + 33 * 8;
  ASSERT_EQ(bytes.size(), 6 + 2 * 16 + smallSize + largeSize);
  EXPECT_EQ(U16At(bytes, 0), 0);
  EXPECT_EQ(U16At(bytes, 2), 1);
  EXPECT_EQ(U16At(bytes, 4), 2);
  // The entries: width, height, colours, reserved, planes, bits, size, offset.
  const std::vector<std::uint8_t> entry0(bytes.begin() + 6, bytes.begin() + 14);
  EXPECT_EQ(entry0, (std::vector<std::uint8_t>{2, 2, 0, 0, 1, 0, 32, 0}));
  EXPECT_EQ(U32At(bytes, 14), smallSize);
  EXPECT_EQ(U32At(bytes, 18), 38u);
  EXPECT_EQ(bytes[22], 33);
  EXPECT_EQ(U32At(bytes, 30), largeSize);
  EXPECT_EQ(U32At(bytes, 34), 38u + smallSize);

  // The small image: BITMAPINFOHEADER with the height doubled, rows bottom-up, then the mask.
  const std::size_t image = 38;
  EXPECT_EQ(U32At(bytes, image), 40u);
  EXPECT_EQ(U32At(bytes, image + 4), 2u);
  EXPECT_EQ(U32At(bytes, image + 8), 4u);
  EXPECT_EQ(U16At(bytes, image + 12), 1);
  EXPECT_EQ(U16At(bytes, image + 14), 32);
  EXPECT_EQ(U32At(bytes, image + 16), 0u);
  EXPECT_EQ(U32At(bytes, image + 20), smallSize - 40);
  const std::vector<std::uint8_t> rest(
      bytes.begin() + image + 40, bytes.begin() + static_cast<std::ptrdiff_t>(image + smallSize));
  const std::vector<std::uint8_t> expected = {
      255,  0, 0,   128, 0, 0, 255, 255,  // bottom row: half blue, red (blue, green, red, alpha)
      0,    0, 255, 255, 0, 0, 0,   0,    // top row: red, clear
      0x00, 0, 0,   0,                    // bottom mask row: nothing clear
      0x40, 0, 0,   0,                    // top mask row: the second pixel
  };
  EXPECT_EQ(rest, expected);
  // The large image's mask rows: bit 32 is the first bit of the fifth byte.
  const std::size_t mask = image + smallSize + 40 + 33 * 33 * 4;
  const std::vector<std::uint8_t> maskRow(bytes.begin() + static_cast<std::ptrdiff_t>(mask),
                                          bytes.begin() + static_cast<std::ptrdiff_t>(mask + 8));
  EXPECT_EQ(maskRow, (std::vector<std::uint8_t>{0, 0, 0, 0, 0x80, 0, 0, 0}));
}

TEST(IcoFileTest, ImagesReadBackAsWritten) {
  const std::vector<IconImage> images = {
      Square(1, [](int, int) { return kHalfBlue; }),
      Square(16, [](int c, int r) { return (c + r) % 3 == 0 ? kClear : kOpaqueRed; }),
      Square(48,
             [](int c, int r) {
               return Rgba{static_cast<std::uint8_t>(c * 5), static_cast<std::uint8_t>(r * 5), 7,
                           static_cast<std::uint8_t>(c == r ? 0 : 200)};
             }),
      Square(256, [](int c, int r) { return c < r ? kClear : kOpaqueRed; }),
  };
  const std::vector<IconImage> read = DecodeIco(EncodeIco(images));
  ASSERT_EQ(read.size(), images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    EXPECT_EQ(read[i].size, images[i].size);
    EXPECT_TRUE(read[i].pixels == images[i].pixels) << "image " << i;
  }
}

TEST(IcoFileTest, WritingRejectsWhatNoIconCanHold) {
  EXPECT_THROW(EncodeIco({}), BmpError);
  EXPECT_THROW(EncodeIco({IconImage{0, {}}}), BmpError);
  EXPECT_THROW(EncodeIco({IconImage{257, std::vector<Rgba>(257 * 257)}}), BmpError);
  EXPECT_THROW(EncodeIco({IconImage{2, std::vector<Rgba>(3)}}), BmpError);
}

class IcoCorruptionTest : public ::testing::TestWithParam<Corruption> {};

TEST_P(IcoCorruptionTest, IsRejected) {
  // Images of 2 and 3 pixels, the first fully opaque, the second with a clear corner.
  std::vector<std::uint8_t> bytes =
      EncodeIco({Square(2, [](int, int) { return kOpaqueRed; }),
                 Square(3, [](int c, int r) { return c == 0 && r == 0 ? kClear : kOpaqueRed; })});
  ASSERT_NO_THROW(DecodeIco(bytes));
  GetParam().apply(bytes);
  EXPECT_THROW(DecodeIco(bytes), BmpError);
}

// Offsets: entries at 6 and 22, the first image at 38 (its mask at 38 + 40 + 16), the second at
// 38 + 64 = 102 (its colour rows at 142, the mask's top row, stored last, at 142 + 36 + 8).
INSTANTIATE_TEST_SUITE_P(
    Cases, IcoCorruptionTest,
    ::testing::Values(
        Corruption{"Empty", [](auto& b) { b.clear(); }},
        Corruption{"ACursor", [](auto& b) { b[2] = 2; }},
        Corruption{"NoImages", [](auto& b) { b[4] = 0; }},
        Corruption{"CutInsideTheEntries", [](auto& b) { b.resize(30); }},
        Corruption{"CutInsideTheLastImage", [](auto& b) { b.pop_back(); }},
        Corruption{"TrailingByte", [](auto& b) { b.push_back(0); }},
        Corruption{"NotSquare", [](auto& b) { b[7] = 3; }},
        Corruption{"EightBits", [](auto& b) { b[12] = 8; }},
        Corruption{"SizeFieldWrong", [](auto& b) { PutU32(b, 14, U32At(b, 14) + 4); }},
        Corruption{"OffsetWithAGap", [](auto& b) { PutU32(b, 34, U32At(b, 34) + 4); }},
        Corruption{"HeightNotDoubled", [](auto& b) { PutU32(b, 38 + 8, 2); }},
        Corruption{"Compressed", [](auto& b) { PutU32(b, 38 + 16, 3); }},
        Corruption{"ClearPixelNotMasked", [](auto& b) { b[142 + 36 + 8] = 0; }},
        Corruption{"OpaquePixelMasked", [](auto& b) { b[38 + 40 + 16] = 0x80; }},
        Corruption{"MaskPaddingSet", [](auto& b) { b[38 + 40 + 16 + 1] = 0x01; }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zarvo::pictures
