// The setup window ZarSetup: its controls, the payload it holds, and its handlers.
#pragma once

#include <string>

#include "controls/EwCheckBox.h"
#include "controls/GroupPanel.h"
#include "controls/Link.h"
#include "controls/SB.h"
#include "install/InstallRun.h"
#include "install/Payload.h"
#include "toolkit/Bevel.h"
#include "toolkit/ComboBox.h"
#include "toolkit/Edit.h"
#include "toolkit/Form.h"
#include "toolkit/Label.h"
#include "toolkit/Panel.h"
#include "toolkit/ProgressBar.h"
#include "ui/Startup.h"

namespace zarvo::ui {

struct TSetupOptions {
  int PixelsPerInch = 0;       // 0: the screen's
  HMODULE PayloadModule = nullptr;  // whose resource "MAIN" is the payload; nullptr: the program's
};

class TZarSetup : public toolkit::TForm {
public:
  // Loads the window's stored description; CreateForm then runs FormCreate, which takes the lock
  // through `startup` (or ends the program there).
  TZarSetup(toolkit::TComponent* AOwner, TStartup& startup, const TSetupOptions& options = {});
  std::wstring_view ClassName() const override { return L"TZarSetup"; }

  // The controls, owned by the window and made by its description.
  toolkit::TPanel* Panel3 = nullptr;
  toolkit::TLabel* Label13 = nullptr;
  toolkit::TLabel* Label1 = nullptr;
  toolkit::TProgressBar* PB = nullptr;
  controls::TGroupPanel* GP = nullptr;
  toolkit::TPanel* Panel1 = nullptr;
  controls::TSB* SB1 = nullptr;
  toolkit::TBevel* Bevel3 = nullptr;
  toolkit::TPanel* Panel6 = nullptr;
  toolkit::TLabel* Label7 = nullptr;
  toolkit::TPanel* Panel4 = nullptr;
  toolkit::TLabel* Label3 = nullptr;
  toolkit::TLabel* Label4 = nullptr;
  toolkit::TEdit* Edit1 = nullptr;
  toolkit::TBevel* Bevel1 = nullptr;
  controls::TLink* Link1 = nullptr;
  toolkit::TBevel* Bevel2 = nullptr;
  toolkit::TComboBox* cbLang = nullptr;
  controls::TEwCheckBox* cbDesktop = nullptr;
  controls::TEwCheckBox* cbStart = nullptr;
  controls::TEwCheckBox* cbForce = nullptr;
  controls::TSB* SB2 = nullptr;

  // The archive, its directory and the manifest, from the first activation to the end.
  const install::TPayload& Payload() const { return FPayload; }
  // The reason the payload could not be opened; empty while it is open or not yet tried.
  const std::wstring& PayloadFailure() const { return FPayloadFailure; }

  // Handlers, each named after its control and event.
  void FormActivate(toolkit::TObject* Sender);
  // The install run of the main button.
  void DoCopy();
  // The selection pass over FileList for InstallDir.
  void Comp();
  // The links to InstallDir + FN named Cap, as the two icon boxes ask.
  install::TInstallFailures CreateShortcut(const std::wstring& FN, const std::wstring& Cap);
  void SpeedButton1Click(toolkit::TObject* Sender);
  void SB1Click(toolkit::TObject* Sender);
  void Activ(toolkit::TMessage& Msg);
  void Link1Click(toolkit::TObject* Sender);
  void FormCreate(toolkit::TObject* Sender);
  void cbLangChange(toolkit::TObject* Sender);

  // The payload half of the first activation.
  void OpenPayload();

  // The install folder of the run, ending with "\"; empty before it.
  const std::wstring& InstallDir() const { return FInstallDir; }
  // What the run could not do, in manifest order, links last.
  const install::TInstallFailures& Failures() const { return FFailures; }
  // The closing note, once the run has made it.
  toolkit::TMemo* Note() const { return FNote; }

private:
  void DeclareHandlers();
  void FindControls();

  TStartup& FStartup;
  HMODULE FPayloadModule;
  install::TPayload FPayload;
  bool FPayloadTried = false;
  std::wstring FPayloadFailure;
  std::wstring FInstallDir;
  install::TInstallFailures FFailures;
  toolkit::TMemo* FNote = nullptr;
};

// The window's stored description.
extern const wchar_t* const ZarSetupDescription;

// What the folder box receives for a folder chosen in the browser.
std::wstring FolderBoxText(const std::wstring& chosenPath);

// Where a box of `size` starts when centred in `room`: half the difference, a half going to the
// even neighbour.
int CentredStart(int room, int size);

}  // namespace zarvo::ui
