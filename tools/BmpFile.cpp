// Writing and reading uncompressed bottom-up BMP files, and ICO files of 32-bit images.
#include "tools/BmpFile.h"

#include <algorithm>
#include <cstddef>
#include <ostream>
#include <string>
#include <utility>

namespace zarvo::pictures {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
// No picture of ours comes near this; it keeps the size arithmetic far from overflow.
constexpr int kMaxSide = 4096;

bool ValidDepth(int bitsPerPixel) {
  return bitsPerPixel == 4 || bitsPerPixel == 8 || bitsPerPixel == 24;
}

std::size_t RowStride(int width, int bitsPerPixel) {
  const std::size_t bits = static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel);
  return (bits + 31) / 32 * 4;
}

void CheckShape(int width, int height, int bitsPerPixel, std::size_t paletteSize) {
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) {
    throw BmpError("bitmap size " + std::to_string(width) + " x " + std::to_string(height) +
                   " is out of range");
  }
  if (!ValidDepth(bitsPerPixel)) {
    throw BmpError("unsupported bits per pixel: " + std::to_string(bitsPerPixel));
  }
  if (bitsPerPixel == 24 && paletteSize != 0) {
    throw BmpError("a 24-bit bitmap has no palette");
  }
  if (bitsPerPixel != 24 && (paletteSize < 1 || paletteSize > (std::size_t{1} << bitsPerPixel))) {
    throw BmpError("palette of " + std::to_string(paletteSize) + " entries does not suit " +
                   std::to_string(bitsPerPixel) + " bits per pixel");
  }
}

class Writer {
 public:
  void U8(std::uint8_t value) { bytes_.push_back(value); }
  void U16(std::uint16_t value) {
    U8(static_cast<std::uint8_t>(value));
    U8(static_cast<std::uint8_t>(value >> 8));
  }
  void U32(std::uint32_t value) {
    U16(static_cast<std::uint16_t>(value));
    U16(static_cast<std::uint16_t>(value >> 16));
  }
  std::vector<std::uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<std::uint8_t> bytes_;
};

// A span and a cursor; every read is checked against what is left, in subtract form.
class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t Position() const { return position_; }
  std::size_t Left() const { return bytes_.size() - position_; }

  void Need(std::size_t count, const char* what) const {
    if (count > Left()) {
      throw BmpError(std::string("file ends inside the ") + what);
    }
  }
  std::uint8_t U8() {
    Need(1, "data");
    return bytes_[position_++];
  }
  std::uint16_t U16() {
    const std::uint16_t low = U8();
    return static_cast<std::uint16_t>(low | (U8() << 8));
  }
  std::uint32_t U32() {
    const std::uint32_t low = U16();
    return low | (static_cast<std::uint32_t>(U16()) << 16);
  }
  std::span<const std::uint8_t> Bytes(std::size_t count, const char* what) {
    Need(count, what);
    const auto part = bytes_.subspan(position_, count);
    position_ += count;
    return part;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

constexpr std::size_t kIconDirectorySize = 6;
constexpr std::size_t kIconEntrySize = 16;
constexpr int kMaxIconSide = 256;

std::size_t IconColourBytes(int size) {
  return static_cast<std::size_t>(size) * static_cast<std::size_t>(size) * 4;
}

std::size_t IconImageBytes(int size) {
  return kInfoHeaderSize + IconColourBytes(size) +
         RowStride(size, 1) * static_cast<std::size_t>(size);
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const Rgba& colour) {
  return out << "(" << int{colour.red} << ", " << int{colour.green} << ", " << int{colour.blue}
             << ", alpha " << int{colour.alpha} << ")";
}

const Rgba& IconImage::At(int column, int row) const {
  if (column < 0 || column >= size || row < 0 || row >= size) {
    throw std::out_of_range("pixel (" + std::to_string(column) + ", " + std::to_string(row) +
                            ") is outside the icon image");
  }
  return pixels[static_cast<std::size_t>(row) * static_cast<std::size_t>(size) +
                static_cast<std::size_t>(column)];
}

Rgba& IconImage::At(int column, int row) {
  return const_cast<Rgba&>(static_cast<const IconImage&>(*this).At(column, row));
}

std::ostream& operator<<(std::ostream& out, const Rgb& colour) {
  return out << "(" << int{colour.red} << ", " << int{colour.green} << ", " << int{colour.blue}
             << ")";
}

Bitmap::Bitmap(int width, int height, int bitsPerPixel, std::vector<Rgb> palette, Rgb fill)
    : width(width),
      height(height),
      bitsPerPixel(bitsPerPixel),
      palette(std::move(palette)),
      pixels(static_cast<std::size_t>(std::max(width, 0)) *
                 static_cast<std::size_t>(std::max(height, 0)),
             fill) {}

const Rgb& Bitmap::At(int column, int row) const {
  if (column < 0 || column >= width || row < 0 || row >= height) {
    throw std::out_of_range("pixel (" + std::to_string(column) + ", " + std::to_string(row) +
                            ") is outside the bitmap");
  }
  return pixels[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) +
                static_cast<std::size_t>(column)];
}

