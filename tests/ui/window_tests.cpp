// The setup window on its own: its creation with a start-up of the test's, its layout at 96 and
// 120 pixels per inch, the two text sets, the first activation and the payload, the browse
// button, the link, the main button and the keys.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "controls/ShellOpen.h"
#include "tests/payload/ArchiveBuilder.h"
#include "tests/support/SetupBounds.h"
#include "tests/support/WinTestSupport.h"
#include "tests/toolkit/Support.h"
#include "toolkit/Application.h"
#include "toolkit/Edit.h"
#include "toolkit/Messages.h"
#include "ui/FolderBrowser.h"
#include "ui/SetupState.h"
#include "ui/Unit1.h"

namespace zarvo::ui {
namespace {

using namespace toolkit;
using toolkit::testing::PumpFor;
using toolkit::testing::PumpUntil;
namespace fs = std::filesystem;
using zarvo::testing::Read;
using zarvo::testing::TShellFoldersHere;
using zarvo::testing::TTempFolder;
using zarvo::testing::Write;

// The start-up as a test sets it up; it records what the window asked of it, in order.
class TFakeStartup : public TStartup {
public:
  std::vector<std::wstring> Args;
  std::uint16_t CodePage = 437;
  bool HandOver = false;  // the lock is held elsewhere: end the program
  std::vector<std::string> Calls;
  bool UpdateMode = false;

  std::vector<std::wstring> Arguments() const override { return Args; }
  void TakeLock(bool updateMode) override {
    Calls.push_back("TakeLock");
    UpdateMode = updateMode;
    if (HandOver) Application().Halt(0);
  }
  void SetThreadLocale() override { Calls.push_back("SetThreadLocale"); }
  std::uint16_t ReadOemCodePage() override {
    Calls.push_back("ReadOemCodePage");
    return CodePage;
  }
};

std::unique_ptr<TZarSetup> NewSetup(TFakeStartup& startup, TSetupOptions options = {}) {
  Application().Initialize();
  return NewForm<TZarSetup>(startup, options);
}

// ---- creation and start-up

struct CommandLineCase {
  const char* Case;
  std::vector<std::wstring> Args;
  bool UpdateMode;
  std::wstring Folder;
};

class CommandLine : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLine, TheFirstArgumentTurnsUpdateModeOnAndOnlyThenTheSecondIsTheFolder) {
  const CommandLineCase& c = GetParam();
  TFakeStartup startup;
  startup.Args = c.Args;
  auto form = NewSetup(startup);
  EXPECT_EQ(startup.UpdateMode, c.UpdateMode);
  EXPECT_EQ(form->Edit1->Text(), c.Folder);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLine,
    ::testing::Values(
        CommandLineCase{"none", {}, false, L"C:\\!ZarvoNew\\"},
        CommandLineCase{"update alone", {L"/update"}, true, L"C:\\!ZarvoNew\\"},
        CommandLineCase{"update and folder", {L"/update", L"D:\\Program Files\\Zarvo"}, true, L"D:\\Program Files\\Zarvo"},
        CommandLineCase{"capitals", {L"/UPDATE", L"D:\\Z"}, true, L"D:\\Z"},
        CommandLineCase{"mixed case", {L"/Update", L"D:\\Z"}, true, L"D:\\Z"},
        CommandLineCase{"empty folder", {L"/update", L""}, true, L"C:\\!ZarvoNew\\"},
        CommandLineCase{"trailing blank", {L"/update ", L"D:\\Z"}, false, L"C:\\!ZarvoNew\\"},
        CommandLineCase{"other prefix", {L"-update", L"D:\\Z"}, false, L"C:\\!ZarvoNew\\"},
        CommandLineCase{"folder without the switch", {L"D:\\Z"}, false, L"C:\\!ZarvoNew\\"},
        CommandLineCase{"switch as second argument", {L"D:\\Z", L"/update"}, false, L"C:\\!ZarvoNew\\"},
        CommandLineCase{"further arguments ignored", {L"/update", L"D:\\Z", L"E:\\X"}, true, L"D:\\Z"}),
    zarvo::testing::CaseName());

TEST(Creation, TakesTheLockBeforeTheLocaleAndTheCodePageAndEndsHiddenWithoutAWindow) {
  TFakeStartup startup;
  auto form = NewSetup(startup);
  EXPECT_EQ(startup.Calls, (std::vector<std::string>{"TakeLock", "SetThreadLocale", "ReadOemCodePage"}));
  EXPECT_FALSE(form->HandleAllocated());
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(SiteUrl, L"https://www.zarvo.example/desktop/");
}

struct CodePageCase {
  std::uint16_t CodePage;
  int Item;
  bool Russian;
};

class CodePageChoosesLanguage : public ::testing::TestWithParam<CodePageCase> {};

TEST_P(CodePageChoosesLanguage, RussianOnlyFor866) {
  TFakeStartup startup;
  startup.CodePage = GetParam().CodePage;
  auto form = NewSetup(startup);
  EXPECT_EQ(OemCodePage, GetParam().CodePage);
  EXPECT_EQ(form->cbLang->ItemIndex(), GetParam().Item);
  EXPECT_EQ(IsRussian, GetParam().Russian);
  EXPECT_EQ(form->SB1->Caption(), GetParam().Russian ? L"Установить >>" : L"Install >>");
}

INSTANTIATE_TEST_SUITE_P(Cases, CodePageChoosesLanguage,
                         ::testing::Values(CodePageCase{866, 1, true}, CodePageCase{437, 0, false},
                                           CodePageCase{850, 0, false}, CodePageCase{0, 0, false},
                                           CodePageCase{1251, 0, false}));

TEST(Creation, AHandOverEndsTheProgramWithCodeZeroBeforeAnyWindowAndDestroysTheForm) {
  Application().Initialize();
  TFakeStartup startup;
  startup.HandOver = true;
  int components = Application().ComponentCount();
  int code = Application().Execute([&] { Application().CreateForm<TZarSetup>(startup); });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(Application().MainForm(), nullptr);
  EXPECT_EQ(Application().ComponentCount(), components);
  EXPECT_EQ(::FindWindowW(L"TZarSetup", nullptr), nullptr);
  // Nothing after the lock ran.
  EXPECT_EQ(startup.Calls, std::vector<std::string>{"TakeLock"});
}

// ---- the texts

struct TextsRow {
  const wchar_t* Control;
  std::wstring English;
  std::wstring Russian;
};

// Every text the language sets, as the window must show it (blanks and quotes included).
const std::vector<TextsRow> TextTable = {
    {L"SB1", L"Install >>", L"Установить >>"},
    {L"SB2 hint", L"Select folder", L"Выбрать каталог"},
    {L"Label3", L" Install folder", L" Каталог установки"},
    {L"Label7", L" Creating icons", L" Создание иконок"},
    {L"cbDesktop", L"Create desktop icon", L"Создать иконку на рабочем столе"},
    {L"cbStart", L"Create an icon in the start menu", L"Создать иконку в меню \"Пуск\""},
    {L"cbForce", L"Forced installation (all settings will be lost!)",
     L"Принудительная установка (все настройки будут утеряны!)"},
    {L"Label13", L"Copy new files", L"Копирование файлов"},
    {L"Link1", L"Official website of the program ", L"Официальный сайт программы "},
    {L"Label4",
     L"directory name, it is desirable to leave unchanged,\rthis will save your settings and make it easier to "
     L"install updates",
     L"имя каталога, желательно оставить без изменений,\rэто позволит сохранить Ваши настройки и облегчит "
     L"установку обновлений"},
};

std::wstring TextOf(TZarSetup& form, const std::wstring& control) {
  if (control == L"SB2 hint") return form.SB2->Hint();
  return form.Component<TControl>(control).Caption();
}

void ExpectTexts(TZarSetup& form, bool russian) {
  for (const TextsRow& row : TextTable) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(row.Control)));
    EXPECT_EQ(TextOf(form, row.Control), russian ? row.Russian : row.English);
  }
}

