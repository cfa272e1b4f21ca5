// The setup window: creation and start-up, the first activation, the language, the folder
// browser, the web link and the main button.
#include "ui/Unit1.h"

#include <cmath>
#include <exception>

#include "controls/Controls.h"
#include "controls/ShellOpen.h"
#include "install/InstallFolder.h"
#include "install/LocaleNameComparer.h"
#include "install/Shortcuts.h"
#include "install/Win32FileProbe.h"
#include "payload/Selection.h"
#include "platform/Text.h"
#include "toolkit/Application.h"
#include "toolkit/Loader.h"
#include "toolkit/Messages.h"
#include "ui/ClosingNote.h"
#include "ui/FolderBrowser.h"
#include "ui/SetupState.h"
#include "ui/Texts.h"

namespace zarvo::ui {

using namespace toolkit;

namespace {

constexpr wchar_t UpdateSwitch[] = L"/update";
constexpr std::uint16_t RussianOemCodePage = 866;
constexpr int EnglishItem = 0;
constexpr int RussianItem = 1;

bool IsUpdateSwitch(const std::wstring& argument) {
  std::wstring lower = argument;
  if (!lower.empty()) ::CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size()));
  return lower == UpdateSwitch;
}

const TClassRegistry& SetupClasses() {
  static const TClassRegistry classes = [] {
    TClassRegistry registry = StandardClasses();
    controls::RegisterControls(registry);
    registry.RegisterClass(L"TZarSetup", L"TForm");
    return registry;
  }();
  return classes;
}

}  // namespace

std::wstring FolderBoxText(const std::wstring& chosenPath) { return chosenPath + L"\\ZarvoNew\\"; }

int CentredStart(int room, int size) {
  // Halves are exact in a double, and nearbyint rounds them to even.
  return static_cast<int>(std::nearbyint(room / 2.0 - size / 2.0));
}

TZarSetup::TZarSetup(TComponent* AOwner, TStartup& startup, const TSetupOptions& options)
    : TForm(AOwner), FStartup(startup), FPayloadModule(options.PayloadModule) {
  DeclareHandlers();
  LoadDescription(*this, ZarSetupDescription, SetupClasses(), {.PixelsPerInch = options.PixelsPerInch});
  FindControls();
  SetMessageHandler(WM_SETUP_ACTIVATE, [this](TMessage& m) { Activ(m); });
}

void TZarSetup::DeclareHandlers() {
  DeclareHandler<TNotifyEvent>(L"FormCreate", [this](TObject* s) { FormCreate(s); });
  DeclareHandler<TNotifyEvent>(L"FormActivate", [this](TObject* s) { FormActivate(s); });
  DeclareHandler<TNotifyEvent>(L"SB1Click", [this](TObject* s) { SB1Click(s); });
  DeclareHandler<TNotifyEvent>(L"SpeedButton1Click", [this](TObject* s) { SpeedButton1Click(s); });
  DeclareHandler<TNotifyEvent>(L"Link1Click", [this](TObject* s) { Link1Click(s); });
  DeclareHandler<TNotifyEvent>(L"cbLangChange", [this](TObject* s) { cbLangChange(s); });
}

void TZarSetup::FindControls() {
  Panel3 = &Component<TPanel>(L"Panel3");
  Label13 = &Component<TLabel>(L"Label13");
  Label1 = &Component<TLabel>(L"Label1");
  PB = &Component<TProgressBar>(L"PB");
  GP = &Component<controls::TGroupPanel>(L"GP");
  Panel1 = &Component<TPanel>(L"Panel1");
  SB1 = &Component<controls::TSB>(L"SB1");
  Bevel3 = &Component<TBevel>(L"Bevel3");
  Panel6 = &Component<TPanel>(L"Panel6");
  Label7 = &Component<TLabel>(L"Label7");
  Panel4 = &Component<TPanel>(L"Panel4");
  Label3 = &Component<TLabel>(L"Label3");
  Label4 = &Component<TLabel>(L"Label4");
  Edit1 = &Component<TEdit>(L"Edit1");
  Bevel1 = &Component<TBevel>(L"Bevel1");
  Link1 = &Component<controls::TLink>(L"Link1");
  Bevel2 = &Component<TBevel>(L"Bevel2");
  cbLang = &Component<TComboBox>(L"cbLang");
  cbDesktop = &Component<controls::TEwCheckBox>(L"cbDesktop");
  cbStart = &Component<controls::TEwCheckBox>(L"cbStart");
  cbForce = &Component<controls::TEwCheckBox>(L"cbForce");
  SB2 = &Component<controls::TSB>(L"SB2");
}

void TZarSetup::FormCreate(TObject*) {
  const std::vector<std::wstring> arguments = FStartup.Arguments();
  const bool updateMode = !arguments.empty() && IsUpdateSwitch(arguments[0]);
  if (updateMode && arguments.size() > 1 && !arguments[1].empty()) Edit1->SetText(arguments[1]);

  // Ends the program here when another setup holds the lock.
  FStartup.TakeLock(updateMode);

  FStartup.SetThreadLocale();
  OemCodePage = FStartup.ReadOemCodePage();
  cbLang->SetItemIndex(OemCodePage == RussianOemCodePage ? RussianItem : EnglishItem);
  cbLangChange(nullptr);
  SiteUrl = std::wstring(L"https://") + ZARVO_SITE_HOST + L"/desktop/";
  SetVisible(false);
}

