// The archive directory walk, the lookup by name and strict extraction.
#include <gtest/gtest.h>

#include <string>

#include "payload/Archive.h"
#include "payload/Utf.h"
#include "tests/payload/ArchiveBuilder.h"

namespace zarvo::payload {
namespace {

using testing::ArchiveBuilder;
using testing::Bytes;
using testing::Compress;
using testing::ToBytes;

constexpr std::uint32_t Dos(int year, int month, int day, int hour, int minute, int second) {
  return static_cast<std::uint32_t>(year - 1980) << 25 | static_cast<std::uint32_t>(month) << 21 |
         static_cast<std::uint32_t>(day) << 16 | static_cast<std::uint32_t>(hour) << 11 |
         static_cast<std::uint32_t>(minute) << 5 | static_cast<std::uint32_t>(second / 2);
}

struct Directory {
  explicit Directory(const Bytes& archive) : bytes(archive), stream(bytes) {
    LoadArchiveIndex(stream, names, items);
  }
  ArchiveItemLookup Find(std::u16string_view name) const {
    return FindArchiveItem(names, items, comparer, name);
  }
  void Extract(std::u16string_view name, OutputStream& destination) {
    ExtractArchiveItem(stream, names, items, comparer, name, destination);
  }
  Bytes bytes;
  ArchiveStream stream;
  ArchiveNames names;
  ArchiveItemList items;
  CaseFoldingNameComparer comparer;
};

Bytes Pattern(std::size_t size) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
  return bytes;
}

TEST(ArchiveStreamTest, ReadsPastTheEndReturnFewerBytes) {
  const Bytes bytes = ToBytes("abcdef");
  ArchiveStream stream(bytes);
  Bytes buffer(4);
  stream.Seek(4);
  EXPECT_EQ(stream.Read(buffer), 2u);
  EXPECT_EQ(buffer[0], 'e');
  EXPECT_EQ(buffer[1], 'f');
  EXPECT_EQ(stream.Position(), 6);
  stream.Seek(100);
  EXPECT_EQ(stream.Read(buffer), 0u);
  EXPECT_TRUE(stream.ReadInPlace(3).empty());
  EXPECT_THROW(stream.Seek(-1), std::out_of_range);
}

TEST(LoadArchiveIndexTest, ReadsEveryEntryToTheExactEndWithItsFieldValues) {
  const Bytes listData = Compress(ToBytes("a\\b.txt||#|B\r\n"));
  const Bytes fileData = Compress(Pattern(3000));
  const Bytes emptyData = Compress({});
  const std::string longName(255, 'n');
  const Bytes archive = ArchiveBuilder()
                            .Raw("list", 14, 0, static_cast<std::int32_t>(listData.size()), listData)
                            .Raw("a\\b.txt", 3000, Dos(2021, 2, 28, 23, 59, 58),
                                 static_cast<std::int32_t>(fileData.size()), fileData)
                            .Raw("", 0, Dos(1980, 1, 1, 0, 0, 0),
                                 static_cast<std::int32_t>(emptyData.size()), emptyData)
                            .Raw(longName, 0, 0, static_cast<std::int32_t>(emptyData.size()), emptyData)
                            .Build();
  const Directory directory(archive);

  ASSERT_EQ(directory.names.size(), 4u);
  ASSERT_EQ(directory.items.size(), 4u);
  EXPECT_EQ(directory.names[0], u"list");
  EXPECT_EQ(directory.names[1], u"a\\b.txt");
  EXPECT_EQ(directory.names[2], u"");
  EXPECT_EQ(directory.names[3], Utf8ToUtf16(longName));

  const std::int64_t first = 1 + 4 + 12;
  const std::int64_t second = first + static_cast<std::int64_t>(listData.size()) + 1 + 7 + 12;
  const std::int64_t third = second + static_cast<std::int64_t>(fileData.size()) + 1 + 0 + 12;
  const std::int64_t fourth = third + static_cast<std::int64_t>(emptyData.size()) + 1 + 255 + 12;
  EXPECT_EQ(directory.items[0], (TFileItem{14, static_cast<std::int32_t>(listData.size()), first, 0}));
  EXPECT_EQ(directory.items[1],
            (TFileItem{3000, static_cast<std::int32_t>(fileData.size()), second,
                       EncodeDateTime({2021, 2, 28, 23, 59, 58, 0})}));
  EXPECT_EQ(directory.items[2],
            (TFileItem{0, static_cast<std::int32_t>(emptyData.size()), third,
                       EncodeDateTime({1980, 1, 1, 0, 0, 0, 0})}));
  EXPECT_EQ(directory.items[3].Position, fourth);
  EXPECT_EQ(fourth + static_cast<std::int64_t>(emptyData.size()),
            static_cast<std::int64_t>(archive.size()));
  // FDate 0 is exactly 0, not merely close to it.
  EXPECT_EQ(directory.items[0].FDate, 0.0);
  EXPECT_EQ(directory.stream.Position(), directory.stream.Size());
}

TEST(LoadArchiveIndexTest, EmptyArchiveHasNoEntriesAndClearsOldOnes) {
  const Bytes empty;
  ArchiveStream stream(empty);
  ArchiveNames names{u"stale"};
  ArchiveItemList items{TFileItem{1, 2, 3, 4}};
  LoadArchiveIndex(stream, names, items);
  EXPECT_TRUE(names.empty());
  EXPECT_TRUE(items.empty());
}

TEST(LoadArchiveIndexTest, EntriesWithEqualPackAndSizeAndPackAboveSizeAreRead) {
  // Incompressible content packs larger than it is.
  const Bytes random = Pattern(64);
  const Directory directory(ArchiveBuilder().Entry("r.bin", random).Build());
  ASSERT_EQ(directory.items.size(), 1u);
  EXPECT_GT(directory.items[0].PackSize, directory.items[0].Size);
}

struct MalformedCase {
  const char* label;
  Bytes tail;  // appended after one valid entry
  std::string message;
};

class MalformedArchiveTest : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedArchiveTest, StopsWithAnErrorNamingTheEntrysOffset) {
  const MalformedCase& c = GetParam();
  Bytes archive = ArchiveBuilder().Entry("good", "content").Build();
  const auto badOffset = static_cast<std::int64_t>(archive.size());
  archive.insert(archive.end(), c.tail.begin(), c.tail.end());

