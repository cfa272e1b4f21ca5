// The styled speed button: its own frame to the pixel, Enter and Escape by role, the modal result
// it hands to its form, and the picture Loaded takes from the resources.
#include <gtest/gtest.h>

#include <cwchar>
#include <memory>
#include <string>

#include "controls/Controls.h"
#include "controls/SB.h"
#include "tests/controls/Support.h"
#include "toolkit/Loader.h"
#include "toolkit/Panel.h"

namespace zarvo::controls {
namespace {

using namespace zarvo::toolkit;
using namespace zarvo::controls::testing;
using zarvo::toolkit::testing::MakeTestForm;
using zarvo::toolkit::testing::PumpFor;
using zarvo::toolkit::testing::TTestForm;

const COLORREF Background = RGB(1, 2, 3);

// Checks the one-pixel ring `inset` pixels in from the edge: the top and left edges in
// `topLeft`, the right and bottom edges (with the top-right and bottom-left corners) in
// `bottomRight`.
::testing::AssertionResult Ring(TBitmap& picture, int inset, COLORREF topLeft, COLORREF bottomRight) {
  int right = picture.Width() - 1 - inset;
  int bottom = picture.Height() - 1 - inset;
  auto expect = [&](int x, int y, COLORREF color) -> ::testing::AssertionResult {
    COLORREF actual = At(picture, x, y);
    if (actual == color) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "ring " << inset << " at (" << x << ", " << y << "): " << Hex(actual)
                                         << " instead of " << Hex(color);
  };
  for (int x = inset; x < right; ++x) {
    if (auto r = expect(x, inset, topLeft); !r) return r;
    if (auto r = expect(x + 1, bottom, bottomRight); !r) return r;
  }
  for (int y = inset; y < bottom; ++y) {
    if (auto r = expect(inset, y, topLeft); !r) return r;
    if (auto r = expect(right, y + 1, bottomRight); !r) return r;
  }
  if (auto r = expect(right, inset, bottomRight); !r) return r;
  return expect(inset, bottom, bottomRight);
}

enum class Look { None, Raised, Sunken };

struct FrameCase {
  const char* Name;
  bool MyStyle;
  void (*Prepare)(TSB&);
  Look Outer;  // what the flat base draws on the outermost pixels
  Look Own;    // the button's own frame one pixel inside
};

class SBFrameTest : public ::testing::TestWithParam<FrameCase> {};

TEST_P(SBFrameTest, DrawsItsOwnFrameOnePixelInside) {
  const FrameCase& c = GetParam();
  auto form = MakeTestForm();
  auto* button = Make<TSB>(form.get());
  button->SetParent(form.get());
  button->SetBounds(10, 10, 40, 30);
  button->SetFlat(true);
  button->SetMyStyle(c.MyStyle);
  c.Prepare(*button);
  TBitmap picture;
  Capture(*button, picture, Background);

  const COLORREF highlight = ColorToRGB(clBtnHighlight);
  const COLORREF shadow = ColorToRGB(clBtnShadow);
  auto ring = [&](int inset, Look look) {
    switch (look) {
      case Look::Raised:
        return Ring(picture, inset, highlight, shadow);
      case Look::Sunken:
        return Ring(picture, inset, shadow, highlight);
      case Look::None:
        break;
    }
    return Ring(picture, inset, Background, Background);
  };
  EXPECT_TRUE(ring(0, c.Outer));
  EXPECT_TRUE(ring(1, c.Own));
  EXPECT_TRUE(ring(2, Look::None));
}

INSTANTIATE_TEST_SUITE_P(
    States, SBFrameTest,
    ::testing::Values(FrameCase{"Up", true, [](TSB&) {}, Look::None, Look::Raised},
                      FrameCase{"Hot", true, [](TSB& b) { b.NotifyMouseEnter(); }, Look::Raised, Look::Raised},
                      FrameCase{"HeldDown", true,
                                [](TSB& b) { b.Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)); },
                                Look::Sunken, Look::Sunken},
                      FrameCase{"Latched", true, [](TSB& b) { b.SetDown(true); }, Look::Sunken, Look::None},
                      FrameCase{"Disabled", true, [](TSB& b) { b.SetEnabled(false); }, Look::None, Look::Raised},
                      FrameCase{"PlainFlatButton", false, [](TSB&) {}, Look::None, Look::None}),
    [](const ::testing::TestParamInfo<FrameCase>& info) { return std::string(info.param.Name); });

