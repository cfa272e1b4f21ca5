// The start-up's parts on their own: the lock path and the lock loop, the lock file, the code
// page as the registry holds it, and the command line's splitting.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/OemCodePage.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "tests/support/WinTestSupport.h"

namespace zarvo::app {
namespace {

namespace fs = std::filesystem;

TTempPathBuffer Buffer(const std::wstring& text) {
  TTempPathBuffer buffer{};
  std::copy(text.begin(), text.begin() + std::min(text.size(), buffer.size()), buffer.begin());
  return buffer;
}

struct LockPathCase {
  const char* Case;
  std::wstring TempPath;
  std::wstring Expected;
};

class LockPathRule : public ::testing::TestWithParam<LockPathCase> {};

TEST_P(LockPathRule, TakesTheTempPathUpToItsNulButAtMost129Characters) {
  EXPECT_EQ(LockPath(Buffer(GetParam().TempPath)), GetParam().Expected);
}

const std::wstring Long129 = L"C:\\" + std::wstring(125, L'a') + L"\\";  // 129 characters
const std::wstring Long140 = L"C:\\" + std::wstring(136, L'b') + L"\\";

INSTANTIATE_TEST_SUITE_P(
    Cases, LockPathRule,
    ::testing::Values(LockPathCase{"usual", L"C:\\users\\root\\Temp\\", L"C:\\users\\root\\Temp\\zarvo.tmp"},
                      LockPathCase{"short form", L"C:\\DOCUME~1\\ROOT\\LOCALS~1\\Temp\\",
                                   L"C:\\DOCUME~1\\ROOT\\LOCALS~1\\Temp\\zarvo.tmp"},
                      LockPathCase{"exactly 129", Long129, Long129 + L"zarvo.tmp"},
                      LockPathCase{"longer than 129", Long140, Long140.substr(0, 129) + L"zarvo.tmp"},
                      LockPathCase{"nothing from the system", L"", L"zarvo.tmp"}),
    zarvo::testing::CaseName());

TEST(LockPathRule, TheSystemsTempPathIsShortAndEndsWithABackslash) {
  const TTempPathBuffer buffer = ShortTempPath();
  const std::wstring path(buffer.data());
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.back(), L'\\');
  wchar_t shortForm[MAX_PATH];
  ASSERT_GT(::GetShortPathNameW(path.c_str(), shortForm, MAX_PATH), 0u);
  EXPECT_EQ(path, shortForm);
}

struct LoopCase {
  const char* Case;
  bool UpdateMode;
  int SucceedsAt;  // attempt number that succeeds; 0: never
  bool Locked;
  int Attempts;
  int Pauses;
};

class LockLoop : public ::testing::TestWithParam<LoopCase> {};

TEST_P(LockLoop, ANormalStartTriesOnceAnUpdateStartUpTo61TimesWithPausesBetween) {
  const LoopCase& c = GetParam();
  int attempts = 0;
  int pauses = 0;
  const bool locked = AcquireLock(
      c.UpdateMode, [&] { return ++attempts == c.SucceedsAt; }, [&] { ++pauses; });
  EXPECT_EQ(locked, c.Locked);
  EXPECT_EQ(attempts, c.Attempts);
  EXPECT_EQ(pauses, c.Pauses);
}

INSTANTIATE_TEST_SUITE_P(Cases, LockLoop,
                         ::testing::Values(LoopCase{"normal free", false, 1, true, 1, 0},
                                           LoopCase{"normal held", false, 0, false, 1, 0},
                                           LoopCase{"update free", true, 1, true, 1, 0},
                                           LoopCase{"update freed at the fifth", true, 5, true, 5, 4},
                                           LoopCase{"update freed at the last", true, 61, true, 61, 60},
                                           LoopCase{"update held throughout", true, 0, false, 61, 60}),
                         zarvo::testing::CaseName());

// A fresh folder under the temporary folder.
fs::path FreshFolder(const wchar_t* name) {
  wchar_t base[MAX_PATH];
  ::GetTempPathW(MAX_PATH, base);
  fs::path folder = fs::path(base) / (std::wstring(name) + std::to_wstring(::GetCurrentProcessId()));
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  fs::create_directories(folder);
  return folder;
}

TEST(LockFile, IsHeldExclusivelyEmptiedAndCannotBeMadeInAMissingFolder) {
  const fs::path folder = FreshFolder(L"zarvo-lock-");
  const fs::path lock = folder / L"zarvo.tmp";
  {
    HANDLE other = ::CreateFileW(lock.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(other, "old", 3, &written, nullptr);
    // Held by someone else: the attempt fails.
    EXPECT_FALSE(OpenLockFile(lock.wstring()));
    ::CloseHandle(other);
  }
  ASSERT_TRUE(OpenLockFile(lock.wstring()));
  // Truncated, and ours now: nobody else opens it, however they share.
  EXPECT_EQ(fs::file_size(lock), 0u);
  HANDLE second = ::CreateFileW(lock.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(second, INVALID_HANDLE_VALUE);
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  if (second != INVALID_HANDLE_VALUE) ::CloseHandle(second);
  EXPECT_FALSE(OpenLockFile((folder / L"missing" / L"zarvo.tmp").wstring()));
}

struct CodePageTextCase {
  std::wstring Text;
  std::uint16_t Expected;
};

class CodePageText : public ::testing::TestWithParam<CodePageTextCase> {};

TEST_P(CodePageText, DigitsGiveTheNumberAnythingElseZero) {
  EXPECT_EQ(ParseCodePage(GetParam().Text), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, CodePageText,
                         ::testing::Values(CodePageTextCase{L"866", 866}, CodePageTextCase{L"437", 437},
                                           CodePageTextCase{L"65001", 65001}, CodePageTextCase{L"", 0},
                                           CodePageTextCase{L"abc", 0}, CodePageTextCase{L"86 6", 0},
                                           CodePageTextCase{L"-866", 0}, CodePageTextCase{L"65536", 0},
                                           CodePageTextCase{L"0866", 866}, CodePageTextCase{L"99999999", 0}));

// The prefix's real value, put back when the test ends.
class SavedOemCodePage {
public:
  SavedOemCodePage() {
    EXPECT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, Key, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &FKey, nullptr),
              ERROR_SUCCESS);
    DWORD type = 0;
    wchar_t text[64] = {};
    DWORD size = sizeof(text) - sizeof(wchar_t);
    if (::RegQueryValueExW(FKey, L"OEMCP", nullptr, &type, reinterpret_cast<BYTE*>(text), &size) == ERROR_SUCCESS &&
        type == REG_SZ)
      FSaved = std::wstring(text);
  }
  ~SavedOemCodePage() {
    if (FSaved)
      SetText(*FSaved);
    else
      ::RegDeleteValueW(FKey, L"OEMCP");
    ::RegCloseKey(FKey);
  }
  void SetText(const std::wstring& text, DWORD type = REG_SZ) {
    ::RegSetValueExW(FKey, L"OEMCP", 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  void SetNumber(DWORD number) {
    ::RegSetValueExW(FKey, L"OEMCP", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
  }
  void Delete() { ::RegDeleteValueW(FKey, L"OEMCP"); }

private:
  static constexpr wchar_t Key[] = L"SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage";
  HKEY FKey = nullptr;
  std::optional<std::wstring> FSaved;
};

TEST(OemCodePage, IsReadAsTextAndEveryFailureGivesZero) {
  SavedOemCodePage saved;
  saved.SetText(L"866");
  EXPECT_EQ(ReadOemCodePage(), 866);
  saved.SetText(L"437", REG_EXPAND_SZ);
  EXPECT_EQ(ReadOemCodePage(), 437);
  saved.SetText(L"");
  EXPECT_EQ(ReadOemCodePage(), 0);
  saved.SetText(L"cyrillic");
  EXPECT_EQ(ReadOemCodePage(), 0);
  saved.SetNumber(866);
  EXPECT_EQ(ReadOemCodePage(), 0);
  saved.Delete();
  EXPECT_EQ(ReadOemCodePage(), 0);
  saved.SetText(L"8660000000000000000000000000000000000000000000000000000000000000000000000000");
  EXPECT_EQ(ReadOemCodePage(), 0);
}

struct SplitCase {
  const wchar_t* CommandLine;
  std::vector<std::wstring> Arguments;
};

class CommandLineSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(CommandLineSplit, QuotesGroupBlanksAndAreRemovedTheProgramNameIsLeftOut) {
  EXPECT_EQ(SplitCommandLine(GetParam().CommandLine), GetParam().Arguments);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineSplit,
    ::testing::Values(SplitCase{L"ZarvoFRE.exe", {}},
                      SplitCase{L"\"C:\\Down loads\\ZarvoFRE.exe\" /update", {L"/update"}},
                      SplitCase{L"ZarvoFRE.exe /update \"C:\\Program Files\\Zarvo\"", {L"/update", L"C:\\Program Files\\Zarvo"}},
                      SplitCase{L"ZarvoFRE.exe \"/update \" C:\\Z", {L"/update ", L"C:\\Z"}},
                      SplitCase{L"ZarvoFRE.exe /update \"\"", {L"/update", L""}},
                      SplitCase{L"", {}}));

}  // namespace
}  // namespace zarvo::app
