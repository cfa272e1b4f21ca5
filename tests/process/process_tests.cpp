// Real runs of the built setup program: its window read from outside, keys posted to it, the lock
// file in a temporary folder of each test's own, and the registry values it reads at start.
#include "tests/process/Driver.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cwchar>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>


namespace zarvo::process {
namespace {

int SelectedItem(HWND combo) {
  DWORD_PTR item = 0;
  ::SendMessageTimeoutW(combo, CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 5000, &item);
  return static_cast<int>(static_cast<LRESULT>(item));
}

std::vector<std::wstring> ComboItems(HWND combo) {
  std::vector<std::wstring> items;
  const int count = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    std::wstring text(static_cast<std::size_t>(::SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
    items.push_back(text);
  }
  return items;
}

std::array<std::wstring, 3> CheckBoxTexts(const SetupWindow& setup) {
  const auto boxes = setup.CheckBoxes();
  return {TextOf(boxes[0]), TextOf(boxes[1]), TextOf(boxes[2])};
}

const std::array<std::wstring, 3> EnglishCheckBoxes = {
    L"Create desktop icon", L"Create an icon in the start menu", L"Forced installation (all settings will be lost!)"};
const std::array<std::wstring, 3> RussianCheckBoxes = {L"Создать иконку на рабочем столе",
                                                       L"Создать иконку в меню \"Пуск\"",
                                                       L"Принудительная установка (все настройки будут утеряны!)"};


SavedRegistryValue OemCodePage() {
  return {HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage", L"OEMCP"};
}

// Every test has a temporary folder of its own for the setup's TMP and TEMP.
class SetupRun : public ::testing::Test {
protected:
  TemporaryFolder temp_;
};

TEST_F(SetupRun, ShowsOneCaptionedWindowWithTheLanguageListAndTheDefaultFolder) {
  SetupProcess process(L"", temp_.Path());
  SetupWindow setup;
  ASSERT_NO_FATAL_FAILURE(StartAndFind(process, setup));
  wchar_t caption[64] = {};
  ::GetWindowTextW(setup.Form, caption, 64);
  EXPECT_EQ(std::wstring(caption), L"Zarvo LITE");
  EXPECT_EQ(VisibleTopLevelWindows(process.Id()), std::vector<HWND>{setup.Form});
  EXPECT_EQ(ComboItems(setup.cbLang), (std::vector<std::wstring>{L"English", L"Russian (Русский)"}));
  EXPECT_EQ(TextOf(setup.Edit1), DefaultFolder);
  EXPECT_TRUE(process.MessageBoxTexts().empty());
  EXPECT_EQ(process.Close(setup.Form), 0u);
}


// The first language follows the OEM code page only when it is the text "866".
struct CodePageCase {
  const char* Name;
  std::optional<std::wstring> Text;
  std::optional<DWORD> Number;
  bool Russian;
};
void PrintTo(const CodePageCase& c, std::ostream* out) { *out << c.Name; }


class FirstLanguage : public SetupRun, public ::testing::WithParamInterface<CodePageCase> {};

TEST_P(FirstLanguage, FollowsTheOemCodePage) {
  const CodePageCase& c = GetParam();
  SavedRegistryValue codePage = OemCodePage();
  if (c.Text)
    codePage.SetText(*c.Text);
  else if (c.Number)
    codePage.SetNumber(*c.Number);
  else
    codePage.Delete();
  SetupProcess process(L"", temp_.Path());
  SetupWindow setup;
  ASSERT_NO_FATAL_FAILURE(StartAndFind(process, setup));
  EXPECT_EQ(SelectedItem(setup.cbLang), c.Russian ? 1 : 0);
  EXPECT_EQ(CheckBoxTexts(setup), c.Russian ? RussianCheckBoxes : EnglishCheckBoxes);
  EXPECT_EQ(process.Close(setup.Form), 0u);
}

INSTANTIATE_TEST_SUITE_P(CodePages, FirstLanguage,
                         ::testing::Values(CodePageCase{"Text866", L"866", std::nullopt, true},
                                           CodePageCase{"Text437", L"437", std::nullopt, false},
                                           CodePageCase{"Missing", std::nullopt, std::nullopt, false},
                                           CodePageCase{"Number866", std::nullopt, 866, false}),
                         [](const auto& info) { return std::string(info.param.Name); });

// From either first language, the other item and back again.
struct SwitchCase {
  const char* Name;
  const wchar_t* CodePage;
  WORD ToOther;
  WORD Back;
};
void PrintTo(const SwitchCase& c, std::ostream* out) { *out << c.Name; }


class LanguageSwitch : public SetupRun, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(LanguageSwitch, TheOtherItemChangesEveryTextAndBackRestoresThem) {
  const SwitchCase& c = GetParam();
  SavedRegistryValue codePage = OemCodePage();
  codePage.SetText(c.CodePage);
  SetupProcess process(L"", temp_.Path());
  SetupWindow setup;
  ASSERT_NO_FATAL_FAILURE(StartAndFind(process, setup));
  const int first = SelectedItem(setup.cbLang);
  const std::array<std::wstring, 3> firstTexts = CheckBoxTexts(setup);
  const std::array<std::wstring, 3> otherTexts = first == 1 ? EnglishCheckBoxes : RussianCheckBoxes;
  ASSERT_EQ(firstTexts, first == 1 ? RussianCheckBoxes : EnglishCheckBoxes);

  PostKey(setup.cbLang, c.ToOther);
  EXPECT_TRUE(WaitUntil([&] { return CheckBoxTexts(setup) == otherTexts; }, ReactionLimit))
      << ::testing::PrintToString(CheckBoxTexts(setup));
  EXPECT_EQ(SelectedItem(setup.cbLang), 1 - first);

  PostKey(setup.cbLang, c.Back);
  EXPECT_TRUE(WaitUntil([&] { return CheckBoxTexts(setup) == firstTexts; }, ReactionLimit))
      << ::testing::PrintToString(CheckBoxTexts(setup));
  EXPECT_EQ(SelectedItem(setup.cbLang), first);
  EXPECT_EQ(process.Focus(), setup.cbLang);
  EXPECT_EQ(process.Close(setup.Form), 0u);
}

INSTANTIATE_TEST_SUITE_P(FirstLanguages, LanguageSwitch,
                         ::testing::Values(SwitchCase{"FromEnglish", L"437", VK_DOWN, VK_UP},
                                           SwitchCase{"FromRussian", L"866", VK_UP, VK_DOWN}),
                         [](const auto& info) { return std::string(info.param.Name); });

// The windowed controls' bounds in their parents, designed at 120 pixels per inch.
struct ExpectedBounds {
  const char* Name;
  HWND SetupWindow::*Control;
  Box At120, At96;
};

const ExpectedBounds WindowedBounds[] = {
    {"GP", &SetupWindow::GP, {0, 31, 550, 268}, {0, 25, 440, 214}},
    {"Panel1", &SetupWindow::Panel1, {0, 238, 550, 30}, {0, 190, 440, 24}},
    {"cbLang", &SetupWindow::cbLang, {5, 2, 186, 24}, {4, 2, 149, 19}},
    {"Panel6", &SetupWindow::Panel6, {0, 121, 550, 114}, {0, 97, 440, 91}},
    {"cbDesktop", &SetupWindow::cbDesktop, {30, 32, 492, 23}, {24, 26, 394, 18}},
    {"cbStart", &SetupWindow::cbStart, {30, 57, 492, 23}, {24, 46, 394, 18}},
    {"cbForce", &SetupWindow::cbForce, {30, 82, 492, 24}, {24, 66, 394, 19}},
    {"Panel4", &SetupWindow::Panel4, {0, 0, 550, 119}, {0, 0, 440, 95}},
    {"Edit1", &SetupWindow::Edit1, {30, 32, 459, 24}, {24, 26, 367, 19}},
    {"Panel3", &SetupWindow::Panel3, {62, 113, 423, 104}, {50, 90, 338, 83}},
    {"PB", &SetupWindow::PB, {7, 68, 409, 29}, {6, 54, 326, 23}},
};

class ScreenResolution : public SetupRun, public ::testing::WithParamInterface<int> {};

TEST_P(ScreenResolution, WindowedControlsTakeTheScaledDesignBounds) {
  const int ppi = GetParam();
  SavedRegistryValue logPixels(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels");
  logPixels.SetNumber(static_cast<DWORD>(ppi));
  SetupProcess process(L"", temp_.Path());
  SetupWindow setup;
  ASSERT_NO_FATAL_FAILURE(StartAndFind(process, setup));
  // The client area shows that the program saw the resolution the registry gives.
  RECT client{};
  ::GetClientRect(setup.Form, &client);
  EXPECT_EQ(client.right, ppi == 120 ? 550 : 440);
  EXPECT_EQ(client.bottom, ppi == 120 ? 299 : 239);
  for (const ExpectedBounds& expected : WindowedBounds) {
    SCOPED_TRACE(expected.Name);
    const Box designed = ppi == 120 ? expected.At120 : expected.At96;
    const Box actual = BoxInParent(setup.*expected.Control);
    if (expected.Control == &SetupWindow::cbLang) {
      // Wine's drop-down list does not shrink below its font's height.
      EXPECT_EQ((Box{actual.Left, actual.Top, actual.Width, 0}), (Box{designed.Left, designed.Top, designed.Width, 0}));
      EXPECT_GE(actual.Height, designed.Height);
    } else {
      EXPECT_EQ(actual, designed);
    }
  }
  EXPECT_FALSE(::IsWindowVisible(setup.Panel3));
  EXPECT_EQ(process.Close(setup.Form), 0u);
}

INSTANTIATE_TEST_SUITE_P(PixelsPerInch, ScreenResolution, ::testing::Values(96, 120),
                         [](const auto& info) { return "At" + std::to_string(info.param); });

TEST_F(SetupRun, TabGoesThroughTheControlsAndBackToTheLanguageList) {
  SetupProcess process(L"", temp_.Path());
  SetupWindow setup;
  ASSERT_NO_FATAL_FAILURE(StartAndFind(process, setup));
  const std::pair<const char*, HWND> order[] = {{"cbDesktop", setup.cbDesktop}, {"cbStart", setup.cbStart},
                                                {"cbForce", setup.cbForce},     {"Edit1", setup.Edit1},
                                                {"cbLang", setup.cbLang}};
  for (const auto& [name, next] : order) {
    PostKey(process.Focus(), VK_TAB);
    ASSERT_TRUE(process.WaitForFocus(next)) << "expected " << name << ", focus is on " << Describe(process.Focus());
  }
  EXPECT_EQ(process.Close(setup.Form), 0u);
}

TEST_F(SetupRun, EnterMakesTheUpdateFolderWithItsParents) {
  const std::filesystem::path folder = temp_.Path() / L"fresh" / L"a" / L"b";
  SetupProcess process(L"/update " + Quoted(folder.wstring() + L"\\"), temp_.Path());
  SetupWindow setup;
  ASSERT_NO_FATAL_FAILURE(StartAndFind(process, setup));
  ASSERT_EQ(TextOf(setup.Edit1), folder.wstring() + L"\\");
  ASSERT_FALSE(std::filesystem::exists(temp_.Path() / L"fresh"));
  PostKey(process.Focus(), VK_RETURN);
  EXPECT_TRUE(WaitUntil([&] { return std::filesystem::is_directory(folder); }, ReactionLimit));
  // Nothing else happens yet: no message, the window stays.
  PumpFor(500ms);
  EXPECT_EQ(process.MessageBoxTexts(), std::vector<std::wstring>{});
  EXPECT_TRUE(::IsWindowVisible(setup.Form));
  EXPECT_EQ(process.Close(setup.Form), 0u);
}

// A folder box the Install button refuses: what it holds and what must not appear on disk.
struct WrongFolderCase {
  const char* Name;
  std::wstring (*Arguments)(const std::filesystem::path& temp);
  bool ClearFolderBox;
};
void PrintTo(const WrongFolderCase& c, std::ostream* out) { *out << c.Name; }


class WrongFolder : public SetupRun, public ::testing::WithParamInterface<WrongFolderCase> {};

TEST_P(WrongFolder, EnterShowsTheMessageAndThenFocusesTheFolderBox) {
  const WrongFolderCase& c = GetParam();
  // A file where a folder of the path would have to be.
  std::ofstream(temp_.Path() / L"blocker") << "x";
  SetupProcess process(c.Arguments(temp_.Path()), temp_.Path());
  SetupWindow setup;
  ASSERT_NO_FATAL_FAILURE(StartAndFind(process, setup));
  if (c.ClearFolderBox) {
    ::SendMessageW(setup.Edit1, EM_SETSEL, 0, -1);
    PostKey(setup.Edit1, VK_DELETE);
    ASSERT_TRUE(WaitUntil([&] { return TextOf(setup.Edit1).empty(); }, ReactionLimit)) << "delete did not empty it";
  }
  const std::vector<std::filesystem::path> before = {std::filesystem::directory_iterator(temp_.Path()), {}};
  PostKey(process.Focus(), VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return process.VisibleMessageBox() != nullptr; }, ReactionLimit));
  EXPECT_EQ(process.MessageBoxTexts(), std::vector<std::wstring>{WrongFolderText});
  ::PostMessageW(process.VisibleMessageBox(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return process.VisibleMessageBox() == nullptr; }, ReactionLimit));
  EXPECT_TRUE(process.WaitForFocus(setup.Edit1)) << "focus is on " << Describe(process.Focus());
  // Nothing was made, not even beside the program's working folder.
  const std::vector<std::filesystem::path> after = {std::filesystem::directory_iterator(temp_.Path()), {}};
  EXPECT_EQ(after, before);
  EXPECT_EQ(process.Close(setup.Form), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, WrongFolder,
    ::testing::Values(WrongFolderCase{"Empty", [](const std::filesystem::path&) { return std::wstring(); }, true},
                      WrongFolderCase{"Relative",
                                      [](const std::filesystem::path&) { return std::wstring(L"/update made\\here\\"); },
                                      false},
                      WrongFolderCase{"UnderAFile",
                                      [](const std::filesystem::path& temp) {
                                        return L"/update " + Quoted((temp / L"blocker" / L"sub").wstring() + L"\\");
                                      },
                                      false}),
    [](const auto& info) { return std::string(info.param.Name); });

// What the command line puts in the folder box.
struct FolderArgumentCase {
  const char* Name;
  std::wstring Arguments;
  std::wstring FolderBox;
};
void PrintTo(const FolderArgumentCase& c, std::ostream* out) { *out << c.Name; }


class FolderArgument : public SetupRun, public ::testing::WithParamInterface<FolderArgumentCase> {};

TEST_P(FolderArgument, FillsTheFolderBoxOnlyAfterTheUpdateSwitch) {
  const FolderArgumentCase& c = GetParam();
  SetupProcess process(c.Arguments, temp_.Path());
  SetupWindow setup;
  ASSERT_NO_FATAL_FAILURE(StartAndFind(process, setup));
  EXPECT_EQ(TextOf(setup.Edit1), c.FolderBox);
  EXPECT_EQ(process.Close(setup.Form), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, FolderArgument,
    ::testing::Values(
        FolderArgumentCase{"UpdateWithFolder", L"/update " + Quoted(L"D:\\Мои программы\\Zarvo\\"),
                           L"D:\\Мои программы\\Zarvo\\"},
        FolderArgumentCase{"UpperCaseUpdateWithFolder", L"/UPDATE E:\\Zarvo", L"E:\\Zarvo"},
        FolderArgumentCase{"UpdateAlone", L"/update", DefaultFolder},
        FolderArgumentCase{"UpdateWithEmptyFolder", L"/update \"\"", DefaultFolder},
        FolderArgumentCase{"FolderWithoutUpdate", Quoted(L"D:\\Zarvo\\"), DefaultFolder},
        FolderArgumentCase{"FolderBeforeUpdate", L"D:\\Zarvo\\ /update", DefaultFolder}),
    [](const auto& info) { return std::string(info.param.Name); });

// A lock file held the way the setup holds it.
class HeldLock {
public:
  explicit HeldLock(const std::filesystem::path& path)
      : handle_(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {
    EXPECT_NE(handle_, INVALID_HANDLE_VALUE) << ::GetLastError();
  }
  ~HeldLock() { Release(); }
  HeldLock(const HeldLock&) = delete;
  HeldLock& operator=(const HeldLock&) = delete;
  void Release() {
    if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE));
  }

private:
  HANDLE handle_;
};

// A window of this program to hold the foreground; one for the whole program, since hiding a
// shown window costs seconds here.
HWND ForegroundHolder() {
  static const HWND window = [] {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ZarvoProcessTestHolder";
    ::RegisterClassW(&windowClass);
    return ::CreateWindowExW(0, windowClass.lpszClassName, L"holder", WS_POPUP | WS_VISIBLE, 600, 500, 200, 100,
                             nullptr, nullptr, windowClass.hInstance, nullptr);
  }();
  return window;
}

class SecondStart : public SetupRun, public ::testing::WithParamInterface<bool> {};

TEST_P(SecondStart, EndsWithoutAWindowAndBringsTheRunningSetupToTheFront) {
  const bool minimised = GetParam();
  SetupProcess first(L"", temp_.Path());
  SetupWindow setup;
  ASSERT_NO_FATAL_FAILURE(StartAndFind(first, setup));
  HWND holder = ForegroundHolder();
  ASSERT_NE(holder, nullptr);
  ::SetForegroundWindow(holder);
  ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == holder; }, ReactionLimit));
  if (minimised) {
    ::PostMessageW(setup.Form, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitUntil([&] { return ::IsIconic(setup.Form) != FALSE; }, ReactionLimit));
    ::SetForegroundWindow(holder);
    ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == holder; }, ReactionLimit));
  }

  SetupProcess second(L"", temp_.Path());
  EXPECT_EQ(second.WaitForExit(), std::optional<DWORD>(0));
  EXPECT_FALSE(second.ShowedWindow());
  EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == setup.Form; }, ReactionLimit))
      << "foreground is " << Describe(::GetForegroundWindow());
  EXPECT_FALSE(::IsIconic(setup.Form));
  EXPECT_TRUE(::IsWindowVisible(setup.Form));
  EXPECT_TRUE(first.Running());
  EXPECT_EQ(first.Close(setup.Form), 0u);
}