Rgb& Bitmap::At(int column, int row) {
  return const_cast<Rgb&>(static_cast<const Bitmap&>(*this).At(column, row));
}

std::vector<std::uint8_t> EncodeBmp(const Bitmap& bitmap) {
  CheckShape(bitmap.width, bitmap.height, bitmap.bitsPerPixel, bitmap.palette.size());
  if (bitmap.pixels.size() !=
      static_cast<std::size_t>(bitmap.width) * static_cast<std::size_t>(bitmap.height)) {
    throw BmpError("pixel count does not match the bitmap size");
  }
  const std::size_t stride = RowStride(bitmap.width, bitmap.bitsPerPixel);
  const std::size_t imageSize = stride * static_cast<std::size_t>(bitmap.height);
  const std::size_t offBits = kFileHeaderSize + kInfoHeaderSize + 4 * bitmap.palette.size();

  Writer out;
  out.U8('B');
  out.U8('M');
  out.U32(static_cast<std::uint32_t>(offBits + imageSize));
  out.U32(0);  // two reserved words
  out.U32(static_cast<std::uint32_t>(offBits));

  out.U32(kInfoHeaderSize);
  out.U32(static_cast<std::uint32_t>(bitmap.width));
  out.U32(static_cast<std::uint32_t>(bitmap.height));  // positive: bottom-up
  out.U16(1);                                          // planes
  out.U16(static_cast<std::uint16_t>(bitmap.bitsPerPixel));
  out.U32(0);  // BI_RGB
  out.U32(static_cast<std::uint32_t>(imageSize));
  out.U32(0);  // no stated resolution
  out.U32(0);
  out.U32(static_cast<std::uint32_t>(bitmap.palette.size()));
  out.U32(0);  // all colours important

  for (const Rgb& colour : bitmap.palette) {
    out.U8(colour.blue);
    out.U8(colour.green);
    out.U8(colour.red);
    out.U8(0);
  }

  for (int row = bitmap.height - 1; row >= 0; --row) {
    std::size_t written = 0;
    if (bitmap.bitsPerPixel == 24) {
      for (int column = 0; column < bitmap.width; ++column) {
        const Rgb& colour = bitmap.At(column, row);
        out.U8(colour.blue);
        out.U8(colour.green);
        out.U8(colour.red);
        written += 3;
      }
    } else {
      std::vector<std::uint8_t> indices;
      for (int column = 0; column < bitmap.width; ++column) {
        const Rgb& colour = bitmap.At(column, row);
        const auto found = std::find(bitmap.palette.begin(), bitmap.palette.end(), colour);
        if (found == bitmap.palette.end()) {
          throw BmpError("pixel (" + std::to_string(column) + ", " + std::to_string(row) +
                         ") has a colour that is not in the palette");
        }
        indices.push_back(static_cast<std::uint8_t>(found - bitmap.palette.begin()));
      }
      if (bitmap.bitsPerPixel == 8) {
        for (std::uint8_t index : indices) out.U8(index);
        written = indices.size();
      } else {
        // Two pixels a byte, the left one in the high nibble.
        for (std::size_t i = 0; i < indices.size(); i += 2) {
          const std::uint8_t right = i + 1 < indices.size() ? indices[i + 1] : 0;
          out.U8(static_cast<std::uint8_t>(indices[i] << 4 | right));
        }
        written = (indices.size() + 1) / 2;
      }
    }
    for (; written < stride; ++written) out.U8(0);
  }
  return out.Take();
}

