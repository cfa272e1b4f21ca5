// The setup window's stored description: 550 x 299 client pixels designed at 120 pixels per
// inch, scaled to the screen when it loads. The texts here are replaced by the language's at
// start-up; only the folder box's text and the language list's items are seen as written.
#include "ui/Unit1.h"

namespace zarvo::ui {

const wchar_t* const ZarSetupDescription = LR"layout(
TZarSetup ZarSetup
  ClientWidth = 550
  ClientHeight = 299
  BorderStyle = bsSingle
  BorderIcons = [biSystemMenu]
  Position = poScreenCenter
  Color = clBtnFace
  OnCreate = FormCreate
  OnActivate = FormActivate
font F0
  Name = "MS Sans Serif"
  Height = 15
  Charset = 1
  Color = clWindowText
font F1
  Name = "MS Sans Serif"
  Height = 15
  Charset = 204
  Color = clWindowText
  Style = [fsBold]
font F2
  Name = "MS Sans Serif"
  Height = 15
  Charset = 204
  Color = clBlue
  Style = [fsBold, fsUnderline]
font F3
  Name = "MS Sans Serif"
  Height = 15
  Charset = 204
  Color = clWindowText
TLink Link1
  Align = alTop
  Bounds = 0 0 550 30
  Alignment = taRightJustify
  Layout = tlCenter
  AutoSize = false
  Cursor = crHandPoint
  Font = F2
  Caption = "Official website of the program "
  OnClick = Link1Click
TBevel Bevel2
  Align = alTop
  Bounds = 0 30 550 1
  Shape = bsBottomLine
TGroupPanel GP
  Align = alClient
  Bounds = 0 31 550 268
  BevelOuter = bvNone
  ParentColor = true
  Enabled = true
  Font = F0
  TabOrder = 1
TBevel Bevel3 in GP
  Align = alBottom
  Bounds = 0 235 550 3
  Shape = bsBottomLine
TBevel Bevel1 in GP
  Align = alTop
  Bounds = 0 119 550 2
  Shape = bsBottomLine
TPanel Panel1 in GP
  Align = alBottom
  Bounds = 0 238 550 30
  BevelOuter = bvNone
  ParentColor = true
  TabOrder = 0
TSB SB1 in Panel1
  Align = alRight
  Bounds = 412 0 138 30
  Flat = true
  MyStyle = true
  sbType = sbOk
  Cancel = false
  ModalResult = 0
  ResName = 0
  Color = clBtnFace
  Caption = "Install >>"
  OnClick = SB1Click
TComboBox cbLang in Panel1
  Bounds = 5 2 186 24
  Items = "English" "Russian (Русский)"
  Font = F3
  TabOrder = 0
  OnChange = cbLangChange
TPanel Panel6 in GP
  Align = alClient
  Bounds = 0 121 550 114
  BevelOuter = bvNone
  ParentColor = true
  TabOrder = 1
TLabel Label7 in Panel6
  Align = alTop
  Bounds = 0 0 550 21
  AutoSize = false
  Layout = tlBottom
  Font = F1
  Caption = " Creating icons"
TEwCheckBox cbDesktop in Panel6
  Bounds = 30 32 492 23
  Flat = true
  HotColor = clWindow
  Checked = true
  Font = F3
  TabOrder = 0
  Caption = "Create desktop icon"
TEwCheckBox cbStart in Panel6
  Bounds = 30 57 492 23
  Flat = true
  HotColor = clWindow
  Checked = true
  Font = F3
  TabOrder = 1
  Caption = "Create an icon in the start menu"
TEwCheckBox cbForce in Panel6
  Bounds = 30 82 492 24
  Flat = true
  HotColor = clWindow
  Checked = false
  Font = F1
  TabOrder = 2
  Caption = "Forced installation (all settings will be lost!)"
TPanel Panel4 in GP
  Align = alTop
  Bounds = 0 0 550 119
  BevelOuter = bvNone
  ParentColor = true
  TabOrder = 2
TLabel Label3 in Panel4
  Align = alTop
  Bounds = 0 0 550 21
  AutoSize = false
  Layout = tlBottom
  Font = F1
  Caption = " Install folder"
TLabel Label4 in Panel4
  Align = alBottom
  Bounds = 0 65 550 54
  AutoSize = false
  Font = F3
TSB SB2 in Panel4
  Bounds = 494 30 29 28
  Flat = true
  Glyph = SB2FOLDER
  ShowHint = true
  MyStyle = true
  sbType = sbNone
  Cancel = false
  ModalResult = 0
  ResName = 0
  Color = clBtnFace
  Hint = "Select folder"
  OnClick = SpeedButton1Click
TEdit Edit1 in Panel4
  Bounds = 30 32 459 24
  Text = "C:\\!ZarvoNew\\"
  Font = F3
  TabOrder = 0
TPanel Panel3
  Bounds = 62 113 423 104
  BevelInner = bvRaised
  BevelOuter = bvLowered
  BorderWidth = 5
  ParentColor = true
  Visible = false
  TabOrder = 0
TLabel Label13 in Panel3
  Align = alClient
  Bounds = 7 7 409 38
  Alignment = taCenter
  Layout = tlCenter
  AutoSize = false
  Font = F1
  Caption = "Copy new files"
TLabel Label1 in Panel3
  Align = alBottom
  Bounds = 7 45 409 23
  Layout = tlCenter
  AutoSize = false
TProgressBar PB in Panel3
  Align = alBottom
  Bounds = 7 68 409 29
  TabOrder = 0
)layout";

}  // namespace zarvo::ui
