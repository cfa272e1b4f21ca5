// A container panel whose Enabled switches everything inside it at once: every control at any
// depth gets the same state, and every combo box inside a text colour that matches it.
#pragma once

#include <string_view>

#include "toolkit/Loader.h"
#include "toolkit/Panel.h"

namespace zarvo::controls {

class TGroupPanel : public toolkit::TPanel {
public:
  using TPanel::TPanel;
  std::wstring_view ClassName() const override { return L"TGroupPanel"; }

  // The panel's own flag; the children are not looked at.
  bool Enabled() const { return TPanel::Enabled(); }
  // Sets the panel's own state and then, even when it had that state already, every control
  // inside it (WalkChildren off: only the panel's own). The two parameters keep this from
  // overriding the toolkit's setter: through a plain control reference, as the toolkit and the
  // walk into a nested group panel use it, only the panel's own flag changes.
  void SetEnabled(bool Value, bool WalkChildren = true);
};

// Registers TGroupPanel and its Enabled property, which cascades.
void RegisterGroupPanel(toolkit::TClassRegistry& Classes);

}  // namespace zarvo::controls
