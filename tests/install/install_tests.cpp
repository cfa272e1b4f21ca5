// The install run's file work on real files under Wine: safe replacement, what a failure leaves,
// deletion by mask, file stamps, the line walk, and the links.
#include <gtest/gtest.h>
#include <windows.h>

#include <shlobj.h>
#include <shobjidl.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "install/InstallRun.h"
#include "install/Shortcuts.h"
#include "platform/Handles.h"
#include "tests/payload/ArchiveBuilder.h"
#include "tests/support/WinTestSupport.h"

namespace zarvo::install {
namespace {

namespace fs = std::filesystem;
using payload::testing::ArchiveBuilder;
using payload::testing::Bytes;
using TKind = TInstallFailure::TKind;
using zarvo::testing::Read;
using zarvo::testing::TTempFolder;
using zarvo::testing::Write;

// Everything in a folder, as relative paths.
std::vector<std::wstring> Listing(const fs::path& folder) {
  std::vector<std::wstring> names;
  for (auto& entry : fs::recursive_directory_iterator(folder))
    names.push_back(fs::relative(entry.path(), folder).wstring());
  std::sort(names.begin(), names.end());
  return names;
}

// 2024-05-17 10:20:30 as the DOS date-time the payload stores.
constexpr std::uint32_t May17 = (44u << 25) | (5u << 21) | (17u << 16) | (10u << 11) | (20u << 5) | 15u;

// A payload held in memory as the window holds the real one.
struct TestPayload {
  explicit TestPayload(Bytes archive) : Archive(std::move(archive)) {
    Payload.ArchiveStream = payload::ArchiveStream(Archive);
    payload::LoadArchiveIndex(Payload.ArchiveStream, Payload.ArchiveContent, Payload.ArchiveItems);
    Payload.Opened = true;
  }
  Bytes Archive;
  TPayload Payload;
};

Bytes Damaged(std::string_view name, std::string_view content) {
  Bytes data = payload::testing::Compress(payload::testing::ToBytes(content));
  data[data.size() - 2] ^= 0xFF;  // the Adler-32 check no longer matches
  return ArchiveBuilder().Raw(name, static_cast<std::int32_t>(content.size()), May17,
                              static_cast<std::int32_t>(data.size()), data).Build();
}

TestPayload Sample() {
  Bytes archive = ArchiveBuilder()
                      .Entry("list", "")
                      .Entry("ZarvoF.exe", "new program", May17)
                      .Entry("docs\\en\\readme.txt", "read me", May17)
                      .Entry("empty.txt", "", May17)
                      .Build();
  Bytes damaged = Damaged("damaged.dll", "good bytes");
  archive.insert(archive.end(), damaged.begin(), damaged.end());
  return TestPayload(std::move(archive));
}

// ---- one file

struct FileCase {
  const char* Case;
  std::u16string Path;
  std::function<void(const fs::path& target)> Prepare;  // the target's state before
  std::optional<TFailureReason> Failure;                // nothing: installed
  std::string ContentAfter;                             // the target's content afterwards
};

class OneFile : public ::testing::TestWithParam<FileCase> {};

TEST_P(OneFile, IsWrittenWholeOrLeavesTheTargetExactlyAsItWas) {
  const FileCase& c = GetParam();
  TTempFolder folder;
  TestPayload payload = Sample();
  const fs::path target = folder.Path() / fs::path(std::wstring(c.Path.begin(), c.Path.end()));
  if (c.Prepare) c.Prepare(target);
  const DWORD attributesBefore = ::GetFileAttributesW(target.c_str());

  const std::optional<TInstallFailure> failure = InstallFile(payload.Payload, folder.Dir(), c.Path);

  if (c.Failure) {
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->Reason, *c.Failure);
    EXPECT_EQ(failure->Kind, TKind::File);
    EXPECT_EQ(failure->Name, std::wstring(c.Path.begin(), c.Path.end()));
    EXPECT_EQ(::GetFileAttributesW(target.c_str()), attributesBefore);
  } else {
    EXPECT_FALSE(failure.has_value()) << static_cast<int>(failure->Reason);
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    EXPECT_EQ(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), 0u);
    // Last written just now.
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(::GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &data));
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    const auto ticks = [](FILETIME t) { return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    EXPECT_LT(ticks(now) - ticks(data.ftLastWriteTime), 600'000'000ull);
  }
  if (::GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES && !fs::is_directory(target)) {
    EXPECT_EQ(Read(target), c.ContentAfter);
  }
  // No temporary file stays behind, wherever the run stopped.
  for (const std::wstring& name : Listing(folder.Path()))
    EXPECT_EQ(name.find(L"~zarvo"), std::wstring::npos) << fs::path(name).string();
}

