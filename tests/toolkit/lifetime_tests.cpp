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
