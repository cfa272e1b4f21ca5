// The picture-drawn check box: its layout to the pixel, the disabled look, and its input cases
// (presses, double clicks, Enter, accelerators, hot tracking, the round-box group).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/Controls.h"
#include "controls/EwCheckBox.h"
#include "controls/SB.h"
#include "tests/controls/Support.h"
#include "tests/toolkit/Lifetime.h"
#include "toolkit/Edit.h"
#include "toolkit/Loader.h"
#include "toolkit/Panel.h"

namespace zarvo::controls {
namespace {

using namespace zarvo::toolkit;
using namespace zarvo::controls::testing;
using zarvo::toolkit::testing::MakeTestForm;
using zarvo::toolkit::testing::PumpFor;
using zarvo::toolkit::testing::PumpUntil;
using zarvo::toolkit::testing::TTestForm;

const COLORREF Gray = RGB(128, 128, 128);
const COLORREF White = RGB(255, 255, 255);
const COLORREF Black = RGB(0, 0, 0);

// Shows what the last paint laid out and the hot state.
class TPeekBox : public TEwCheckBox {
public:
  using TEwCheckBox::TEwCheckBox;
  RECT LastCaptRect() const { return CaptRect; }
  RECT LastR() const { return R; }
  int HotIndex() const { return Index; }
};

SIZE Measure(const TFont& font, const std::wstring& text) {
  TBitmap scratch;
  scratch.SetSize(1, 1);
  scratch.Canvas().Font().Assign(font);
  return scratch.Canvas().TextExtent(text);
}

// The caption as the control is to draw it: format 0 into `rect`, in `color`.
void DrawCaption(TBitmap& picture, const TFont& font, const std::wstring& caption, RECT rect, TColor color) {
  TCanvas& canvas = picture.Canvas();
  canvas.Font().Assign(font);
  canvas.Font().SetColor(color);
  canvas.Brush().SetStyle(bsClear);
  canvas.DrawText(caption, rect, 0);
}

// The form is made and shown once for a suite (a top-level window takes seconds to go under
// Wine); each test puts its controls on a panel of its own that goes with the test.
class CheckBoxTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    SharedForm() = MakeTestForm();
    SharedForm()->SetClientSize(600, 220);
  }
  static void TearDownTestSuite() { SharedForm().reset(); }
  static std::unique_ptr<TTestForm>& SharedForm() {
    static std::unique_ptr<TTestForm> form;
    return form;
  }

  void SetUp() override {
    Form = SharedForm().get();
    Host = std::make_unique<TPanel>(nullptr);
    Host->SetBevelOuter(bvNone);
    Host->SetBounds(0, 0, 600, 220);
    Host->SetParent(Form);
  }

  void TearDown() override {
    if (Form->HandleAllocated() && Form->Visible()) ::SetFocus(Form->Handle());
    Host.reset();
  }

  TPeekBox* NewBox(TWinControl* parent, int left, int top, int width, int height, const std::wstring& caption) {
    auto* box = Make<TPeekBox>(Host.get());
    box->SetParent(parent);
    box->SetBounds(left, top, width, height);
    box->SetCaption(caption);
    return box;
  }

  // Shows the form (once) and waits until it is the active window.
  void ShowForm() {
    if (!Form->Visible()) {
      Form->Show();
      ::SetForegroundWindow(Form->Handle());
    }
    PumpUntil([&] { return ::GetActiveWindow() == Form->Handle(); });
  }

  TTestForm* Form = nullptr;
  // Owns and holds the test's controls.
  std::unique_ptr<TPanel> Host;
};

// ---- layout

struct LayoutCase {
  const char* Name;
  TAlignment Alignment;
  TMargine Style;
  int PictureLeft;  // where the 16 x 16 box picture lands
  int PictureTop;
  int CaptionLeft;
  RECT Working;  // R
};

class CheckBoxLayoutTest : public CheckBoxTest, public ::testing::WithParamInterface<LayoutCase> {};

