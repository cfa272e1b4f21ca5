// Deterministic fuzz inputs made with the archive writer.
#include "tests/fuzz/FuzzCorpus.h"

#include <cstring>
#include <limits>
#include <string_view>

#include "payload/DateTime.h"
#include "tools/ArchiveWriter.h"
#include "tests/support/Sequence.h"

namespace zarvo::fuzz {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Where an entry's fields lie in its archive.
struct EntryLayout {
  std::size_t offset = 0;  // the name length byte
  std::size_t nameLength = 0;
  std::size_t dataOffset = 0;
  std::size_t packSize = 0;
  std::size_t end() const { return dataOffset + packSize; }
};

struct Seed {
  std::string label;
  Bytes bytes;
  std::vector<EntryLayout> entries;

  void Add(std::string_view name, std::string_view content, std::uint32_t date) {
    const Bytes data(content.begin(), content.end());
    EntryLayout layout;
    layout.offset = bytes.size();
    layout.nameLength = name.size();
    tools::AppendEntry(bytes, name, data, date);
    layout.dataOffset = layout.offset + 13 + name.size();
    layout.packSize = bytes.size() - layout.dataOffset;
    entries.push_back(layout);
  }
};

using zarvo::testing::Sequence;

std::string Words(std::size_t length, std::uint64_t seed) {
  static constexpr std::string_view words[] = {"zarvo ", "setup ",   "payload ", "folder ",
                                               "файл ",  "install ", "list\r\n", "edition "};
  Sequence random(seed);
  std::string text;
  while (text.size() < length) text += words[random.Below(std::size(words))];
  text.resize(length);
  return text;
}

std::string Noise(std::size_t length, std::uint64_t seed) {
  Sequence random(seed);
  std::string text(length, '\0');
  for (char& c : text) c = static_cast<char>(random.Next());
  return text;
}

std::uint32_t Date(int year, int month, int day, int hour, int minute, int second) {
  payload::DateTimeFields fields;
  fields.Year = year;
  fields.Month = month;
  fields.Day = day;
  fields.Hour = hour;
  fields.Minute = minute;
  fields.Second = second;
  return payload::EncodeDosDateTime(fields);
}

std::vector<Seed> Seeds() {
  std::vector<Seed> seeds;
  {
    Seed seed{"product", {}, {}};
    seed.Add("list",
             "ZarvoF.exe||#|Program\r\ndocs\\en\\readme.txt||#|Read-me\r\n"
             "cfg\\user.ini|O|#|User settings\r\nbin\\lite.dll|F|#|LITE\r\n"
             "bin\\pro.dll|P|#|PRO\r\ncache\\*.tmp|K|\r\n"
             "empty.dat|OOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOO|#|long flags\r\n",
             0);
    seed.Add("ZarvoF.exe", Words(700, 1), Date(2021, 3, 4, 5, 6, 6));
    seed.Add("docs\\en\\readme.txt", "Read me\r\n", Date(1980, 1, 1, 0, 0, 0));
    seed.Add("cfg\\user.ini", "[Settings]\r\n", Date(2107, 12, 31, 23, 59, 58));
    seed.Add("bin\\lite.dll", Noise(40, 2), Date(2000, 2, 29, 12, 0, 0));
    seed.Add("BIN\\PRO.DLL", "pro", Date(2020, 6, 1, 1, 2, 4));
    seed.Add("empty.dat", "", Date(2020, 6, 1, 1, 2, 4));
    seeds.push_back(std::move(seed));
  }
  {
    Seed seed{"odd names", {}, {}};
    seed.Add("", "entry with an empty name", Date(2010, 10, 10, 10, 10, 10));
    seed.Add("list", std::string_view("\xEF\xBB\xBFone\rtwo\nthree\r\n\r\nfour\0after the NUL", 38),
             0);
    seed.Add("ПАПКА\\Файл.txt", "кириллица", Date(2015, 5, 5, 5, 5, 4));
    seed.Add(std::string(255, 'n'), "longest name", Date(2015, 5, 5, 5, 5, 4));
    seeds.push_back(std::move(seed));
  }
  {
    Seed seed{"incompressible", {}, {}};
    seed.Add("list", "noise.bin||#|x\r\n", 0);
    seed.Add("noise.bin", Noise(3000, 3), Date(2022, 1, 1, 0, 0, 0));
    seeds.push_back(std::move(seed));
  }
  {
    Seed seed{"several blocks", {}, {}};
    seed.Add("big.txt", Words(200'000, 4) + Noise(20'000, 5), Date(2023, 7, 7, 7, 7, 6));
    seed.Add("list", "big.txt||#|x\r\n", 0);
    seeds.push_back(std::move(seed));
  }
  seeds.push_back(Seed{"empty archive", {}, {}});
  return seeds;
}

void PutInt32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t GetInt32(const Bytes& bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | bytes[offset + i];
  return value;
}

Bytes Slice(const Bytes& bytes, std::size_t from, std::size_t to) {
  return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from),
               bytes.begin() + static_cast<std::ptrdiff_t>(to));
}

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

