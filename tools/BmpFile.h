// Windows BMP files in the one shape the program's bitmap resources use: an uncompressed
// BITMAPINFOHEADER image, bottom-up, 4 or 8 bits per pixel with a palette, or 24 bits per pixel.
// And ICO files of 32-bit images, whose images are the same kind of bitmap without a file header.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <span>
#include <stdexcept>
#include <vector>

namespace zarvo::pictures {

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;

  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// "(red, green, blue)", for messages and test output.
std::ostream& operator<<(std::ostream& out, const Rgb& colour);

// An image held as colours whatever its file form; a palette image keeps its palette, and
// every pixel must be one of its entries (the first equal entry is the one written).
struct Bitmap {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 24;     // 4, 8 or 24
  std::vector<Rgb> palette;  // 16 or 256 entries for 4 and 8 bits, empty for 24
  std::vector<Rgb> pixels;   // width * height, row by row from the top-left pixel

  Bitmap() = default;
  Bitmap(int width, int height, int bitsPerPixel, std::vector<Rgb> palette, Rgb fill);

  const Rgb& At(int column, int row) const;
  Rgb& At(int column, int row);
};

// A colour with straight (not premultiplied) alpha, for icon images.
struct Rgba {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  std::uint8_t alpha = 0;

  friend bool operator==(const Rgba&, const Rgba&) = default;
};

std::ostream& operator<<(std::ostream& out, const Rgba& colour);

// One square image of an icon.
struct IconImage {
  int size = 0;              // 1 to 256 pixels a side
  std::vector<Rgba> pixels;  // size * size, row by row from the top-left pixel

  const Rgba& At(int column, int row) const;
  Rgba& At(int column, int row);
};

// The bytes do not form a BMP (or ICO) of that shape, or a picture cannot be written as one.
class BmpError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// BITMAPFILEHEADER, BITMAPINFOHEADER with the palette's size in biClrUsed, the palette, then
// the rows bottom-up, each padded with zero bytes to a multiple of 4.
std::vector<std::uint8_t> EncodeBmp(const Bitmap& bitmap);

// Accepts what EncodeBmp writes, also with biClrUsed or biSizeImage left 0 as other writers
// do; anything else, a truncated file or trailing bytes included, throws BmpError naming the fault.
Bitmap DecodeBmp(std::span<const std::uint8_t> bytes);

// ICONDIR, one 16-byte ICONDIRENTRY an image, then the images in that order: each a
// BITMAPINFOHEADER with the height doubled, 32-bit BGRA rows bottom-up, and the AND mask (one
// bit a pixel, rows padded to 4 bytes) set exactly where alpha is 0.
std::vector<std::uint8_t> EncodeIco(const std::vector<IconImage>& images);

// Accepts exactly what EncodeIco writes; anything else throws BmpError naming the fault.
std::vector<IconImage> DecodeIco(std::span<const std::uint8_t> bytes);

}  // namespace zarvo::pictures
