// A failed Win32 call as an exception: the call's name, GetLastError() and the system's text.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>
#include <string_view>

namespace zarvo::platform {

class Win32Error : public std::runtime_error {
public:
  // The text is UTF-8: "<call>: <system message> (error <code>)".
  Win32Error(std::string_view call, DWORD code);
  DWORD Code() const { return FCode; }

private:
  DWORD FCode;
};

// Throws Win32Error for call with the thread's last error.
[[noreturn]] void ThrowLastError(std::string_view call);

// The system's text for an error code without its trailing line break and period, or
// "unknown error" when the system has none.
std::wstring SystemMessage(DWORD code);

}  // namespace zarvo::platform
