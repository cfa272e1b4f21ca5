// Loading a stored window description: creation, properties, docking and scaling from the
// 120 pixels-per-inch design to the screen, and the errors of a bad description.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/SetupBounds.h"
#include "tests/toolkit/Support.h"
#include "toolkit/Bevel.h"
#include "toolkit/ComboBox.h"
#include "toolkit/Edit.h"
#include "toolkit/Label.h"
#include "toolkit/Loader.h"
#include "toolkit/Panel.h"
#include "toolkit/ProgressBar.h"
#include "toolkit/SpeedButton.h"

namespace zarvo::toolkit {
namespace {

using testing::PumpFor;
using zarvo::testing::Box;
using zarvo::testing::ExpectedBounds;
using zarvo::testing::SetupBounds;

// The setup window's layout, built from toolkit classes only (panels stand in for the check
// boxes, a label for the link, a panel for the group panel).
const wchar_t* const SetupLayout = LR"layout(
# The layout of a 550 x 299 window designed at 120 pixels per inch.
TLayoutForm ZarSetup
  ClientWidth = 550
  ClientHeight = 299
  BorderStyle = bsSingle
  BorderIcons = [biSystemMenu]
  Position = poScreenCenter
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
TLabel Link1
  Align = alTop
  Bounds = 0 0 550 30
  Alignment = taRightJustify
  Layout = tlCenter
  AutoSize = false
  Cursor = crHandPoint
  Font = F2
TBevel Bevel2
  Align = alTop
  Bounds = 0 30 550 1
  Shape = bsBottomLine
TPanel GP
  Align = alClient
  Bounds = 0 31 550 268
  BevelOuter = bvNone
  ParentColor = true
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
TSpeedButton SB1 in Panel1
  Align = alRight
  Bounds = 412 0 138 30
  Flat = true
  Caption = "Install >>"
TComboBox cbLang in Panel1
  Bounds = 5 2 186 24
  Items = "English" "Russian (\u0420\u0443\u0441\u0441\u043a\u0438\u0439)"
  Font = F3
  TabOrder = 0
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
TPanel cbDesktop in Panel6
  Bounds = 30 32 492 23
  TabStop = true
  TabOrder = 0
TPanel cbStart in Panel6
  Bounds = 30 57 492 23
  TabStop = true
  TabOrder = 1
TPanel cbForce in Panel6
  Bounds = 30 82 492 24
  TabStop = true
  TabOrder = 2
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
TLabel Label4 in Panel4
  Align = alBottom
  Bounds = 0 65 550 54
  AutoSize = false
  Font = F3
TSpeedButton SB2 in Panel4
  Bounds = 494 30 29 28
  Flat = true
  ShowHint = true
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
TLabel Label1 in Panel3
  Align = alBottom
  Bounds = 7 45 409 23
  Layout = tlCenter
  AutoSize = false
TProgressBar PB in Panel3
  Align = alBottom
  Bounds = 7 68 409 29
)layout";

class TLayoutForm : public TForm {
public:
  explicit TLayoutForm(TComponent* AOwner) : TForm(AOwner) {}
  std::wstring_view ClassName() const override { return L"TLayoutForm"; }
};

std::unique_ptr<TLayoutForm> LoadSetupLayout(int pixelsPerInch) {
  Application().Initialize();
  auto form = std::make_unique<TLayoutForm>(nullptr);
  LoadDescription(*form, SetupLayout, StandardClasses(), {pixelsPerInch, nullptr});
  form->AfterConstruction();
  return form;
}

void ExpectBounds(TForm& form, int pixelsPerInch) {
  for (const ExpectedBounds& expected : SetupBounds) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(expected.Name)));
    auto& control = form.Component<TControl>(expected.Name);
    const Box& bounds = pixelsPerInch == 120 ? expected.At120 : expected.At96;
    EXPECT_EQ(control.Left(), bounds.Left);
    EXPECT_EQ(control.Top(), bounds.Top);
    EXPECT_EQ(control.Width(), bounds.Width);
    // Once it has a window, a drop-down list is as high as its font makes it (it can grow to
    // the designed height, not shrink below its font's).
    auto* combo = dynamic_cast<TComboBox*>(&control);
    if (combo && combo->HandleAllocated())
      EXPECT_GE(control.Height(), bounds.Height);
    else
      EXPECT_EQ(control.Height(), bounds.Height);
  }
}

class LayoutAtPixelsPerInch : public ::testing::TestWithParam<int> {};

