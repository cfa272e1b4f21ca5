// Win32 error texts, UTF conversions and the out-of-line parts of the handle owners.
#include "toolkit/Handles.h"

#include <objbase.h>

namespace zarvo::toolkit {

std::string ToUtf8(std::wstring_view text) {
  if (text.empty()) return {};
  int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                   0, nullptr, nullptr);
  std::string result(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size,
                        nullptr, nullptr);
  return result;
}

std::wstring FromUtf8(std::string_view text) {
  if (text.empty()) return {};
  int size = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring result(static_cast<size_t>(size), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size);
  return result;
}

namespace {

std::string ErrorText(std::string_view call, DWORD code) {
  wchar_t* buffer = nullptr;
  DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring system;
  if (buffer) {
    system.assign(buffer, length);
    ::LocalFree(buffer);
  }
  while (!system.empty() && (system.back() == L'\n' || system.back() == L'\r' || system.back() == L' '))
    system.pop_back();
  std::string text(call);
  text += " failed (error " + std::to_string(code) + ")";
  if (!system.empty()) text += ": " + ToUtf8(system);
  return text;
}

}  // namespace

Win32Error::Win32Error(std::string_view call, DWORD code)
    : std::runtime_error(ErrorText(call, code)), FCode(code) {}

void ThrowLastError(std::string_view call) { throw Win32Error(call, ::GetLastError()); }

WindowDC::WindowDC(HWND window) : FWindow(window), FDC(::GetDC(window)) {
  if (!FDC) ThrowLastError("GetDC");
}

WindowDC::~WindowDC() {
  if (FDC) ::ReleaseDC(FWindow, FDC);
}

PaintDC::PaintDC(HWND window) : FWindow(window) { ::BeginPaint(window, &FPaint); }

PaintDC::~PaintDC() { ::EndPaint(FWindow, &FPaint); }

ComApartment::ComApartment() {
  HRESULT result = ::CoInitialize(nullptr);
  FInitialized = SUCCEEDED(result);
}

ComApartment::~ComApartment() {
  if (FInitialized) ::CoUninitialize();
}

}  // namespace zarvo::toolkit
