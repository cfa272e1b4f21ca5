// Win32 error texts.
#include "install/Win32Error.h"

#include <memory>

#include "payload/Utf.h"

namespace zarvo::install {
namespace {

struct LocalFreer {
  void operator()(wchar_t* text) const { LocalFree(text); }
};

std::string Describe(const char* call, DWORD code) {
  const std::wstring text = SystemMessage(code);
  return std::string(call) + ": " +
         payload::Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text.data()),
                                                  text.size())) +
         " (error " + std::to_string(code) + ")";
}

}  // namespace

std::wstring SystemMessage(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  const std::unique_ptr<wchar_t, LocalFreer> owner(buffer);
  if (length == 0 || buffer == nullptr) return L"unknown error";
  std::wstring text(buffer, length);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' ||
                           text.back() == L'.'))
    text.pop_back();
  return text;
}

Win32Error::Win32Error(const char* call, DWORD code)
    : std::runtime_error(Describe(call, code)), code_(code) {}

void ThrowLastError(const char* call) { throw Win32Error(call, GetLastError()); }

}  // namespace zarvo::install