void AddTruncations(const Seed& seed, std::vector<FuzzInput>& out) {
  const std::size_t size = seed.bytes.size();
  std::vector<std::size_t> lengths;
  if (size <= 1200) {
    for (std::size_t n = 0; n < size; ++n) lengths.push_back(n);
  } else {
    for (const EntryLayout& e : seed.entries)
      for (std::size_t at : {e.offset, e.dataOffset, e.end()})
        for (std::size_t delta = 0; delta < 3; ++delta) {
          if (at >= delta && at - delta < size) lengths.push_back(at - delta);
          if (at + delta + 1 < size) lengths.push_back(at + delta + 1);
        }
    Sequence random(size);
    for (int i = 0; i < 60; ++i) lengths.push_back(random.Below(size));
  }
  for (std::size_t n : lengths)
    out.push_back({seed.label + ": cut to " + std::to_string(n), Slice(seed.bytes, 0, n)});
}

void AddBitFlips(const Seed& seed, std::vector<FuzzInput>& out) {
  // Every bit of every header, and of the zlib header and trailer of each stream.
  for (const EntryLayout& e : seed.entries) {
    std::vector<std::size_t> positions;
    for (std::size_t at = e.offset; at < e.dataOffset; ++at)
      if (at == e.offset || at >= e.offset + 1 + e.nameLength || at < e.offset + 4)
        positions.push_back(at);
    for (std::size_t at = e.dataOffset; at < e.end() && at < e.dataOffset + 2; ++at)
      positions.push_back(at);
    for (std::size_t at = e.end() >= 4 ? e.end() - 4 : 0; at < e.end(); ++at)
      positions.push_back(at);
    for (std::size_t at : positions)
      for (int bit = 0; bit < 8; ++bit) {
        Bytes bytes = seed.bytes;
        bytes[at] ^= static_cast<std::uint8_t>(1u << bit);
        out.push_back(
            {seed.label + ": bit " + std::to_string(bit) + " of byte " + std::to_string(at),
             std::move(bytes)});
      }
  }
  // Scattered flips in the deflate data.
  if (seed.bytes.empty()) return;
  Sequence random(seed.bytes.size() * 7 + 1);
  for (int i = 0; i < 150; ++i) {
    Bytes bytes = seed.bytes;
    const std::size_t flips = 1 + random.Below(4);
    std::string label = seed.label + ": flips";
    for (std::size_t f = 0; f < flips; ++f) {
      const std::size_t at = random.Below(bytes.size());
      const int bit = static_cast<int>(random.Below(8));
      bytes[at] ^= static_cast<std::uint8_t>(1u << bit);
      label += " " + std::to_string(at) + "." + std::to_string(bit);
    }
    out.push_back({label, std::move(bytes)});
  }
}

void AddFieldEdits(const Seed& seed, std::vector<FuzzInput>& out) {
  constexpr std::uint32_t intMin = 0x80000000u;
  constexpr std::uint32_t intMax = 0x7FFFFFFFu;
  for (std::size_t k = 0; k < seed.entries.size(); ++k) {
    const EntryLayout& e = seed.entries[k];
    const std::string prefix = seed.label + ": entry " + std::to_string(k) + " ";
    const std::size_t n = e.nameLength;
    for (std::size_t length :
         {std::size_t{0}, std::size_t{1}, n - 1, n + 1, n + 13, std::size_t{255}}) {
      if (length > 255) continue;
      Bytes bytes = seed.bytes;
      bytes[e.offset] = static_cast<std::uint8_t>(length);
      out.push_back({prefix + "name length " + std::to_string(length), std::move(bytes)});
    }
    const std::size_t sizeAt = e.offset + 1 + n;
    const std::uint32_t size = GetInt32(seed.bytes, sizeAt);
    for (std::uint32_t value : {0u, 1u, 0xFFFFFFFFu, intMin, intMax, size - 1, size + 1, size * 2,
                                static_cast<std::uint32_t>(e.packSize * 1032),
                                static_cast<std::uint32_t>(e.packSize * 1032 + 1), 0x7FFFFF00u}) {
      Bytes bytes = seed.bytes;
      PutInt32(bytes, sizeAt, value);
      out.push_back({prefix + "size " + std::to_string(value), std::move(bytes)});
    }
    const std::uint32_t left = static_cast<std::uint32_t>(seed.bytes.size() - e.dataOffset);
    const std::uint32_t pack = static_cast<std::uint32_t>(e.packSize);
    for (std::uint32_t value :
         {0u, 1u, 2u, 0xFFFFFFFFu, intMin, intMax, pack - 1, pack + 1, left, left + 1, left - 1}) {
      Bytes bytes = seed.bytes;
      PutInt32(bytes, sizeAt + 8, value);
      out.push_back({prefix + "pack size " + std::to_string(value), std::move(bytes)});
    }
    // Dates: invalid fields of each kind, the extremes, and every bit set.
    for (std::uint32_t value :
         {0u, 0xFFFFFFFFu, 0x00000000u | (1u << 21) | (1u << 16), 0x00210000u, 0x00010000u,
          0x01A00000u | (1u << 16), (2u << 21) | (30u << 16), (1u << 21) | (1u << 16) | (24u << 11),
          (1u << 21) | (1u << 16) | (60u << 5), (1u << 21) | (1u << 16) | 30u,
          (4u << 21) | (31u << 16), 0xFFFF0000u, 0x0000FFFFu}) {
      Bytes bytes = seed.bytes;
      PutInt32(bytes, sizeAt + 4, value);
      out.push_back({prefix + "date " + std::to_string(value), std::move(bytes)});
    }
    // Other zlib headers in front of the same deflate data.
    if (e.packSize >= 2) {
      const std::uint8_t headers[][2] = {{0x78, 0x01}, {0x78, 0xDA}, {0x78, 0xBB}, {0x08, 0x1D},
                                         {0x88, 0x98}, {0x1F, 0x8B}, {0x78, 0x9D}, {0x79, 0x9C}};
      for (const auto& header : headers) {
        Bytes bytes = seed.bytes;
        bytes[e.dataOffset] = header[0];
        bytes[e.dataOffset + 1] = header[1];
        out.push_back(
            {prefix + "zlib header " + std::to_string(header[0]) + " " + std::to_string(header[1]),
             std::move(bytes)});
      }
    }
  }
}