TEST_P(LayoutAtPixelsPerInch, DockingAndScalingGiveThePredictedBounds) {
  int ppi = GetParam();
  auto form = LoadSetupLayout(ppi);
  EXPECT_EQ(form->ClientWidth(), ppi == 120 ? 550 : 440);
  EXPECT_EQ(form->ClientHeight(), ppi == 120 ? 299 : 239);
  ExpectBounds(*form, ppi);
}

TEST_P(LayoutAtPixelsPerInch, WindowsTakeTheBoundsWhenTheFormIsShown) {
  int ppi = GetParam();
  auto form = LoadSetupLayout(ppi);
  Application().SetMainForm(form.get());
  form->Show();
  PumpFor(50);
  RECT client;
  ::GetClientRect(form->Handle(), &client);
  EXPECT_EQ(client.right, ppi == 120 ? 550 : 440);
  EXPECT_EQ(client.bottom, ppi == 120 ? 299 : 239);
  ExpectBounds(*form, ppi);
  // Each windowed control's window lies where its object says.
  for (const ExpectedBounds& expected : SetupBounds) {
    auto* control = dynamic_cast<TWinControl*>(form->FindComponent(expected.Name));
    if (!control || !control->HandleAllocated()) continue;
    SCOPED_TRACE(::testing::PrintToString(std::wstring(expected.Name)));
    RECT window;
    ::GetWindowRect(control->Handle(), &window);
    ::MapWindowPoints(nullptr, control->Parent()->Handle(), reinterpret_cast<POINT*>(&window), 2);
    EXPECT_EQ(window.left, control->Left());
    EXPECT_EQ(window.top, control->Top());
    EXPECT_EQ(window.right - window.left, control->Width());
    EXPECT_EQ(window.bottom - window.top, control->Height());
  }
  Application().SetMainForm(nullptr);
}

TEST_P(LayoutAtPixelsPerInch, FontHeightsScaleAndTheDefaultFontStays) {
  int ppi = GetParam();
  auto form = LoadSetupLayout(ppi);
  auto& label3 = form->Component<TLabel>(L"Label3");
  EXPECT_EQ(label3.Font().Height(), ppi == 120 ? 15 : 12);
  EXPECT_EQ(label3.Font().Charset(), RUSSIAN_CHARSET);
  EXPECT_EQ(label3.Font().Style(), fsBold);
  EXPECT_EQ(form->Component<TLabel>(L"Link1").Font().Style(), fsBold | fsUnderline);
  EXPECT_EQ(form->Component<TLabel>(L"Link1").Font().Color(), clBlue);
  // Panel1 inherits GP's font F0; Panel3 and Label1 keep the form's own (not scaled).
  EXPECT_EQ(form->Component<TPanel>(L"Panel1").Font().Height(), ppi == 120 ? 15 : 12);
  TFont systemFont;
  EXPECT_EQ(form->Component<TPanel>(L"Panel3").Font().Height(), systemFont.Height());
  EXPECT_EQ(form->Component<TLabel>(L"Label1").Font().Name(), systemFont.Name());
}

INSTANTIATE_TEST_SUITE_P(DesignAndScreen, LayoutAtPixelsPerInch, ::testing::Values(120, 96));

TEST(Layout, TheScreensOwnPixelsPerInchIsUsedWhenNoneIsGiven) {
  int ppi = ScreenPixelsPerInch();
  {
    WindowDC screen(nullptr);
    EXPECT_EQ(ppi, ::GetDeviceCaps(screen.get(), LOGPIXELSX));
  }
  ASSERT_TRUE(ppi == 96 || ppi == 120) << ppi;
  auto form = LoadSetupLayout(0);
  ExpectBounds(*form, ppi);
}

