// The group panel: its Enabled reaches every control inside it at any depth and colours the
// combo boxes; the toolkit's plain setter changes only the panel.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "controls/Controls.h"
#include "controls/EwCheckBox.h"
#include "controls/GroupPanel.h"
#include "controls/SB.h"
#include "tests/controls/Support.h"
#include "toolkit/ComboBox.h"
#include "toolkit/Label.h"
#include "toolkit/Loader.h"
#include "toolkit/Panel.h"

namespace zarvo::controls {
namespace {

using namespace zarvo::toolkit;
using zarvo::toolkit::testing::MakeTestForm;
using zarvo::toolkit::testing::TTestForm;

// A panel whose own enabled setter counts its calls.
class TCountingPanel : public TPanel {
public:
  using TPanel::TPanel;
  void SetEnabled(bool value) override {
    ++Calls;
    TPanel::SetEnabled(value);
  }
  int Calls = 0;
};

// GP > Outer (counting) > Inner group panel > Combo, Box; GP > Label, Button; GP > Combo2.
class GroupPanelTest : public ::testing::Test {
protected:
  void SetUp() override {
    Form = MakeTestForm();
    GP = Add<TGroupPanel>(Form.get());
    Outer = Add<TCountingPanel>(GP);
    Inner = Add<TGroupPanel>(Outer);
    Combo = Add<TComboBox>(Inner);
    Box = Add<TEwCheckBox>(Inner);
    Text = Add<TLabel>(GP);
    Button = Add<TSB>(GP);
    Combo2 = Add<TComboBox>(GP);
    Combo->Font().SetColor(clRed);
    Combo2->Font().SetColor(clRed);
    Form->HandleNeeded();
  }

  template <class T>
  T* Add(TWinControl* parent) {
    T* control = Make<T>(Form.get());
    control->SetParent(parent);
    return control;
  }

  void ExpectAll(bool enabled) {
    for (TControl* control : std::initializer_list<TControl*>{GP, Outer, Inner, Combo, Box, Text, Button, Combo2})
      EXPECT_EQ(control->Enabled(), enabled) << std::string(control->ClassName().begin(), control->ClassName().end());
    for (TWinControl* windowed : std::initializer_list<TWinControl*>{GP, Outer, Inner, Combo, Box, Combo2})
      EXPECT_EQ(::IsWindowEnabled(windowed->Handle()) != FALSE, enabled);
  }

  std::unique_ptr<TTestForm> Form;
  TGroupPanel* GP = nullptr;
  TCountingPanel* Outer = nullptr;
  TGroupPanel* Inner = nullptr;
  TComboBox* Combo = nullptr;
  TEwCheckBox* Box = nullptr;
  TLabel* Text = nullptr;
  TSB* Button = nullptr;
  TComboBox* Combo2 = nullptr;
};

TEST_F(GroupPanelTest, DisablingReachesEveryControlAtAnyDepthAndGraysTheComboBoxes) {
  GP->SetEnabled(false);
  ExpectAll(false);
  EXPECT_EQ(Combo->Font().Color(), clGrayText);
  EXPECT_EQ(Combo2->Font().Color(), clGrayText);
  EXPECT_EQ(Outer->Calls, 1) << "a control's own setter runs";

  GP->SetEnabled(true);
  ExpectAll(true);
  // Not the colour the combo boxes had before.
  EXPECT_EQ(Combo->Font().Color(), clBtnText);
  EXPECT_EQ(Combo2->Font().Color(), clBtnText);
}

TEST_F(GroupPanelTest, EnablingAlsoEnablesAChildThatWasDisabled) {
  Box->SetEnabled(false);
  Button->SetEnabled(false);
  GP->SetEnabled(true);
  ExpectAll(true);
}

TEST_F(GroupPanelTest, WritingTheSameValueWalksAgain) {
  ASSERT_TRUE(GP->Enabled());
  GP->SetEnabled(true);
  EXPECT_EQ(Combo->Font().Color(), clBtnText);
  EXPECT_EQ(Outer->Calls, 1);
  Combo->Font().SetColor(clRed);
  GP->SetEnabled(true);
  EXPECT_EQ(Combo->Font().Color(), clBtnText);
  EXPECT_EQ(Outer->Calls, 2);
}

TEST_F(GroupPanelTest, PlainSetterChangesOnlyThePanel) {
  static_cast<TControl*>(GP)->SetEnabled(false);
  EXPECT_FALSE(GP->Enabled());
  for (TControl* control : std::initializer_list<TControl*>{Outer, Inner, Combo, Box, Text, Button, Combo2})
    EXPECT_TRUE(control->Enabled());
  EXPECT_EQ(Combo->Font().Color(), clRed);
  EXPECT_EQ(Outer->Calls, 0);
  // So does the panel's own writer told not to walk.
  GP->SetEnabled(true, false);
  EXPECT_TRUE(GP->Enabled());
  EXPECT_EQ(Combo->Font().Color(), clRed);
}

TEST_F(GroupPanelTest, NestedGroupPanelCascadesOnlyBelowItself) {
  Inner->SetEnabled(false);
  EXPECT_FALSE(Combo->Enabled());
  EXPECT_FALSE(Box->Enabled());
  EXPECT_TRUE(Outer->Enabled());
  EXPECT_TRUE(Text->Enabled());
  EXPECT_EQ(Combo->Font().Color(), clGrayText);
  EXPECT_EQ(Combo2->Font().Color(), clRed);
}

TEST(GroupPanelAloneTest, PanelWithoutChildrenChangesOnlyItsOwnFlag) {
  auto form = MakeTestForm();
  auto* panel = Make<TGroupPanel>(form.get());
  panel->SetParent(form.get());
  panel->SetEnabled(false);
  EXPECT_FALSE(panel->Enabled());
  EXPECT_TRUE(form->Enabled());
  panel->SetEnabled(true);
  EXPECT_TRUE(panel->Enabled());
}

class TGroupForm : public TForm {
public:
  using TForm::TForm;
  std::wstring_view ClassName() const override { return L"TGroupForm"; }
};

TEST(GroupPanelLoadedTest, StoredEnabledChangesOnlyThePanelItself) {
  Application().Initialize();
  auto form = NewForm<TGroupForm>();
  TClassRegistry classes = StandardClasses();
  RegisterControls(classes);
  LoadDescription(*form, LR"(
TGroupForm Form1
TGroupPanel GP
  Align = alClient
  BevelOuter = bvNone
  Enabled = false
TPanel Panel1 in GP
TComboBox cbLang in Panel1
  Font.Color = clRed
)",
                 classes, {.PixelsPerInch = 120});
  auto& gp = form->Component<TGroupPanel>(L"GP");
  EXPECT_FALSE(gp.Enabled());
  EXPECT_TRUE(form->Component<TPanel>(L"Panel1").Enabled());
  auto& combo = form->Component<TComboBox>(L"cbLang");
  EXPECT_TRUE(combo.Enabled());
  EXPECT_EQ(combo.Font().Color(), clRed);
  // Once the children exist the stored property's writer reaches them.
  gp.SetEnabled(false);
  EXPECT_FALSE(combo.Enabled());
  EXPECT_EQ(combo.Font().Color(), clGrayText);
}

}  // namespace
}  // namespace zarvo::controls
