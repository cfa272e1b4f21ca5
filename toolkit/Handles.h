// Owners of the toolkit's window, GDI and device-context handles, on the platform's template.
#pragma once

#include <windows.h>

#include <utility>

#include "platform/Handles.h"

namespace zarvo::toolkit {

struct WindowTraits {
  using Handle = HWND;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { ::DestroyWindow(h); }
};
using UniqueWindow = platform::UniqueHandle<WindowTraits>;

template <class T>
struct GdiObjectTraits {
  using Handle = T;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { ::DeleteObject(h); }
};
using UniqueFont = platform::UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueBrush = platform::UniqueHandle<GdiObjectTraits<HBRUSH>>;
using UniquePen = platform::UniqueHandle<GdiObjectTraits<HPEN>>;
using UniqueBitmap = platform::UniqueHandle<GdiObjectTraits<HBITMAP>>;
using UniqueRegion = platform::UniqueHandle<GdiObjectTraits<HRGN>>;

// A device context made with CreateCompatibleDC / CreateDC.
struct CreatedDCTraits {
  using Handle = HDC;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { ::DeleteDC(h); }
};
using UniqueDC = platform::UniqueHandle<CreatedDCTraits>;

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

}  // namespace zarvo::toolkit