void AddSplices(const std::vector<Seed>& seeds, const Seed& seed, std::vector<FuzzInput>& out) {
  const auto& entries = seed.entries;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const EntryLayout& a = entries[i];
    const Bytes header = Slice(seed.bytes, a.offset, a.dataOffset);
    const std::string prefix = seed.label + ": ";
    // Entry i's header over entry j's data.
    for (std::size_t j = 0; j < entries.size(); ++j) {
      if (i == j) continue;
      const EntryLayout& b = entries[j];
      Bytes bytes = Concat(Slice(seed.bytes, 0, a.offset), header);
      bytes = Concat(bytes, Slice(seed.bytes, b.dataOffset, b.end()));
      bytes = Concat(bytes, Slice(seed.bytes, a.end(), seed.bytes.size()));
      out.push_back({prefix + "header " + std::to_string(i) + " on data " + std::to_string(j),
                     std::move(bytes)});
    }
    // A header without its data, the entry twice, the entry dropped.
    out.push_back({prefix + "header " + std::to_string(i) + " alone",
                   Concat(Concat(Slice(seed.bytes, 0, a.dataOffset), header),
                          Slice(seed.bytes, a.dataOffset, seed.bytes.size()))});
    out.push_back(
        {prefix + "entry " + std::to_string(i) + " twice",
         Concat(Slice(seed.bytes, 0, a.end()), Slice(seed.bytes, a.offset, seed.bytes.size()))});
    out.push_back(
        {prefix + "entry " + std::to_string(i) + " dropped",
         Concat(Slice(seed.bytes, 0, a.offset), Slice(seed.bytes, a.end(), seed.bytes.size()))});
    // The header's pack size covering the next entry too.
    if (i + 1 < entries.size()) {
      Bytes bytes = seed.bytes;
      PutInt32(bytes, a.dataOffset - 4,
               static_cast<std::uint32_t>(entries[i + 1].end() - a.dataOffset));
      out.push_back(
          {prefix + "entry " + std::to_string(i) + " swallows the next", std::move(bytes)});
    }
  }
  // Whole archives back to back, and trailing junk.
  for (const Seed& other : seeds)
    out.push_back({seed.label + " + " + other.label, Concat(seed.bytes, other.bytes)});
  for (std::size_t junk : {1, 12, 13, 14, 300}) {
    const std::string tail = Noise(junk, junk);
    out.push_back({seed.label + ": " + std::to_string(junk) + " junk bytes",
                   Concat(seed.bytes, Bytes(tail.begin(), tail.end()))});
  }
}

}  // namespace

std::vector<FuzzInput> SeedArchives() {
  std::vector<FuzzInput> inputs;
  for (Seed& seed : Seeds()) inputs.push_back({seed.label, std::move(seed.bytes)});
  return inputs;
}

std::vector<FuzzInput> MutatedArchives() {
  const std::vector<Seed> seeds = Seeds();
  std::vector<FuzzInput> inputs;
  for (const Seed& seed : seeds) {
    inputs.push_back({seed.label, seed.bytes});
    AddTruncations(seed, inputs);
    AddBitFlips(seed, inputs);
    AddFieldEdits(seed, inputs);
    AddSplices(seeds, seed, inputs);
  }
  return inputs;
}

}  // namespace zarvo::fuzz
