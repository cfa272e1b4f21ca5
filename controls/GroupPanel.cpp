// The group panel's cascade of the enabled state.
#include "controls/GroupPanel.h"

#include "toolkit/ComboBox.h"

namespace zarvo::controls {

using namespace zarvo::toolkit;

namespace {

void Walk(TWinControl& container, bool value) {
  int count = container.ControlCount();
  for (int i = 0; i < count; ++i) {
    TControl* child = container.Controls(i);
    child->SetEnabled(value);
    // On every walk, so a combo box never keeps a colour of its own.
    if (auto* combo = dynamic_cast<TComboBox*>(child)) combo->Font().SetColor(value ? clBtnText : clGrayText);
    if (auto* windowed = dynamic_cast<TWinControl*>(child)) Walk(*windowed, value);
  }
}

}  // namespace

void TGroupPanel::SetEnabled(bool Value, bool WalkChildren) {
  // Through the virtual setter, as any control is set.
  static_cast<TControl&>(*this).SetEnabled(Value);
  if (WalkChildren) Walk(*this, Value);
}

void RegisterGroupPanel(TClassRegistry& Classes) {
  Classes.RegisterClass<TGroupPanel>(L"TGroupPanel", L"TPanel");
  Classes.RegisterProperty<TGroupPanel>(L"TGroupPanel", L"Enabled",
                                        [](TGroupPanel& c, const TPropertyValue& v, TLoadContext&) {
                                          c.SetEnabled(v.AsBoolean());
                                        });
}

}  // namespace zarvo::controls
