// Headers, section table, import and delay-load directories; every read is bounds-checked.
#include "tests/app/PeImports.h"

#include <algorithm>
#include <cstddef>

namespace zarvo::testing {
namespace {

class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::uint32_t U16(std::size_t offset) const { return Read(offset, 2); }
  std::uint32_t U32(std::size_t offset) const { return Read(offset, 4); }
  std::uint64_t U64(std::size_t offset) const {
    return Read(offset, 4) | static_cast<std::uint64_t>(Read(offset + 4, 4)) << 32;
  }
  bool Zero(std::size_t offset, std::size_t n) const {
    Check(offset, n);
    return std::all_of(bytes_.begin() + static_cast<std::ptrdiff_t>(offset),
                       bytes_.begin() + static_cast<std::ptrdiff_t>(offset + n),
                       [](std::uint8_t b) { return b == 0; });
  }
  std::string CString(std::size_t offset) const {
    std::string text;
    for (;; ++offset) {
      Check(offset, 1);
      if (bytes_[offset] == 0) return text;
      text.push_back(static_cast<char>(bytes_[offset]));
    }
  }

 private:
  void Check(std::size_t offset, std::size_t n) const {
    if (offset > bytes_.size() || n > bytes_.size() - offset)
      throw PeError("read of " + std::to_string(n) + " bytes at " + std::to_string(offset) +
                    " past the end (" + std::to_string(bytes_.size()) + ")");
  }
  std::uint32_t Read(std::size_t offset, std::size_t n) const {
    Check(offset, n);
    std::uint32_t value = 0;
    for (std::size_t i = n; i-- > 0;) value = value << 8 | bytes_[offset + i];
    return value;
  }

  std::span<const std::uint8_t> bytes_;
};

struct Section {
  std::uint32_t address;
  std::uint32_t size;  // the larger of the virtual and the raw size
  std::uint32_t rawSize;
  std::uint32_t rawOffset;
};

class Image {
 public:
  explicit Image(std::span<const std::uint8_t> file) : reader_(file) {
    if (reader_.U16(0) != 0x5A4D) throw PeError("no MZ signature");
    const std::size_t pe = reader_.U32(0x3C);
    if (reader_.U32(pe) != 0x00004550) throw PeError("no PE signature");
    machine_ = static_cast<std::uint16_t>(reader_.U16(pe + 4));
    const std::size_t sectionCount = reader_.U16(pe + 6);
    const std::size_t optionalSize = reader_.U16(pe + 20);
    optional_ = pe + 24;
    const std::uint32_t magic = reader_.U16(optional_);
    if (magic == 0x10B) {
      imageBase_ = reader_.U32(optional_ + 28);
      directoryCount_ = reader_.U32(optional_ + 92);
      directories_ = optional_ + 96;
    } else if (magic == 0x20B) {
      imageBase_ = reader_.U64(optional_ + 24);
      directoryCount_ = reader_.U32(optional_ + 108);
      directories_ = optional_ + 112;
    } else {
      throw PeError("optional header magic " + std::to_string(magic));
    }
    if (directories_ + 8 * static_cast<std::size_t>(directoryCount_) > optional_ + optionalSize)
      throw PeError("data directories run past the optional header");
    const std::size_t table = optional_ + optionalSize;
    for (std::size_t i = 0; i < sectionCount; ++i) {
      const std::size_t entry = table + 40 * i;
      const std::uint32_t virtualSize = reader_.U32(entry + 8);
      const std::uint32_t rawSize = reader_.U32(entry + 16);
      sections_.push_back({reader_.U32(entry + 12), std::max(virtualSize, rawSize), rawSize,
                           reader_.U32(entry + 20)});
    }
  }

  const Reader& Bytes() const { return reader_; }
  std::uint16_t Machine() const { return machine_; }
  std::uint64_t ImageBase() const { return imageBase_; }

  // The directory's address, or 0 when the program has none.
  std::uint32_t Directory(std::size_t index) const {
    if (index >= directoryCount_) return 0;
    return reader_.U32(directories_ + 8 * index);
  }

  // The file offset of an address in the image; it must lie in a section's file bytes.
  std::size_t Offset(std::uint64_t address) const {
    for (const Section& s : sections_) {
      if (address >= s.address && address - s.address < s.size) {
        const std::uint64_t into = address - s.address;
        if (into >= s.rawSize)
          throw PeError("address " + std::to_string(address) + " has no file bytes");
        return static_cast<std::size_t>(s.rawOffset + into);
      }
    }
    throw PeError("address " + std::to_string(address) + " lies in no section");
  }

 private:
  Reader reader_;
  std::uint16_t machine_ = 0;
  std::size_t optional_ = 0;
  std::uint64_t imageBase_ = 0;
  std::uint32_t directoryCount_ = 0;
  std::size_t directories_ = 0;
  std::vector<Section> sections_;
};

constexpr std::size_t kImportDirectory = 1;
constexpr std::size_t kDelayImportDirectory = 13;

}  // namespace

PeImports ReadPeImports(std::span<const std::uint8_t> file) {
  const Image image(file);
  const Reader& bytes = image.Bytes();
  PeImports imports;
  imports.machine = image.Machine();

  // Descriptors of 20 bytes, the name's address at 12, ended by one of zeros.
  if (const std::uint32_t table = image.Directory(kImportDirectory)) {
    for (std::size_t entry = image.Offset(table);; entry += 20) {
      if (bytes.Zero(entry, 20)) break;
      imports.dlls.push_back(bytes.CString(image.Offset(bytes.U32(entry + 12))));
    }
  }
  // Descriptors of 32 bytes, the name at 4; without attribute bit 0 the addresses are virtual.
  if (const std::uint32_t table = image.Directory(kDelayImportDirectory)) {
    for (std::size_t entry = image.Offset(table);; entry += 32) {
      if (bytes.Zero(entry, 32)) break;
      std::uint64_t name = bytes.U32(entry + 4);
      if ((bytes.U32(entry) & 1) == 0) {
        if (name < image.ImageBase()) throw PeError("delay-load name below the image base");
        name -= image.ImageBase();
      }
      imports.delayed.push_back(bytes.CString(image.Offset(name)));
    }
  }
  return imports;
}

}  // namespace zarvo::testing