// The setup window's boxes: 492 x 23, flat; with a frame everything moves one pixel inward.
TEST_P(CheckBoxLayoutTest, PlacesBoxAndCaptionToThePixel) {
  const LayoutCase& c = GetParam();
  const std::wstring caption = L"Create desktop icon";
  TPeekBox* box = NewBox(Host.get(), 30, 32, 492, 23, caption);
  box->SetFlat(true);
  box->SetAlignment(c.Alignment);
  box->SetStyle(c.Style);
  TBitmap picture;
  Capture(*box, picture);

  EXPECT_TRUE(SameRect(box->LastR(), c.Working)) << Text(box->LastR());
  const COLORREF face = ColorToRGB(clBtnFace);
  // BLANKFLAT: a gray 12 x 12 outline at columns and rows 2-13, white inside, nothing around.
  int left = c.PictureLeft + 2;
  int top = c.PictureTop + 2;
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(At(picture, left + i, top), Gray) << "top edge " << i;
    EXPECT_EQ(At(picture, left + i, top + 11), Gray) << "bottom edge " << i;
    EXPECT_EQ(At(picture, left, top + i), Gray) << "left edge " << i;
    EXPECT_EQ(At(picture, left + 11, top + i), Gray) << "right edge " << i;
    EXPECT_EQ(At(picture, left - 1, top + i), face) << "left of the outline " << i;
    EXPECT_EQ(At(picture, left + 12, top + i), face) << "right of the outline " << i;
    EXPECT_EQ(At(picture, left + i, top - 1), face) << "above the outline " << i;
    EXPECT_EQ(At(picture, left + i, top + 12), face) << "below the outline " << i;
  }
  for (int y = top + 1; y < top + 11; ++y)
    for (int x = left + 1; x < left + 11; ++x) ASSERT_EQ(At(picture, x, y), White) << x << ", " << y;

  // The caption: drawn at its left edge, its top centred in R.
  SIZE size = Measure(box->Font(), caption);
  int captionTop = c.Working.top + (c.Working.bottom - c.Working.top - size.cy) / 2;
  RECT expectedCaption{c.CaptionLeft, captionTop, c.CaptionLeft + size.cx, captionTop + size.cy};
  EXPECT_TRUE(SameRect(box->LastCaptRect(), expectedCaption)) << Text(box->LastCaptRect());
  TBitmap expected;
  Blank(expected, 492, 23, face);
  DrawCaption(expected, box->Font(), caption, expectedCaption, clWindowText);
  RECT band = c.Alignment == taRightJustify ? RECT{c.PictureLeft + 16, c.Working.top, c.Working.right, c.Working.bottom}
                                            : RECT{c.Working.left, c.Working.top, c.PictureLeft, c.Working.bottom};
  EXPECT_TRUE(SameArea(picture, expected, band));

  // The frame on the outermost pixels; the right/bottom colour takes two corners.
  COLORREF shadow = ColorToRGB(clBtnShadow);
  COLORREF highlight = ColorToRGB(clBtnHighlight);
  COLORREF topLeft = c.Style == bmLowered ? shadow : c.Style == bmRaised ? highlight : face;
  COLORREF bottomRight = c.Style == bmLowered ? highlight : c.Style == bmRaised ? shadow : face;
  EXPECT_EQ(At(picture, 0, 0), topLeft);
  EXPECT_EQ(At(picture, 200, 0), topLeft);
  EXPECT_EQ(At(picture, 0, 11), topLeft);
  EXPECT_EQ(At(picture, 491, 0), bottomRight);
  EXPECT_EQ(At(picture, 0, 22), bottomRight);
  EXPECT_EQ(At(picture, 491, 11), bottomRight);
  EXPECT_EQ(At(picture, 200, 22), bottomRight);
  EXPECT_EQ(At(picture, 491, 22), bottomRight);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExample, CheckBoxLayoutTest,
    ::testing::Values(LayoutCase{"RightNoFrame", taRightJustify, bmNone, 2, 3, 22, {0, 0, 492, 23}},
                      LayoutCase{"RightLowered", taRightJustify, bmLowered, 3, 3, 23, {1, 1, 491, 22}},
                      LayoutCase{"RightRaised", taRightJustify, bmRaised, 3, 3, 23, {1, 1, 491, 22}},
                      LayoutCase{"LeftNoFrame", taLeftJustify, bmNone, 474, 3, 2, {0, 0, 492, 23}},
                      LayoutCase{"LeftLowered", taLeftJustify, bmLowered, 473, 3, 3, {1, 1, 491, 22}}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) { return std::string(info.param.Name); });

TEST_F(CheckBoxTest, LeftJustifiedCaptionRunsUnderTheBoxDrawnAfterIt) {
  TPeekBox* box = NewBox(Host.get(), 0, 0, 100, 23, std::wstring(30, L'W'));
  box->SetFlat(true);
  box->SetAlignment(taLeftJustify);
  TBitmap picture;
  Capture(*box, picture);
  // The box at 100 - 18 = 82: its outline at columns 84 and 95 is whole over the caption.
  for (int y = 5; y <= 16; ++y) {
    EXPECT_EQ(At(picture, 84, y), Gray) << y;
    EXPECT_EQ(At(picture, 95, y), Gray) << y;
  }
  EXPECT_TRUE(HasColor(picture, RECT{2, 0, 82, 23}, Black));
}

// ---- which pictures

struct PictureCase {
  const char* Name;
  bool Flat;
  bool Round;
  bool Enabled;
  bool InsideWhite;  // the box's middle: white for an enabled box, the fill for a disabled one
};

class CheckBoxPictureTest : public CheckBoxTest, public ::testing::WithParamInterface<PictureCase> {};

TEST_P(CheckBoxPictureTest, ShowsTheBoxOfItsKindAndNoMarkWhenDisabled) {
  const PictureCase& c = GetParam();
  TPeekBox* box = NewBox(Host.get(), 0, 0, 200, 23, L"Option");
  box->SetFlat(c.Flat);
  box->SetRound(c.Round);
  box->SetEnabled(c.Enabled);
  TBitmap unchecked;
  Capture(*box, unchecked);
  box->SetChecked(true);
  TBitmap checked;
  Capture(*box, checked);

  const COLORREF face = ColorToRGB(clBtnFace);
  // The picture lands at (2, 3); its middle pixel (7, 7).
  EXPECT_EQ(At(unchecked, 2 + 7, 3 + 7), c.InsideWhite ? White : face);
  // The rim of every box passes through column 2 + 2 or 2 + 1 on the middle row.
  EXPECT_TRUE(HasColor(unchecked, RECT{2, 3 + 7, 2 + 4, 3 + 8}, Gray));
  if (c.Enabled) {
    // The mark: a dot for a round box (Glyph followed Round), else a tick.
    if (c.Round) {
      EXPECT_EQ(At(checked, 2 + 6, 3 + 6), Black);
      EXPECT_EQ(At(checked, 2 + 4, 3 + 7), White);
    } else {
      EXPECT_EQ(At(checked, 2 + 4, 3 + 7), Black);
      EXPECT_EQ(At(checked, 2 + 6, 3 + 6), White);
    }
  } else {
    EXPECT_TRUE(SameArea(checked, unchecked, RECT{0, 0, 200, 23}));
  }
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, CheckBoxPictureTest,
    ::testing::Values(PictureCase{"Square", false, false, true, true}, PictureCase{"Round", false, true, true, true},
                      PictureCase{"Flat", true, false, true, true}, PictureCase{"FlatRound", true, true, true, true},
                      PictureCase{"SquareDisabled", false, false, false, false},
                      PictureCase{"RoundDisabled", false, true, false, false},
                      PictureCase{"FlatDisabled", true, false, false, false},
                      PictureCase{"FlatRoundDisabled", true, true, false, false}),
    [](const ::testing::TestParamInfo<PictureCase>& info) { return std::string(info.param.Name); });