Bitmap DecodeBmp(std::span<const std::uint8_t> bytes) {
  Reader in(bytes);
  in.Need(kFileHeaderSize, "file header");
  if (in.U8() != 'B' || in.U8() != 'M') {
    throw BmpError("not a BMP file: it does not start with \"BM\"");
  }
  const std::uint32_t fileSize = in.U32();
  if (fileSize != bytes.size()) {
    throw BmpError("file header gives " + std::to_string(fileSize) + " bytes, the file has " +
                   std::to_string(bytes.size()));
  }
  if (in.U32() != 0) {
    throw BmpError("reserved words of the file header are not zero");
  }
  const std::uint32_t offBits = in.U32();

  in.Need(kInfoHeaderSize, "info header");
  if (in.U32() != kInfoHeaderSize) {
    throw BmpError("info header is not a BITMAPINFOHEADER");
  }
  const auto width = static_cast<std::int32_t>(in.U32());
  const auto height = static_cast<std::int32_t>(in.U32());
  if (height < 0) {
    throw BmpError("top-down bitmaps are not supported");
  }
  if (in.U16() != 1) {
    throw BmpError("plane count is not 1");
  }
  const int bitsPerPixel = in.U16();
  if (in.U32() != 0) {
    throw BmpError("compressed bitmaps are not supported");
  }
  const std::uint32_t imageSize = in.U32();
  in.U32();  // resolution
  in.U32();
  const std::uint32_t colorsUsed = in.U32();
  in.U32();  // important colours

  if (!ValidDepth(bitsPerPixel)) {
    throw BmpError("unsupported bits per pixel: " + std::to_string(bitsPerPixel));
  }
  std::size_t paletteSize = 0;
  if (bitsPerPixel != 24) {
    const std::size_t full = std::size_t{1} << bitsPerPixel;
    if (colorsUsed > full) {
      throw BmpError("palette of " + std::to_string(colorsUsed) + " entries does not suit " +
                     std::to_string(bitsPerPixel) + " bits per pixel");
    }
    paletteSize = colorsUsed == 0 ? full : colorsUsed;
  } else if (colorsUsed != 0) {
    throw BmpError("a 24-bit bitmap has no palette");
  }
  CheckShape(width, height, bitsPerPixel, paletteSize);

  Bitmap bitmap;
  bitmap.width = width;
  bitmap.height = height;
  bitmap.bitsPerPixel = bitsPerPixel;
  const auto paletteBytes = in.Bytes(4 * paletteSize, "palette");
  for (std::size_t i = 0; i < paletteSize; ++i) {
    bitmap.palette.push_back(
        {paletteBytes[4 * i + 2], paletteBytes[4 * i + 1], paletteBytes[4 * i]});
  }
  if (offBits != in.Position()) {
    throw BmpError("pixel data offset " + std::to_string(offBits) +
                   " does not follow the palette at " + std::to_string(in.Position()));
  }

  const std::size_t stride = RowStride(width, bitsPerPixel);
  const std::size_t expectedImage = stride * static_cast<std::size_t>(height);
  if (imageSize != 0 && imageSize != expectedImage) {
    throw BmpError("image size " + std::to_string(imageSize) + " does not match " +
                   std::to_string(expectedImage) + " bytes of rows");
  }
  const auto image = in.Bytes(expectedImage, "pixel rows");
  if (in.Left() != 0) {
    throw BmpError(std::to_string(in.Left()) + " bytes follow the pixel rows");
  }

  bitmap.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int row = 0; row < height; ++row) {
    const auto line = image.subspan(static_cast<std::size_t>(height - 1 - row) * stride, stride);
    for (int column = 0; column < width; ++column) {
      const auto c = static_cast<std::size_t>(column);
      if (bitsPerPixel == 24) {
        bitmap.At(column, row) = {line[3 * c + 2], line[3 * c + 1], line[3 * c]};
        continue;
      }
      const std::size_t index =
          bitsPerPixel == 8 ? line[c] : (c % 2 == 0 ? line[c / 2] >> 4 : line[c / 2] & 0x0F);
      if (index >= paletteSize) {
        throw BmpError("pixel (" + std::to_string(column) + ", " + std::to_string(row) +
                       ") uses palette entry " + std::to_string(index) + " of " +
                       std::to_string(paletteSize));
      }
      bitmap.At(column, row) = bitmap.palette[index];
    }
  }
  return bitmap;
}