// What the language never touches.
struct Untouched {
  std::wstring Caption, Edit, Label1, Item0, Item1;
  bool operator==(const Untouched&) const = default;
};

Untouched UntouchedOf(TZarSetup& form) {
  return {form.Caption(), form.Edit1->Text(), form.Label1->Caption(), form.cbLang->Items()[0],
          form.cbLang->Items()[1]};
}

TEST(Language, SwitchingChangesEveryTextAndBackRestoresThemExactly) {
  TFakeStartup startup;
  auto form = NewSetup(startup);
  ExpectTexts(*form, false);
  const Untouched before = UntouchedOf(*form);
  EXPECT_EQ(before.Item1, L"Russian (Русский)");

  form->cbLang->SetItemIndex(1);
  form->cbLangChange(form->cbLang);
  EXPECT_TRUE(IsRussian);
  ExpectTexts(*form, true);
  EXPECT_EQ(UntouchedOf(*form), before);

  form->cbLang->SetItemIndex(0);
  form->cbLangChange(form->cbLang);
  EXPECT_FALSE(IsRussian);
  ExpectTexts(*form, false);
  EXPECT_EQ(UntouchedOf(*form), before);
}

TEST(Language, CallingAgainWithTheSameSelectionChangesNothingAndNoSelectionMeansEnglish) {
  TFakeStartup startup;
  startup.CodePage = 866;
  auto form = NewSetup(startup);
  form->cbLangChange(nullptr);
  ExpectTexts(*form, true);
  form->cbLang->SetItemIndex(-1);
  form->cbLangChange(nullptr);
  EXPECT_FALSE(IsRussian);
  ExpectTexts(*form, false);
}

// ---- layout

// Bounds after the first activation: the advice lines up with the folder box and the browse
// button takes the folder box's top and height.
zarvo::testing::Box Activated(const zarvo::testing::ExpectedBounds& expected, int ppi) {
  zarvo::testing::Box box = ppi == 120 ? expected.At120 : expected.At96;
  const std::wstring name = expected.Name;
  if (name == L"Label4") box.Left = ppi == 120 ? 30 : 24;
  if (name == L"SB2") {
    box.Top = ppi == 120 ? 32 : 26;
    box.Height = ppi == 120 ? 24 : 19;
  }
  return box;
}

void ExpectActivatedBounds(TZarSetup& form, int ppi) {
  EXPECT_EQ(form.ClientWidth(), ppi == 120 ? 550 : 440);
  EXPECT_EQ(form.ClientHeight(), ppi == 120 ? 299 : 239);
  for (const auto& expected : zarvo::testing::SetupBounds) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(expected.Name)));
    auto& control = form.Component<TControl>(expected.Name);
    const zarvo::testing::Box box = Activated(expected, ppi);
    EXPECT_EQ(control.Left(), box.Left);
    EXPECT_EQ(control.Top(), box.Top);
    EXPECT_EQ(control.Width(), box.Width);
    // A drop-down list with a window is as high as its font makes it, at least the design's.
    if (dynamic_cast<TComboBox*>(&control) && static_cast<TComboBox&>(control).HandleAllocated())
      EXPECT_GE(control.Height(), box.Height);
    else
      EXPECT_EQ(control.Height(), box.Height);
  }
}

