// The POSIX file-system probe on a real temporary folder, and the selection over it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "payload/PosixFileProbe.h"
#include "payload/Utf.h"
#include "tests/support/TemporaryFolder.h"

namespace zarvo::payload {
namespace {

namespace fs = std::filesystem;

// The folder as a manifest-style install folder: "\" separators and a trailing "\".
std::u16string InstallDir(const zarvo::testing::TemporaryFolder& folder) {
  std::u16string dir = Utf8ToUtf16(folder.Path().string());
  for (char16_t& unit : dir) {
    if (unit == u'/') unit = u'\\';
  }
  return dir + u"\\";
}

void WriteFile(const fs::path& path, std::size_t size) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << std::string(size, 'x');
}

// Sets the last-write time to a local moment with milliseconds.
void SetModified(const fs::path& path, const DateTimeFields& local) {
  std::tm parts{};
  parts.tm_year = local.Year - 1900;
  parts.tm_mon = local.Month - 1;
  parts.tm_mday = local.Day;
  parts.tm_hour = local.Hour;
  parts.tm_min = local.Minute;
  parts.tm_sec = local.Second;
  parts.tm_isdst = -1;
  const timeval times[2] = {{mktime(&parts), local.Millisecond * 1000},
                            {mktime(&parts), local.Millisecond * 1000}};
  ASSERT_EQ(utimes(path.c_str(), times), 0);
}

TEST(PosixFileProbeTest, AnswersForFilesFoldersAndMissingPaths) {
  const zarvo::testing::TemporaryFolder folder("zarvo-probe");
  const std::u16string dir = InstallDir(folder);
  WriteFile(folder.Path() / "sub" / "file.bin", 1234);
  WriteFile(folder.Path() / "Файл.txt", 7);
  WriteFile(folder.Path() / ".hidden", 3);
  const DateTimeFields moment{2021, 7, 15, 12, 34, 57, 125};
  SetModified(folder.Path() / "sub" / "file.bin", moment);
  const PosixFileProbe probe;

  EXPECT_TRUE(probe.FileExists(dir + u"sub\\file.bin"));
  EXPECT_TRUE(probe.FileExists(dir + u"Файл.txt"));
  EXPECT_TRUE(probe.FileExists(dir + u".hidden"));
  EXPECT_FALSE(probe.FileExists(dir + u"sub"));
  EXPECT_FALSE(probe.FileExists(dir + u"missing.txt"));
  EXPECT_FALSE(probe.FileExists(dir + u"sub\\FILE.BIN"));

  EXPECT_EQ(GetFileStampAndSize(probe, dir + u"sub\\file.bin"),
            (FileStampAndSize{EncodeDateTime(moment), 1234}));
  EXPECT_EQ(GetFileStampAndSize(probe, dir + u"Файл.txt").Size, 7);
  EXPECT_EQ(GetFileStampAndSize(probe, dir + u".hidden").Size, 3);
  const FileStampAndSize sub = GetFileStampAndSize(probe, dir + u"sub");
  EXPECT_GT(sub.Stamp, 0);
  EXPECT_EQ(sub.Size, 0);
  EXPECT_EQ(GetFileStampAndSize(probe, dir + u"sub\\"), (FileStampAndSize{0, 0}));
  EXPECT_EQ(GetFileStampAndSize(probe, dir), (FileStampAndSize{0, 0}));
  EXPECT_EQ(GetFileStampAndSize(probe, dir + u"missing.txt"), (FileStampAndSize{0, 0}));
  EXPECT_EQ(GetFileStampAndSize(probe, dir + u"nowhere\\file.bin"), (FileStampAndSize{0, 0}));
}

TEST(PosixFileProbeTest, SearchesWithWildcardsInTheLastComponent) {
  const zarvo::testing::TemporaryFolder folder("zarvo-probe");
  const std::u16string dir = InstallDir(folder);
  WriteFile(folder.Path() / "cache" / "a.tmp", 11);
  WriteFile(folder.Path() / "cache" / "keep.dat", 5);
  const PosixFileProbe probe;
  EXPECT_EQ(GetFileStampAndSize(probe, dir + u"cache\\*.tmp").Size, 11);
  EXPECT_EQ(GetFileStampAndSize(probe, dir + u"cache\\?.tmp").Size, 11);
  EXPECT_EQ(GetFileStampAndSize(probe, dir + u"cache\\*.none"), (FileStampAndSize{0, 0}));
  EXPECT_EQ(GetFileStampAndSize(probe, dir + u"cache\\k*").Size, 5);
}

TEST(PosixFileProbeTest, SizeIsTheLow32Bits) {
  const zarvo::testing::TemporaryFolder folder("zarvo-probe");
  const fs::path big = folder.Path() / "big.bin";
  WriteFile(big, 0);
  // Sparse: no disk space is used.
  fs::resize_file(big, (std::uintmax_t{1} << 32) + 5);
  EXPECT_EQ(GetFileStampAndSize(PosixFileProbe(), InstallDir(folder) + u"big.bin").Size, 5);
}

// Installing the same content twice: files written at install time are up to date afterwards.
TEST(PosixFileProbeTest, SecondSelectionOverAnInstalledFolderKeepsOnlyWhatChanged) {
  const zarvo::testing::TemporaryFolder folder("zarvo-probe");
  const std::u16string dir = InstallDir(folder);
  const TDateTime entryDate = EncodeDateTime({2020, 1, 2, 3, 4, 6, 0});
  const ArchiveItemFinder archive = [&](std::u16string_view name) -> ArchiveItemLookup {
    if (name == u"same.txt" || name == u"bin\\gone.dll" || name == u"resized.txt" ||
        name == u"older.txt")
      return {true, {100, 50, 0, entryDate}};
    return {};
  };
  WriteFile(folder.Path() / "same.txt", 100);
  WriteFile(folder.Path() / "resized.txt", 99);
  WriteFile(folder.Path() / "older.txt", 100);
  SetModified(folder.Path() / "older.txt", {2020, 1, 2, 3, 4, 5, 0});
  ManifestLines fileList{u"same.txt||#|", u"bin\\gone.dll||#|", u"resized.txt||#|",
                         u"older.txt||#|", u"old\\*.tmp|K|"};
  Comp(fileList, dir, u'F', false, archive, PosixFileProbe());
  EXPECT_EQ(fileList, (ManifestLines{u"bin\\gone.dll||#|", u"resized.txt||#|", u"older.txt||#|",
                                     u"old\\*.tmp|K|"}));
}

}  // namespace
}  // namespace zarvo::payload