class TCountingSB : public TSB {
public:
  using TSB::TSB;
  int Paints = 0;

protected:
  void Paint() override {
    ++Paints;
    TSB::Paint();
  }
};

TEST(SBMyStyleTest, MyStyleMakesTheButtonFlatAndRepaintsAtOnce) {
  auto form = MakeTestForm();
  auto* button = Make<TCountingSB>(form.get());
  button->SetParent(form.get());
  button->SetBounds(10, 10, 60, 30);
  form->Show();
  PumpFor(50);
  int before = button->Paints;
  button->SetMyStyle(true);
  EXPECT_TRUE(button->Flat());
  EXPECT_EQ(button->Paints, before + 1);
  button->SetMyStyle(false);
  EXPECT_TRUE(button->Flat()) << "turning MyStyle off leaves Flat";
  EXPECT_EQ(button->Paints, before + 2);
}

// ---- Enter and Escape

struct KeyCase {
  const char* Name;
  TsbType Type;
  bool Cancel;
  bool Enabled;
  WORD Key;
  bool Takes;
  TModalResult FormResult;  // 7: the next button took the key
};

class SBKeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(SBKeyTest, TakesEnterAndEscapeByItsRole) {
  const KeyCase& c = GetParam();
  auto form = MakeTestForm();
  auto* button = Make<TSB>(form.get());
  button->SetParent(form.get());
  button->SetSbType(c.Type);
  button->SetCancel(c.Cancel);
  button->SetEnabled(c.Enabled);
  // Takes both keys, and tells by its modal result that it did.
  auto* next = Make<TSB>(form.get());
  next->SetParent(form.get());
  next->SetSbType(sbOk);
  next->SetCancel(true);
  next->SetModalResult(7);
  int clicks = 0;
  int nextClicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  next->OnClick = [&](TObject*) { ++nextClicks; };

  EXPECT_NE(form->Perform(TM_DIALOGKEY, c.Key, 0), 0);
  EXPECT_EQ(clicks, c.Takes ? 1 : 0);
  EXPECT_EQ(nextClicks, c.Takes ? 0 : 1);
  EXPECT_EQ(form->ModalResult(), c.FormResult);
}

INSTANTIATE_TEST_SUITE_P(
    Roles, SBKeyTest,
    ::testing::Values(KeyCase{"CancelTakesEscape", sbCancel, false, true, VK_ESCAPE, true, mrCancel},
                      KeyCase{"CancelLeavesEnter", sbCancel, false, true, VK_RETURN, false, 7},
                      KeyCase{"OkTakesEnter", sbOk, false, true, VK_RETURN, true, mrOk},
                      KeyCase{"OkLeavesEscape", sbOk, false, true, VK_ESCAPE, false, 7},
                      KeyCase{"OkWithCancelTakesEnter", sbOk, true, true, VK_RETURN, true, mrOk},
                      KeyCase{"OkWithCancelTakesEscape", sbOk, true, true, VK_ESCAPE, true, mrOk},
                      KeyCase{"NoneLeavesEnter", sbNone, false, true, VK_RETURN, false, 7},
                      KeyCase{"NoneLeavesEscape", sbNone, false, true, VK_ESCAPE, false, 7},
                      KeyCase{"NoneWithCancelTakesEscape", sbNone, true, true, VK_ESCAPE, true, mrNone},
                      KeyCase{"DisabledOkLeavesEnter", sbOk, false, false, VK_RETURN, false, 7},
                      KeyCase{"DisabledCancelLeavesEscape", sbCancel, true, false, VK_ESCAPE, false, 7}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.Name); });