class LayoutAt : public ::testing::TestWithParam<int> {};

TEST_P(LayoutAt, TheFirstActivationGivesThePredictedBoundsAndCaption) {
  TFakeStartup startup;
  auto form = NewSetup(startup, {.PixelsPerInch = GetParam()});
  Application().SetTitle(L"Zarvo LITE");
  form->FormActivate(form.get());
  EXPECT_EQ(form->Caption(), L"Zarvo LITE");
  EXPECT_EQ(Application().HintPause(), 0);
  EXPECT_EQ(form->Label4->Align(), alNone);
  ExpectActivatedBounds(*form, GetParam());
  // Running it again changes nothing.
  form->FormActivate(form.get());
  ExpectActivatedBounds(*form, GetParam());
}

TEST_P(LayoutAt, FontsAndSettingsFollowTheDescription) {
  TFakeStartup startup;
  auto form = NewSetup(startup, {.PixelsPerInch = GetParam()});
  const int height = GetParam() == 120 ? 15 : 12;
  struct FontRow {
    const wchar_t* Control;
    BYTE Charset;
    TColor Color;
    TFontStyles Style;
  };
  const TFontStyles regular{};
  const std::vector<FontRow> fonts = {
      {L"GP", DEFAULT_CHARSET, clWindowText, regular},       {L"Panel1", DEFAULT_CHARSET, clWindowText, regular},
      {L"SB1", DEFAULT_CHARSET, clWindowText, regular},      {L"SB2", DEFAULT_CHARSET, clWindowText, regular},
      {L"Label3", RUSSIAN_CHARSET, clWindowText, fsBold},    {L"Label7", RUSSIAN_CHARSET, clWindowText, fsBold},
      {L"cbForce", RUSSIAN_CHARSET, clWindowText, fsBold},   {L"Label13", RUSSIAN_CHARSET, clWindowText, fsBold},
      {L"Link1", RUSSIAN_CHARSET, clBlue, fsBold | fsUnderline},
      {L"Edit1", RUSSIAN_CHARSET, clWindowText, regular},    {L"Label4", RUSSIAN_CHARSET, clWindowText, regular},
      {L"cbDesktop", RUSSIAN_CHARSET, clWindowText, regular}, {L"cbStart", RUSSIAN_CHARSET, clWindowText, regular},
      {L"cbLang", RUSSIAN_CHARSET, clWindowText, regular},
  };
  for (const FontRow& row : fonts) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(row.Control)));
    const TFont& font = form->Component<TControl>(row.Control).Font();
    EXPECT_EQ(font.Name(), L"MS Sans Serif");
    EXPECT_EQ(font.Height(), height);
    EXPECT_EQ(font.Charset(), row.Charset);
    EXPECT_EQ(font.Color(), row.Color);
    EXPECT_EQ(font.Style(), row.Style);
  }
  EXPECT_TRUE(form->cbDesktop->Checked());
  EXPECT_TRUE(form->cbStart->Checked());
  EXPECT_FALSE(form->cbForce->Checked());
  EXPECT_EQ(form->cbDesktop->HotColor(), clWindow);
  EXPECT_EQ(form->SB1->sbType(), controls::sbOk);
  EXPECT_EQ(form->SB2->sbType(), controls::sbNone);
  EXPECT_TRUE(form->SB1->MyStyle());
  EXPECT_TRUE(form->SB2->ShowHint());
  EXPECT_FALSE(form->SB2->ParentShowHint());
  EXPECT_GT(form->SB2->Glyph().Width(), 0);
  EXPECT_FALSE(form->Panel3->Visible());
  EXPECT_EQ(form->Link1->Link(), L"");
  EXPECT_EQ(form->Link1->Cursor(), crHandPoint);
  EXPECT_EQ(form->BorderStyle(), bsSingle);
  EXPECT_EQ(form->BorderIcons(), biSystemMenu);
}

INSTANTIATE_TEST_SUITE_P(DesignAndScreen, LayoutAt, ::testing::Values(120, 96));

// ---- the payload

TEST(Payload, TheFirstActivationOpensTheProgramsOwnPayloadOnce) {
  TFakeStartup startup;
  auto form = NewSetup(startup);
  EXPECT_FALSE(form->Payload().Opened);
  form->FormActivate(form.get());
  ASSERT_TRUE(form->Payload().Opened);
  EXPECT_FALSE(form->Payload().FileList.empty());
  EXPECT_EQ(form->Payload().ArchiveContent.size(), form->Payload().ArchiveItems.size());
  EXPECT_EQ(form->Payload().ArchiveContent.front(), u"list");
  EXPECT_TRUE(form->PayloadFailure().empty());
}

