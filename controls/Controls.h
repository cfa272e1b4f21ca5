// The program's own controls for the description loader, all at once.
#pragma once

#include "toolkit/Loader.h"

namespace zarvo::controls {

// TEwCustomCheck, TEwCheckBox, TSB, TLink and TGroupPanel with their stored-form properties.
void RegisterControls(toolkit::TClassRegistry& Classes);

}  // namespace zarvo::controls
