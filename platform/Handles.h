// Move-only owners of Win32 handles and COM references, for every layer above this one.
#pragma once

#include <windows.h>

#include <utility>

namespace zarvo::platform {

// Move-only owner of one handle; Traits::Close releases it, Traits::Invalid() is the empty value.
template <class Traits>
class UniqueHandle {
public:
  using Handle = typename Traits::Handle;
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : FHandle(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : FHandle(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~UniqueHandle() { reset(); }

  Handle get() const { return FHandle; }
  explicit operator bool() const { return FHandle != Traits::Invalid(); }
  Handle release() { return std::exchange(FHandle, Traits::Invalid()); }
  void reset(Handle handle = Traits::Invalid()) {
    Handle old = std::exchange(FHandle, handle);
    if (old != Traits::Invalid()) Traits::Close(old);
  }
  // For calls that hand the new handle back through a pointer; the old one is closed first.
  Handle* put() {
    reset();
    return &FHandle;
  }

private:
  Handle FHandle = Traits::Invalid();
};

// CreateFileW reports failure as INVALID_HANDLE_VALUE, not null.
struct FileTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { ::CloseHandle(h); }
};
using UniqueFile = UniqueHandle<FileTraits>;

// A kernel object whose creation reports failure as null: mutex, event, process, thread.
struct KernelObjectTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { ::CloseHandle(h); }
};
using UniqueKernelObject = UniqueHandle<KernelObjectTraits>;

// A directory search from FindFirstFileW; it needs FindClose, not CloseHandle.
struct FindTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { ::FindClose(h); }
};
using UniqueFind = UniqueHandle<FindTraits>;

// A key from RegOpenKeyExW / RegCreateKeyExW.
struct RegKeyTraits {
  using Handle = HKEY;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { ::RegCloseKey(h); }
};
using UniqueRegKey = UniqueHandle<RegKeyTraits>;

// CoInitialize for this thread (single-threaded apartment) and its matching CoUninitialize.
class ComApartment {
public:
  ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment();
  bool Initialized() const { return FInitialized; }

private:
  bool FInitialized = false;
};

// A COM interface pointer that releases its reference.
template <class T>
class ComPtr {
public:
  ComPtr() = default;
  explicit ComPtr(T* pointer) : FPointer(pointer) {}
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : FPointer(std::exchange(other.FPointer, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      reset();
      FPointer = std::exchange(other.FPointer, nullptr);
    }
    return *this;
  }
  ~ComPtr() { reset(); }
  T* get() const { return FPointer; }
  T* operator->() const { return FPointer; }
  T** put() {
    reset();
    return &FPointer;
  }
  explicit operator bool() const { return FPointer != nullptr; }
  void reset() {
    if (FPointer) std::exchange(FPointer, nullptr)->Release();
  }

private:
  T* FPointer = nullptr;
};

}  // namespace zarvo::platform
