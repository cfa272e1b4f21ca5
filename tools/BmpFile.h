// Windows BMP files in the one shape the program's bitmap resources use: an uncompressed
// BITMAPINFOHEADER image, bottom-up, 4 or 8 bits per pixel with a palette, or 24 bits per pixel.
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

// The bytes do not form a BMP of that shape, or a bitmap cannot be written as one.
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

}  // namespace zarvo::pictures