std::vector<std::uint8_t> EncodeIco(const std::vector<IconImage>& images) {
  if (images.empty() || images.size() > 0xFFFF) throw BmpError("an icon holds 1 to 65535 images");
  for (const IconImage& image : images) {
    if (image.size < 1 || image.size > kMaxIconSide) {
      throw BmpError("icon image size " + std::to_string(image.size) + " is out of range");
    }
    if (image.pixels.size() !=
        static_cast<std::size_t>(image.size) * static_cast<std::size_t>(image.size)) {
      throw BmpError("pixel count does not match the icon image size");
    }
  }
  Writer out;
  out.U16(0);  // reserved
  out.U16(1);  // an icon, not a cursor
  out.U16(static_cast<std::uint16_t>(images.size()));
  std::size_t offset = kIconDirectorySize + kIconEntrySize * images.size();
  for (const IconImage& image : images) {
    const auto side = static_cast<std::uint8_t>(image.size == kMaxIconSide ? 0 : image.size);
    out.U8(side);
    out.U8(side);
    out.U8(0);   // no palette
    out.U8(0);   // reserved
    out.U16(1);  // planes
    out.U16(32);
    out.U32(static_cast<std::uint32_t>(IconImageBytes(image.size)));
    out.U32(static_cast<std::uint32_t>(offset));
    offset += IconImageBytes(image.size);
  }
  for (const IconImage& image : images) {
    const std::size_t maskStride = RowStride(image.size, 1);
    out.U32(kInfoHeaderSize);
    out.U32(static_cast<std::uint32_t>(image.size));
    out.U32(static_cast<std::uint32_t>(2 * image.size));  // colour rows and mask rows
    out.U16(1);
    out.U16(32);
    out.U32(0);  // BI_RGB
    out.U32(static_cast<std::uint32_t>(IconImageBytes(image.size) - kInfoHeaderSize));
    for (int i = 0; i < 4; ++i) out.U32(0);  // resolution, palette
    for (int row = image.size - 1; row >= 0; --row) {
      for (int column = 0; column < image.size; ++column) {
        const Rgba& colour = image.At(column, row);
        out.U8(colour.blue);
        out.U8(colour.green);
        out.U8(colour.red);
        out.U8(colour.alpha);
      }
    }
    // The mask matters only to systems that ignore alpha; it leaves out what alpha leaves out.
    for (int row = image.size - 1; row >= 0; --row) {
      std::vector<std::uint8_t> line(maskStride, 0);
      for (int column = 0; column < image.size; ++column) {
        if (image.At(column, row).alpha == 0) {
          line[static_cast<std::size_t>(column) / 8] |=
              static_cast<std::uint8_t>(0x80 >> (column % 8));
        }
      }
      for (std::uint8_t byte : line) out.U8(byte);
    }
  }
  return out.Take();
}

