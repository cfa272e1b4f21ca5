// Hands an address or a file to the Windows shell with the verb "open" (a web address opens in
// the default browser). The one call goes through here so that tests can watch it.
#pragma once

#include <functional>
#include <string>

namespace zarvo::controls {

using TShellOpenFunction = std::function<void(const std::wstring& Target)>;

// ShellExecuteW(no owner, "open", Target, no parameters, no folder, SW_SHOWNORMAL); its result
// is not looked at, so a target that cannot be opened fails without a word.
void ShellOpen(const std::wstring& Target);

// Replaces what ShellOpen does while it lives (tests), and puts the previous one back.
class TShellOpenReplacement {
public:
  explicit TShellOpenReplacement(TShellOpenFunction Replacement);
  TShellOpenReplacement(const TShellOpenReplacement&) = delete;
  TShellOpenReplacement& operator=(const TShellOpenReplacement&) = delete;
  ~TShellOpenReplacement();

private:
  TShellOpenFunction FPrevious;
};

}  // namespace zarvo::controls
