// Owning wrappers for Win32 handles and the exception that carries a failed call's error.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace zarvo::toolkit {

// UTF-16 <-> UTF-8 for exception texts and the loader.
std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

// A failed Win32 call: the call's name, GetLastError() and the system's text for it.
class Win32Error : public std::runtime_error {
public:
  Win32Error(std::string_view call, DWORD code);
  DWORD Code() const { return FCode; }

private:
  DWORD FCode;
};

// Throws Win32Error with the current GetLastError() for `call`.
[[noreturn]] void ThrowLastError(std::string_view call);

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

private:
  Handle FHandle = Traits::Invalid();
};

struct WindowTraits {
  using Handle = HWND;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { ::DestroyWindow(h); }
};
using UniqueWindow = UniqueHandle<WindowTraits>;

template <class T>
struct GdiObjectTraits {
  using Handle = T;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { ::DeleteObject(h); }
};
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using UniquePen = UniqueHandle<GdiObjectTraits<HPEN>>;
using UniqueBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using UniqueRegion = UniqueHandle<GdiObjectTraits<HRGN>>;

// A device context made with CreateCompatibleDC / CreateDC.
struct CreatedDCTraits {
  using Handle = HDC;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { ::DeleteDC(h); }
};
using UniqueDC = UniqueHandle<CreatedDCTraits>;

// A window's device context from GetDC; released with ReleaseDC.
class WindowDC {
public:
  explicit WindowDC(HWND window);
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  WindowDC(WindowDC&& other) noexcept
      : FWindow(other.FWindow), FDC(std::exchange(other.FDC, nullptr)) {}
  WindowDC& operator=(WindowDC&&) = delete;
  ~WindowDC();
  HDC get() const { return FDC; }

private:
  HWND FWindow;
  HDC FDC;
};

// BeginPaint / EndPaint.
class PaintDC {
public:
  explicit PaintDC(HWND window);
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;
  ~PaintDC();
  HDC get() const { return FPaint.hdc; }
  const RECT& PaintRect() const { return FPaint.rcPaint; }

private:
  HWND FWindow;
  PAINTSTRUCT FPaint{};
};

// Selects a GDI object into a DC for the scope; the previous object comes back at its end.
class SelectedObject {
public:
  SelectedObject(HDC dc, HGDIOBJ object) : FDC(dc), FOld(::SelectObject(dc, object)) {}
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  SelectedObject(SelectedObject&& other) noexcept
      : FDC(other.FDC), FOld(std::exchange(other.FOld, nullptr)) {}
  SelectedObject& operator=(SelectedObject&&) = delete;
  ~SelectedObject() {
    if (FOld) ::SelectObject(FDC, FOld);
  }

private:
  HDC FDC;
  HGDIOBJ FOld;
};

// SaveDC / RestoreDC for the scope.
class SavedDC {
public:
  explicit SavedDC(HDC dc) : FDC(dc), FState(::SaveDC(dc)) {}
  SavedDC(const SavedDC&) = delete;
  SavedDC& operator=(const SavedDC&) = delete;
  ~SavedDC() {
    if (FState) ::RestoreDC(FDC, FState);
  }

private:
  HDC FDC;
  int FState;
};

// CoInitialize for the user-interface thread (single-threaded apartment) and its matching
// CoUninitialize.
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

}  // namespace zarvo::toolkit