TEST(SBKeyOtherTest, OtherKeysAreNotTaken) {
  auto form = MakeTestForm();
  auto* button = Make<TSB>(form.get());
  button->SetParent(form.get());
  button->SetSbType(sbOk);
  button->SetCancel(true);
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  EXPECT_EQ(button->Perform(TM_DIALOGKEY, VK_SPACE, 0), 0);
  EXPECT_EQ(button->Perform(TM_DIALOGKEY, 'A', 0), 0);
  EXPECT_EQ(clicks, 0);
}

// ---- modal results

struct ModalCase {
  const char* Name;
  int ModalResult;
  TsbType Type;
  bool Enabled;
  TModalResult FormResult;
  int Clicks;
};

class SBModalTest : public ::testing::TestWithParam<ModalCase> {};

TEST_P(SBModalTest, ExplicitModalResultWinsOverTheRole) {
  const ModalCase& c = GetParam();
  auto form = MakeTestForm();
  auto* panel = Make<TPanel>(form.get());
  panel->SetParent(form.get());
  auto* button = Make<TSB>(form.get());
  button->SetParent(panel);  // the outermost form is found through the panel
  button->SetModalResult(c.ModalResult);
  button->SetSbType(c.Type);
  button->SetEnabled(c.Enabled);
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  button->Click();
  EXPECT_EQ(form->ModalResult(), c.FormResult);
  EXPECT_EQ(clicks, c.Clicks);

  // A mouse click hands the same result.
  form->SetModalResult(mrNone);
  button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  button->Perform(WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  EXPECT_EQ(form->ModalResult(), c.Enabled ? c.FormResult : mrNone);
}

INSTANTIATE_TEST_SUITE_P(
    Precedence, SBModalTest,
    ::testing::Values(ModalCase{"PlainSetsNone", 0, sbNone, true, mrNone, 1},
                      ModalCase{"OkSetsOne", 0, sbOk, true, mrOk, 1},
                      ModalCase{"CancelSetsTwo", 0, sbCancel, true, mrCancel, 1},
                      ModalCase{"ExplicitBeatsOk", 5, sbOk, true, 5, 1},
                      ModalCase{"ExplicitOnPlain", 5, sbNone, true, 5, 1},
                      ModalCase{"NegativeIsNone", -1, sbCancel, true, mrCancel, 1},
                      ModalCase{"NegativeOnPlain", -1, sbNone, true, mrNone, 1},
                      ModalCase{"DisabledDoesNothing", 5, sbOk, false, mrNone, 0}),
    [](const ::testing::TestParamInfo<ModalCase>& info) { return std::string(info.param.Name); });

TEST(SBModalOutsideFormTest, ButtonOnNoFormStillRunsOnClick) {
  Application().Initialize();
  auto owner = NewForm<TTestForm>();
  auto* panel = Make<TPanel>(owner.get());  // a parent, but no form above it
  auto* button = Make<TSB>(owner.get());
  button->SetParent(panel);
  button->SetSbType(sbOk);
  button->SetModalResult(3);
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  button->Click();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(owner->ModalResult(), mrNone);
}

// ---- pictures from the resources

class TButtonsForm : public TForm {
public:
  using TForm::TForm;
  std::wstring_view ClassName() const override { return L"TButtonsForm"; }
};

TEST(SBLoadedTest, PicksResPictThenSBAndResNameThenNothing) {
  Application().Initialize();
  auto form = NewForm<TButtonsForm>();
  TClassRegistry classes = StandardClasses();
  RegisterControls(classes);
  LoadDescription(*form, LR"(
TButtonsForm Form1
TSB OwnPicture
  ResPict = "OWNPICT"
  ResName = 12
TSB LowerCaseName
  ResPict = ownpict
TSB MissingFallsBack
  ResPict = "NOSUCHPICT"
  ResName = 12
TSB ByNumber
  ResName = 255
TSB NoFallbackWithoutNumber
  ResPict = "NOSUCHPICT"
  Glyph = SB2FOLDER
TSB BrokenKeepsItsGlyph
  ResPict = "BROKENPICT"
  ResName = 12
  Glyph = SB2FOLDER
TSB MissingNumber
  ResName = 7
  Glyph = SB2FOLDER
TSB Nothing
)",
                 classes, {.PixelsPerInch = 120});
  struct Expected {
    const wchar_t* Name;
    int Width;
    int Height;
  };
  for (const Expected& e : {Expected{L"OwnPicture", 9, 7}, Expected{L"LowerCaseName", 9, 7},
                            Expected{L"MissingFallsBack", 12, 10}, Expected{L"ByNumber", 25, 5},
                            Expected{L"NoFallbackWithoutNumber", 18, 15}, Expected{L"BrokenKeepsItsGlyph", 18, 15},
                            Expected{L"MissingNumber", 18, 15}, Expected{L"Nothing", 0, 0}}) {
    SCOPED_TRACE(std::string(e.Name, e.Name + std::wcslen(e.Name)));
    TSB& button = form->Component<TSB>(e.Name);
    EXPECT_EQ(button.Glyph().Width(), e.Width);
    EXPECT_EQ(button.Glyph().Height(), e.Height);
  }
  EXPECT_EQ(At(form->Component<TSB>(L"OwnPicture").Glyph(), 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(At(form->Component<TSB>(L"MissingFallsBack").Glyph(), 0, 0), RGB(0, 255, 0));
}

TEST(SBLoadedTest, StoredPropertiesReachTheButton) {
  Application().Initialize();
  auto form = NewForm<TButtonsForm>();
  TClassRegistry classes = StandardClasses();
  RegisterControls(classes);
  LoadDescription(*form, LR"(
TButtonsForm Form1
TSB SB1
  Align = alRight
  Bounds = 412 0 138 30
  Flat = true
  MyStyle = true
  sbType = sbOk
  Cancel = false
  ModalResult = 0
  ResName = 0
  Color = clBtnFace
TSB SB3
  sbType = sbCancel
  Cancel = true
  ModalResult = -4
  ResName = 200
  ResPict = "NOSUCHPICT"
)",
                 classes, {.PixelsPerInch = 120});
  TSB& first = form->Component<TSB>(L"SB1");
  EXPECT_TRUE(first.MyStyle());
  EXPECT_TRUE(first.Flat());
  EXPECT_EQ(first.sbType(), sbOk);
  EXPECT_FALSE(first.Cancel());
  EXPECT_EQ(first.ModalResult(), 0);
  EXPECT_EQ(first.Color(), clBtnFace);
  EXPECT_EQ(first.Align(), alRight);
  TSB& third = form->Component<TSB>(L"SB3");
  EXPECT_EQ(third.sbType(), sbCancel);
  EXPECT_TRUE(third.Cancel());
  EXPECT_EQ(third.ModalResult(), -4);
  EXPECT_EQ(third.ResName(), 200);
  EXPECT_EQ(third.ResPict(), L"NOSUCHPICT");

  for (const wchar_t* bad : {L"TButtonsForm F\nTSB B\n  ResName = 256\n", L"TButtonsForm F\nTSB B\n  ResName = -1\n",
                             L"TButtonsForm F\nTSB B\n  sbType = sbMaybe\n"}) {
    auto other = NewForm<TButtonsForm>();
    EXPECT_THROW(LoadDescription(*other, bad, classes), TDescriptionError);
  }
}

TEST(SBConstructionTest, OwnFieldsStartAtZero) {
  Application().Initialize();
  auto form = NewForm<TTestForm>();
  auto* button = Make<TSB>(form.get());
  EXPECT_EQ(button->sbType(), sbNone);
  EXPECT_FALSE(button->MyStyle());
  EXPECT_FALSE(button->Cancel());
  EXPECT_EQ(button->ResName(), 0);
  EXPECT_TRUE(button->ResPict().empty());
  EXPECT_EQ(button->ModalResult(), 0);
}

}  // namespace
}  // namespace zarvo::controls
