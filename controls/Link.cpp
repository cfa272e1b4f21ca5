// The hyperlink label.
#include "controls/Link.h"

#include "controls/ShellOpen.h"

namespace zarvo::controls {

using namespace zarvo::toolkit;

TLink::TLink(TComponent* AOwner) : TLabel(AOwner) {
  SetCursor(crHandPoint);
  Font().SetColor(clBlue);
}

void TLink::Loaded() {
  TLabel::Loaded();
  Font().SetColor(clBlue);
}

void TLink::MouseEnter(TMessage&) { Font().SetColor(clRed); }

void TLink::MouseLeave(TMessage&) { Font().SetColor(clBlue); }

void TLink::Click() {
  if (!fLink.empty()) ShellOpen(fLink);
  TLabel::Click();
}

void RegisterLink(TClassRegistry& Classes) {
  Classes.RegisterClass<TLink>(L"TLink", L"TLabel");
  Classes.RegisterProperty<TLink>(L"TLink", L"Link",
                                  [](TLink& c, const TPropertyValue& v, TLoadContext&) { c.SetLink(v.AsString()); });
}

}  // namespace zarvo::controls
