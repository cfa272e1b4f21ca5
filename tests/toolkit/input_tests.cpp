// Keyboard and mouse: Enter/Escape routing to the first control that takes the key, Tab order,
// accelerators, the drop-down list's change event, and mouse enter/leave for windowed and
// windowless controls (with the pointer really moved), clicks and hints.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/toolkit/Support.h"
#include "toolkit/ComboBox.h"
#include "toolkit/CustomControl.h"
#include "toolkit/Edit.h"
#include "toolkit/GraphicControl.h"
#include "toolkit/Panel.h"
#include "toolkit/SpeedButton.h"

namespace zarvo::toolkit {
namespace {

using testing::PumpFor;
using testing::PumpUntil;

// A windowless control that records the keys and characters offered to it and takes one.
class TKeyTaker : public TGraphicControl {
public:
  TKeyTaker(TComponent* AOwner, std::vector<std::wstring>& log, WORD takes) : TGraphicControl(AOwner), FLog(log), FTakes(takes) {}
  std::wstring_view ClassName() const override { return L"TKeyTaker"; }

protected:
  void DialogKey(TMessage& Message) override {
    FLog.push_back(Name() + L":" + std::to_wstring(Message.WParam));
    if (Message.WParam == FTakes) Message.Result = 1;
  }
  void DialogChar(TMessage& Message) override {
    FLog.push_back(Name() + L":'" + std::wstring(1, static_cast<wchar_t>(Message.WParam)) + L"'");
    if (Message.WParam == FTakes) Message.Result = 1;
  }

private:
  std::vector<std::wstring>& FLog;
  WORD FTakes;
};

// A focusable windowed control that records its own key-downs; it can claim a special key.
class TKeyTarget : public TCustomControl {
public:
  explicit TKeyTarget(TComponent* AOwner) : TCustomControl(AOwner) { SetTabStop(true); }
  std::wstring_view ClassName() const override { return L"TKeyTarget"; }
  std::vector<WORD> Keys;
  WORD Claims = 0;

protected:
  void KeyDown(WORD& Key, TShiftState Shift) override {
    Keys.push_back(Key);
    TCustomControl::KeyDown(Key, Shift);
  }
  void WantSpecialKey(TMessage& Message) override {
    if (Claims && Message.WParam == Claims) Message.Result = 1;
  }
};

// Counts the toolkit's mouse notifications.
template <class Base>
class TMouseProbe : public Base {
public:
  explicit TMouseProbe(TComponent* AOwner) : Base(AOwner) {}
  std::wstring_view ClassName() const override { return L"TMouseProbe"; }
  int Enters = 0;
  int Leaves = 0;

protected:
  void MouseEnter(TMessage& Message) override {
    ++Enters;
    Base::MouseEnter(Message);
  }
  void MouseLeave(TMessage& Message) override {
    ++Leaves;
    Base::MouseLeave(Message);
  }
};

class InputTest : public testing::SharedFormTest {
protected:
  void SetUp() override {
    // Each test builds its controls on a fresh panel that covers the form.
    FArea = std::make_unique<TPanel>(nullptr);
    FArea->SetBevelOuter(bvNone);
    FArea->SetBounds(0, 0, FForm->ClientWidth(), FForm->ClientHeight());
    FArea->SetParent(FForm.get());
    Application().OnException = [this](const std::wstring& text) { FErrors.push_back(text); };
  }
  void TearDown() override {
    Application().OnException = nullptr;
    FArea.reset();
    EXPECT_TRUE(FErrors.empty()) << ::testing::PrintToString(FErrors);
  }

  template <class T, class... Args>
  T* Add(TWinControl* parent, RECT bounds, Args&&... args) {
    T* control = Make<T>(FArea.get(), std::forward<Args>(args)...);
    control->SetBounds(bounds.left, bounds.top, bounds.right, bounds.bottom);
    control->SetParent(parent);
    return control;
  }

  // A key pressed in `control` as the message loop gets it.
  void PressKey(TWinControl* control, WORD key) {
    ASSERT_TRUE(::PostMessageW(control->Handle(), WM_KEYDOWN, key, 1));
    Application().ProcessMessages();
  }