void Existing(const fs::path& target, DWORD attributes) {
  Write(target, "old content");
  ::SetFileAttributesW(target.c_str(), attributes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OneFile,
    ::testing::Values(
        FileCase{"new file", u"ZarvoF.exe", nullptr, std::nullopt, "new program"},
        FileCase{"new folders", u"docs\\en\\readme.txt", nullptr, std::nullopt, "read me"},
        FileCase{"empty entry", u"empty.txt", [](const fs::path& t) { Existing(t, FILE_ATTRIBUTE_NORMAL); },
                 std::nullopt, ""},
        FileCase{"case of the name", u"ZARVOF.EXE", nullptr, std::nullopt, "new program"},
        FileCase{"replaces", u"ZarvoF.exe", [](const fs::path& t) { Existing(t, FILE_ATTRIBUTE_NORMAL); },
                 std::nullopt, "new program"},
        FileCase{"read-only hidden system",
                 u"ZarvoF.exe",
                 [](const fs::path& t) {
                   Existing(t, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
                 },
                 std::nullopt, "new program"},
        FileCase{"damaged entry over a file", u"damaged.dll",
                 [](const fs::path& t) { Existing(t, FILE_ATTRIBUTE_READONLY); }, TFailureReason::DamagedEntry,
                 "old content"},
        FileCase{"damaged entry, no file", u"damaged.dll", nullptr, TFailureReason::DamagedEntry, ""},
        FileCase{"no such entry over a file", u"settings.ini",
                 [](const fs::path& t) { Existing(t, FILE_ATTRIBUTE_NORMAL); }, TFailureReason::MissingEntry,
                 "old content"},
        FileCase{"target is a folder", u"ZarvoF.exe",
                 [](const fs::path& t) { fs::create_directories(t / L"inside"); }, TFailureReason::AccessDenied, ""},
        FileCase{"climbs out", u"..\\escape.txt", nullptr, TFailureReason::OutsideFolder, ""},
        FileCase{"absolute", u"C:\\escape.txt", nullptr, TFailureReason::OutsideFolder, ""}),
    zarvo::testing::CaseName());

TEST(OneFileHeldOpen, ByAnotherProgramStaysAsItWasAndIsReportedInUse) {
  TTempFolder folder;
  TestPayload payload = Sample();
  const fs::path target = folder.Path() / L"ZarvoF.exe";
  Write(target, "running program");
  platform::UniqueFile held(::CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  const std::optional<TInstallFailure> failure = InstallFile(payload.Payload, folder.Dir(), u"ZarvoF.exe");
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->Reason, TFailureReason::InUse);
  held.reset();
  EXPECT_EQ(Read(target), "running program");
  EXPECT_EQ(Listing(folder.Path()), std::vector<std::wstring>{L"ZarvoF.exe"});
}

TEST(OneFileHeldOpen, ForReadingWithSharingIsStillLeftAsItWasRatherThanHalfReplaced) {
  TTempFolder folder;
  TestPayload payload = Sample();
  const fs::path target = folder.Path() / L"ZarvoF.exe";
  Write(target, "open in a viewer");
  platform::UniqueFile held(::CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  const std::optional<TInstallFailure> failure = InstallFile(payload.Payload, folder.Dir(), u"ZarvoF.exe");
  held.reset();
  // Either the whole new file or the whole old one, never a mixture or an empty file.
  const std::string content = Read(target);
  EXPECT_TRUE(content == "open in a viewer" || content == "new program") << content;
  EXPECT_EQ(failure.has_value(), content == "open in a viewer");
  EXPECT_EQ(Listing(folder.Path()), std::vector<std::wstring>{L"ZarvoF.exe"});
}

// ---- file stamps

struct StampCase {
  payload::TDateTime Time;
  bool Converts;
  SYSTEMTIME Expected;
};

class FileStamp : public ::testing::TestWithParam<StampCase> {};

TEST_P(FileStamp, TheFieldsAreTakenAsTheyAreAndTimesBefore1601DoNotConvert) {
  FILETIME converted{};
  EXPECT_EQ(DateTimeToFileTime(GetParam().Time, converted), GetParam().Converts);
  if (!GetParam().Converts) return;
  SYSTEMTIME back{};
  ASSERT_TRUE(::FileTimeToSystemTime(&converted, &back));
  const SYSTEMTIME& e = GetParam().Expected;
  EXPECT_EQ(back.wYear, e.wYear);
  EXPECT_EQ(back.wMonth, e.wMonth);
  EXPECT_EQ(back.wDay, e.wDay);
  EXPECT_EQ(back.wHour, e.wHour);
  EXPECT_EQ(back.wMinute, e.wMinute);
  EXPECT_EQ(back.wSecond, e.wSecond);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileStamp,
    ::testing::Values(StampCase{0, false, {}}, StampCase{payload::EncodeDateTime({1600, 12, 31, 23, 59, 59, 0}), false, {}},
                      StampCase{payload::DosDateTimeToDateTime(May17), true, {2024, 5, 0, 17, 10, 20, 30, 0}},
                      StampCase{payload::EncodeDateTime({1601, 1, 1, 0, 0, 0, 0}), true, {1601, 1, 0, 1, 0, 0, 0, 0}},
                      StampCase{payload::EncodeDateTime({2107, 12, 31, 23, 59, 58, 0}), true,
                                {2107, 12, 0, 31, 23, 59, 58, 0}}));

TEST(FileStampCall, ChangesNeitherContentNorLastWriteTimeAndIgnoresAMissingFile) {
  TTempFolder folder;
  const fs::path file = folder.Path() / L"stamped.txt";
  Write(file, "content");
  WIN32_FILE_ATTRIBUTE_DATA before{};
  ASSERT_TRUE(::GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &before));
  SetFileStamp(file.wstring(), payload::DosDateTimeToDateTime(May17));
  WIN32_FILE_ATTRIBUTE_DATA after{};
  ASSERT_TRUE(::GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &after));
  EXPECT_EQ(CompareFileTime(&before.ftLastWriteTime, &after.ftLastWriteTime), 0);
  EXPECT_EQ(Read(file), "content");
  EXPECT_NO_THROW(SetFileStamp((folder.Path() / L"missing.txt").wstring(), payload::DosDateTimeToDateTime(May17)));
  EXPECT_FALSE(fs::exists(folder.Path() / L"missing.txt"));
}

// ---- deletion by mask

struct MaskCase {
  const char* Case;
  std::u16string Mask;
  std::vector<std::wstring> Left;  // what the folder holds afterwards
  bool Refused;
};

class DeletionByMask : public ::testing::TestWithParam<MaskCase> {};

// cache\a.tmp, cache\b.tmp, cache\keep.txt, cache\locked.tmp (read-only), cache\old\ (empty),
// cache\full\x.txt, top.tmp
void PrepareCache(const fs::path& root) {
  Write(root / L"cache" / L"a.tmp", "a");
  Write(root / L"cache" / L"b.tmp", "b");
  Write(root / L"cache" / L"keep.txt", "k");
  Write(root / L"cache" / L"locked.tmp", "l");
  ::SetFileAttributesW((root / L"cache" / L"locked.tmp").c_str(), FILE_ATTRIBUTE_READONLY);
  fs::create_directories(root / L"cache" / L"old");
  Write(root / L"cache" / L"full" / L"x.txt", "x");
  Write(root / L"top.tmp", "t");
}

TEST_P(DeletionByMask, DeletesFilesAndEmptyFoldersItMatchesAndNothingOutside) {
  const MaskCase& c = GetParam();
  TTempFolder outer;
  const fs::path root = outer.Path() / L"install";
  PrepareCache(root);
  Write(outer.Path() / L"outside.tmp", "o");
  TInstallFailures failures;
  DeleteByMask(root.wstring() + L"\\", c.Mask, failures);
  EXPECT_EQ(Listing(root), c.Left);
  EXPECT_EQ(Read(outer.Path() / L"outside.tmp"), "o");
  EXPECT_TRUE(fs::exists(root));
  ASSERT_EQ(failures.size(), c.Refused ? 1u : 0u);
  if (c.Refused) {
    EXPECT_EQ(failures[0].Kind, TKind::Deletion);
    EXPECT_EQ(failures[0].Reason, TFailureReason::OutsideFolder);
  }
}

const std::vector<std::wstring> Everything = {
    L"cache", L"cache\\a.tmp", L"cache\\b.tmp", L"cache\\full", L"cache\\full\\x.txt", L"cache\\keep.txt",
    L"cache\\locked.tmp", L"cache\\old", L"top.tmp"};

std::vector<std::wstring> Without(std::vector<std::wstring> names, const std::vector<std::wstring>& gone) {
  std::erase_if(names, [&](const std::wstring& n) { return std::find(gone.begin(), gone.end(), n) != gone.end(); });
  return names;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DeletionByMask,
    ::testing::Values(
        MaskCase{"tmp files", u"cache\\*.tmp", Without(Everything, {L"cache\\a.tmp", L"cache\\b.tmp"}), false},
        MaskCase{"one file", u"cache\\keep.txt", Without(Everything, {L"cache\\keep.txt"}), false},
        MaskCase{"question mark", u"cache\\?.tmp", Without(Everything, {L"cache\\a.tmp", L"cache\\b.tmp"}), false},
        MaskCase{"files and folders", u"cache\\*",
                 Without(Everything, {L"cache\\a.tmp", L"cache\\b.tmp", L"cache\\keep.txt", L"cache\\old"}), false},
        MaskCase{"empty folder by name", u"cache\\old", Without(Everything, {L"cache\\old"}), false},
        MaskCase{"full folder stays", u"cache\\full", Everything, false},
        MaskCase{"nothing matches", u"cache\\*.bak", Everything, false},
        MaskCase{"missing folder", u"nowhere\\*.tmp", Everything, false},
        MaskCase{"top level", u"*.tmp", Without(Everything, {L"top.tmp"}), false},
        MaskCase{"top level all", u"*", Without(Everything, {L"top.tmp"}), true},
        MaskCase{"top level dot star", u".*", Everything, true},
        MaskCase{"climbs out", u"..\\*.tmp", Everything, true},
        MaskCase{"absolute", u"C:\\*.tmp", Everything, true}),
    zarvo::testing::CaseName());

// ---- the walk over the lines

TEST(Lines, AreProcessedInOrderWithProgressForEachAndFailuresListed) {
  TTempFolder folder;
  TestPayload payload = Sample();
  Write(folder.Path() / L"cache" / L"old.tmp", "old");
  const payload::ManifestLines lines = {
      u"ZarvoF.exe|F|#|program",
      u"",
      u"|F|#|no path",
      u"cache\\*.tmp|K|",
      u"docs\\en\\readme.txt|FK|#|K with another letter is a file line",
      u"damaged.dll|F|#|",
      u"..\\..\\evil.txt|F|#|",
      u"..\\*.*|K|",
  };
  std::vector<std::wstring> events;
  TLineObserver observer;
  observer.LineStarted = [&](int index, int count) {
    events.push_back(L"line " + std::to_wstring(index) + L"/" + std::to_wstring(count));
  };
  observer.FileStarting = [&](const std::wstring& path) { events.push_back(L"file " + path); };
  const TInstallFailures failures = ProcessLines(payload.Payload, folder.Dir(), lines, observer);

  EXPECT_EQ(events, (std::vector<std::wstring>{L"line 0/8", L"file ZarvoF.exe", L"line 1/8", L"line 2/8", L"line 3/8",
                                               L"line 4/8", L"file docs\\en\\readme.txt", L"line 5/8",
                                               L"file damaged.dll", L"line 6/8", L"file ..\\..\\evil.txt",
                                               L"line 7/8"}));
  EXPECT_EQ(Read(folder.Path() / L"ZarvoF.exe"), "new program");
  EXPECT_EQ(Read(folder.Path() / L"docs" / L"en" / L"readme.txt"), "read me");
  EXPECT_FALSE(fs::exists(folder.Path() / L"cache" / L"old.tmp"));
  ASSERT_EQ(failures.size(), 3u);
  EXPECT_EQ(failures[0].Name, L"damaged.dll");
  EXPECT_EQ(failures[0].Reason, TFailureReason::DamagedEntry);
  EXPECT_EQ(failures[1].Name, L"..\\..\\evil.txt");
  EXPECT_EQ(failures[1].Reason, TFailureReason::OutsideFolder);
  EXPECT_EQ(failures[2].Kind, TKind::Deletion);
  EXPECT_EQ(failures[2].Name, L"..\\*.*");
}

// ---- links

struct LinkFacts {
  std::wstring Target, Folder, Icon;
};

LinkFacts ReadLink(const fs::path& link) {
  platform::ComPtr<IShellLinkW> shell;
  EXPECT_HRESULT_SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                              reinterpret_cast<void**>(shell.put())));
  platform::ComPtr<IPersistFile> file;
  EXPECT_HRESULT_SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put())));
  EXPECT_HRESULT_SUCCEEDED(file->Load(link.c_str(), STGM_READ));
  wchar_t target[MAX_PATH] = {}, folder[MAX_PATH] = {}, icon[MAX_PATH] = {};
  int index = -1;
  shell->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
  shell->GetWorkingDirectory(folder, MAX_PATH);
  shell->GetIconLocation(icon, MAX_PATH, &index);
  return {target, folder, icon};
}

