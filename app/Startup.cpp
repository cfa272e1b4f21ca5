// The start-up steps of the setup window's creation, on the real system.
#include "app/Startup.h"

#include <windows.h>

#include <shellapi.h>

#include <memory>

#include "app/OemCodePage.h"
#include "app/SingleInstance.h"

namespace zarvo::app {
namespace {

constexpr LCID RussianLocale = 1049;

struct LocalFreer {
  void operator()(wchar_t** arguments) const { ::LocalFree(arguments); }
};

}  // namespace

std::vector<std::wstring> SplitCommandLine(const wchar_t* commandLine) {
  std::vector<std::wstring> result;
  if (!commandLine || !*commandLine) return result;
  int count = 0;
  const std::unique_ptr<wchar_t*, LocalFreer> arguments(::CommandLineToArgvW(commandLine, &count));
  if (!arguments) return result;
  for (int i = 1; i < count; ++i) result.emplace_back(arguments.get()[i]);
  return result;
}

std::vector<std::wstring> TProgramStartup::Arguments() const { return SplitCommandLine(::GetCommandLineW()); }

void TProgramStartup::TakeLock(bool updateMode) {
  const TTempPathBuffer tempPath = ShortTempPath();
  const bool locked = AcquireLock(
      updateMode, [&] { return OpenLockFile(LockPath(tempPath)); }, [] { ::Sleep(RetryPauseMilliseconds); });
  if (!locked) ActivateRunningInstance();
}

void TProgramStartup::SetThreadLocale() { ::SetThreadLocale(RussianLocale); }

std::uint16_t TProgramStartup::ReadOemCodePage() { return app::ReadOemCodePage(); }

}  // namespace zarvo::app