  std::unique_ptr<TPanel> FArea;
  std::vector<std::wstring> FErrors;
};


// ---- Enter and Escape

struct RoutingCase {
  const char* Case;
  WORD Key;
  std::vector<std::wstring> Offers;
  bool ReachesFocusedControl;
};

class KeyRouting : public InputTest, public ::testing::WithParamInterface<RoutingCase> {};

TEST_P(KeyRouting, OffersTheKeyInChildOrderDepthFirstAndStopsAtTheFirstTaker) {
  const RoutingCase& routing = GetParam();
  std::vector<std::wstring> log;
  // Child order of the area: First, Inner (holding Nested), Last, Target.
  auto* first = Add<TKeyTaker>(FArea.get(), {0, 0, 10, 10}, log, WORD(0));
  first->SetName(L"First");
  auto* inner = Add<TPanel>(FArea.get(), {20, 0, 50, 50});
  auto* nested = Add<TKeyTaker>(inner, {0, 0, 10, 10}, log, WORD(VK_RETURN));
  nested->SetName(L"Nested");
  auto* last = Add<TKeyTaker>(FArea.get(), {80, 0, 10, 10}, log, WORD(VK_RETURN));
  last->SetName(L"Last");
  auto* target = Add<TKeyTarget>(FArea.get(), {100, 0, 50, 50});
  target->SetFocus();
  ASSERT_TRUE(target->Focused());

  PressKey(target, routing.Key);
  EXPECT_EQ(log, routing.Offers);
  EXPECT_EQ(target->Keys.size(), routing.ReachesFocusedControl ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyRouting,
    ::testing::Values(RoutingCase{"EnterTakenByTheNestedControl", VK_RETURN, {L"First:13", L"Nested:13"}, false},
                      RoutingCase{"EscapeTakenByNoneReachesTheFocusedControl", VK_ESCAPE,
                                  {L"First:27", L"Nested:27", L"Last:27"}, true},
                      RoutingCase{"OtherKeysAreNotRouted", VK_F2, {}, true}),
    [](const ::testing::TestParamInfo<RoutingCase>& info) { return info.param.Case; });

TEST_F(InputTest, AFocusedControlThatClaimsTheKeyKeepsIt) {
  std::vector<std::wstring> log;
  Add<TKeyTaker>(FArea.get(), {0, 0, 10, 10}, log, WORD(VK_RETURN))->SetName(L"Taker");
  auto* target = Add<TKeyTarget>(FArea.get(), {100, 0, 50, 50});
  target->Claims = VK_RETURN;
  target->SetFocus();
  PressKey(target, VK_RETURN);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(target->Keys, std::vector<WORD>{VK_RETURN});
}

TEST_F(InputTest, AMultiLineTextBoxKeepsEnterForItself) {
  std::vector<std::wstring> log;
  Add<TKeyTaker>(FArea.get(), {0, 0, 10, 10}, log, WORD(VK_RETURN))->SetName(L"Taker");
  auto* memo = Add<TMemo>(FArea.get(), {100, 0, 150, 80});
  memo->SetFocus();
  PressKey(memo, VK_RETURN);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(memo->Text(), L"\r\n");
}

TEST_F(InputTest, EnterInASingleLineTextBoxGoesToTheTaker) {
  std::vector<std::wstring> log;
  Add<TKeyTaker>(FArea.get(), {0, 0, 10, 10}, log, WORD(VK_RETURN))->SetName(L"Taker");
  auto* edit = Add<TEdit>(FArea.get(), {100, 0, 150, 24});
  edit->SetText(L"abc");
  edit->SetFocus();
  PressKey(edit, VK_RETURN);
  EXPECT_EQ(log, std::vector<std::wstring>{L"Taker:13"});
  EXPECT_EQ(edit->Text(), L"abc");
}

TEST_F(InputTest, TabMovesTheFocusInTabOrderSkippingWhatCannotTakeIt) {
  auto* a = Add<TKeyTarget>(FArea.get(), {0, 0, 20, 20});
  auto* b = Add<TKeyTarget>(FArea.get(), {30, 0, 20, 20});
  auto* c = Add<TKeyTarget>(FArea.get(), {60, 0, 20, 20});
  auto* d = Add<TKeyTarget>(FArea.get(), {90, 0, 20, 20});
  d->SetTabOrder(0);  // d, a, b, c
  b->SetEnabled(false);
  c->SetTabStop(false);
  d->SetFocus();
  PressKey(d, VK_TAB);
  EXPECT_TRUE(a->Focused());
  PressKey(a, VK_TAB);
  EXPECT_TRUE(d->Focused());  // past the disabled b and the c without a tab stop, around
  EXPECT_TRUE(a->Keys.empty());
  EXPECT_TRUE(d->Keys.empty());
}

TEST_F(InputTest, ADestroyedFocusedControlLeavesTheKeyboardOrder) {
  auto* a = Add<TKeyTarget>(FArea.get(), {0, 0, 20, 20});
  auto inner = std::make_unique<TPanel>(nullptr);
  inner->SetParent(FArea.get());
  auto* b = Make<TKeyTarget>(inner.get());
  b->SetParent(inner.get());
  b->SetFocus();
  ASSERT_EQ(FForm->ActiveControl(), b);
  inner.reset();
  EXPECT_EQ(FForm->ActiveControl(), nullptr);
  std::vector<TWinControl*> order;
  FArea->GetTabOrderList(order);
  EXPECT_EQ(order, std::vector<TWinControl*>{a});
  EXPECT_TRUE(FArea->SelectNext(nullptr, true, true));
  EXPECT_TRUE(a->Focused());
}

TEST_F(InputTest, AnAcceleratorGoesToTheFirstControlThatTakesIt) {
  std::vector<std::wstring> log;
  Add<TKeyTaker>(FArea.get(), {0, 0, 10, 10}, log, WORD('x'))->SetName(L"X");
  Add<TKeyTaker>(FArea.get(), {20, 0, 10, 10}, log, WORD('y'))->SetName(L"Y");
  auto* target = Add<TKeyTarget>(FArea.get(), {100, 0, 50, 50});
  target->SetFocus();
  ASSERT_TRUE(::PostMessageW(target->Handle(), WM_SYSCHAR, 'x', 0x20000000));
  Application().ProcessMessages();
  EXPECT_EQ(log, std::vector<std::wstring>{L"X:'x'"});
  log.clear();
  // A plain character in a control that does not want characters is an accelerator too.
  ASSERT_TRUE(::PostMessageW(target->Handle(), WM_CHAR, 'y', 0));
  Application().ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::wstring>{L"X:'y'", L"Y:'y'"}));
}

// ---- the drop-down list

TEST_F(InputTest, ASelectionFromCodeRaisesNoChangeAUserSelectionDoes) {
  auto* combo = Add<TComboBox>(FArea.get(), {10, 10, 150, 24});
  combo->Items().Assign({L"English", L"Russian"});
  int changes = 0;
  combo->OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, combo);
    ++changes;
  };
  combo->SetItemIndex(1);
  combo->SetItemIndex(0);
  Application().ProcessMessages();
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(combo->ItemIndex(), 0);

  combo->SetFocus();
  PressKey(combo, VK_DOWN);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(combo->ItemIndex(), 1);
}

