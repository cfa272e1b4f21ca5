// Locating and locking the payload resource.
#include "install/PayloadResource.h"

#include "platform/Win32Error.h"

namespace zarvo::install {

PayloadResource::PayloadResource(HMODULE module, const wchar_t* name, const wchar_t* type) {
  if (module == nullptr) module = GetModuleHandleW(nullptr);
  const HRSRC resource = FindResourceW(module, name, type);
  if (resource == nullptr) platform::ThrowLastError("FindResourceW");
  const DWORD size = SizeofResource(module, resource);
  if (size == 0) return;  // an empty archive
  const HGLOBAL loaded = LoadResource(module, resource);
  if (loaded == nullptr) platform::ThrowLastError("LoadResource");
  const void* data = LockResource(loaded);
  if (data == nullptr) platform::ThrowLastError("LockResource");
  bytes_ = std::span(static_cast<const std::uint8_t*>(data), size);
}

}  // namespace zarvo::install