// A copy of this test program whose only resource is the given payload, loaded as data.
class TPayloadModule {
public:
  explicit TPayloadModule(const std::vector<std::uint8_t>* payload) {
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    FPath = FFolder.Path() / L"fixture.exe";
    fs::copy_file(self, FPath);
    HANDLE update = ::BeginUpdateResourceW(FPath.c_str(), TRUE);
    EXPECT_NE(update, nullptr);
    if (payload) {
      EXPECT_TRUE(::UpdateResourceW(update, L"EXEFILE", L"MAIN", MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                                    const_cast<std::uint8_t*>(payload->data()), static_cast<DWORD>(payload->size())));
    }
    EXPECT_TRUE(::EndUpdateResourceW(update, FALSE));
    FModule = ::LoadLibraryExW(FPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_NE(FModule, nullptr);
  }
  ~TPayloadModule() {
    if (FModule) ::FreeLibrary(FModule);
  }
  HMODULE Module() const { return FModule; }

private:
  TTempFolder FFolder;
  fs::path FPath;
  HMODULE FModule = nullptr;
};

using payload::testing::ArchiveBuilder;
using payload::testing::Bytes;

struct BrokenPayloadCase {
  const char* Case;
  bool HasResource;
  Bytes Archive;
  std::string Reason;  // part of the error's text
};

class BrokenPayload : public ::testing::TestWithParam<BrokenPayloadCase> {};

TEST_P(BrokenPayload, TheOpeningFailsWithItsReasonAndTheMainButtonInstallsNothing) {
  const BrokenPayloadCase& c = GetParam();
  TPayloadModule module(c.HasResource ? &c.Archive : nullptr);
  TFakeStartup startup;
  auto form = NewSetup(startup, {.PayloadModule = module.Module()});
  try {
    form->FormActivate(form.get());
    ADD_FAILURE() << "the opening did not fail";
  } catch (const std::exception& error) {
    EXPECT_NE(std::string(error.what()).find("Cannot open the setup's contents: "), std::string::npos) << error.what();
    EXPECT_NE(std::string(error.what()).find(c.Reason), std::string::npos) << error.what();
  }
  EXPECT_FALSE(form->Payload().Opened);
  EXPECT_FALSE(form->PayloadFailure().empty());
  // A second activation does not try again.
  EXPECT_NO_THROW(form->FormActivate(form.get()));

  // The main button says the setup is damaged and touches no folder.
  TTempFolder target;
  const fs::path folder = target.Path() / L"new";
  form->Edit1->SetText(folder.wstring());
  std::vector<std::wstring> boxes;
  Application().OnMessageBox = [&](const std::wstring& text, const std::wstring&, UINT) {
    boxes.push_back(text);
    return IDOK;
  };
  form->SB1Click(form->SB1);
  Application().OnMessageBox = nullptr;
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].find(L"This setup program is damaged"), 0u);
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_FALSE(Installed);
}

Bytes WithList(std::string_view manifest) {
  return ArchiveBuilder().Entry("list", manifest).Entry("ZarvoF.exe", "MZ").Build();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrokenPayload,
    ::testing::Values(
        BrokenPayloadCase{"no resource", false, {}, "FindResourceW"},
        BrokenPayloadCase{"truncated header", true, [] {
                            Bytes bytes = WithList("ZarvoF.exe|F|#|program\r\n");
                            bytes.resize(bytes.size() + 3, 7);
                            return bytes;
                          }(), "offset"},
        BrokenPayloadCase{"no manifest", true, ArchiveBuilder().Entry("ZarvoF.exe", "MZ").Build(), "no install manifest"},
        BrokenPayloadCase{"manifest does not inflate", true, [] {
                            Bytes data = payload::testing::Compress(payload::testing::ToBytes("a|F|#|x\r\n"));
                            data[data.size() / 2] ^= 0x55;
                            data.back() ^= 0x55;
                            return ArchiveBuilder().Raw("list", 9, 0, static_cast<std::int32_t>(data.size()), data).Build();
                          }(), "error"}),
    zarvo::testing::CaseName());

// ---- browse button and link

struct BrowseCase {
  const char* Case;
  const wchar_t* Chosen;  // nullptr: cancelled
  std::wstring Expected;
};

class BrowseButton : public ::testing::TestWithParam<BrowseCase> {};

TEST_P(BrowseButton, TheChosenFolderGetsZarvoNewAndCancelKeepsTheBox) {
  const BrowseCase& c = GetParam();
  TFakeStartup startup;
  auto form = NewSetup(startup);
  std::vector<std::wstring> titles;
  UINT flags = 0;
  HWND owner = nullptr;
  bool rootless = false;
  bool nameBuffer = false;
  TBrowseReplacement browse([&](BROWSEINFOW& info) -> PIDLIST_ABSOLUTE {
    titles.push_back(info.lpszTitle);
    flags = info.ulFlags;
    owner = info.hwndOwner;
    rootless = info.pidlRoot == nullptr;
    nameBuffer = info.pszDisplayName != nullptr;
    return c.Chosen ? ::ILCreateFromPathW(c.Chosen) : nullptr;
  });
  for (bool russian : {false, true}) {
    form->cbLang->SetItemIndex(russian ? 1 : 0);
    form->cbLangChange(nullptr);
    form->Edit1->SetText(L"C:\\!ZarvoNew\\");
    form->SB2->Click();
    EXPECT_EQ(form->Edit1->Text(), c.Expected);
  }
  // The same title in both languages, the setup window as the owner, file-system folders only.
  EXPECT_EQ(titles, (std::vector<std::wstring>{L"Выберите каталог", L"Выберите каталог"}));
  EXPECT_EQ(flags, static_cast<UINT>(BIF_RETURNONLYFSDIRS));
  EXPECT_EQ(owner, form->Handle());
  EXPECT_TRUE(rootless);
  EXPECT_TRUE(nameBuffer);
}

INSTANTIATE_TEST_SUITE_P(Cases, BrowseButton,
                         ::testing::Values(BrowseCase{"drive root", L"C:\\", L"C:\\\\ZarvoNew\\"},
                                           BrowseCase{"folder", L"C:\\windows", L"C:\\windows\\ZarvoNew\\"},
                                           BrowseCase{"cancelled", nullptr, L"C:\\!ZarvoNew\\"}),
                         zarvo::testing::CaseName());

