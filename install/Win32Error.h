// A failed Win32 call as an exception: the call's name, GetLastError() and the system's text.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

namespace zarvo::install {

class Win32Error : public std::runtime_error {
 public:
  // The text is UTF-8: "<call>: <system message> (error <code>)".
  Win32Error(const char* call, DWORD code);
  DWORD Code() const { return code_; }

 private:
  DWORD code_;
};

// Throws Win32Error for call with the thread's last error, read at once.
[[noreturn]] void ThrowLastError(const char* call);

// The system's text for an error code, trailing line break and period removed; UTF-16.
std::wstring SystemMessage(DWORD code);

}  // namespace zarvo::install
