// Helpers of the controls tests: painting a control into a memory picture and comparing pixels.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "tests/toolkit/Support.h"
#include "toolkit/Graphics.h"
#include "toolkit/Types.h"

namespace zarvo::controls::testing {

using toolkit::ColorToRGB;
using toolkit::TBitmap;
using toolkit::TColor;

// A 24-bit picture of width x height filled with `background`.
inline void Blank(TBitmap& picture, int width, int height, COLORREF background) {
  picture.SetSize(width, height);
  RECT all{0, 0, width, height};
  toolkit::UniqueBrush brush(::CreateSolidBrush(background));
  ::FillRect(picture.Canvas().Handle(), &all, brush.get());
}

// Paints `control` (windowed or not) into a new picture of its size.
template <class Control>
void Capture(Control& control, TBitmap& picture, COLORREF background = RGB(1, 2, 3)) {
  Blank(picture, control.Width(), control.Height(), background);
  control.PaintTo(picture.Canvas().Handle(), 0, 0);
}

inline COLORREF At(TBitmap& picture, int x, int y) { return static_cast<COLORREF>(picture.Pixel(x, y)); }

inline std::string Hex(COLORREF color) {
  char text[16];
  std::snprintf(text, sizeof(text), "%06lX", static_cast<unsigned long>(color));
  return text;
}

// Every pixel of `area` is the same in both pictures; the first difference otherwise.
inline ::testing::AssertionResult SameArea(TBitmap& actual, TBitmap& expected, RECT area) {
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      COLORREF a = At(actual, x, y);
      COLORREF e = At(expected, x, y);
      if (a != e)
        return ::testing::AssertionFailure()
               << "at (" << x << ", " << y << "): " << Hex(a) << " instead of " << Hex(e);
    }
  }
  return ::testing::AssertionSuccess();
}

// The smallest rectangle that holds every pixel of area for which `marked` is true; empty when
// there is none.
template <class Marked>
RECT BoundsWhere(RECT area, Marked marked) {
  RECT bounds{0, 0, 0, 0};
  bool any = false;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      if (!marked(x, y)) continue;
      if (!any) {
        bounds = {x, y, x + 1, y + 1};
        any = true;
      } else {
        bounds.left = std::min<LONG>(bounds.left, x);
        bounds.top = std::min<LONG>(bounds.top, y);
        bounds.right = std::max<LONG>(bounds.right, x + 1);
        bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
      }
    }
  }
  return bounds;
}

// The smallest rectangle holding every pixel of `area` whose colour is not `background`;
// empty when there is none.
inline RECT InkBounds(TBitmap& picture, RECT area, COLORREF background) {
  return BoundsWhere(area, [&](int x, int y) { return At(picture, x, y) != background; });
}

// The bounds of the pixels that differ between two pictures of the same size.
inline RECT DifferenceBounds(TBitmap& a, TBitmap& b) {
  return BoundsWhere(RECT{0, 0, a.Width(), a.Height()},
                     [&](int x, int y) { return At(a, x, y) != At(b, x, y); });
}

inline bool HasColor(TBitmap& picture, RECT area, COLORREF color) {
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (At(picture, x, y) == color) return true;
  return false;
}

inline std::string Text(RECT r) {
  return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
         std::to_string(r.bottom) + ")";
}

inline bool SameRect(RECT a, RECT b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace zarvo::controls::testing