void TZarSetup::FormActivate(TObject*) {
  SetCaption(Application().Title());
  Application().SetHintPause(0);
  // The advice lines up with the folder box; it keeps its width, so the panel clips its end.
  const RECT advice = Label4->BoundsRect();
  Label4->SetAlign(alNone);
  Label4->SetBounds(Edit1->Left(), advice.top, advice.right - advice.left, advice.bottom - advice.top);
  // The browse button sits level with the folder box at whatever size scaling gave it.
  SB2->SetBounds(SB2->Left(), Edit1->Top(), SB2->Width(), Edit1->Height());
  Repaint();
  OpenPayload();
}

void TZarSetup::OpenPayload() {
  // Once per run: later activations (a message box closing, a second start) change nothing.
  if (FPayloadTried) return;
  FPayloadTried = true;
  try {
    install::OpenPayload(FPayload, FPayloadModule);
  } catch (const std::exception& error) {
    FPayloadFailure = platform::FromUtf8(error.what());
    throw;
  }
}

void TZarSetup::cbLangChange(TObject*) {
  IsRussian = cbLang->ItemIndex() == RussianItem;
  const TSetupTexts& texts = SetupTexts(IsRussian);
  SB1->SetCaption(texts.InstallButton);
  SB2->SetHint(texts.SelectFolder);
  Label3->SetCaption(texts.InstallFolder);
  Label7->SetCaption(texts.CreatingIcons);
  cbDesktop->SetCaption(texts.DesktopIcon);
  cbStart->SetCaption(texts.StartMenuIcon);
  cbForce->SetCaption(texts.ForcedInstall);
  Label13->SetCaption(texts.CopyingFiles);
  Link1->SetCaption(texts.WebSite);
  Label4->SetCaption(texts.FolderAdvice);
}

void TZarSetup::SpeedButton1Click(TObject*) {
  const std::optional<std::wstring> chosen = BrowseForFolder(Handle(), std::wstring(BrowseTitle));
  if (chosen) Edit1->SetText(FolderBoxText(*chosen));
}

void TZarSetup::Link1Click(TObject*) { controls::ShellOpen(SiteUrl); }

void TZarSetup::Activ(TMessage& Msg) {
  Application().Restore();
  Application().BringToFront();
  DefaultHandler(Msg);
}

void TZarSetup::SB1Click(TObject*) {
  if (Installed) {
    Close();
    return;
  }
  DoCopy();
}

void TZarSetup::DoCopy() {
  // Without its contents the setup could only make links to a program it never installed.
  if (!FPayload.Opened) {
    const std::wstring text = std::wstring(SetupTexts(IsRussian).DamagedSetup) +
                              (FPayloadFailure.empty() ? L"" : L"\n\n" + FPayloadFailure);
    Application().MessageBox(text, Application().Title(), MB_OK | MB_ICONERROR);
    return;
  }
  const std::wstring folder = Edit1->Text();
  if (!install::PrepareInstallFolder(folder)) {
    Application().MessageBox(std::wstring(WrongFolderMessage), Application().Title(), MB_OK);
    Edit1->SetFocus();
    return;
  }
  // The language is fixed from here on: the list goes with the options.
  const bool russian = IsRussian;
  SB1->SetEnabled(false);
  GP->Hide();
  cbLang->Hide();
  Panel3->SetBounds(CentredStart(ClientWidth(), Panel3->Width()), CentredStart(ClientHeight(), Panel3->Height()),
                    Panel3->Width(), Panel3->Height());
  FInstallDir = install::WithTrailingBackslash(folder);

  Comp();
  const payload::ManifestLines& lines = FPayload.FileList;
  if (!lines.empty()) {
    Panel3->Show();
    PB->SetMin(0);
    PB->SetMax(static_cast<int>(lines.size()) - 1);
    install::TLineObserver observer;
    observer.LineStarted = [this](int index, int) { PB->SetPosition(index); };
    observer.FileStarting = [this](const std::wstring& path) {
      Label1->SetCaption(path);
      Application().ProcessMessages();
    };
    FFailures = install::ProcessLines(FPayload, FInstallDir, lines, observer);
  }

  install::TInstallFailures links;
  if (Edition == u'F')
    links = CreateShortcut(L"ZarvoF", L"Zarvo Lite");
  else if (Edition == u'P')
    links = CreateShortcut(L"Zarvo", L"Zarvo");
  FFailures.insert(FFailures.end(), links.begin(), links.end());

  FNote = Make<TMemo>(this);
  FNote->SetParent(GP);
  FNote->SetAlign(alClient);
  FNote->SetWordWrap(true);
  // A list of failures can be longer than the room.
  if (!FFailures.empty()) FNote->SetScrollBars(ssVertical);
  FNote->Font().SetName(GP->Font().Name());
  FNote->Font().SetCharset(RUSSIAN_CHARSET);
  FNote->Font().SetSize(10);
  FNote->SetText(ClosingNote(russian, FFailures));

  Panel4->Hide();
  Panel6->Hide();
  Bevel1->Hide();
  Panel3->Hide();
  GP->Show();
  Installed = true;
  SB1->SetCaption(russian ? L"Закрыть" : L"Close");
  SB1->SetEnabled(true);
}

void TZarSetup::Comp() {
  const install::LocaleNameComparer comparer;
  const install::Win32FileProbe probe;
  payload::Comp(
      FPayload.FileList, platform::FromWide(FInstallDir), Edition, cbForce->Checked(),
      [&](std::u16string_view name) {
        return payload::FindArchiveItem(FPayload.ArchiveContent, FPayload.ArchiveItems, comparer, name);
      },
      probe);
}

install::TInstallFailures TZarSetup::CreateShortcut(const std::wstring& FN, const std::wstring& Cap) {
  return install::CreateShortcut({.InstallDir = FInstallDir,
                                  .FN = FN,
                                  .Cap = Cap,
                                  .Desktop = cbDesktop->Checked(),
                                  .StartMenu = cbStart->Checked()});
}

}  // namespace zarvo::ui