TEST(Link, AClickOpensTheSiteThroughTheShellOnce) {
  TFakeStartup startup;
  auto form = NewSetup(startup);
  std::vector<std::wstring> opened;
  controls::TShellOpenReplacement shell([&](const std::wstring& target) { opened.push_back(target); });
  form->Link1->Click();
  EXPECT_EQ(opened, std::vector<std::wstring>{L"https://www.zarvo.example/desktop/"});
}

// ---- the main button before the install run

struct FolderCase {
  const char* Case;
  std::function<std::wstring(const fs::path& temp)> Folder;
  bool Passes;
};

class FolderTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(FolderTest, AWrongFolderIsReportedInBothLanguagesAlikeAndAGoodOneIsInstalledInto) {
  const FolderCase& c = GetParam();
  TTempFolder temp;
  std::ofstream(temp.Path() / L"file.txt") << "x";
  TFakeStartup startup;
  startup.CodePage = 866;
  Edition = u'F';
  auto form = NewSetup(startup);
  form->FormActivate(form.get());
  form->cbDesktop->SetChecked(false);
  form->cbStart->SetChecked(false);
  const std::wstring folder = c.Folder(temp.Path());
  form->Edit1->SetText(folder);
  std::vector<std::wstring> boxes;
  Application().OnMessageBox = [&](const std::wstring& text, const std::wstring&, UINT flags) {
    boxes.push_back(text);
    EXPECT_EQ(flags & 0xF, static_cast<UINT>(MB_OK));
    return IDOK;
  };
  form->SB1Click(form->SB1);
  Application().OnMessageBox = nullptr;
  const bool installed = Installed;
  Installed = false;
  if (c.Passes) {
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(installed);
    EXPECT_TRUE(fs::is_regular_file(fs::path(folder) / L"ZarvoF.exe"));
    EXPECT_EQ(form->InstallDir().back(), L'\\');
  } else {
    EXPECT_EQ(boxes, std::vector<std::wstring>{L"Не правильно имя папки!"});
    EXPECT_FALSE(installed);
    // Still ready: nothing hidden, the button still installs.
    EXPECT_TRUE(form->GP->Visible());
    EXPECT_TRUE(form->SB1->Enabled());
    EXPECT_EQ(form->SB1->Caption(), L"Установить >>");
  }
  EXPECT_EQ(form->Edit1->Text(), folder);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FolderTest,
    ::testing::Values(
        FolderCase{"existing", [](const fs::path& t) { return t.wstring(); }, true},
        FolderCase{"existing with backslash", [](const fs::path& t) { return t.wstring() + L"\\"; }, true},
        FolderCase{"new three deep", [](const fs::path& t) { return (t / L"a" / L"b" / L"c").wstring() + L"\\"; }, true},
        FolderCase{"forward slashes", [](const fs::path& t) { return t.wstring() + L"/x/y"; }, true},
        FolderCase{"empty", [](const fs::path&) { return std::wstring(); }, false},
        FolderCase{"relative", [](const fs::path&) { return std::wstring(L"ZarvoNew\\"); }, false},
        FolderCase{"drive relative", [](const fs::path&) { return std::wstring(L"C:ZarvoNew"); }, false},
        FolderCase{"names a file", [](const fs::path& t) { return (t / L"file.txt").wstring(); }, false},
        FolderCase{"under a file", [](const fs::path& t) { return (t / L"file.txt" / L"sub").wstring(); }, false},
        FolderCase{"wildcard", [](const fs::path& t) { return (t / L"a*b").wstring(); }, false},
        FolderCase{"no such drive", [](const fs::path&) { return std::wstring(L"Q:\\ZarvoNew\\"); }, false}),
    zarvo::testing::CaseName());

// ---- the install run

struct CentreCase {
  int Room, Size, Start;
};

class Centring : public ::testing::TestWithParam<CentreCase> {};

TEST_P(Centring, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(CentredStart(GetParam().Room, GetParam().Size), GetParam().Start);
}

INSTANTIATE_TEST_SUITE_P(Cases, Centring,
                         ::testing::Values(CentreCase{550, 423, 64},   // 63.5
                                           CentreCase{440, 338, 51},   // 51
                                           CentreCase{299, 104, 98},   // 97.5
                                           CentreCase{239, 83, 78},    // 78
                                           CentreCase{441, 338, 52},   // 51.5
                                           CentreCase{100, 101, 0},    // -0.5
                                           CentreCase{100, 103, -2})); // -1.5

const std::wstring EnglishNote =
    L"Periodically check for updates, it will provide you with the latest version of the program!\r\n\r\n"
    L"To update, get help with work, purchase the program, as well as with suggestions and wishes, please visit "
    L"the program website and e-mail - support@zarvo.example";
const std::wstring RussianNote =
    L"Переодически проверяйте обновления, это обеспечит Вас самой последней версией программы!\r\n\r\n"
    L"Для обновления, получения помощи по работе, приобретения программы, а так же с предложениями и "
    L"пожеланиями, обращайтесь на сайт программы и e-mail - support@zarvo.example";

class InstallRun : public ::testing::TestWithParam<bool> {};

