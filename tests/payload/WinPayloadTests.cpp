// What only Windows does for the payload: the locale-aware lookup and the Win32 probe on real
// files.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "install/LocaleNameComparer.h"
#include "install/Win32FileProbe.h"
#include "payload/Archive.h"
#include "platform/Handles.h"
#include "platform/Text.h"
#include "tests/payload/ArchiveBuilder.h"

namespace zarvo::install {
namespace {

using payload::DateTimeFields;
using payload::EncodeDateTime;
using payload::FileStampAndSize;
using payload::GetFileStampAndSize;
using payload::testing::ArchiveBuilder;
using payload::testing::Bytes;
using platform::FromWide;

struct NamePair {
  std::u16string left;
  std::u16string right;
  bool equal;
};

class LocaleNameComparerTest : public ::testing::TestWithParam<NamePair> {};

TEST_P(LocaleNameComparerTest, ComparesWholeNamesIgnoringCaseUnderTheUserLocale) {
  const NamePair& c = GetParam();
  const LocaleNameComparer comparer;
  EXPECT_EQ(comparer.Equal(c.left, c.right), c.equal);
  EXPECT_EQ(comparer.Equal(c.right, c.left), c.equal);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LocaleNameComparerTest,
    ::testing::Values(NamePair{u"ПРИВЕТ.TXT", u"привет.txt", true},
                      NamePair{u"Ёлка\\Файл.ini", u"ёЛКА\\фАЙЛ.INI", true},
                      NamePair{u"ÉCOLE.TXT", u"école.txt", true},
                      NamePair{u"ÆRØ\\ÅÄÖ", u"æRø\\åäö", true},
                      NamePair{u"ΑΒΓ", u"αβγ", true},
                      NamePair{u"école", u"ecole", false},  // accents still count
                      NamePair{u"Ёлка", u"Елка", false},
                      NamePair{u"A", u"А", false},  // Latin and Cyrillic
                      NamePair{u"list", u"lis", false},
                      NamePair{u"list", u"list ", false},
                      NamePair{u"docs\\a.txt", u"docs/a.txt", false},
                      NamePair{u"", u"", true},
                      NamePair{u"a", u"", false}));

TEST(LocaleLookupTest, FindsTheFirstEntryWhoseNameDiffersOnlyInCase) {
  const Bytes archive = ArchiveBuilder()
                            .Entry("list", "x")
                            .Entry("Папка\\Файл.txt", "first")
                            .Entry("ПАПКА\\ФАЙЛ.TXT", "second!")
                            .Entry("Café.txt", "c")
                            .Build();
  payload::ArchiveStream stream(archive);
  payload::ArchiveNames names;
  payload::ArchiveItemList items;
  payload::LoadArchiveIndex(stream, names, items);
  const LocaleNameComparer comparer;

  EXPECT_EQ(payload::FindArchiveItem(names, items, comparer, u"папка\\файл.txt").Item, items[1]);
  EXPECT_TRUE(payload::FindArchiveItem(names, items, comparer, u"CAFÉ.TXT").Found);
  EXPECT_FALSE(payload::FindArchiveItem(names, items, comparer, u"Cafe.txt").Found);
  EXPECT_FALSE(payload::FindArchiveItem(names, items, comparer, u"Папка\\Файл").Found);

  payload::MemoryOutputStream destination;
  payload::ExtractArchiveItem(stream, names, items, comparer, u"пАПКА\\фАЙЛ.tXT", destination);
  EXPECT_EQ(destination.Bytes(), payload::testing::ToBytes("first"));
}

// A fresh folder under the temporary folder; removed with everything in it, attributes cleared.
class TemporaryFolder {
 public:
  TemporaryFolder() {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    for (unsigned attempt = 0;; ++attempt) {
      path_ = std::wstring(temp) + L"zarvo-probe-" + std::to_wstring(GetCurrentProcessId()) +
              L"-" + std::to_wstring(attempt);
      if (CreateDirectoryW(path_.c_str(), nullptr)) break;
      if (GetLastError() != ERROR_ALREADY_EXISTS || attempt > 100)
        throw std::runtime_error("cannot create a temporary folder");
    }
  }
  ~TemporaryFolder() {
    std::error_code ignored;
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored))
      SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove_all(path_, ignored);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  // With the trailing backslash, as InstallDir has it.
  std::u16string Dir() const { return FromWide(path_) + u"\\"; }
  std::wstring Path(std::wstring_view name) const { return path_ + L"\\" + std::wstring(name); }

