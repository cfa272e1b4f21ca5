// One setup at a time: the lock file in the user's temporary folder, the waiting of an update
// start, and the hand-over to the setup window that holds the lock.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <string>

namespace zarvo::app {

inline constexpr wchar_t LockFileName[] = L"zarvo.tmp";
// Only this much of the temporary folder's path goes into the lock path.
inline constexpr std::size_t LockFolderLimit = 129;
// Failed attempts an update start makes before it gives up (one more than this in all).
inline constexpr int RetryLimit = 60;
inline constexpr DWORD RetryPauseMilliseconds = 500;
inline constexpr wchar_t SetupWindowClass[] = L"TZarSetup";

using TTempPathBuffer = std::array<wchar_t, MAX_PATH>;

// The user's temporary folder in its short form (the long one when it cannot be shortened),
// with its trailing backslash; all zeros when the system gives none.
TTempPathBuffer ShortTempPath();

// The buffer's text up to its first NUL, at most its first 129 characters, then "zarvo.tmp".
std::wstring LockPath(const TTempPathBuffer& tempPath);

// Opens the lock file exclusively for the rest of the process; false when another process holds
// it or it cannot be made. The handle is never closed: the lock ends with the process.
bool OpenLockFile(const std::wstring& path);

// The lock loop: one attempt, or in update mode up to RetryLimit + 1 with `pause` between them.
// True once `attempt` succeeds.
bool AcquireLock(bool updateMode, const std::function<bool()>& attempt, const std::function<void()>& pause);

// Asks the running setup window, if there is one, to come to the front (posts 1027 to it), then
// ends this program with exit code 0 without showing anything.
[[noreturn]] void ActivateRunningInstance();

}  // namespace zarvo::app