TEST_P(InstallRun, InstallsTheEditionsFilesMakesBothLinksAndEndsWithTheNoteAndClose) {
  const bool russian = GetParam();
  TTempFolder temp;
  TShellFoldersHere shell(temp.Path());
  const fs::path folder = temp.Path() / L"Zarvo";
  Write(folder / L"cache" / L"old.tmp", "stale");
  TFakeStartup startup;
  startup.CodePage = russian ? 866 : 437;
  Edition = u'F';
  auto form = NewSetup(startup);
  form->FormActivate(form.get());
  form->Edit1->SetText(folder.wstring());  // no trailing backslash: the run adds it
  shell.Refresh();
  form->SB1Click(form->SB1);
  const bool installed = Installed;
  Installed = false;

  EXPECT_TRUE(installed);
  EXPECT_EQ(form->InstallDir(), folder.wstring() + L"\\");
  EXPECT_EQ(Read(folder / L"ZarvoF.exe").empty(), false);
  EXPECT_TRUE(fs::exists(folder / L"bin" / L"lite.dll"));
  EXPECT_FALSE(fs::exists(folder / L"bin" / L"pro.dll"));
  EXPECT_TRUE(fs::exists(folder / L"cfg" / L"user.ini"));
  EXPECT_TRUE(fs::exists(folder / L"docs" / L"ru" / L"readme.txt"));
  EXPECT_FALSE(fs::exists(folder / L"cache" / L"old.tmp"));
  EXPECT_TRUE(fs::exists(shell.Desktop() / L"Zarvo Lite.lnk"));
  EXPECT_TRUE(fs::exists(shell.Programs() / L"Zarvo Lite.lnk"));
  EXPECT_TRUE(form->Failures().empty());

  ASSERT_NE(form->Note(), nullptr);
  EXPECT_EQ(form->Note()->Text(), russian ? RussianNote : EnglishNote);
  EXPECT_EQ(form->Note()->Parent(), form->GP);
  EXPECT_EQ(form->Note()->Font().Charset(), RUSSIAN_CHARSET);
  EXPECT_EQ(form->Note()->Font().Size(), 10);
  EXPECT_EQ(form->Note()->Font().Name(), form->GP->Font().Name());
  EXPECT_TRUE(form->Note()->WordWrap());
  EXPECT_EQ(form->SB1->Caption(), russian ? L"Закрыть" : L"Close");
  EXPECT_TRUE(form->SB1->Enabled());
  EXPECT_TRUE(form->GP->Visible());
  EXPECT_FALSE(form->cbLang->Visible());
  for (TControl* hidden : std::vector<TControl*>{form->Panel4, form->Panel6, form->Bevel1, form->Panel3})
    EXPECT_FALSE(hidden->Visible()) << hidden->Name();
  // The progress box was centred and the bar ran over the seven lines.
  EXPECT_EQ(form->Panel3->Left(), CentredStart(form->ClientWidth(), form->Panel3->Width()));
  EXPECT_EQ(form->Panel3->Top(), CentredStart(form->ClientHeight(), form->Panel3->Height()));
  EXPECT_EQ(form->PB->Max(), 5);  // pro.dll is another edition's: six lines remain
  EXPECT_EQ(form->PB->Position(), 5);
  EXPECT_EQ(form->Label1->Caption(), L"bin\\lite.dll");
}

INSTANTIATE_TEST_SUITE_P(Languages, InstallRun, ::testing::Values(false, true));

TEST(InstallRunFailures, AreListedInTheNoteInTheLanguageAndTheRunStillFinishes) {
  TTempFolder temp;
  TShellFoldersHere shell(temp.Path());
  shell.SetNumber(L"Desktop", 3);  // not text: that link fails, the other is made
  Bytes archive = ArchiveBuilder()
                      .Entry("list", "ZarvoF.exe|F|#|\r\nbroken.dll|F|#|\r\nmissing.txt|F|#|\r\n..\\evil.txt|F|#|\r\n")
                      .Entry("ZarvoF.exe", "MZ program")
                      .Build();
  Bytes broken = payload::testing::Compress(payload::testing::ToBytes("module bytes"));
  broken[broken.size() - 1] ^= 0x5A;
  const Bytes damaged = ArchiveBuilder().Raw("broken.dll", 12, 0, static_cast<std::int32_t>(broken.size()), broken).Build();
  archive.insert(archive.end(), damaged.begin(), damaged.end());
  TPayloadModule module(&archive);
  const fs::path folder = temp.Path() / L"Zarvo";
  Write(folder / L"broken.dll", "the user's working module");
  // Files the selection sees as out of date, so that the run meets their lines.
  Write(folder / L"missing.txt", "the user's notes");
  Write(temp.Path() / L"evil.txt", "outside the install folder");

  TFakeStartup startup;
  startup.CodePage = 866;
  Edition = u'F';
  auto form = NewSetup(startup, {.PayloadModule = module.Module()});
  form->FormActivate(form.get());
  form->Edit1->SetText(folder.wstring() + L"\\");
  form->SB1Click(form->SB1);
  const bool installed = Installed;
  Installed = false;

  EXPECT_TRUE(installed);
  EXPECT_EQ(Read(folder / L"broken.dll"), "the user's working module");
  EXPECT_EQ(Read(folder / L"missing.txt"), "the user's notes");
  EXPECT_EQ(Read(temp.Path() / L"evil.txt"), "outside the install folder");
  EXPECT_TRUE(fs::exists(shell.Programs() / L"Zarvo Lite.lnk"));
  ASSERT_NE(form->Note(), nullptr);
  EXPECT_EQ(form->Note()->Text(), RussianNote +
                                      L"\r\n\r\nНе установлены файлы:"
                                      L"\r\nbroken.dll - повреждён в программе установки"
                                      L"\r\nmissing.txt - нет в программе установки"
                                      L"\r\n..\\evil.txt - вне папки установки"
                                      L"\r\n\r\nНе созданы ярлыки:"
                                      L"\r\nZarvo Lite.lnk - папка пользователя не найдена");
  EXPECT_EQ(form->SB1->Caption(), L"Закрыть");
}