TEST_F(CheckBoxTest, DisabledCaptionIsEtched) {
  const std::wstring caption = L"Forced installation";
  TPeekBox* box = NewBox(Host.get(), 0, 0, 300, 23, caption);
  box->SetHotColor(clRed);
  box->SetEnabled(false);
  TBitmap picture;
  Capture(*box, picture);

  RECT rect = box->LastCaptRect();
  RECT band{20, 0, 300, 23};
  EXPECT_TRUE(HasColor(picture, band, ColorToRGB(clBtnShadow)));
  EXPECT_TRUE(HasColor(picture, band, RGB(255, 0, 0)));
  EXPECT_FALSE(HasColor(picture, band, Black));
  // clBtnShadow text over a HotColor copy one pixel right and down.
  TBitmap expected;
  Blank(expected, 300, 23, ColorToRGB(clBtnFace));
  RECT lower = rect;
  ::OffsetRect(&lower, 1, 1);
  DrawCaption(expected, box->Font(), caption, rect, clWindowText);
  DrawCaption(expected, box->Font(), caption, lower, clRed);
  DrawCaption(expected, box->Font(), caption, rect, clBtnShadow);
  EXPECT_TRUE(SameArea(picture, expected, band));
}

TEST_F(CheckBoxTest, HotColorShowsOnlyWhileHot) {
  TPeekBox* box = NewBox(Host.get(), 0, 0, 300, 23, L"Hot caption");
  box->SetHotColor(clRed);
  box->Perform(TM_MOUSEENTER);
  TBitmap notHot;
  Capture(*box, notHot);
  EXPECT_FALSE(HasColor(notHot, RECT{20, 0, 300, 23}, RGB(255, 0, 0)));
  box->Perform(TM_MOUSELEAVE);
  box->SetHot(true);
  box->Perform(TM_MOUSEENTER);
  TBitmap hot;
  Capture(*box, hot);
  EXPECT_TRUE(HasColor(hot, RECT{20, 0, 300, 23}, RGB(255, 0, 0)));
  EXPECT_FALSE(HasColor(hot, RECT{20, 0, 300, 23}, Black));
}

TEST_F(CheckBoxTest, TransparentBoxShowsItsParentOverFrameAndFill) {
  auto* panel = Make<TPanel>(Host.get());
  panel->SetParent(Host.get());
  panel->SetBounds(0, 0, 400, 100);
  panel->SetBevelOuter(bvNone);
  panel->SetColor(clLime);
  TPeekBox* box = NewBox(panel, 10, 10, 200, 23, L"See-through");
  box->SetStyle(bmLowered);
  box->SetTransparent(true);
  TBitmap picture;
  Capture(*box, picture);
  const COLORREF lime = RGB(0, 255, 0);
  EXPECT_EQ(At(picture, 0, 0), lime);
  EXPECT_EQ(At(picture, 199, 22), lime);
  EXPECT_EQ(At(picture, 100, 1), lime);
  // The box and its caption still come on top.
  EXPECT_EQ(At(picture, 3 + 7, 3 + 7), White);
  EXPECT_TRUE(HasColor(picture, RECT{23, 0, 200, 23}, Black));
}

TEST_F(CheckBoxTest, ParentColorDoesNotReplaceTheFill) {
  auto* panel = Make<TPanel>(Host.get());
  panel->SetParent(Host.get());
  panel->SetBevelOuter(bvNone);
  panel->SetColor(clLime);
  TPeekBox* box = NewBox(panel, 0, 0, 200, 23, L"Fill");
  box->SetParentColor(true);
  panel->SetColor(clYellow);
  EXPECT_EQ(box->Color(), clBtnFace);
  TBitmap picture;
  Capture(*box, picture);
  EXPECT_EQ(At(picture, 150, 1), ColorToRGB(clBtnFace));
}

TEST_F(CheckBoxTest, RoundTurnsTheGlyphAndGlyphCanChangeItBack) {
  TPeekBox* box = NewBox(Host.get(), 0, 0, 200, 23, L"Radio");
  box->SetRound(true);
  EXPECT_EQ(box->Glyph(), igRound);
  box->SetGlyph(igCheck);
  box->SetChecked(true);
  TBitmap picture;
  Capture(*box, picture);
  // A round box with a tick.
  EXPECT_EQ(At(picture, 2 + 11, 3 + 4), Black);
  EXPECT_EQ(At(picture, 2 + 7, 3 + 3), Gray);  // the disc's rim: BLANKROUND, not BLANK
  EXPECT_NE(At(picture, 2 + 1, 3 + 1), Gray);  // where BLANK's ring would be
  box->SetRound(false);
  EXPECT_EQ(box->Glyph(), igCheck);
  box->SetGlyph(igCross);
  EXPECT_EQ(box->Glyph(), igCross);
  box->SetRound(true);
  EXPECT_EQ(box->Glyph(), igRound);
}

// ---- the focus rectangle