TEST(Layout, PropertiesOfTheDescriptionReachTheControls) {
  auto form = LoadSetupLayout(120);
  EXPECT_EQ(form->Name(), L"ZarSetup");
  EXPECT_EQ(form->BorderStyle(), bsSingle);
  EXPECT_EQ(form->BorderIcons(), biSystemMenu);
  EXPECT_EQ(form->Component<TEdit>(L"Edit1").Text(), L"C:\\!ZarvoNew\\");
  auto& combo = form->Component<TComboBox>(L"cbLang");
  ASSERT_EQ(combo.Items().Count(), 2);
  EXPECT_EQ(combo.Items()[1], L"Russian (\u0420\u0443\u0441\u0441\u043a\u0438\u0439)");
  EXPECT_EQ(form->Component<TLabel>(L"Link1").Cursor(), crHandPoint);
  EXPECT_EQ(form->Component<TLabel>(L"Label13").Alignment(), taCenter);
  EXPECT_FALSE(form->Component<TPanel>(L"Panel3").Visible());
  EXPECT_EQ(form->Component<TPanel>(L"Panel3").BorderWidth(), 5);
  EXPECT_TRUE(form->Component<TSpeedButton>(L"SB2").ShowHint());
  EXPECT_FALSE(form->Component<TSpeedButton>(L"SB2").ParentShowHint());
  EXPECT_EQ(form->Component<TPanel>(L"GP").Color(), clBtnFace);
  // The components belong to the form, in the order written.
  EXPECT_EQ(form->Components(0)->Name(), L"Link1");
  EXPECT_EQ(form->Components(form->ComponentCount() - 1)->Name(), L"PB");
}

TEST(Layout, TabOrderFollowsTheDescription) {
  auto form = LoadSetupLayout(120);
  std::vector<TWinControl*> order;
  form->GetTabOrderList(order);
  std::vector<std::wstring> stops;
  for (TWinControl* control : order) {
    if (control->TabStop()) stops.push_back(control->Name());
  }
  EXPECT_EQ(stops, (std::vector<std::wstring>{L"cbLang", L"cbDesktop", L"cbStart", L"cbForce", L"Edit1"}));
}

TEST(Layout, TheFirstFocusableControlGetsTheFocusWhenTheFormIsShown) {
  auto form = LoadSetupLayout(96);
  Application().SetMainForm(form.get());
  form->Show();
  ASSERT_TRUE(testing::PumpUntil([&] { return form->Component<TComboBox>(L"cbLang").Focused(); }));
  EXPECT_EQ(form->ActiveControl(), &form->Component<TComboBox>(L"cbLang"));
  Application().SetMainForm(nullptr);
}

// A control class of the kind another layer adds, with its own property.
class TMarkedPanel : public TPanel {
public:
  explicit TMarkedPanel(TComponent* AOwner) : TPanel(AOwner) {}
  std::wstring_view ClassName() const override { return L"TMarkedPanel"; }
  std::vector<std::wstring> Events;
  void SetMark(const std::wstring& mark) { Events.push_back(L"Mark=" + mark + L" loading=" + (Loading() ? L"1" : L"0")); }
  void Loaded() override {
    Events.push_back(L"Loaded children=" + std::to_wstring(ControlCount()));
    TPanel::Loaded();
  }
};

TEST(Layout, RegisteredClassesGetTheirOwnAndInheritedPropertiesThenLoaded) {
  TClassRegistry classes = StandardClasses();
  classes.RegisterClass<TMarkedPanel>(L"TMarkedPanel", L"TPanel");
  classes.RegisterProperty<TMarkedPanel>(L"TMarkedPanel", L"Mark",
                                         [](TMarkedPanel& c, const TPropertyValue& v, TLoadContext&) { c.SetMark(v.AsString()); });
  auto form = std::make_unique<TLayoutForm>(nullptr);
  int clicks = 0;
  form->DeclareHandler(L"PanelClick", TNotifyEvent([&](TObject*) { ++clicks; }));
  LoadDescription(*form, LR"(
TLayoutForm Form1
TMarkedPanel Outer
  Mark = "first"
  BevelOuter = bvNone
  OnClick = PanelClick
TLabel Inner in Outer
  Caption = "x"
)", classes, {96, nullptr});
  auto& outer = form->Component<TMarkedPanel>(L"Outer");
  // Properties while loading, before the child existed; Loaded after every component.
  EXPECT_EQ(outer.Events, (std::vector<std::wstring>{L"Mark=first loading=1", L"Loaded children=1"}));
  EXPECT_EQ(outer.BevelOuter(), bvNone);
  EXPECT_FALSE(outer.Loading());
  outer.Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 30));
  outer.Perform(WM_LBUTTONUP, 0, MAKELPARAM(150, 30));
  EXPECT_EQ(clicks, 1);
}

struct BadDescription {
  const char* Case;
  const wchar_t* Text;
  int Line;
  const char* Message;
};

class LayoutErrors : public ::testing::TestWithParam<BadDescription> {};

