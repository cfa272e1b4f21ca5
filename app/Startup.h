// The real start-up the setup window's creation runs: the process's command line, the lock file
// in the user's temporary folder, the thread locale and the registry.
#pragma once

#include <string>
#include <vector>

#include "ui/Startup.h"

namespace zarvo::app {

// The arguments after the program's own name, split as the system splits a command line.
std::vector<std::wstring> SplitCommandLine(const wchar_t* commandLine);

class TProgramStartup final : public ui::TStartup {
public:
  std::vector<std::wstring> Arguments() const override;
  void TakeLock(bool updateMode) override;
  void SetThreadLocale() override;
  std::uint16_t ReadOemCodePage() override;
};

}  // namespace zarvo::app