TEST_F(CheckBoxTest, FocusRectangleSurroundsTheCaptionLessOneAmpersand) {
  auto* other = Make<TEdit>(Host.get());
  other->SetParent(Host.get());
  other->SetBounds(10, 150, 100, 24);
  std::vector<TPeekBox*> boxes{NewBox(Host.get(), 10, 10, 300, 23, L"Create desktop icon"),
                               NewBox(Host.get(), 10, 50, 300, 23, L"A&B&&C&D")};
  ShowForm();
  for (TPeekBox* box : boxes) {
    std::wstring caption = box->Caption();
    SCOPED_TRACE(std::string(caption.begin(), caption.end()));
    box->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return box->Focused(); }));
    TBitmap focused;
    Capture(*box, focused);
    // Shown only at the next paint: the setter stores and paints nothing.
    ::ValidateRect(box->Handle(), nullptr);
    box->SetShowFocused(false);
    EXPECT_FALSE(::GetUpdateRect(box->Handle(), nullptr, FALSE));
    TBitmap plain;
    Capture(*box, plain);

    SIZE size = Measure(box->Font(), caption);
    int ampersand = caption.find(L'&') != std::wstring::npos ? Measure(box->Font(), L"&").cx : 0;
    int top = (23 - size.cy) / 2;
    RECT expected{21, top - 1, size.cx - ampersand + 26, top + size.cy + 1};
    EXPECT_TRUE(SameRect(DifferenceBounds(focused, plain), expected))
        << Text(DifferenceBounds(focused, plain)) << " instead of " << Text(expected);
    // CaptRect keeps the full measured width.
    EXPECT_EQ(box->LastCaptRect().right - box->LastCaptRect().left, size.cx);
  }
}

// ---- Checked and the round group

TEST_F(CheckBoxTest, CheckedSetterInvalidatesEvenWhenUnchanged) {
  TPeekBox* box = NewBox(Host.get(), 10, 10, 200, 23, L"Box");
  ShowForm();
  for (bool value : {false, false, true, true}) {
    ::UpdateWindow(box->Handle());
    ASSERT_FALSE(::GetUpdateRect(box->Handle(), nullptr, FALSE));
    box->SetChecked(value);
    EXPECT_TRUE(::GetUpdateRect(box->Handle(), nullptr, FALSE)) << value;
    EXPECT_EQ(box->Checked(), value);
  }
  // Other setters do nothing for an unchanged value.
  ::UpdateWindow(box->Handle());
  box->SetStyle(bmNone);
  EXPECT_FALSE(::GetUpdateRect(box->Handle(), nullptr, FALSE));
}

// Counts its paints and the windows made for it.
class TCountingBox : public TEwCheckBox {
public:
  using TEwCheckBox::TEwCheckBox;
  int Paints = 0;
  int Windows = 0;

protected:
  void Paint() override {
    ++Paints;
    TEwCheckBox::Paint();
  }
  void CreateWnd() override {
    ++Windows;
    TEwCheckBox::CreateWnd();
  }
};

enum class Effect { PaintsAtOnce, Invalidates, RecreatesWindow, StoresOnly };

struct SetterCase {
  const char* Name;
  void (*Set)(TEwCustomCheck&);  // to a value other than the initial one
  Effect Expected;
};

class CheckBoxSetterTest : public CheckBoxTest, public ::testing::WithParamInterface<SetterCase> {};

// Appearance setters paint before they return, Style only marks the box, Alignment and Glyph
// make its window anew, ShowFocused stores; and each of them does nothing for the same value.
TEST_P(CheckBoxSetterTest, SetterPaintsInvalidatesOrRecreatesAsItsPropertyDoes) {
  const SetterCase& c = GetParam();
  auto* box = Make<TCountingBox>(Host.get());
  box->SetParent(Host.get());
  box->SetBounds(10, 10, 200, 23);
  box->SetCaption(L"Setter");
  ShowForm();
  HWND window = box->Handle();
  PumpFor(20);
  ::UpdateWindow(window);
  ASSERT_FALSE(::GetUpdateRect(window, nullptr, FALSE));
  const int paints = box->Paints;
  const int windows = box->Windows;

  c.Set(*box);
  const bool marked = box->Windows == windows && ::GetUpdateRect(box->Handle(), nullptr, FALSE);
  switch (c.Expected) {
    case Effect::PaintsAtOnce:
      EXPECT_EQ(box->Paints, paints + 1);
      EXPECT_FALSE(marked) << "nothing is left for a later paint";
      EXPECT_EQ(box->Windows, windows);
      break;
    case Effect::Invalidates:
      EXPECT_EQ(box->Paints, paints);
      EXPECT_TRUE(marked);
      EXPECT_EQ(box->Windows, windows);
      break;
    case Effect::RecreatesWindow:
      EXPECT_EQ(box->Windows, windows + 1);
      break;
    case Effect::StoresOnly:
      EXPECT_EQ(box->Paints, paints);
      EXPECT_FALSE(marked);
      EXPECT_EQ(box->Windows, windows);
      break;
  }

  PumpFor(20);
  ::UpdateWindow(box->Handle());
  const int settled = box->Paints;
  const int made = box->Windows;
  c.Set(*box);
  EXPECT_EQ(box->Paints, settled) << "the same value again";
  EXPECT_EQ(box->Windows, made);
  EXPECT_FALSE(::GetUpdateRect(box->Handle(), nullptr, FALSE));
}

INSTANTIATE_TEST_SUITE_P(
    Properties, CheckBoxSetterTest,
    ::testing::Values(SetterCase{"Transparent", [](TEwCustomCheck& b) { b.SetTransparent(true); }, Effect::PaintsAtOnce},
                      SetterCase{"ShowFocused", [](TEwCustomCheck& b) { b.SetShowFocused(false); }, Effect::StoresOnly},
                      SetterCase{"Flat", [](TEwCustomCheck& b) { b.SetFlat(true); }, Effect::PaintsAtOnce},
                      SetterCase{"Hot", [](TEwCustomCheck& b) { b.SetHot(true); }, Effect::PaintsAtOnce},
                      SetterCase{"HotColor", [](TEwCustomCheck& b) { b.SetHotColor(clRed); }, Effect::PaintsAtOnce},
                      SetterCase{"Alignment", [](TEwCustomCheck& b) { b.SetAlignment(taLeftJustify); },
                                 Effect::RecreatesWindow},
                      SetterCase{"Glyph", [](TEwCustomCheck& b) { b.SetGlyph(igCross); }, Effect::RecreatesWindow},
                      SetterCase{"Round", [](TEwCustomCheck& b) { b.SetRound(true); }, Effect::RecreatesWindow},
                      SetterCase{"Style", [](TEwCustomCheck& b) { b.SetStyle(bmLowered); }, Effect::Invalidates},
                      SetterCase{"Color", [](TEwCustomCheck& b) { b.SetColor(clLime); }, Effect::PaintsAtOnce}),
    [](const ::testing::TestParamInfo<SetterCase>& info) { return std::string(info.param.Name); });

