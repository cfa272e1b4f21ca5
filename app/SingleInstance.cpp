// The lock file and the hand-over.
#include "app/SingleInstance.h"

#include "toolkit/Application.h"
#include "toolkit/Messages.h"

namespace zarvo::app {

TTempPathBuffer ShortTempPath() {
  TTempPathBuffer buffer{};
  // Neither result is looked at: on failure the buffer keeps what it had (zeros, or the long
  // path), and the lock path is built from that.
  ::GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
  buffer.back() = L'\0';
  ::GetShortPathNameW(buffer.data(), buffer.data(), static_cast<DWORD>(buffer.size()));
  buffer.back() = L'\0';
  return buffer;
}

std::wstring LockPath(const TTempPathBuffer& tempPath) {
  std::size_t length = 0;
  while (length < tempPath.size() && length < LockFolderLimit && tempPath[length] != L'\0') ++length;
  return std::wstring(tempPath.data(), length) + LockFileName;
}

bool OpenLockFile(const std::wstring& path) {
  HANDLE lock = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  // Deliberately kept open and unowned: the system closes it when the process ends.
  return lock != INVALID_HANDLE_VALUE;
}

bool AcquireLock(bool updateMode, const std::function<bool()>& attempt, const std::function<void()>& pause) {
  int failures = 0;
  for (;;) {
    if (attempt()) return true;
    ++failures;
    if (failures > RetryLimit || !updateMode) return false;
    pause();
  }
}

void ActivateRunningInstance() {
  if (HWND running = ::FindWindowW(SetupWindowClass, nullptr)) {
    // This process was started by the user, so it may hand the foreground to the running one.
    DWORD owner = 0;
    ::GetWindowThreadProcessId(running, &owner);
    if (owner != 0) ::AllowSetForegroundWindow(owner);
    ::PostMessageW(running, toolkit::WM_SETUP_ACTIVATE, 0, 0);
  }
  toolkit::Application().Halt(0);
}

}  // namespace zarvo::app