class Links : public ::testing::Test {
protected:
  static void SetUpTestSuite() { ::CoInitialize(nullptr); }
  static void TearDownTestSuite() { ::CoUninitialize(); }
};

TEST_F(Links, GoToBothFoldersOpenTheInstalledProgramAndShowItsIcon) {
  TTempFolder folder;
  zarvo::testing::TShellFoldersHere shell(folder.Path());
  const fs::path desktop = shell.Desktop();
  const fs::path programs = shell.Programs();
  const std::wstring installDir = (folder.Path() / L"Zarvo").wstring() + L"\\";
  Write(installDir + L"ZarvoF.exe", "MZ");
  // An older link of the same name is replaced.
  Write(desktop / L"Zarvo Lite.lnk", "stale");

  const TInstallFailures failures =
      CreateShortcut({.InstallDir = installDir, .FN = L"ZarvoF", .Cap = L"Zarvo Lite", .Desktop = true, .StartMenu = true});
  EXPECT_TRUE(failures.empty());
  for (const fs::path& link : {desktop / L"Zarvo Lite.lnk", programs / L"Zarvo Lite.lnk"}) {
    SCOPED_TRACE(link.string());
    ASSERT_TRUE(fs::exists(link));
    const LinkFacts facts = ReadLink(link);
    EXPECT_EQ(facts.Target, installDir + L"ZarvoF.exe");
    EXPECT_EQ(facts.Folder, installDir);
    EXPECT_EQ(facts.Icon, installDir + L"ZarvoF.exe");
  }
}