TEST_F(CheckBoxTest, CheckingARoundBoxClearsTheOtherRoundBoxesOfItsParentEachTime) {
  auto* group = Make<TPanel>(Host.get());
  group->SetParent(Host.get());
  auto* elsewhere = Make<TPanel>(Host.get());
  elsewhere->SetParent(Host.get());
  TPeekBox* a = NewBox(group, 0, 0, 100, 20, L"a");
  TPeekBox* b = NewBox(group, 0, 20, 100, 20, L"b");
  TPeekBox* c = NewBox(group, 0, 40, 100, 20, L"c");
  TPeekBox* square = NewBox(group, 0, 60, 100, 20, L"square");
  auto* custom = Make<TEwCustomCheck>(Host.get());  // round, but no TEwCheckBox
  custom->SetParent(group);
  TPeekBox* distant = NewBox(elsewhere, 0, 0, 100, 20, L"distant");
  for (TEwCustomCheck* box : std::vector<TEwCustomCheck*>{a, b, c, custom, distant}) box->SetRound(true);
  for (TEwCustomCheck* box : std::vector<TEwCustomCheck*>{b, c, square, custom, distant}) box->SetChecked(true);
  // Each round one clears the round TEwCheckBox siblings checked before it; the rest stay.
  EXPECT_TRUE(square->Checked());
  EXPECT_TRUE(distant->Checked());

  a->SetChecked(true);
  EXPECT_TRUE(a->Checked());
  EXPECT_FALSE(b->Checked());
  EXPECT_FALSE(c->Checked());
  EXPECT_TRUE(square->Checked());
  EXPECT_TRUE(custom->Checked());
  EXPECT_TRUE(distant->Checked());

  b->SetChecked(true);
  EXPECT_FALSE(a->Checked());
  a->SetChecked(true);
  EXPECT_FALSE(b->Checked());
  // Clearing sweeps nothing.
  a->SetChecked(false);
  EXPECT_FALSE(a->Checked());
  EXPECT_TRUE(square->Checked());
  // Without a parent there is nothing to sweep.
  auto* alone = Make<TPeekBox>(Host.get());
  alone->SetRound(true);
  alone->SetChecked(true);
  EXPECT_TRUE(alone->Checked());
}

// ---- mouse

struct PressCase {
  const char* Name;
  bool Round;
  bool Checked;
  UINT Down;
  UINT Up;
  bool ExpectChecked;
  bool Takes;  // focus, OnMouseDown and OnClick
};

class CheckBoxPressTest : public CheckBoxTest, public ::testing::WithParamInterface<PressCase> {};

TEST_P(CheckBoxPressTest, PressChangesTheBoxAsItsKindAllows) {
  const PressCase& c = GetParam();
  TPeekBox* box = NewBox(Host.get(), 10, 10, 200, 23, L"Press me");
  auto* other = Make<TEdit>(Host.get());
  other->SetParent(Host.get());
  other->SetBounds(10, 100, 100, 24);
  box->SetRound(c.Round);
  box->SetChecked(c.Checked);
  int downs = 0;
  std::vector<bool> clicks;  // Checked as OnClick saw it
  box->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
  box->OnClick = [&](TObject*) { clicks.push_back(box->Checked()); };
  ShowForm();
  other->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return other->Focused(); }));

  ::SendMessageW(box->Handle(), c.Down, c.Down == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(8, 8));
  ::SendMessageW(box->Handle(), c.Up, 0, MAKELPARAM(8, 8));
  PumpFor(20);

  EXPECT_EQ(box->Checked(), c.ExpectChecked);
  EXPECT_EQ(box->Focused(), c.Takes);
  EXPECT_EQ(downs, c.Takes ? 1 : 0);
  if (c.Takes) {
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], c.ExpectChecked) << "OnClick runs after the change";
  } else {
    EXPECT_TRUE(clicks.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Presses, CheckBoxPressTest,
    ::testing::Values(
        PressCase{"LeftChecksUnchecked", false, false, WM_LBUTTONDOWN, WM_LBUTTONUP, true, true},
        PressCase{"LeftClearsCheckedSquare", false, true, WM_LBUTTONDOWN, WM_LBUTTONUP, false, true},
        PressCase{"LeftChecksUncheckedRound", true, false, WM_LBUTTONDOWN, WM_LBUTTONUP, true, true},
        PressCase{"LeftLeavesCheckedRound", true, true, WM_LBUTTONDOWN, WM_LBUTTONUP, true, true},
        PressCase{"RightChangesNothing", false, false, WM_RBUTTONDOWN, WM_RBUTTONUP, false, false},
        PressCase{"RightOnCheckedChangesNothing", false, true, WM_RBUTTONDOWN, WM_RBUTTONUP, true, false},
        PressCase{"MiddleChangesNothing", false, false, WM_MBUTTONDOWN, WM_MBUTTONUP, false, false}),
    [](const ::testing::TestParamInfo<PressCase>& info) { return std::string(info.param.Name); });

TEST_F(CheckBoxTest, DisabledBoxIgnoresPresses) {
  TPeekBox* box = NewBox(Host.get(), 10, 10, 200, 23, L"Disabled");
  int downs = 0;
  box->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
  box->SetEnabled(false);
  box->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 8));
  box->Perform(WM_LBUTTONUP, 0, MAKELPARAM(8, 8));
  EXPECT_FALSE(box->Checked());
  EXPECT_EQ(downs, 0);
}

