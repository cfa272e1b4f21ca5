// The hyperlink label: its colours from construction, after loading and under the pointer, and
// the shell call that only a set Link makes.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/Controls.h"
#include "controls/Link.h"
#include "controls/ShellOpen.h"
#include "tests/controls/Support.h"
#include "toolkit/Loader.h"

namespace zarvo::controls {
namespace {

using namespace zarvo::toolkit;
using namespace zarvo::controls::testing;
using zarvo::toolkit::testing::MakeTestForm;

const COLORREF Red = RGB(255, 0, 0);
const COLORREF Blue = RGB(0, 0, 255);

class LinkTest : public ::testing::Test {
protected:
  void SetUp() override {
    Form = MakeTestForm();
    Link = Make<TLink>(Form.get());
    Link->SetParent(Form.get());
    Link->SetAutoSize(false);
    Link->SetBounds(20, 10, 300, 30);
    Link->SetCaption(L"Official website of the program ");
    Link->Font().SetStyle(fsBold | fsUnderline);
  }

  // Moves the pointer within the form's window, as the toolkit sees it.
  void MoveTo(int x, int y) { ::SendMessageW(Form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }

  bool TextIs(COLORREF color) {
    TBitmap picture;
    Capture(*Link, picture, RGB(255, 255, 255));
    RECT all{0, 0, Link->Width(), Link->Height()};
    return HasColor(picture, all, color) && !HasColor(picture, all, color == Red ? Blue : Red);
  }

  std::unique_ptr<zarvo::toolkit::testing::TTestForm> Form;
  TLink* Link = nullptr;
};

TEST_F(LinkTest, StartsBlueWithTheHandCursor) {
  EXPECT_EQ(Link->Font().Color(), clBlue);
  EXPECT_EQ(Link->Cursor(), crHandPoint);
  EXPECT_TRUE(Link->Link().empty());
  EXPECT_TRUE(TextIs(Blue));
}

TEST_F(LinkTest, TurnsRedUnderThePointerAndBlueAwayFromIt) {
  Link->Font().SetColor(clGreen);
  MoveTo(100, 20);
  EXPECT_EQ(Link->Font().Color(), clRed);
  EXPECT_TRUE(TextIs(Red));
  MoveTo(100, 100);
  EXPECT_EQ(Link->Font().Color(), clBlue);
  EXPECT_TRUE(TextIs(Blue));
  // Whatever the colour was before, and whether or not the label is enabled.
  Link->Font().SetColor(clYellow);
  Link->SetEnabled(false);
  MoveTo(100, 20);
  EXPECT_EQ(Link->Font().Color(), clRed);
  MoveTo(5, 5);
  EXPECT_EQ(Link->Font().Color(), clBlue);
}

struct ClickCase {
  const char* Name;
  const wchar_t* Target;  // the label's Link
  bool HandlerOpens;      // OnClick opens the site itself, as Link1Click does
  std::vector<std::wstring> Expected;
};

class LinkClickTest : public LinkTest, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(LinkClickTest, OpensLinkOnlyWhenSetAndThenRunsOnClick) {
  const ClickCase& c = GetParam();
  std::vector<std::wstring> log;
  TShellOpenReplacement shell([&](const std::wstring& target) { log.push_back(L"open " + target); });
  Link->SetLink(c.Target);
  Link->OnClick = [&](TObject* sender) {
    EXPECT_EQ(sender, Link);
    log.push_back(L"OnClick");
    if (c.HandlerOpens) ShellOpen(L"http://zarvo.example/");
  };
  // A press and release over the label, through its parent.
  ::SendMessageW(Form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 20));
  ::SendMessageW(Form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(100, 20));
  EXPECT_EQ(log, c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, LinkClickTest,
    ::testing::Values(ClickCase{"EmptyLinkOnlyRunsOnClick", L"", false, {L"OnClick"}},
                      ClickCase{"SetLinkOpensFirst", L"https://zarvo.example/page?a=1&b=2", false,
                                {L"open https://zarvo.example/page?a=1&b=2", L"OnClick"}},
                      ClickCase{"HandlerOfAnEmptyLinkOpensOnce", L"", true,
                                {L"OnClick", L"open http://zarvo.example/"}},
                      ClickCase{"LinkAndHandlerOpenTwice", L"C:\\Readme.txt", true,
                                {L"open C:\\Readme.txt", L"OnClick", L"open http://zarvo.example/"}}),
    [](const ::testing::TestParamInfo<ClickCase>& info) { return std::string(info.param.Name); });

TEST_F(LinkTest, TargetThatCannotBeOpenedFailsWithoutAWord) {
  // The real shell call: a file that does not exist opens nothing and reports nothing.
  Link->SetLink(L"C:\\zarvo-no-such-folder\\no-such-file.zarvo-none");
  int clicks = 0;
  Link->OnClick = [&](TObject*) { ++clicks; };
  Link->Click();
  EXPECT_EQ(clicks, 1);
}

TEST_F(LinkTest, ReplacementEndsWithItsScope) {
  std::vector<std::wstring> outer;
  std::vector<std::wstring> inner;
  TShellOpenReplacement first([&](const std::wstring& target) { outer.push_back(target); });
  {
    TShellOpenReplacement second([&](const std::wstring& target) { inner.push_back(target); });
    ShellOpen(L"a");
  }
  ShellOpen(L"b");
  EXPECT_EQ(inner, std::vector<std::wstring>{L"a"});
  EXPECT_EQ(outer, std::vector<std::wstring>{L"b"});
}

class TLinkForm : public TForm {
public:
  using TForm::TForm;
  std::wstring_view ClassName() const override { return L"TLinkForm"; }
};

TEST(LinkLoadedTest, LoadingMakesTheTextBlueAgain) {
  Application().Initialize();
  auto form = NewForm<TLinkForm>();
  TClassRegistry classes = StandardClasses();
  RegisterControls(classes);
  LoadDescription(*form, LR"(
TLinkForm Form1
font F2
  Name = "MS Sans Serif"
  Height = 15
  Charset = 204
  Color = clLime
  Style = [fsBold, fsUnderline]
TLink Link1
  Align = alTop
  Bounds = 0 0 550 30
  Alignment = taRightJustify
  AutoSize = false
  Font = F2
  Link = "http://zarvo.example/"
TLink Link2
  Font.Color = clRed
)",
                 classes, {.PixelsPerInch = 120});
  TLink& link = form->Component<TLink>(L"Link1");
  EXPECT_EQ(link.Font().Color(), clBlue);
  EXPECT_EQ(link.Font().Style(), fsBold | fsUnderline);
  EXPECT_EQ(link.Font().Charset(), 204);
  EXPECT_EQ(link.Link(), L"http://zarvo.example/");
  EXPECT_EQ(link.Cursor(), crHandPoint);
  TLink& other = form->Component<TLink>(L"Link2");
  EXPECT_EQ(other.Font().Color(), clBlue);
  EXPECT_TRUE(other.Link().empty());
}

}  // namespace
}  // namespace zarvo::controls