TEST_F(Links, EachFailsOnItsOwnAndIsListed) {
  TTempFolder folder;
  zarvo::testing::TShellFoldersHere shell(folder.Path());
  const fs::path programs = shell.Programs();
  shell.SetNumber(L"Desktop", 7);  // not text
  const std::wstring installDir = (folder.Path() / L"Zarvo").wstring() + L"\\";
  Write(installDir + L"ZarvoF.exe", "MZ");

  TInstallFailures failures =
      CreateShortcut({.InstallDir = installDir, .FN = L"ZarvoF", .Cap = L"Zarvo Lite", .Desktop = true, .StartMenu = true});
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].Kind, TKind::Link);
  EXPECT_EQ(failures[0].Reason, TFailureReason::NoShellFolder);
  EXPECT_TRUE(fs::exists(programs / L"Zarvo Lite.lnk"));

  // No program installed: no link to nothing.
  fs::remove(installDir + L"ZarvoF.exe");
  fs::remove(programs / L"Zarvo Lite.lnk");
  failures = CreateShortcut({.InstallDir = installDir, .FN = L"ZarvoF", .Cap = L"Zarvo Lite", .Desktop = false, .StartMenu = true});
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].Reason, TFailureReason::NoProgram);
  EXPECT_FALSE(fs::exists(programs / L"Zarvo Lite.lnk"));

  // Neither box ticked: nothing at all.
  EXPECT_TRUE(CreateShortcut({.InstallDir = installDir, .FN = L"ZarvoF", .Cap = L"Zarvo Lite"}).empty());
}

}  // namespace
}  // namespace zarvo::install