TEST_F(CheckBoxTest, DoubleClickChangesTheBoxTwiceAndClicksTwice) {
  int top = 10;
  for (bool round : {false, true}) {
    SCOPED_TRACE(round ? "round" : "square");
    TPeekBox* box = NewBox(Host.get(), 10, top, 200, 23, L"Double");
    top += 40;
    box->SetRound(round);
    box->SetChecked(round);
    std::vector<bool> seen;
    std::vector<TShiftState> downs;
    box->OnClick = [&](TObject*) { seen.push_back(box->Checked()); };
    box->OnMouseDown = [&](TObject*, TMouseButton, TShiftState shift, int, int) { downs.push_back(shift); };
    ShowForm();
    HWND window = box->Handle();
    ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 8));
    ::SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(8, 8));
    ::SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(8, 8));
    ::SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(8, 8));
    PumpFor(20);
    // A square box ends where it began; a round one stays checked.
    EXPECT_EQ(box->Checked(), round);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], true);
    EXPECT_EQ(seen[1], round);
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_FALSE(downs[0] & ssDouble);
    EXPECT_TRUE(downs[1] & ssDouble);
    // The next press and release is a click again.
    ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 8));
    ::SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(8, 8));
    EXPECT_EQ(seen.size(), 3u);
  }
}

// ---- keys

TEST_F(CheckBoxTest, EnterClicksWithoutChangingAndSpaceDoesNothing) {
  TPeekBox* box = NewBox(Host.get(), 10, 10, 200, 23, L"Keys");
  int clicks = 0;
  std::vector<WORD> keys;
  box->OnClick = [&](TObject*) { ++clicks; };
  box->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { keys.push_back(key); };
  ShowForm();
  ::SendMessageW(box->Handle(), WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(box->Checked());
  ::SendMessageW(box->Handle(), WM_KEYDOWN, VK_SPACE, 1);
  ::SendMessageW(box->Handle(), WM_CHAR, L' ', 1);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(box->Checked());
  EXPECT_EQ(keys, (std::vector<WORD>{VK_RETURN, VK_SPACE}));
}

TEST_F(CheckBoxTest, EnterGoesToTheDefaultButtonBeforeTheFocusedBox) {
  TPeekBox* box = NewBox(Host.get(), 10, 10, 200, 23, L"Focused");
  auto* button = Make<TSB>(Host.get());
  button->SetParent(Host.get());
  button->SetBounds(10, 100, 80, 30);
  button->SetSbType(sbOk);
  int boxClicks = 0;
  int boxKeys = 0;
  int buttonClicks = 0;
  box->OnClick = [&](TObject*) { ++boxClicks; };
  box->OnKeyDown = [&](TObject*, WORD&, TShiftState) { ++boxKeys; };
  button->OnClick = [&](TObject*) { ++buttonClicks; };
  ShowForm();
  box->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return box->Focused(); }));
  ::PostMessageW(box->Handle(), WM_KEYDOWN, VK_RETURN, 1);
  ASSERT_TRUE(PumpUntil([&] { return buttonClicks > 0; }));
  PumpFor(20);
  EXPECT_EQ(buttonClicks, 1);
  EXPECT_EQ(boxClicks, 0);
  EXPECT_EQ(boxKeys, 0);
}

struct AcceleratorCase {
  const char* Name;
  const wchar_t* Caption;
  wchar_t Character;
  bool Round;
  bool Checked;
  bool Enabled;
  bool Takes;
};

class CheckBoxAcceleratorTest : public CheckBoxTest, public ::testing::WithParamInterface<AcceleratorCase> {};

TEST_P(CheckBoxAcceleratorTest, AcceleratorClicksFirstAndThenToggles) {
  const AcceleratorCase& c = GetParam();
  TPeekBox* box = NewBox(Host.get(), 10, 10, 200, 23, c.Caption);
  TPeekBox* sibling = NewBox(Host.get(), 10, 40, 200, 23, L"Other");
  sibling->SetRound(c.Round);
  box->SetRound(c.Round);
  box->SetChecked(c.Checked);
  box->SetEnabled(c.Enabled);
  std::vector<bool> seen;
  box->OnClick = [&](TObject*) { seen.push_back(box->Checked()); };
  ShowForm();
  sibling->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return sibling->Focused(); }));

  LRESULT result = Form->Perform(TM_DIALOGCHAR, c.Character, 0);
  PumpFor(20);

  EXPECT_EQ(result != 0, c.Takes);
  if (c.Takes) {
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], c.Checked) << "OnClick sees the old state";
    EXPECT_EQ(box->Checked(), !c.Checked);
    EXPECT_TRUE(box->Focused());
  } else {
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(box->Checked(), c.Checked);
    EXPECT_FALSE(box->Focused());
  }
  // An accelerator can clear a round box: then no round box of the group is checked.
  EXPECT_FALSE(sibling->Checked());
}

