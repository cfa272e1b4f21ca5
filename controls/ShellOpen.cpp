// The shell's "open" and its replacement for tests.
#include "controls/ShellOpen.h"

#include <windows.h>

#include <shellapi.h>

#include <utility>

namespace zarvo::controls {

namespace {

void ShellExecuteOpen(const std::wstring& Target) {
  ::ShellExecuteW(nullptr, L"open", Target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

TShellOpenFunction& CurrentShellOpen() {
  static TShellOpenFunction current = ShellExecuteOpen;
  return current;
}

}  // namespace

void ShellOpen(const std::wstring& Target) { CurrentShellOpen()(Target); }

TShellOpenReplacement::TShellOpenReplacement(TShellOpenFunction Replacement)
    : FPrevious(std::exchange(CurrentShellOpen(), std::move(Replacement))) {}

TShellOpenReplacement::~TShellOpenReplacement() { CurrentShellOpen() = std::move(FPrevious); }

}  // namespace zarvo::controls