TEST_F(InputTest, TheListKeepsItsItemsAndSelectionBeforeAndAfterItsWindow) {
  TComboBox combo(nullptr);
  combo.Items().Assign({L"a", L"b", L"c"});
  combo.SetItemIndex(2);
  EXPECT_EQ(combo.ItemIndex(), 2);
  combo.SetItemIndex(7);
  EXPECT_EQ(combo.ItemIndex(), -1);
  combo.SetItemIndex(1);
  combo.SetParent(FArea.get());
  ASSERT_TRUE(combo.HandleAllocated());
  EXPECT_EQ(::SendMessageW(combo.Handle(), CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(combo.ItemIndex(), 1);
  combo.Items().Add(L"d");
  EXPECT_EQ(::SendMessageW(combo.Handle(), CB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(combo.ItemIndex(), 1);
  HWND before = combo.Handle();
  combo.RecreateWnd();
  EXPECT_NE(combo.Handle(), before);
  EXPECT_EQ(combo.ItemIndex(), 1);
  EXPECT_EQ(::SendMessageW(combo.Handle(), CB_GETCOUNT, 0, 0), 4);
  combo.SetParent(nullptr);
}

TEST_F(InputTest, ColourQuestionsOfAChildAreAnsweredWithItsFontColourAndColour) {
  auto* combo = Add<TComboBox>(FArea.get(), {10, 10, 150, 24});
  combo->Font().SetColor(clGrayText);
  combo->SetColor(clYellow);
  WindowDC screen(nullptr);
  UniqueDC dc(::CreateCompatibleDC(screen.get()));
  for (UINT message : {WM_CTLCOLORLISTBOX, WM_CTLCOLOREDIT, WM_CTLCOLORSTATIC}) {
    ::SetTextColor(dc.get(), RGB(1, 2, 3));
    LRESULT brush = ::SendMessageW(FArea->Handle(), message, reinterpret_cast<WPARAM>(dc.get()),
                                   reinterpret_cast<LPARAM>(combo->Handle()));
    EXPECT_NE(brush, 0);
    EXPECT_EQ(::GetTextColor(dc.get()), ::GetSysColor(COLOR_GRAYTEXT)) << MessageName(message);
    EXPECT_EQ(::GetBkColor(dc.get()), RGB(255, 255, 0));
  }
  combo->Font().SetColor(clBtnText);
  ::SendMessageW(FArea->Handle(), WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc.get()),
                 reinterpret_cast<LPARAM>(combo->Handle()));
  EXPECT_EQ(::GetTextColor(dc.get()), ::GetSysColor(COLOR_BTNTEXT));
}

// ---- the mouse

TEST_F(InputTest, MouseEnterAndLeaveReachWindowedAndWindowlessControls) {
  auto* windowed = Add<TMouseProbe<TCustomControl>>(FArea.get(), {10, 10, 80, 40});
  auto* windowless = Add<TMouseProbe<TGraphicControl>>(FArea.get(), {150, 10, 80, 40});
  auto moveTo = [&](POINT client) {
    POINT screen = FArea->ClientToScreen(client);
    ::SetCursorPos(screen.x, screen.y);
  };
  moveTo({300, 150});
  PumpFor(100);
  int windowedEnters = windowed->Enters;
  ASSERT_EQ(windowedEnters, 0);

  moveTo({50, 30});
  EXPECT_TRUE(PumpUntil([&] { return windowed->Enters == 1; }));
  EXPECT_TRUE(windowed->MouseInControl());
  moveTo({190, 30});
  EXPECT_TRUE(PumpUntil([&] { return windowed->Leaves == 1 && windowless->Enters == 1; }));
  EXPECT_FALSE(windowed->MouseInControl());
  EXPECT_TRUE(windowless->MouseInControl());
  moveTo({190, 35});  // moving inside the control is no new entry
  PumpFor(100);
  EXPECT_EQ(windowless->Enters, 1);
  moveTo({300, 150});
  EXPECT_TRUE(PumpUntil([&] { return windowless->Leaves == 1; }));
  moveTo({190, 30});
  EXPECT_TRUE(PumpUntil([&] { return windowless->Enters == 2; }));
  // Leaving the parent window altogether also leaves the windowless control.
  POINT outside = FForm->ClientToScreen({FForm->ClientWidth() + 40, FForm->ClientHeight() + 40});
  ::SetCursorPos(outside.x, outside.y);
  EXPECT_TRUE(PumpUntil([&] { return windowless->Leaves == 2; }));
  EXPECT_EQ(windowed->Enters, 1);
  EXPECT_EQ(windowed->Leaves, 1);
}

// A control taken out of its parent while the pointer is on it has been left: it is no longer
// hot, arms no hint, and the pointer coming back onto it later is a new entry.
class MouseAndRemoval : public InputTest, public ::testing::WithParamInterface<bool> {};

TEST_P(MouseAndRemoval, TakingAHoveredControlOutOfItsParentLeavesIt) {
  const bool windowless = GetParam();
  TControl* control = windowless ? static_cast<TControl*>(Add<TMouseProbe<TGraphicControl>>(FArea.get(), {150, 10, 80, 40}))
                                 : static_cast<TControl*>(Add<TMouseProbe<TCustomControl>>(FArea.get(), {150, 10, 80, 40}));
  auto counts = [&] {
    if (windowless) {
      auto* probe = static_cast<TMouseProbe<TGraphicControl>*>(control);
      return std::pair{probe->Enters, probe->Leaves};
    }
    auto* probe = static_cast<TMouseProbe<TCustomControl>*>(control);
    return std::pair{probe->Enters, probe->Leaves};
  };
  control->SetHint(L"gone");
  control->SetShowHint(true);
  auto moveTo = [&](POINT client) {
    POINT screen = FArea->ClientToScreen(client);
    ::SetCursorPos(screen.x, screen.y);
  };
  moveTo({300, 150});
  PumpFor(100);
  moveTo({190, 30});
  ASSERT_TRUE(PumpUntil([&] { return counts() == std::pair{1, 0}; }));

  control->SetParent(nullptr);
  EXPECT_EQ(counts(), (std::pair{1, 1}));
  EXPECT_FALSE(control->MouseInControl());
  PumpFor(Application().HintPause() + 200);
  EXPECT_TRUE(Application().ShownHint().empty());

  control->SetParent(FArea.get());
  moveTo({300, 150});
  PumpFor(100);
  moveTo({190, 30});
  EXPECT_TRUE(PumpUntil([&] { return counts() == std::pair{2, 1}; }));
  EXPECT_TRUE(control->MouseInControl());
  moveTo({300, 150});
  EXPECT_TRUE(PumpUntil([&] { return counts() == std::pair{2, 2}; }));
}

INSTANTIATE_TEST_SUITE_P(Input, MouseAndRemoval, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Windowless" : "Windowed"; });

TEST_F(InputTest, APressAndReleaseOverAWindowlessControlClicksIt) {
  auto* button = Add<TSpeedButton>(FArea.get(), {100, 50, 40, 30});
  int clicks = 0;
  POINT down{-1, -1};
  button->OnClick = [&](TObject*) { ++clicks; };
  button->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) { down = {x, y}; };
  auto send = [&](UINT message, POINT at) {
    ::SendMessageW(FArea->Handle(), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(at.x, at.y));
  };
  send(WM_LBUTTONDOWN, {110, 60});
  EXPECT_EQ(down.x, 10);
  EXPECT_EQ(down.y, 10);
  send(WM_LBUTTONUP, {112, 61});
  EXPECT_EQ(clicks, 1);
  // Released away from it: no click, although the release still goes to the pressed control.
  send(WM_LBUTTONDOWN, {110, 60});
  send(WM_LBUTTONUP, {300, 200});
  EXPECT_EQ(clicks, 1);
  // A disabled control gets no press.
  button->SetEnabled(false);
  send(WM_LBUTTONDOWN, {110, 60});
  send(WM_LBUTTONUP, {110, 60});
  EXPECT_EQ(clicks, 1);
}

// A windowed control that may or may not take double clicks as such.
class TDoubleClickProbe : public TCustomControl {
public:
  TDoubleClickProbe(TComponent* AOwner, bool takesDoubleClicks) : TCustomControl(AOwner) {
    if (!takesDoubleClicks) SetControlStyle(ControlStyle() & ~static_cast<TControlStyle>(csDoubleClicks));
  }
  std::wstring_view ClassName() const override { return L"TDoubleClickProbe"; }
};

struct DoubleClickCase {
  const char* name;
  bool windowless;         // a speed button on the area, else a windowed control
  bool takesDoubleClicks;
  int clicks;              // after press, release, double-click press, release
  bool secondPressIsDouble;
};

class DoubleClicks : public InputTest, public ::testing::WithParamInterface<DoubleClickCase> {};

TEST_P(DoubleClicks, TheSecondPressIsADoubleClickOrAPlainPress) {
  const DoubleClickCase& c = GetParam();
  TControl* control = c.windowless
      ? static_cast<TControl*>(Add<TSpeedButton>(FArea.get(), {100, 50, 40, 30}))
      : static_cast<TControl*>(Add<TDoubleClickProbe>(FArea.get(), {100, 50, 40, 30}, c.takesDoubleClicks));
  int clicks = 0;
  std::vector<TShiftState> presses;
  control->OnClick = [&](TObject*) { ++clicks; };
  control->OnMouseDown = [&](TObject*, TMouseButton, TShiftState shift, int, int) { presses.push_back(shift); };
  HWND window = c.windowless ? FArea->Handle() : static_cast<TWinControl*>(control)->Handle();
  const LPARAM at = c.windowless ? MAKELPARAM(110, 60) : MAKELPARAM(10, 10);
  ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageW(window, WM_LBUTTONUP, 0, at);
  ::SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  ::SendMessageW(window, WM_LBUTTONUP, 0, at);
  EXPECT_EQ(clicks, c.clicks);
  ASSERT_EQ(presses.size(), 2u);
  EXPECT_FALSE(presses[0] & ssDouble);
  EXPECT_EQ(static_cast<bool>(presses[1] & ssDouble), c.secondPressIsDouble);
}

INSTANTIATE_TEST_SUITE_P(
    Input, DoubleClicks,
    ::testing::Values(
        // The release after a double click is no third click: the double click is the second.
        DoubleClickCase{"WindowedTakingDoubleClicks", false, true, 1, true},
        DoubleClickCase{"WindowedNotTakingDoubleClicks", false, false, 2, false},
        // A speed button clicks on every release over it, the double-click one included.
        DoubleClickCase{"SpeedButton", true, true, 2, true}),
    [](const auto& info) { return std::string(info.param.name); });

// Shows the button state that descendants read.
class TStateButton : public TSpeedButton {
public:
  explicit TStateButton(TComponent* AOwner) : TSpeedButton(AOwner) {}
  TButtonState State() const { return FState; }
};

TEST_F(InputTest, TheButtonStateFollowsPressLatchAndEnabling) {
  auto* button = Add<TStateButton>(FArea.get(), {100, 50, 40, 30});
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  auto send = [&](UINT message, int x, int y) {
    ::SendMessageW(FArea->Handle(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
  };
  EXPECT_EQ(button->State(), bsUp);
  send(WM_LBUTTONDOWN, 110, 60);
  EXPECT_EQ(button->State(), bsDown);
  send(WM_MOUSEMOVE, 300, 200);  // dragged off: up again, still captured
  EXPECT_EQ(button->State(), bsUp);
  send(WM_MOUSEMOVE, 110, 60);
  EXPECT_EQ(button->State(), bsDown);
  send(WM_LBUTTONUP, 110, 60);
  EXPECT_EQ(button->State(), bsUp);
  EXPECT_EQ(clicks, 1);
  button->SetDown(true);
  EXPECT_EQ(button->State(), bsExclusive);
  button->SetEnabled(false);
  EXPECT_EQ(button->State(), bsDisabled);
  button->SetEnabled(true);
  EXPECT_EQ(button->State(), bsExclusive);
  button->SetDown(false);
  EXPECT_EQ(button->State(), bsUp);
}

TEST_F(InputTest, LatchingAButtonReleasesTheOthersOfItsGroup) {
  auto* a = Add<TStateButton>(FArea.get(), {0, 50, 40, 30});
  auto* b = Add<TStateButton>(FArea.get(), {50, 50, 40, 30});
  auto* other = Add<TStateButton>(FArea.get(), {100, 50, 40, 30});
  a->SetGroupIndex(1);
  b->SetGroupIndex(1);
  other->SetGroupIndex(2);
  a->SetDown(true);
  other->SetDown(true);
  b->SetDown(true);
  EXPECT_FALSE(a->Down());
  EXPECT_TRUE(b->Down());
  EXPECT_TRUE(other->Down());
  // A click on the latched button keeps it down unless AllowAllUp.
  auto click = [&](TControl* button) {
    LPARAM at = MAKELPARAM(button->Left() + 5, button->Top() + 5);
    ::SendMessageW(FArea->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(FArea->Handle(), WM_LBUTTONUP, 0, at);
  };
  click(b);
  EXPECT_TRUE(b->Down());
  b->SetAllowAllUp(true);
  click(b);
  EXPECT_FALSE(b->Down());
  click(a);
  EXPECT_TRUE(a->Down());
}

TEST_F(InputTest, AHintShowsWhileThePointerRestsOnAControlWithShowHint) {
  Application().SetHintPause(0);
  auto* button = Add<TSpeedButton>(FArea.get(), {100, 50, 40, 30});
  button->SetHint(L"Select folder");
  auto* silent = Add<TSpeedButton>(FArea.get(), {200, 50, 40, 30});
  silent->SetHint(L"never shown");
  button->SetShowHint(true);  // the form's own setting stays off
  EXPECT_FALSE(silent->ShowHint());
  POINT over = FArea->ClientToScreen({120, 65});
  ::SetCursorPos(over.x, over.y);
  EXPECT_TRUE(PumpUntil([] { return Application().ShownHint() == L"Select folder"; }));
  POINT away = FArea->ClientToScreen({220, 65});
  ::SetCursorPos(away.x, away.y);
  EXPECT_TRUE(PumpUntil([] { return Application().ShownHint().empty(); }));
  PumpFor(100);
  EXPECT_TRUE(Application().ShownHint().empty());
  Application().SetHintPause(500);
}

}  // namespace
}  // namespace zarvo::toolkit