INSTANTIATE_TEST_SUITE_P(
    Characters, CheckBoxAcceleratorTest,
    ::testing::Values(AcceleratorCase{"Checks", L"&Force", L'f', false, false, true, true},
                      AcceleratorCase{"IgnoresCase", L"&force", L'F', false, false, true, true},
                      AcceleratorCase{"ClearsSquare", L"Desk&top", L't', false, true, true, true},
                      AcceleratorCase{"ClearsRound", L"&Round", L'r', true, true, true, true},
                      AcceleratorCase{"OtherCharacter", L"&Force", L'x', false, false, true, false},
                      AcceleratorCase{"DoubledAmpersandMarksNothing", L"&&Force", L'f', false, false, true, false},
                      AcceleratorCase{"NoAmpersand", L"Force", L'f', false, false, true, false},
                      AcceleratorCase{"DisabledCannotFocus", L"&Force", L'f', false, false, false, false}),
    [](const ::testing::TestParamInfo<AcceleratorCase>& info) { return std::string(info.param.Name); });

// ---- hot state and mouse notifications

TEST_F(CheckBoxTest, HotStateSurvivesDisablingUntilTheMouseLeavesAnEnabledBox) {
  TPeekBox* box = NewBox(Host.get(), 10, 10, 300, 23, L"Hot across disable");
  box->SetHot(true);
  box->SetHotColor(clRed);
  int enters = 0;
  int exits = 0;
  box->SetOnMouseEnter([&](TObject* sender) {
    EXPECT_EQ(sender, box);
    ++enters;
  });
  box->SetOnMouseExit([&](TObject*) { ++exits; });
  ShowForm();
  const RECT band{20, 0, 300, 23};
  const COLORREF red = RGB(255, 0, 0);
  HWND window = box->Handle();

  ::SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(30, 8));
  EXPECT_EQ(box->HotIndex(), 1);
  EXPECT_EQ(enters, 1);

  box->SetEnabled(false);
  ::SendMessageW(window, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(box->HotIndex(), 1);
  EXPECT_EQ(exits, 0);
  ::SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(30, 8));
  EXPECT_EQ(enters, 1);

  box->SetEnabled(true);
  TBitmap picture;
  Capture(*box, picture);
  EXPECT_TRUE(HasColor(picture, band, red));

  // Until the mouse leaves the enabled box.
  ::SendMessageW(window, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(box->HotIndex(), 0);
  EXPECT_EQ(exits, 1);
  EXPECT_EQ(enters, 1);
  Capture(*box, picture);
  EXPECT_FALSE(HasColor(picture, band, red));
  EXPECT_TRUE(HasColor(picture, band, Black));
}

TEST_F(CheckBoxTest, MouseEventsFireWhetherOrNotHot) {
  TPeekBox* box = NewBox(Host.get(), 10, 10, 300, 23, L"Not hot");
  int enters = 0;
  int exits = 0;
  box->SetOnMouseEnter([&](TObject*) { ++enters; });
  box->SetOnMouseExit([&](TObject*) { ++exits; });
  box->Perform(TM_MOUSEENTER);
  EXPECT_EQ(box->HotIndex(), 0);
  box->Perform(TM_MOUSELEAVE);
  EXPECT_EQ(enters, 1);
  EXPECT_EQ(exits, 1);
}

// ---- handlers that destroy their own box, or make its window again

using TProbeBox = zarvo::toolkit::testing::TWindowedProbe<TEwCheckBox>;
using zarvo::toolkit::testing::TProbeGraveyard;

enum class BoxEvent { ClickByEnter, ClickByAccelerator, Enter, Exit, PointerArrival, PointerDeparture };

struct BoxDestructionCase {
  const char* Name;
  BoxEvent Event;
};

class CheckBoxDestructionTest : public CheckBoxTest, public ::testing::WithParamInterface<BoxDestructionCase> {};

TEST_P(CheckBoxDestructionTest, TheBoxTouchesNothingOfItselfAfterTheHandler) {
  const BoxEvent event = GetParam().Event;
  auto* box = Make<TProbeBox>(Host.get());
  box->SetParent(Host.get());
  box->SetBounds(10, 10, 200, 23);
  box->SetCaption(L"&Go");
  box->SetHot(true);
  TPeekBox* sibling = NewBox(Host.get(), 10, 50, 200, 23, L"Sibling");
  ShowForm();
  // The form's activation may have given the box the focus.
  sibling->SetFocus();
  TProbeGraveyard::LateCalls().clear();
  // The handler destroys the box and then goes on with its captures.
  bool finished = false;
  TNotifyEvent destroy = [&finished](TObject* sender) {
    auto* component = static_cast<TComponent*>(sender);
    component->Owner()->DestroyComponent(component);
    finished = true;
  };
  switch (event) {
    case BoxEvent::ClickByEnter:
    case BoxEvent::ClickByAccelerator:
      box->OnClick = destroy;
      break;
    case BoxEvent::Enter:
      box->OnEnter = destroy;
      break;
    case BoxEvent::Exit:
      box->OnExit = destroy;
      break;
    case BoxEvent::PointerArrival:
      box->SetOnMouseEnter(destroy);
      break;
    case BoxEvent::PointerDeparture:
      box->SetOnMouseExit(destroy);
      break;
  }
  HWND window = box->Handle();
  switch (event) {
    case BoxEvent::ClickByEnter:
      box->SetFocus();
      ::PostMessageW(window, WM_KEYDOWN, VK_RETURN, 1);
      Application().ProcessMessages();
      break;
    case BoxEvent::ClickByAccelerator:
      sibling->SetFocus();
      EXPECT_EQ(Form->Perform(TM_DIALOGCHAR, L'g', 0), 1);
      break;
    case BoxEvent::Enter:
      box->SetFocus();
      break;
    case BoxEvent::Exit:
      box->SetFocus();
      sibling->SetFocus();
      break;
    case BoxEvent::PointerArrival:
      ::SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(30, 8));
      break;
    case BoxEvent::PointerDeparture:
      ::SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(30, 8));
      ::SendMessageW(window, WM_MOUSELEAVE, 0, 0);
      break;
  }
  ASSERT_TRUE(TProbeGraveyard::Dead(box));
  EXPECT_TRUE(finished);
  EXPECT_EQ(TProbeGraveyard::LateCalls(), std::vector<std::string>{});
  EXPECT_NE(Form->ActiveControl(), box);
  sibling->SetFocus();
  EXPECT_TRUE(sibling->Focused());
  EXPECT_EQ(Form->ActiveControl(), sibling);
}

