// Where the program looks for DLLs it loads at run time: the system folder only, never its own
// folder, which for a setup is often a downloads folder full of other files.
#pragma once

namespace zarvo::app {

// The first thing the program does, before anything loads a library.
void RestrictDllSearchOrder();

}  // namespace zarvo::app