  ArchiveStream stream(archive);
  ArchiveNames names;
  ArchiveItemList items;
  try {
    LoadArchiveIndex(stream, names, items);
    FAIL() << "no error for " << c.label;
  } catch (const MalformedArchiveError& error) {
    EXPECT_EQ(error.Offset(), badOffset);
    const std::string what = error.what();
    EXPECT_NE(what.find("offset " + std::to_string(badOffset)), std::string::npos) << what;
    EXPECT_NE(what.find(c.message), std::string::npos) << what;
  }
  // The entries before the bad one stay read.
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0], u"good");
  EXPECT_EQ(items.size(), 1u);
}

Bytes WithoutLast(Bytes bytes, std::size_t count) {
  bytes.resize(bytes.size() - count);
  return bytes;
}

Bytes Header(std::string_view name, std::int32_t size, std::uint32_t date, std::int32_t packSize) {
  return ArchiveBuilder().Raw(name, size, date, packSize, {}).Build();
}

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedArchiveTest,
    ::testing::Values(
        MalformedCase{"one junk byte", {0x00}, "truncated"},
        MalformedCase{"trailing junk", ToBytes("\x03junk"), "truncated"},
        MalformedCase{"name runs past the end", ToBytes("\x09" "abc"), "truncated"},
        MalformedCase{"fields cut short", WithoutLast(Header("x", 1, 0, 0), 1), "truncated"},
        MalformedCase{"negative pack size", Header("x", 1, 0, -1), "negative pack size -1"},
        MalformedCase{"most negative pack size", Header("x", 1, 0, INT32_MIN), "negative pack size"},
        MalformedCase{"pack size one past the end", Concat(Header("x", 1, 0, 4), Bytes(3, 0)),
                      "runs past the end"},
        MalformedCase{"largest pack size", Concat(Header("x", 1, 0, INT32_MAX), Bytes(8, 0)),
                      "runs past the end"},
        MalformedCase{"month 0", Header("x", 0, Dos(2000, 0, 1, 0, 0, 0), 0), "invalid DOS date"},
        MalformedCase{"day 30 of February", Header("x", 0, Dos(2001, 2, 29, 0, 0, 0), 0),
                      "invalid DOS date"}),
    [](const ::testing::TestParamInfo<MalformedCase>& info) {
      std::string name = info.param.label;
      for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      return name;
    });