INSTANTIATE_TEST_SUITE_P(
    CheckBox, CheckBoxDestructionTest,
    ::testing::Values(BoxDestructionCase{"OnClickFromEnter", BoxEvent::ClickByEnter},
                      BoxDestructionCase{"OnClickFromAccelerator", BoxEvent::ClickByAccelerator},
                      BoxDestructionCase{"OnEnter", BoxEvent::Enter}, BoxDestructionCase{"OnExit", BoxEvent::Exit},
                      BoxDestructionCase{"OnMouseEnter", BoxEvent::PointerArrival},
                      BoxDestructionCase{"OnMouseExit", BoxEvent::PointerDeparture}),
    [](const ::testing::TestParamInfo<BoxDestructionCase>& info) { return std::string(info.param.Name); });

TEST_F(CheckBoxTest, AHotBoxMadeRoundByItsClickIsLeftWhenThePointerGoes) {
  TPeekBox* box = NewBox(Host.get(), 10, 10, 200, 23, L"Round me");
  box->SetHot(true);
  box->OnClick = [&](TObject*) { box->SetRound(!box->Round()); };
  ShowForm();
  POINT over = box->ClientToScreen({30, 8});
  ::SetCursorPos(over.x, over.y);
  ASSERT_TRUE(PumpUntil([&] { return box->HotIndex() == 1; }));
  HWND before = box->Handle();
  ::PostMessageW(before, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 8));
  ::PostMessageW(before, WM_LBUTTONUP, 0, MAKELPARAM(30, 8));
  ASSERT_TRUE(PumpUntil([&] { return box->Round(); }));
  EXPECT_NE(box->Handle(), before);
  EXPECT_TRUE(box->Focused());
  EXPECT_EQ(Form->ActiveControl(), box);
  POINT away = Host->ClientToScreen({400, 150});
  ::SetCursorPos(away.x, away.y);
  EXPECT_TRUE(PumpUntil([&] { return box->HotIndex() == 0 && !box->MouseInControl(); }, 1000));
}

// ---- stored descriptions

class TDescribedForm : public TForm {
public:
  explicit TDescribedForm(TComponent* AOwner) : TForm(AOwner) {
    DeclareHandler(L"BoxEnter", TNotifyEvent([this](TObject*) { ++Enters; }));
  }
  std::wstring_view ClassName() const override { return L"TDescribedForm"; }
  int Enters = 0;
};

TEST(CheckBoxDescriptionTest, StoredPropertiesReachTheBox) {
  Application().Initialize();
  auto form = NewForm<TDescribedForm>();
  TClassRegistry classes = StandardClasses();
  RegisterControls(classes);
  LoadDescription(*form, LR"(
TDescribedForm Form1
  ClientWidth = 550
TEwCheckBox cbForce
  Bounds = 30 82 492 24
  Caption = "Forced installation"
  Flat = true
  Round = true
  Glyph = igCross
  HotColor = clWindow
  Hot = true
  Checked = true
  Alignment = taLeftJustify
  Style = bmRaised
  Color = clLime
  ShowFocused = false
  Transparent = true
  OnMouseEnter = BoxEnter
  TabOrder = 0
)",
                  classes, {.PixelsPerInch = 120});
  auto& box = form->Component<TEwCheckBox>(L"cbForce");
  EXPECT_TRUE(box.Flat());
  EXPECT_TRUE(box.Round());
  EXPECT_EQ(box.Glyph(), igCross);
  EXPECT_EQ(box.HotColor(), clWindow);
  EXPECT_TRUE(box.Hot());
  EXPECT_TRUE(box.Checked());
  EXPECT_EQ(box.Alignment(), taLeftJustify);
  EXPECT_EQ(box.Style(), bmRaised);
  EXPECT_EQ(box.Color(), clLime);
  EXPECT_FALSE(box.ShowFocused());
  EXPECT_TRUE(box.Transparent());
  EXPECT_EQ(box.Width(), 492);
  EXPECT_EQ(box.Caption(), L"Forced installation");
  box.Perform(TM_MOUSEENTER);
  EXPECT_EQ(form->Enters, 1);

  // Bad values name their line.
  auto bad = NewForm<TDescribedForm>();
  EXPECT_THROW(LoadDescription(*bad, L"TDescribedForm F\nTEwCheckBox B\n  Style = bmSunken\n", classes),
               TDescriptionError);
}

TEST(CheckBoxConstructionTest, StartsWithItsInitialValues) {
  Application().Initialize();
  auto form = NewForm<TTestForm>();
  auto* box = Make<TEwCheckBox>(form.get());
  EXPECT_EQ(box->Width(), 97);
  EXPECT_EQ(box->Height(), 19);
  EXPECT_FALSE(box->Checked());
  EXPECT_EQ(box->Color(), clBtnFace);
  EXPECT_EQ(box->Alignment(), taRightJustify);
  EXPECT_EQ(box->Glyph(), igCheck);
  EXPECT_EQ(box->Style(), bmNone);
  EXPECT_FALSE(box->Hot());
  EXPECT_EQ(box->HotColor(), clWindow);
  EXPECT_FALSE(box->Flat());
  EXPECT_FALSE(box->Round());
  EXPECT_TRUE(box->ShowFocused());
  EXPECT_FALSE(box->Transparent());
  EXPECT_TRUE(box->TabStop());
  EXPECT_TRUE(box->ControlStyle() & csReplicatable);
}

}  // namespace
}  // namespace zarvo::controls