 private:
  std::wstring path_;
};

FILETIME FileTimeOfLocal(const DateTimeFields& local) {
  SYSTEMTIME parts{};
  parts.wYear = static_cast<WORD>(local.Year);
  parts.wMonth = static_cast<WORD>(local.Month);
  parts.wDay = static_cast<WORD>(local.Day);
  parts.wHour = static_cast<WORD>(local.Hour);
  parts.wMinute = static_cast<WORD>(local.Minute);
  parts.wSecond = static_cast<WORD>(local.Second);
  parts.wMilliseconds = static_cast<WORD>(local.Millisecond);
  FILETIME localTime{};
  FILETIME utc{};
  EXPECT_TRUE(SystemTimeToFileTime(&parts, &localTime));
  EXPECT_TRUE(LocalFileTimeToFileTime(&localTime, &utc));
  return utc;
}

// Writes size bytes (or, when sparse, just sets the end) and the last-write time.
void MakeFile(const std::wstring& path, LONGLONG size, const DateTimeFields& lastWrite,
              DWORD attributes = FILE_ATTRIBUTE_NORMAL, bool sparse = false) {
  const platform::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                              nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file);
  if (sparse) {
    LARGE_INTEGER end{};
    end.QuadPart = size;
    ASSERT_TRUE(SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(file.get()));
  } else {
    const std::string content(static_cast<std::size_t>(size), 'z');
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written,
                          nullptr));
    ASSERT_EQ(written, content.size());
  }
  const FILETIME stamp = FileTimeOfLocal(lastWrite);
  ASSERT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &stamp));
  if (attributes != FILE_ATTRIBUTE_NORMAL) {
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), attributes));
  }
}

struct AttributeCase {
  const wchar_t* name;
  DWORD attributes;
  LONGLONG size;
};

class Win32FileProbeAttributeTest : public ::testing::TestWithParam<AttributeCase> {};

