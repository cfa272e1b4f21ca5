// A sample window with every toolkit control, built from a stored description, for looking at:
//   toolkit_sample.exe [seconds]   (closes itself after that many seconds; 0 or none: stays)
#include <windows.h>

#include <cstdlib>
#include <string>

#include "toolkit/Application.h"
#include "toolkit/Bevel.h"
#include "toolkit/ComboBox.h"
#include "toolkit/Edit.h"
#include "toolkit/Form.h"
#include "toolkit/Label.h"
#include "toolkit/Loader.h"
#include "toolkit/Panel.h"
#include "toolkit/ProgressBar.h"
#include "toolkit/SpeedButton.h"

namespace zarvo::toolkit {
namespace {

const wchar_t* const SampleLayout = LR"layout(
TSampleForm Sample
  ClientWidth = 600
  ClientHeight = 400
  BorderStyle = bsSingle
  BorderIcons = [biSystemMenu]
  Position = poScreenCenter
  Caption = "Toolkit sample"
font Bold
  Name = "MS Sans Serif"
  Height = 15
  Charset = 204
  Style = [fsBold]
font Link
  Name = "MS Sans Serif"
  Height = 15
  Charset = 204
  Color = clBlue
  Style = [fsBold, fsUnderline]
font Plain
  Name = "MS Sans Serif"
  Height = 15
  Charset = 204
TLabel Link1
  Align = alTop
  Bounds = 0 0 600 30
  Caption = "Official website of the program "
  Alignment = taRightJustify
  Layout = tlCenter
  AutoSize = false
  Cursor = crHandPoint
  Font = Link
TBevel Bevel2
  Align = alTop
  Bounds = 0 30 600 1
  Shape = bsBottomLine
TPanel Bottom
  Align = alBottom
  Bounds = 0 360 600 40
  BevelOuter = bvNone
  ParentColor = true
TSpeedButton SB1 in Bottom
  Align = alRight
  Bounds = 462 0 138 40
  Flat = true
  Caption = "Install >>"
TComboBox cbLang in Bottom
  Bounds = 5 8 186 24
  Items = "English" "Russian (\u0420\u0443\u0441\u0441\u043a\u0438\u0439)"
  ItemIndex = 1
  Font = Plain
TBevel Bevel3
  Align = alBottom
  Bounds = 0 357 600 3
  Shape = bsBottomLine
TPanel Folder
  Align = alTop
  Bounds = 0 31 600 119
  BevelOuter = bvNone
  ParentColor = true
TLabel Label3 in Folder
  Align = alTop
  Bounds = 0 0 600 21
  AutoSize = false
  Layout = tlBottom
  Caption = " Install folder"
  Font = Bold
TEdit Edit1 in Folder
  Bounds = 30 32 459 24
  Text = "C:\\!ZarvoNew\\"
  Font = Plain
TSpeedButton SB2 in Folder
  Bounds = 494 30 29 28
  Flat = true
  Hint = "Select folder"
  ShowHint = true
TLabel Label4 in Folder
  Bounds = 30 65 570 54
  AutoSize = false
  Caption = "directory name, it is desirable to leave unchanged,\rthis will save your settings and make it easier to install updates"
  Font = Plain
TPanel Showcase
  Align = alClient
  Bounds = 0 150 600 207
  BevelOuter = bvNone
  ParentColor = true
TSpeedButton Plain in Showcase
  Bounds = 10 10 110 30
  Caption = "Plain"
TSpeedButton Flat in Showcase
  Bounds = 130 10 110 30
  Flat = true
  Caption = "Flat"
TSpeedButton Latched in Showcase
  Bounds = 250 10 110 30
  Flat = true
  GroupIndex = 1
  Down = true
  Caption = "Latched"
TSpeedButton Disabled in Showcase
  Bounds = 370 10 110 30
  Caption = "Disabled"
  Enabled = false
TLabel Centred in Showcase
  Bounds = 10 50 230 40
  AutoSize = false
  Alignment = taCenter
  Layout = tlCenter
  Color = clWindow
  Caption = "Centred label,\rtwo lines"
TLabel Greyed in Showcase
  Bounds = 250 50 230 40
  AutoSize = false
  Layout = tlCenter
  Enabled = false
  Caption = "A disabled label"
TPanel Progress in Showcase
  Bounds = 10 100 290 100
  BevelInner = bvRaised
  BevelOuter = bvLowered
  BorderWidth = 5
  ParentColor = true
TLabel Label13 in Progress
  Align = alClient
  Bounds = 7 7 276 38
  Alignment = taCenter
  Layout = tlCenter
  AutoSize = false
  Caption = "Copy new files"
  Font = Bold
TLabel Label1 in Progress
  Align = alBottom
  Bounds = 7 45 276 19
  Layout = tlCenter
  AutoSize = false
  Caption = "bin\\zarvo.exe"
TProgressBar PB in Progress
  Align = alBottom
  Bounds = 7 64 276 29
  Max = 10
  Position = 4
TMemo Note in Showcase
  Bounds = 310 100 280 100
  Font = Plain
  Text = "Periodically check for updates, it will provide you with the latest version of the program!\r\rTo update, please visit the program website."
)layout";

class TSampleForm : public TForm {
public:
  explicit TSampleForm(TComponent* AOwner) : TForm(AOwner) {
    LoadDescription(*this, SampleLayout, StandardClasses());
    DrawFolderGlyph(Component<TSpeedButton>(L"SB2").Glyph());
    SetMessageHandler(WM_TIMER, [this](TMessage&) { Close(); });
  }
  std::wstring_view ClassName() const override { return L"TSampleForm"; }

private:
  // An open folder on silver, the colour the button leaves out.
  static void DrawFolderGlyph(TBitmap& glyph) {
    glyph.SetSize(18, 15);
    TCanvas& canvas = glyph.Canvas();
    auto fill = [&](TColor color, RECT rect) {
      canvas.Brush().SetColor(color);
      canvas.FillRect(rect);
    };
    fill(clSilver, {0, 0, 18, 15});
    fill(clBlack, {1, 3, 15, 14});
    fill(clYellow, {2, 4, 14, 13});
    fill(clBlack, {1, 2, 7, 3});
    fill(clWhite, {3, 6, 13, 7});
    fill(static_cast<TColor>(0x008080), {5, 9, 17, 14});
    fill(clBlack, {5, 13, 17, 14});
  }
};

}  // namespace
}  // namespace zarvo::toolkit

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  using namespace zarvo::toolkit;
  Application().Initialize();
  Application().SetTitle(L"Toolkit sample");
  Application().SetHintPause(0);
  auto* form = Application().CreateForm<TSampleForm>();
  int seconds = std::wcstol(commandLine, nullptr, 10);
  if (seconds > 0) ::SetTimer(form->Handle(), 1, static_cast<UINT>(seconds) * 1000, nullptr);
  Application().Run();
  return 0;
}
