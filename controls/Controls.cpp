// The own controls' registration.
#include "controls/Controls.h"

#include "controls/EwCheckBox.h"
#include "controls/GroupPanel.h"
#include "controls/Link.h"
#include "controls/SB.h"

namespace zarvo::controls {

void RegisterControls(toolkit::TClassRegistry& Classes) {
  RegisterEwCheckBox(Classes);
  RegisterSB(Classes);
  RegisterLink(Classes);
  RegisterGroupPanel(Classes);
}

}  // namespace zarvo::controls
