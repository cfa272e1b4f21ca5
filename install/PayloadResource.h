// The payload resource "MAIN" of type "EXEFILE", read in place from a loaded module.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

namespace zarvo::install {

// The bytes of a module's resource, locked in place (nothing is copied). They live as long as the
// module stays loaded; for the program's own module that is the whole run. Resources need no
// release, so the span borrows and owns nothing.
class PayloadResource {
 public:
  // module nullptr is the program's own. A missing resource throws platform::Win32Error.
  explicit PayloadResource(HMODULE module = nullptr, const wchar_t* name = L"MAIN",
                           const wchar_t* type = L"EXEFILE");

  std::span<const std::uint8_t> Bytes() const { return bytes_; }

 private:
  std::span<const std::uint8_t> bytes_;
};

}  // namespace zarvo::install
