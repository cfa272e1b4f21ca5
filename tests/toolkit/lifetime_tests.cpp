// Handlers that destroy or re-create their own control: the toolkit touches nothing of it
// afterwards (the probes of Lifetime.h record any late call), the handler runs to its end, and
// the form still routes keys, the mouse, the focus and hints.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/toolkit/Lifetime.h"
#include "tests/toolkit/Support.h"
#include "toolkit/CustomControl.h"
#include "toolkit/GraphicControl.h"
#include "toolkit/Panel.h"
#include "toolkit/SpeedButton.h"

namespace zarvo::toolkit {
namespace {

using testing::PumpFor;
using testing::PumpUntil;
using testing::TProbe;
using testing::TProbeGraveyard;
using testing::TWindowedProbe;

// A windowless control offered Enter in the dialog-key broadcast: it records the offer, runs its
// hook and takes the key when told to.
class TEnterTaker : public TGraphicControl {
public:
  TEnterTaker(TComponent* AOwner, std::vector<std::wstring>& log, bool takes)
      : TGraphicControl(AOwner), FLog(log), FTakes(takes) {}
  std::wstring_view ClassName() const override { return L"TEnterTaker"; }
  std::function<void()> OnOffered;

protected:
  void DialogKey(TMessage& Message) override {
    if (Message.WParam != VK_RETURN) return;
    FLog.push_back(Name());
    if (FTakes) Message.Result = 1;
    // Through a copy, and last: the hook may destroy this control.
    if (auto hook = OnOffered) hook();
  }

private:
  std::vector<std::wstring>& FLog;
  bool FTakes;
};

class TFocusTarget : public TCustomControl {
public:
  explicit TFocusTarget(TComponent* AOwner) : TCustomControl(AOwner) { SetTabStop(true); }
  std::wstring_view ClassName() const override { return L"TFocusTarget"; }
};

using TWindowlessProbe = TProbe<TSpeedButton>;
using TWindowedControlProbe = TWindowedProbe<TCustomControl>;

class LifetimeTest : public testing::SharedFormTest {
public:
  void SetUp() override {
    FArea = std::make_unique<TPanel>(nullptr);
    FArea->SetBevelOuter(bvNone);
    FArea->SetBounds(0, 0, FForm->ClientWidth(), FForm->ClientHeight());
    FArea->SetParent(FForm.get());
    Application().OnException = [this](const std::wstring& text) { FErrors.push_back(text); };
    Application().SetHintPause(0);
    TProbeGraveyard::LateCalls().clear();
    FBystander = Add<TFocusTarget>(FArea.get(), {300, 200, 40, 40});
    MovePointerTo({250, 250});
    PumpFor(50);
  }
  void TearDown() override {
    FForm->SetMessageHandler(WM_CAPTURECHANGED, nullptr);
    Application().SetHintPause(500);
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

  void MovePointerTo(POINT client) {
    POINT screen = FArea->ClientToScreen(client);
    ::SetCursorPos(screen.x, screen.y);
  }

  // A press and release in the middle of `control`, posted to the window that gets them.
  static void PostClick(TControl& control) {
    auto* windowed = dynamic_cast<TWinControl*>(&control);
    HWND window = windowed ? windowed->Handle() : control.Parent()->Handle();
    POINT at = windowed ? POINT{control.Width() / 2, control.Height() / 2}
                        : POINT{control.Left() + control.Width() / 2, control.Top() + control.Height() / 2};
    ::PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    ::PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    Application().ProcessMessages();
  }

  // A key as the message loop gets it.
  static void PressKey(TWinControl& control, WORD key) {
    ::PostMessageW(control.Handle(), WM_KEYDOWN, key, 1);
    Application().ProcessMessages();
  }

  // Nothing was done to the destroyed control, and the form goes on working around the gap.
  void ExpectConsistentWithout(const TControl* dead) {
    EXPECT_TRUE(TProbeGraveyard::Dead(dead));
    EXPECT_EQ(TProbeGraveyard::LateCalls(), std::vector<std::string>{});
    EXPECT_NE(FForm->ActiveControl(), dead);
    EXPECT_EQ(::GetCapture(), nullptr);
    PumpFor(50);
    EXPECT_NE(Application().ShownHint(), L"dead control");
    // Enter still reaches the form's broadcast from the focused control.
    std::vector<std::wstring> offers;
    Add<TEnterTaker>(FArea.get(), {0, 280, 10, 10}, offers, true)->SetName(L"Taker");
    FBystander->SetFocus();
    ASSERT_TRUE(FBystander->Focused());
    PressKey(*FBystander, VK_RETURN);
    EXPECT_EQ(offers, std::vector<std::wstring>{L"Taker"});
    EXPECT_EQ(FForm->ActiveControl(), FBystander);
  }

  // Set by a handler after it destroyed its control: the handler ran to its end.
  bool HandlerFinished = false;
  std::unique_ptr<TPanel> FArea;
  TFocusTarget* FBystander = nullptr;
  std::vector<std::wstring> FErrors;
};

// Destroys the sender through its owner; the handler then goes on with its captures.
void DestroySender(TObject* sender) {
  auto* component = static_cast<TComponent*>(sender);
  component->Owner()->DestroyComponent(component);
}

// ---- a handler destroys its own control

struct SelfDestructionCase {
  const char* Name;
  bool Windowed;
  // Makes the event under test destroy `control` and then set test.HandlerFinished.
  void (*Attach)(TControl& control, LifetimeTest& test);
  // Makes the event happen as the user would.
  void (*Provoke)(TControl& control, LifetimeTest& test);
};

class SelfDestruction : public LifetimeTest, public ::testing::WithParamInterface<SelfDestructionCase> {};

TEST_P(SelfDestruction, LeavesNothingOfTheControlInUseAndTheFormWorking) {
  const SelfDestructionCase& c = GetParam();
  TControl* control = c.Windowed ? static_cast<TControl*>(Add<TWindowedControlProbe>(FArea.get(), {50, 50, 60, 40}))
                                 : static_cast<TControl*>(Add<TWindowlessProbe>(FArea.get(), {50, 50, 60, 40}));
  control->SetHint(L"dead control");
  control->SetShowHint(true);
  c.Attach(*control, *this);
  c.Provoke(*control, *this);
  ASSERT_TRUE(PumpUntil([&] { return TProbeGraveyard::Dead(control); }, 1000));
  EXPECT_TRUE(HandlerFinished);
  ExpectConsistentWithout(control);
}

void AttachClick(TControl& control, LifetimeTest& test) {
  control.OnClick = [&test](TObject* sender) {
    DestroySender(sender);
    test.HandlerFinished = true;
  };
}

void AttachMouseDown(TControl& control, LifetimeTest& test) {
  control.OnMouseDown = [&test](TObject* sender, TMouseButton, TShiftState, int, int) {
    DestroySender(sender);
    test.HandlerFinished = true;
  };
}

void AttachKeyDown(TControl& control, LifetimeTest& test) {
  static_cast<TWinControl&>(control).OnKeyDown = [&test](TObject* sender, WORD&, TShiftState) {
    DestroySender(sender);
    test.HandlerFinished = true;
  };
}

void AttachExit(TControl& control, LifetimeTest& test) {
  static_cast<TWinControl&>(control).OnExit = [&test](TObject* sender) {
    DestroySender(sender);
    test.HandlerFinished = true;
  };
}

template <class Probe>
void AttachPointerArrival(TControl& control, LifetimeTest& test) {
  auto& probe = static_cast<Probe&>(control);
  probe.OnPointerArrived = [&test, &probe] {
    DestroySender(&probe);
    test.HandlerFinished = true;
  };
}

void ProvokeClick(TControl& control, LifetimeTest&) { LifetimeTest::PostClick(control); }

void ProvokeKey(TControl& control, LifetimeTest&) {
  auto& windowed = static_cast<TWinControl&>(control);
  windowed.SetFocus();
  LifetimeTest::PressKey(windowed, 'A');
}

void ProvokeExit(TControl& control, LifetimeTest& test) {
  static_cast<TWinControl&>(control).SetFocus();
  test.FBystander->SetFocus();
}

void ProvokePointerArrival(TControl& control, LifetimeTest& test) {
  test.MovePointerTo({control.Left() + 20, control.Top() + 20});
}

INSTANTIATE_TEST_SUITE_P(
    Lifetime, SelfDestruction,
    ::testing::Values(
        SelfDestructionCase{"WindowlessOnClick", false, AttachClick, ProvokeClick},
        // The press has captured the mouse for the control when the handler runs.
        SelfDestructionCase{"WindowlessOnMouseDown", false, AttachMouseDown, ProvokeClick},
        SelfDestructionCase{"WindowlessPointerArrival", false, AttachPointerArrival<TWindowlessProbe>, ProvokePointerArrival},
        SelfDestructionCase{"WindowedOnClick", true, AttachClick, ProvokeClick},
        SelfDestructionCase{"WindowedOnMouseDown", true, AttachMouseDown, ProvokeClick},
        SelfDestructionCase{"WindowedOnKeyDown", true, AttachKeyDown, ProvokeKey},
        SelfDestructionCase{"WindowedOnExit", true, AttachExit, ProvokeExit},
        SelfDestructionCase{"WindowedPointerArrival", true, AttachPointerArrival<TWindowedControlProbe>, ProvokePointerArrival}),
    [](const auto& info) { return std::string(info.param.Name); });

// ---- destroyed while it has the focus, or by another control's handler

TEST_F(LifetimeTest, AFocusedControlBeingDestroyedRaisesNoExit) {
  auto* control = Add<TWindowedControlProbe>(FArea.get(), {50, 50, 60, 40});
  std::vector<std::wstring> exits;
  control->OnExit = [&](TObject* sender) { exits.push_back(std::wstring(sender->ClassName())); };
  control->SetFocus();
  ASSERT_TRUE(control->Focused());
  FArea->DestroyComponent(control);
  EXPECT_EQ(exits, std::vector<std::wstring>{});
  ExpectConsistentWithout(control);
}

TEST_F(LifetimeTest, AFormHandlerMayDestroyTheChildThatHoldsTheMouse) {
  // Directly on the form, so that the form's window holds the capture for it.
  auto* pressed = Make<TWindowlessProbe>(FArea.get());
  pressed->SetBounds(20, 20, 40, 30);
  pressed->SetParent(FForm.get());
  auto* other = Make<TSpeedButton>(FArea.get());
  other->SetBounds(100, 20, 40, 30);
  other->SetParent(FForm.get());
  int otherClicks = 0;
  other->OnClick = [&](TObject*) { ++otherClicks; };
  // The release of the capture reaches the form's handler, which takes the pressed child away.
  FForm->SetMessageHandler(WM_CAPTURECHANGED, [&](TMessage& message) {
    if (!TProbeGraveyard::Dead(pressed)) FArea->DestroyComponent(pressed);
    FForm->DefaultHandler(message);
  });
  PostClick(*pressed);
  ASSERT_TRUE(TProbeGraveyard::Dead(pressed));
  FForm->SetMessageHandler(WM_CAPTURECHANGED, nullptr);
  PostClick(*other);
  EXPECT_EQ(otherClicks, 1);
  ExpectConsistentWithout(pressed);
}

// ---- a handler in the Enter broadcast destroys controls that are offered the key

struct BroadcastCase {
  const char* Name;
  std::vector<std::wstring> Destroys;  // what the second control's handler destroys
  std::vector<std::wstring> Offers;
  std::vector<std::wstring> NextOffers;  // at the next Enter
};

class BroadcastDestruction : public LifetimeTest, public ::testing::WithParamInterface<BroadcastCase> {};

TEST_P(BroadcastDestruction, OffersTheKeyToEveryControlStillThereInChildOrder) {
  const BroadcastCase& c = GetParam();
  std::vector<std::wstring> offers;
  std::vector<TProbe<TEnterTaker>*> takers;
  for (const wchar_t* name : {L"A", L"B", L"C", L"D"}) {
    RECT bounds{static_cast<LONG>(10 * takers.size()), 0, 10, 10};
    auto* taker = Add<TProbe<TEnterTaker>>(FArea.get(), bounds, offers, std::wstring_view(name) == L"D");
    taker->SetName(name);
    takers.push_back(taker);
  }
  takers[1]->OnOffered = [&] {
    for (const std::wstring& name : c.Destroys)
      FArea->DestroyComponent(FArea->FindComponent(name));
  };
  FBystander->SetFocus();
  PressKey(*FBystander, VK_RETURN);
  EXPECT_EQ(offers, c.Offers);
  offers.clear();
  PressKey(*FBystander, VK_RETURN);
  EXPECT_EQ(offers, c.NextOffers);
  EXPECT_EQ(TProbeGraveyard::LateCalls(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Lifetime, BroadcastDestruction,
    ::testing::Values(BroadcastCase{"ItsOwnControl", {L"B"}, {L"A", L"B", L"C", L"D"}, {L"A", L"C", L"D"}},
                      BroadcastCase{"TheControlsBeforeAndAfterIt", {L"A", L"C"}, {L"A", L"B", L"D"}, {L"B", L"D"}}),
    [](const auto& info) { return std::string(info.param.Name); });

// ---- a handler re-creates its own window

TEST_F(LifetimeTest, AControlReCreatingItsWindowInOnClickKeepsFocusAndThePointer) {
  auto* control = Add<TWindowedControlProbe>(FArea.get(), {50, 50, 60, 40});
  HWND before = control->Handle();
  control->OnClick = [&](TObject*) { control->RecreateWnd(); };
  MovePointerTo({80, 70});
  ASSERT_TRUE(PumpUntil([&] { return control->MouseInControl(); }));
  control->SetFocus();
  PostClick(*control);
  ASSERT_NE(control->Handle(), before);
  EXPECT_FALSE(::IsWindow(before));
  EXPECT_EQ(TWinControl::FromHandle(control->Handle()), control);
  EXPECT_TRUE(control->Focused());
  EXPECT_EQ(FForm->ActiveControl(), control);
  // The new window goes on tracking the pointer: leaving it is noticed.
  MovePointerTo({250, 250});
  EXPECT_TRUE(PumpUntil([&] { return !control->MouseInControl(); }, 1000));
  EXPECT_EQ(TProbeGraveyard::LateCalls(), std::vector<std::string>{});
}

}  // namespace
}  // namespace zarvo::toolkit
