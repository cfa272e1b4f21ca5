// The out-of-line parts of the device-context owners.
#include "toolkit/Handles.h"

#include "platform/Win32Error.h"

namespace zarvo::toolkit {

WindowDC::WindowDC(HWND window) : FWindow(window), FDC(::GetDC(window)) {
  if (!FDC) platform::ThrowLastError("GetDC");
}

WindowDC::~WindowDC() {
  if (FDC) ::ReleaseDC(FWindow, FDC);
}

PaintDC::PaintDC(HWND window) : FWindow(window) { ::BeginPaint(window, &FPaint); }

PaintDC::~PaintDC() { ::EndPaint(FWindow, &FPaint); }

}  // namespace zarvo::toolkit