TEST(InstallRunEditions, OnlyFAndPMakeLinksAndAnEmptySelectionStillFinishes) {
  for (char16_t edition : {u'P', u'X'}) {
    TTempFolder temp;
    TShellFoldersHere shell(temp.Path());
    TFakeStartup startup;
    Edition = edition;
    auto form = NewSetup(startup);
    form->FormActivate(form.get());
    form->Edit1->SetText((temp.Path() / L"Zarvo").wstring());
    form->SB1Click(form->SB1);
    Installed = false;
    const bool linked = fs::exists(shell.Desktop() / L"Zarvo.lnk");
    // The sample has no "Zarvo" program, so the P link is listed rather than made.
    EXPECT_FALSE(linked);
    if (edition == u'P') {
      ASSERT_EQ(form->Failures().size(), 2u);
      EXPECT_EQ(form->Failures()[0].Reason, install::TFailureReason::NoProgram);
      EXPECT_TRUE(fs::exists(temp.Path() / L"Zarvo" / L"bin" / L"pro.dll"));
    } else {
      EXPECT_TRUE(form->Failures().empty());
    }
    EXPECT_FALSE(fs::exists(shell.Desktop() / L"Zarvo Lite.lnk"));
    EXPECT_EQ(form->SB1->Caption(), L"Close");
  }
  Edition = u'F';
}

TEST(MainButton, AfterTheRunItClosesTheWindowInsteadOfInstalling) {
  TFakeStartup startup;
  auto form = NewSetup(startup);
  Application().SetMainForm(form.get());
  Installed = true;
  std::vector<std::wstring> boxes;
  Application().OnMessageBox = [&](const std::wstring& text, const std::wstring&, UINT) {
    boxes.push_back(text);
    return IDOK;
  };
  form->Edit1->SetText(L"");
  form->SB1Click(form->SB1);
  Application().OnMessageBox = nullptr;
  Installed = false;
  EXPECT_TRUE(Application().Terminated());
  EXPECT_TRUE(boxes.empty());
  Application().SetMainForm(nullptr);
}

// ---- the shown window: keys, activation, the hand-over message

class ShownSetup : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    Application().Initialize();
    Application().SetTitle(L"Zarvo LITE");
    FStartup = std::make_unique<TFakeStartup>();
    FForm = NewForm<TZarSetup>(*FStartup, TSetupOptions{});
    Application().SetMainForm(FForm.get());
    Application().OnException = [](const std::wstring& text) { Errors().push_back(text); };
    FForm->Show();
    PumpUntil([] { return FForm->Payload().Opened; });
  }
  static void TearDownTestSuite() {
    Application().OnException = nullptr;
    Application().SetMainForm(nullptr);
    FForm.reset();
    FStartup.reset();
  }
  void TearDown() override {
    EXPECT_TRUE(Errors().empty()) << ::testing::PrintToString(Errors());
    Errors().clear();
  }
  static std::vector<std::wstring>& Errors() {
    static std::vector<std::wstring> errors;
    return errors;
  }
  static std::wstring FocusedName() {
    TWinControl* focused = TWinControl::FromHandle(::GetFocus());
    return focused ? focused->Name() : L"(none)";
  }
  static void PressKey(WORD key) {
    ASSERT_TRUE(::PostMessageW(::GetFocus(), WM_KEYDOWN, key, 1));
    Application().ProcessMessages();
  }

  inline static std::unique_ptr<TFakeStartup> FStartup;
  inline static std::unique_ptr<TZarSetup> FForm;
};

TEST_F(ShownSetup, OpensWithItsCaptionThePayloadAndTheLanguageListFocused) {
  EXPECT_EQ(FForm->Caption(), L"Zarvo LITE");
  wchar_t text[64] = {};
  ::GetWindowTextW(FForm->Handle(), text, 64);
  EXPECT_STREQ(text, L"Zarvo LITE");
  EXPECT_TRUE(FForm->Payload().Opened);
  EXPECT_EQ(FocusedName(), L"cbLang");
  ExpectActivatedBounds(*FForm, ScreenPixelsPerInch() == 120 ? 120 : 96);
}

TEST_F(ShownSetup, TabWalksTheKeyboardOrderAndComesBackToTheLanguageList) {
  FForm->cbLang->SetFocus();
  std::vector<std::wstring> order{FocusedName()};
  for (int i = 0; i < 5; ++i) {
    PressKey(VK_TAB);
    order.push_back(FocusedName());
  }
  EXPECT_EQ(order, (std::vector<std::wstring>{L"cbLang", L"cbDesktop", L"cbStart", L"cbForce", L"Edit1", L"cbLang"}));
}

TEST_F(ShownSetup, EnterClicksTheInstallButtonFromTheFocusedControls) {
  std::vector<std::wstring> boxes;
  Application().OnMessageBox = [&](const std::wstring& text, const std::wstring&, UINT) {
    boxes.push_back(text);
    return IDOK;
  };
  const std::wstring before = FForm->Edit1->Text();
  FForm->Edit1->SetText(L"");
  for (TWinControl* control : std::vector<TWinControl*>{FForm->cbLang, FForm->cbForce, FForm->Edit1}) {
    SCOPED_TRACE(::testing::PrintToString(control->Name()));
    control->SetFocus();
    boxes.clear();
    PressKey(VK_RETURN);
    EXPECT_EQ(boxes, std::vector<std::wstring>{L"Не правильно имя папки!"});
    // The wrong folder puts the focus on the folder box.
    EXPECT_EQ(FocusedName(), L"Edit1");
  }
  Application().OnMessageBox = nullptr;
  FForm->Edit1->SetText(before);
}