INSTANTIATE_TEST_SUITE_P(FirstSetup, SecondStart, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Minimised" : "Behind"; });

TEST_F(SetupRun, MissingTemporaryFolderEndsAtOnceWithoutAWindow) {
  const std::filesystem::path missing = temp_.Path() / L"missing";
  SetupProcess process(L"", missing);
  EXPECT_EQ(process.WaitForExit(), std::optional<DWORD>(0));
  EXPECT_FALSE(process.ShowedWindow());
  EXPECT_FALSE(std::filesystem::exists(missing));
}

// The update switch as it may be written; each waits for the lock.
class UpdateSwitch : public SetupRun, public ::testing::WithParamInterface<const wchar_t*> {};

TEST_P(UpdateSwitch, WaitsWhileTheLockIsHeldAndStartsOnceItIsFree) {
  HeldLock lock(temp_.LockFile());
  SetupProcess process(GetParam(), temp_.Path());
  PumpFor(2s);
  ASSERT_TRUE(process.Running()) << "it did not wait";
  EXPECT_TRUE(VisibleTopLevelWindows(process.Id()).empty());
  lock.Release();
  SetupWindow setup;
  ASSERT_NO_FATAL_FAILURE(StartAndFind(process, setup));
  EXPECT_EQ(TextOf(setup.Edit1), DefaultFolder);
  EXPECT_EQ(process.Close(setup.Form), 0u);
}

INSTANTIATE_TEST_SUITE_P(Spellings, UpdateSwitch, ::testing::Values(L"/update", L"/UPDATE", L"/Update", L"\"/update\""),
                         [](const auto& info) {
                           std::string name;
                           for (const wchar_t* c = info.param; *c; ++c)
                             if (std::iswalpha(*c)) name.push_back(static_cast<char>(*c));
                           return name + (info.param[0] == L'"' ? "Quoted" : "");
                         });

TEST_F(SetupRun, UpdateSwitchWithABlankIsNoSwitchAndDoesNotWait) {
  HeldLock lock(temp_.LockFile());
  SetupProcess process(L"\"/update \"", temp_.Path());
  // Well before the half minute an update start would wait.
  EXPECT_EQ(process.WaitForExit(ExitLimit), std::optional<DWORD>(0));
  EXPECT_FALSE(process.ShowedWindow());
}

TEST_F(SetupRun, LockFileIsHeldWhileRunningAndStaysEmptyAfterTheEnd) {
  // A stale lock of an earlier run is truncated, not appended to.
  std::ofstream(temp_.LockFile(), std::ios::binary) << "stale";
  SetupProcess process(L"", temp_.Path());
  SetupWindow setup;
  ASSERT_NO_FATAL_FAILURE(StartAndFind(process, setup));
  HANDLE probe = ::CreateFileW(temp_.LockFile().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE |
                               FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(probe, INVALID_HANDLE_VALUE);
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  if (probe != INVALID_HANDLE_VALUE) ::CloseHandle(probe);
  EXPECT_EQ(process.Close(setup.Form), 0u);
  ASSERT_TRUE(std::filesystem::is_regular_file(temp_.LockFile()));
  EXPECT_EQ(std::filesystem::file_size(temp_.LockFile()), 0u);
}

// The one slow case: 61 attempts, 500 ms apart.
TEST_F(SetupRun, UpdateStartGivesUpAfterHalfAMinuteWithoutAWindow) {
  HeldLock lock(temp_.LockFile());
  SetupProcess process(L"/update", temp_.Path());
  const std::optional<DWORD> code = process.WaitForExit(60s);
  const milliseconds took = process.SinceStart();
  EXPECT_EQ(code, std::optional<DWORD>(0));
  EXPECT_FALSE(process.ShowedWindow());
  // 60 pauses of 500 ms at the least, then the start-up and the hand-over.
  EXPECT_GE(took, 30s);
  EXPECT_LT(took, 45s);
  std::cout << "the update start gave up after " << took.count() << " ms\n";
}

}  // namespace
}  // namespace zarvo::process