TEST(LoadArchiveIndexTest, PackSizeThatEndsExactlyAtTheEndIsValid) {
  // A header whose pack size covers the rest exactly is an entry, not an overshoot.
  const Bytes archive = Concat(Header("x", 0, 0, 5), Bytes(5, 0));
  const Directory directory(archive);
  ASSERT_EQ(directory.items.size(), 1u);
  EXPECT_EQ(directory.items[0].Position, 14);
  EXPECT_EQ(directory.items[0].PackSize, 5);
}

struct LookupCase {
  std::u16string name;
  bool found;
  std::int32_t size;  // the sizes tell the entries apart
};

class FindArchiveItemTest : public ::testing::TestWithParam<LookupCase> {};

TEST_P(FindArchiveItemTest, FindsTheFirstWholeNameIgnoringCase) {
  const Directory directory(ArchiveBuilder()
                                .Entry("list", "1")
                                .Entry("Docs\\ReadMe.txt", "22")
                                .Entry("docs\\readme.TXT", "333")
                                .Entry("", "4444")
                                .Entry("Папка\\Файл.txt", "55555")
                                .Entry("bin\\tool.exe", "666666")
                                .Build());
  const LookupCase& c = GetParam();
  const ArchiveItemLookup lookup = directory.Find(c.name);
  EXPECT_EQ(lookup.Found, c.found);
  if (c.found) {
    EXPECT_EQ(lookup.Item.Size, c.size);
  } else {
    EXPECT_EQ(lookup.Item, TFileItem{});
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindArchiveItemTest,
    ::testing::Values(LookupCase{u"list", true, 1}, LookupCase{u"LIST", true, 1},
                      LookupCase{u"docs\\README.txt", true, 2},
                      LookupCase{u"DOCS\\README.TXT", true, 2}, LookupCase{u"", true, 4},
                      LookupCase{u"ПАПКА\\файл.TXT", true, 5},
                      LookupCase{u"Docs\\ReadMe", false, 0}, LookupCase{u"ReadMe.txt", false, 0},
                      LookupCase{u"lis", false, 0}, LookupCase{u"list ", false, 0},
                      LookupCase{u"docs/readme.txt", false, 0},
                      LookupCase{u"bin\\tool.exe\\", false, 0}));

TEST(ExtractArchiveItemTest, InflatesTheContentAndRewindsTheDestination) {
  const Bytes content = Pattern(100'000);
  Directory directory(ArchiveBuilder().Entry("list", "x").Entry("big.bin", content).Build());
  MemoryOutputStream destination;
  directory.Extract(u"BIG.bin", destination);
  EXPECT_EQ(destination.Bytes(), content);
  EXPECT_EQ(destination.Position(), 0);
}

TEST(ExtractArchiveItemTest, HighlyCompressibleContentIsNotTakenForAnAbsurdSize) {
  const Bytes zeros(8 << 20, 0);
  Directory directory(ArchiveBuilder().Entry("zeros", zeros).Build());
  ASSERT_GT(directory.items[0].Size / directory.items[0].PackSize, 1000);
  MemoryOutputStream destination;
  directory.Extract(u"zeros", destination);
  EXPECT_EQ(destination.Bytes(), zeros);
}

struct PositionCase {
  const char* before;
  std::int64_t position;
  const char* content;
  std::string after;
};

class ExtractPositionTest : public ::testing::TestWithParam<PositionCase> {};

TEST_P(ExtractPositionTest, WritesAtThePositionAndEndsAtZero) {
  const PositionCase& c = GetParam();
  Directory directory(ArchiveBuilder().Entry("e", c.content).Build());
  MemoryOutputStream destination;
  destination.Write(ToBytes(c.before));
  destination.SetPosition(c.position);
  directory.Extract(u"e", destination);
  EXPECT_EQ(destination.Bytes(), ToBytes(c.after));
  EXPECT_EQ(destination.Position(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtractPositionTest,
    ::testing::Values(PositionCase{"", 0, "abc", "abc"},
                      PositionCase{"0123456789", 0, "abc", "abc3456789"},
                      PositionCase{"0123456789", 2, "abc", "01abc56789"},
                      PositionCase{"0123456789", 8, "abcd", "01234567abcd"},
                      PositionCase{"0123456789", 10, "abc", "0123456789abc"},
                      PositionCase{"0123", 6, "ab", std::string("0123\0\0ab", 8)},
                      // Size 0: nothing written, but the position still goes back to 0.
                      PositionCase{"0123456789", 4, "", "0123456789"}));

TEST(ExtractArchiveItemTest, MissingNameLeavesTheDestinationUntouched) {
  Directory directory(ArchiveBuilder().Entry("list", "x").Build());
  MemoryOutputStream destination;
  destination.Write(ToBytes("keep"));
  destination.SetPosition(3);
  directory.Extract(u"lis", destination);
  EXPECT_EQ(destination.Bytes(), ToBytes("keep"));
  EXPECT_EQ(destination.Position(), 3);
}

TEST(ExtractArchiveItemTest, BytesAfterTheStreamInsideThePackSizeAreIgnored) {
  Bytes packed = Compress(ToBytes("hello"));
  packed.push_back(0xAA);
  Directory directory(
      ArchiveBuilder().Raw("e", 5, 0, static_cast<std::int32_t>(packed.size()), packed).Build());
  MemoryOutputStream destination;
  directory.Extract(u"e", destination);
  EXPECT_EQ(destination.Bytes(), ToBytes("hello"));
}

enum class Expect { Inflate, Malformed };

struct BrokenEntryCase {
  const char* label;
  std::int32_t size;
  Bytes data;
  Expect expect;
  std::string message;
};

BrokenEntryCase Broken(const char* label, std::int32_t size, Bytes data, Expect expect,
                       std::string message) {
  return {label, size, std::move(data), expect, std::move(message)};
}

Bytes WithLastByteFlipped(Bytes bytes) {
  bytes.back() ^= 0x01;
  return bytes;
}

class StrictExtractionTest : public ::testing::TestWithParam<BrokenEntryCase> {};

TEST_P(StrictExtractionTest, RaisesAndWritesNothing) {
  const BrokenEntryCase& c = GetParam();
  Directory directory(
      ArchiveBuilder().Raw("e", c.size, 0, static_cast<std::int32_t>(c.data.size()), c.data).Build());
  MemoryOutputStream destination;
  destination.Write(ToBytes("before"));
  destination.SetPosition(2);
  std::string what;
  try {
    directory.Extract(u"e", destination);
    ADD_FAILURE() << "no error for " << c.label;
  } catch (const InflateError& error) {
    EXPECT_EQ(c.expect, Expect::Inflate) << error.what();
    what = error.what();
  } catch (const MalformedArchiveError& error) {
    EXPECT_EQ(c.expect, Expect::Malformed) << error.what();
    EXPECT_EQ(error.Offset(), directory.items[0].Position);
    what = error.what();
  }
  EXPECT_NE(what.find(c.message), std::string::npos) << what;
  EXPECT_EQ(destination.Bytes(), ToBytes("before"));
  EXPECT_EQ(destination.Position(), 2);
}

const Bytes Hello = Compress(ToBytes("hello world"));

INSTANTIATE_TEST_SUITE_P(
    Cases, StrictExtractionTest,
    ::testing::Values(
        Broken("stream_ends_before_size", 12, Hello, Expect::Inflate, "data error: the stream ends after 11 of 12"),
        Broken("stream_longer_than_size", 10, Hello, Expect::Inflate, "data error: the stream holds more than 10"),
        Broken("size_0_but_content", 0, Hello, Expect::Inflate, "data error: the stream holds more than 0"),
        Broken("bad_adler32", 11, WithLastByteFlipped(Hello), Expect::Inflate, "data error: incorrect data check"),
        Broken("trailer_cut_off", 11, WithoutLast(Hello, 2), Expect::Inflate,
               "data error: the compressed data ends before the stream does"),
        Broken("deflate_data_cut_off", 11, WithoutLast(Hello, 8), Expect::Inflate, "data error"),
        Broken("garbage", 11, ToBytes("not a zlib stream"), Expect::Inflate, "data error: incorrect header check"),
        Broken("no_data_at_all", 0, {}, Expect::Inflate, "data error"),
        Broken("negative_size", -1, Hello, Expect::Malformed, "negative size -1"),
        Broken("absurd_size", INT32_MAX, Hello, Expect::Malformed, "cannot come from")),
    [](const ::testing::TestParamInfo<BrokenEntryCase>& info) { return std::string(info.param.label); });

TEST(InflateArchiveItemTest, AnItemBeyondTheArchiveIsADataError) {
  const Bytes archive = ArchiveBuilder().Entry("e", "hello").Build();
  ArchiveStream stream(archive);
  TFileItem item{5, 13, static_cast<std::int64_t>(archive.size()) + 10, 0};
  EXPECT_THROW(InflateArchiveItem(stream, item), InflateError);
}

}  // namespace
}  // namespace zarvo::payload
