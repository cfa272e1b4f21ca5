// The note the window shows when the install run has finished, and the words for what failed.
#pragma once

#include <string>

#include "install/InstallRun.h"

namespace zarvo::ui {

// The closing note in the language: exactly the usual three lines when nothing failed; else
// followed by each file not installed, each deletion refused and each link not made, with its
// reason in a few words.
std::wstring ClosingNote(bool russian, const install::TInstallFailures& failures);

// A failure's reason in the language.
std::wstring ReasonText(bool russian, install::TFailureReason reason);

}  // namespace zarvo::ui
