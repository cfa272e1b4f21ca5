// The common controls library (comctl32), loaded at run time instead of imported.
#pragma once

#include <windows.h>

namespace zarvo::toolkit {

// Loads the common controls the manifest names (version 6, side by side) and registers the
// `classes` (ICC_ flags). Throws Win32Error when the library or its entry point is missing.
void LoadCommonControls(DWORD classes);

}  // namespace zarvo::toolkit