TEST_P(Win32FileProbeAttributeTest, ReportsFilesOfEveryAttribute) {
  const AttributeCase& c = GetParam();
  const TemporaryFolder folder;
  const DateTimeFields lastWrite{2021, 7, 15, 12, 34, 57, 125};
  MakeFile(folder.Path(c.name), c.size, lastWrite, c.attributes);
  const Win32FileProbe probe;
  const std::u16string path = folder.Dir() + FromWide(c.name);
  EXPECT_TRUE(probe.FileExists(path));
  EXPECT_EQ(GetFileStampAndSize(probe, path),
            (FileStampAndSize{EncodeDateTime(lastWrite), static_cast<std::int32_t>(c.size)}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Win32FileProbeAttributeTest,
    ::testing::Values(AttributeCase{L"plain.txt", FILE_ATTRIBUTE_NORMAL, 1234},
                      AttributeCase{L"readonly.txt", FILE_ATTRIBUTE_READONLY, 10},
                      AttributeCase{L"hidden.txt", FILE_ATTRIBUTE_HIDDEN, 11},
                      AttributeCase{L"system.txt", FILE_ATTRIBUTE_SYSTEM, 12},
                      AttributeCase{L"all.txt",
                                    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                        FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE,
                                    13},
                      AttributeCase{L"empty.txt", FILE_ATTRIBUTE_NORMAL, 0},
                      AttributeCase{L"Файл.txt", FILE_ATTRIBUTE_NORMAL, 7}));

TEST(Win32FileProbeTest, FoldersAreFoundButAreNoFiles) {
  const TemporaryFolder folder;
  ASSERT_TRUE(CreateDirectoryW(folder.Path(L"sub").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(folder.Path(L"hidden").c_str(), nullptr));
  ASSERT_TRUE(SetFileAttributesW(folder.Path(L"hidden").c_str(), FILE_ATTRIBUTE_HIDDEN));
  const Win32FileProbe probe;
  for (const char16_t* name : {u"sub", u"hidden"}) {
    const std::u16string path = folder.Dir() + name;
    EXPECT_FALSE(probe.FileExists(path));
    const auto found = probe.FindFirst(path);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->Size, 0);
    EXPECT_GT(found->Stamp, 0);
  }
}

TEST(Win32FileProbeTest, MissingPathsGiveZeros) {
  const TemporaryFolder folder;
  const Win32FileProbe probe;
  for (const std::u16string& path :
       {folder.Dir() + u"missing.txt", folder.Dir() + u"nowhere\\file.txt", folder.Dir()}) {
    EXPECT_FALSE(probe.FileExists(path));
    EXPECT_EQ(GetFileStampAndSize(probe, path), (FileStampAndSize{0, 0}));
  }
}

TEST(Win32FileProbeTest, SizeIsTheLow32Bits) {
  const TemporaryFolder folder;
  MakeFile(folder.Path(L"big.bin"), (LONGLONG{1} << 32) + 5, {2020, 1, 1, 0, 0, 0, 0},
           FILE_ATTRIBUTE_NORMAL, true);
  EXPECT_EQ(GetFileStampAndSize(Win32FileProbe(), folder.Dir() + u"big.bin").Size, 5);
}

TEST(Win32FileProbeTest, NamesAndWildcardsMatchAsADirectorySearchDoes) {
  const TemporaryFolder folder;
  MakeFile(folder.Path(L"Cache.TMP"), 21, {2020, 1, 1, 0, 0, 0, 0});
  const Win32FileProbe probe;
  EXPECT_TRUE(probe.FileExists(folder.Dir() + u"cache.tmp"));
  EXPECT_EQ(GetFileStampAndSize(probe, folder.Dir() + u"cache.tmp").Size, 21);
  EXPECT_EQ(GetFileStampAndSize(probe, folder.Dir() + u"*.tmp").Size, 21);
  EXPECT_EQ(GetFileStampAndSize(probe, folder.Dir() + u"*.none"), (FileStampAndSize{0, 0}));
}

TEST(Win32FileProbeTest, LastWriteTimeIsConvertedToLocalTime) {
  for (const DateTimeFields& local :
       {DateTimeFields{2021, 1, 15, 3, 4, 5, 6}, DateTimeFields{2021, 7, 15, 23, 59, 59, 999},
        DateTimeFields{1999, 12, 31, 0, 0, 0, 0}}) {
    EXPECT_EQ(FileTimeToLocalDateTime(FileTimeOfLocal(local)), EncodeDateTime(local))
        << local.Year << "-" << local.Month << "-" << local.Day;
  }
}

TEST(Win32SelectionTest, SecondSelectionOverAnInstalledFolderKeepsOnlyWhatChanged) {
  const TemporaryFolder folder;
  const payload::TDateTime entryDate = EncodeDateTime({2020, 1, 2, 3, 4, 6, 0});
  const payload::ArchiveItemFinder archive = [&](std::u16string_view) {
    return payload::ArchiveItemLookup{true, {100, 50, 0, entryDate}};
  };
  MakeFile(folder.Path(L"same.txt"), 100, {2024, 5, 6, 7, 8, 9, 10});
  MakeFile(folder.Path(L"resized.txt"), 99, {2024, 5, 6, 7, 8, 9, 10});
  MakeFile(folder.Path(L"older.txt"), 100, {2020, 1, 2, 3, 4, 5, 0});
  MakeFile(folder.Path(L"user.ini"), 5, {2020, 1, 1, 0, 0, 0, 0});
  payload::ManifestLines fileList{u"SAME.TXT||#|",    u"gone.dll||#|",  u"resized.txt||#|",
                                  u"older.txt||#|",   u"user.ini|O|#|", u"old\\*.tmp|K|"};
  payload::Comp(fileList, folder.Dir(), u'F', false, archive, Win32FileProbe());
  EXPECT_EQ(fileList, (payload::ManifestLines{u"gone.dll||#|", u"resized.txt||#|",
                                              u"older.txt||#|", u"old\\*.tmp|K|"}));
}

}  // namespace
}  // namespace zarvo::install
