// Win32 error texts.
#include "platform/Win32Error.h"

#include <memory>

#include "platform/Text.h"

namespace zarvo::platform {
namespace {

struct LocalFreer {
  void operator()(wchar_t* text) const { ::LocalFree(text); }
};

std::string Describe(std::string_view call, DWORD code) {
  return std::string(call) + ": " + ToUtf8(SystemMessage(code)) + " (error " +
         std::to_string(code) + ")";
}

}  // namespace

std::wstring SystemMessage(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  const std::unique_ptr<wchar_t, LocalFreer> owner(buffer);
  if (length == 0 || buffer == nullptr) return L"unknown error";
  std::wstring text(buffer, length);
  // The message is a sentence for a box of its own; ours goes inside another line.
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' ||
                           text.back() == L'.'))
    text.pop_back();
  return text.empty() ? L"unknown error" : text;
}

Win32Error::Win32Error(std::string_view call, DWORD code)
    : std::runtime_error(Describe(call, code)), FCode(code) {}

void ThrowLastError(std::string_view call) { throw Win32Error(call, ::GetLastError()); }

}  // namespace zarvo::platform