TEST_F(ShownSetup, EscapeIsTakenByNoControl) {
  int clicks = 0;
  TNotifyEvent install = FForm->SB1->OnClick;
  TNotifyEvent browse = FForm->SB2->OnClick;
  FForm->SB1->OnClick = [&](TObject*) { ++clicks; };
  FForm->SB2->OnClick = [&](TObject*) { ++clicks; };
  FForm->cbForce->SetFocus();
  const bool checked = FForm->cbForce->Checked();
  PressKey(VK_ESCAPE);
  PressKey(VK_RETURN);
  FForm->SB1->OnClick = install;
  FForm->SB2->OnClick = browse;
  EXPECT_EQ(FForm->cbForce->Checked(), checked);
  // Enter reached the main button; Escape reached nothing.
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(::IsWindowVisible(FForm->Handle()));
}

TEST_F(ShownSetup, TheHandOverMessageRestoresAMinimisedWindowAndRaisesIt) {
  ::ShowWindow(FForm->Handle(), SW_MINIMIZE);
  ASSERT_TRUE(PumpUntil([] { return ::IsIconic(FForm->Handle()) != FALSE; }));
  ASSERT_TRUE(::PostMessageW(FForm->Handle(), WM_SETUP_ACTIVATE, 0, 0));
  EXPECT_TRUE(PumpUntil([] { return !::IsIconic(FForm->Handle()); }));
  EXPECT_TRUE(PumpUntil([] { return ::GetForegroundWindow() == FForm->Handle(); }));
  // Activation again does not open the payload again.
  EXPECT_TRUE(FForm->Payload().Opened);
  EXPECT_TRUE(FForm->PayloadFailure().empty());
}

}  // namespace
}  // namespace zarvo::ui

namespace zarvo::ui {
namespace {

// A shown window whose payload has no manifest: the first activation's error reaches the report
// once, and the window goes on answering.
TEST(ShownBrokenSetup, TheOpeningErrorIsReportedOnceAndTheWindowStaysUsable) {
  const Bytes archive = ArchiveBuilder().Entry("ZarvoF.exe", "MZ").Build();
  TPayloadModule module(&archive);
  Application().Initialize();
  TFakeStartup startup;
  auto form = NewForm<TZarSetup>(startup, TSetupOptions{.PayloadModule = module.Module()});
  Application().SetMainForm(form.get());
  std::vector<std::wstring> errors;
  Application().OnException = [&](const std::wstring& text) { errors.push_back(text); };
  std::vector<std::wstring> boxes;
  Application().OnMessageBox = [&](const std::wstring& text, const std::wstring&, UINT) {
    boxes.push_back(text);
    return IDOK;
  };
  form->Show();
  EXPECT_TRUE(PumpUntil([&] { return !errors.empty(); }));
  EXPECT_EQ(errors, std::vector<std::wstring>{
                        L"Cannot open the setup's contents: it holds no install manifest (entry \"list\")"});
  // Activated again: no second report.
  ::PostMessageW(form->Handle(), WM_SETUP_ACTIVATE, 0, 0);
  PumpFor(200);
  EXPECT_EQ(errors.size(), 1u);
  // The window still works: the language switches, Enter reaches the main button, which refuses.
  form->cbLang->SetFocus();
  ::PostMessageW(form->cbLang->Handle(), WM_KEYDOWN, VK_DOWN, 1);
  PumpFor(100);
  EXPECT_TRUE(IsRussian);
  EXPECT_EQ(form->cbDesktop->Caption(), L"Создать иконку на рабочем столе");
  ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
  PumpFor(100);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].find(L"Программа установки повреждена"), 0u);
  EXPECT_TRUE(::IsWindowVisible(form->Handle()));
  Application().OnException = nullptr;
  Application().OnMessageBox = nullptr;
  Application().SetMainForm(nullptr);
}

}  // namespace
}  // namespace zarvo::ui

namespace zarvo::ui {
namespace {

// Closing the window while the run works asks the program to end; the run still finishes,
// links and note included, and the loop ends only after it.
TEST(ShownRun, ClosingTheWindowDuringTheRunLetsTheRunFinishFirst) {
  TTempFolder temp;
  TShellFoldersHere shell(temp.Path());
  Application().Initialize();
  TFakeStartup startup;
  Edition = u'F';
  auto form = NewForm<TZarSetup>(startup, TSetupOptions{});
  Application().SetMainForm(form.get());
  form->Show();
  ASSERT_TRUE(PumpUntil([&] { return form->Payload().Opened; }));
  form->Edit1->SetText((temp.Path() / L"Zarvo").wstring());
  // The close arrives with the first file's pending messages.
  ::PostMessageW(form->Handle(), WM_CLOSE, 0, 0);
  form->SB1Click(form->SB1);
  const bool installed = Installed;
  Installed = false;
  EXPECT_TRUE(Application().Terminated());
  EXPECT_TRUE(installed);
  EXPECT_TRUE(fs::exists(temp.Path() / L"Zarvo" / L"bin" / L"lite.dll"));
  EXPECT_TRUE(fs::exists(shell.Programs() / L"Zarvo Lite.lnk"));
  ASSERT_NE(form->Note(), nullptr);
  EXPECT_EQ(form->Note()->Text(), EnglishNote);
  EXPECT_TRUE(::IsWindowVisible(form->Handle()));
  Application().SetMainForm(nullptr);
}

}  // namespace
}  // namespace zarvo::ui