std::vector<IconImage> DecodeIco(std::span<const std::uint8_t> bytes) {
  Reader in(bytes);
  in.Need(kIconDirectorySize, "icon directory");
  if (in.U16() != 0 || in.U16() != 1) throw BmpError("not an icon file");
  const std::size_t count = in.U16();
  if (count == 0) throw BmpError("the icon holds no image");
  in.Need(kIconEntrySize * count, "icon directory entries");

  struct Entry {
    int size;
    std::uint32_t bytes;
    std::uint32_t offset;
  };
  std::vector<Entry> entries;
  std::size_t expectedOffset = kIconDirectorySize + kIconEntrySize * count;
  for (std::size_t i = 0; i < count; ++i) {
    const int width = in.U8();
    const int height = in.U8();
    const int colours = in.U8();
    const int reserved = in.U8();
    const int planes = in.U16();
    const int bits = in.U16();
    const std::uint32_t size = in.U32();
    const std::uint32_t offset = in.U32();
    const int side = width == 0 ? kMaxIconSide : width;
    const std::string which = "icon entry " + std::to_string(i);
    if (width != height) throw BmpError(which + " is not square");
    if (colours != 0 || reserved != 0 || planes != 1 || bits != 32) {
      throw BmpError(which + " is not a 32-bit image");
    }
    if (size != IconImageBytes(side)) {
      throw BmpError(which + " gives " + std::to_string(size) + " bytes, a " +
                     std::to_string(side) + "-pixel image has " +
                     std::to_string(IconImageBytes(side)));
    }
    if (offset != expectedOffset) {
      throw BmpError(which + " starts at " + std::to_string(offset) +
                     ", not right after the one before at " + std::to_string(expectedOffset));
    }
    expectedOffset += size;
    entries.push_back({side, size, offset});
  }

  std::vector<IconImage> images;
  for (std::size_t i = 0; i < count; ++i) {
    const Entry& entry = entries[i];
    const std::string which = "icon image " + std::to_string(i);
    in.Need(kInfoHeaderSize, "icon image header");
    const std::uint32_t headerSize = in.U32();
    const std::uint32_t width = in.U32();
    const std::uint32_t height = in.U32();
    const int planes = in.U16();
    const int bits = in.U16();
    const std::uint32_t compression = in.U32();
    const std::uint32_t imageSize = in.U32();
    if (headerSize != kInfoHeaderSize || width != static_cast<std::uint32_t>(entry.size) ||
        height != static_cast<std::uint32_t>(2 * entry.size) || planes != 1 || bits != 32 ||
        compression != 0 || imageSize != entry.bytes - kInfoHeaderSize) {
      throw BmpError(which + " header does not match its entry");
    }
    for (int k = 0; k < 4; ++k) {
      if (in.U32() != 0) throw BmpError(which + " header has resolution or palette fields");
    }
    const auto colour = in.Bytes(IconColourBytes(entry.size), "icon image rows");
    const std::size_t maskStride = RowStride(entry.size, 1);
    const auto mask =
        in.Bytes(maskStride * static_cast<std::size_t>(entry.size), "icon image mask");

    IconImage image;
    image.size = entry.size;
    image.pixels.resize(static_cast<std::size_t>(entry.size) *
                        static_cast<std::size_t>(entry.size));
    for (int row = 0; row < entry.size; ++row) {
      const std::size_t fileRow = static_cast<std::size_t>(entry.size - 1 - row);
      const auto line = colour.subspan(fileRow * static_cast<std::size_t>(entry.size) * 4,
                                       static_cast<std::size_t>(entry.size) * 4);
      const auto maskLine = mask.subspan(fileRow * maskStride, maskStride);
      for (int column = 0; column < entry.size; ++column) {
        const auto c = static_cast<std::size_t>(column);
        const Rgba pixel{line[4 * c + 2], line[4 * c + 1], line[4 * c], line[4 * c + 3]};
        const bool masked = (maskLine[c / 8] & (0x80 >> (c % 8))) != 0;
        if (masked != (pixel.alpha == 0)) {
          throw BmpError(which + ": the mask and alpha disagree at (" + std::to_string(column) +
                         ", " + std::to_string(row) + ")");
        }
        image.At(column, row) = pixel;
      }
      for (std::size_t c = static_cast<std::size_t>(entry.size); c < maskStride * 8; ++c) {
        if ((maskLine[c / 8] & (0x80 >> (c % 8))) != 0) {
          throw BmpError(which + ": mask padding bits are set in row " + std::to_string(row));
        }
      }
    }
    images.push_back(std::move(image));
  }
  if (in.Left() != 0)
    throw BmpError(std::to_string(in.Left()) + " bytes follow the last icon image");
  return images;
}

}  // namespace zarvo::pictures