TEST_P(LayoutErrors, NameTheLineAndTheProblem) {
  const BadDescription& bad = GetParam();
  TLayoutForm form(nullptr);
  try {
    LoadDescription(form, bad.Text, StandardClasses(), {96, nullptr});
    FAIL() << "loaded";
  } catch (const TDescriptionError& error) {
    EXPECT_EQ(error.Line(), bad.Line);
    EXPECT_NE(std::string(error.what()).find(bad.Message), std::string::npos) << error.what();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LayoutErrors,
    ::testing::Values(
        BadDescription{"UnknownClass", L"TLayoutForm F\nTWidget W", 2, "unknown class TWidget"},
        BadDescription{"UnknownProperty", L"TLayoutForm F\nTLabel L\n  Colour = clRed", 3, "no property Colour"},
        BadDescription{"WrongForm", L"TOtherForm F", 1, "is for TOtherForm"},
        BadDescription{"MissingParent", L"TLayoutForm F\nTLabel L in Nowhere", 2, "no windowed parent Nowhere"},
        BadDescription{"WindowlessParent", L"TLayoutForm F\nTLabel L\nTLabel M in L", 3, "no windowed parent L"},
        BadDescription{"DuplicateName", L"TLayoutForm F\nTLabel L\nTLabel L", 3, "second component named L"},
        BadDescription{"UnclosedText", L"TLayoutForm F\nTLabel L\n  Caption = \"abc", 3, "closing quote"},
        BadDescription{"NotANumber", L"TLayoutForm F\nTLabel L\n  Left = 12px", 3, "not a number"},
        BadDescription{"BoundsNeedFour", L"TLayoutForm F\nTLabel L\n  Bounds = 1 2 3", 3, "left, top, width and height"},
        BadDescription{"UnknownEnum", L"TLayoutForm F\nTLabel L\n  Align = alMiddle", 3, "unknown value alMiddle"},
        BadDescription{"UnknownColour", L"TLayoutForm F\nTLabel L\n  Color = clPurple", 3, "unknown colour clPurple"},
        BadDescription{"UndefinedFont", L"TLayoutForm F\nTLabel L\n  Font = F9", 3, "no font F9"},
        BadDescription{"UndeclaredHandler", L"TLayoutForm F\nTLabel L\n  OnClick = Nowhere", 3, "no handler Nowhere"},
        BadDescription{"PropertyFirst", L"\n  Caption = \"x\"", 2, "before any component"},
        BadDescription{"NoForm", L"# nothing", 1, "names no form"},
        BadDescription{"BadHeader", L"TLayoutForm F\nTLabel", 2, "expected \"Class Name\""},
        BadDescription{"MissingPicture", L"TLayoutForm F\nTSpeedButton B\n  Glyph = NOSUCHPICTURE", 3, "NOSUCHPICTURE"}),
    [](const ::testing::TestParamInfo<BadDescription>& info) { return info.param.Case; });

TEST(Layout, HandlersOfAnotherSignatureAreRefused) {
  TLayoutForm form(nullptr);
  form.DeclareHandler(L"Moved", TMouseMoveEvent([](TObject*, TShiftState, int, int) {}));
  EXPECT_THROW(LoadDescription(form, L"TLayoutForm F\nTLabel L\n  OnClick = Moved", StandardClasses(), {96, nullptr}),
               TDescriptionError);
}

TEST(Layout, DockedControlsFollowAResizedParent) {
  auto form = LoadSetupLayout(120);
  auto& gp = form->Component<TPanel>(L"GP");
  form->SetClientSize(600, 320);
  EXPECT_EQ(gp.Width(), 600);
  EXPECT_EQ(gp.Height(), 289);
  EXPECT_EQ(form->Component<TControl>(L"SB1").Left(), 600 - 138);
  EXPECT_EQ(form->Component<TControl>(L"Panel1").Top(), 289 - 30);
  // A hidden docked control leaves its space to the rest.
  form->Component<TControl>(L"Panel4").Hide();
  EXPECT_EQ(form->Component<TControl>(L"Bevel1").Top(), 0);
  EXPECT_EQ(form->Component<TControl>(L"Panel6").Top(), 2);
  // Undocking keeps the bounds the control has.
  auto& label4 = form->Component<TControl>(L"Label4");
  RECT before = label4.BoundsRect();
  label4.SetAlign(alNone);
  EXPECT_EQ(label4.BoundsRect().top, before.top);
  EXPECT_EQ(label4.BoundsRect().right, before.right);
}

}  // namespace
}  // namespace zarvo::toolkit
