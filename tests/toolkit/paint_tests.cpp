// Painting: Repaint paints at once and Invalidate later, for windowed and windowless controls;
// painting into a memory device context; the canvas; the picture object and its resource
// loader.
#include <gtest/gtest.h>

#include "platform/Win32Error.h"
#include <vector>

#include "tests/toolkit/Support.h"
#include "toolkit/Bevel.h"
#include "toolkit/CustomControl.h"
#include "toolkit/GraphicControl.h"
#include "toolkit/Label.h"
#include "toolkit/Panel.h"
#include "toolkit/SpeedButton.h"

namespace zarvo::toolkit {
namespace {

using testing::PumpFor;

template <class Base>
class TPaintCounter : public Base {
public:
  explicit TPaintCounter(TComponent* AOwner) : Base(AOwner) {}
  std::wstring_view ClassName() const override { return L"TPaintCounter"; }
  int Paints = 0;

protected:
  void Paint() override {
    ++Paints;
    Base::Canvas().FillRect(Base::ClientRect());
  }
};

class PaintTest : public testing::SharedFormTest {};

template <class Control>
void ExpectRepaintAtOnceInvalidateLater(Control& control) {
  PumpFor(100);
  int before = control.Paints;
  control.Repaint();
  EXPECT_EQ(control.Paints, before + 1) << "Repaint paints before it returns";
  control.Invalidate();
  control.Invalidate();
  EXPECT_EQ(control.Paints, before + 1) << "Invalidate does not paint at once";
  Application().ProcessMessages();
  EXPECT_EQ(control.Paints, before + 2) << "two invalidations, one paint";
}

TEST_F(PaintTest, AWindowedControlRepaintsAtOnceAndInvalidatesForLater) {
  TPaintCounter<TCustomControl> control(nullptr);
  control.SetBounds(10, 10, 100, 50);
  control.SetParent(FForm.get());
  ExpectRepaintAtOnceInvalidateLater(control);
  control.SetParent(nullptr);
}

TEST_F(PaintTest, AWindowlessControlRepaintsAtOnceAndInvalidatesForLater) {
  TPaintCounter<TGraphicControl> control(nullptr);
  control.SetBounds(150, 10, 100, 50);
  control.SetParent(FForm.get());
  ExpectRepaintAtOnceInvalidateLater(control);
  // Hidden, it is not painted.
  control.Hide();
  PumpFor(50);
  int before = control.Paints;
  control.Repaint();
  Application().ProcessMessages();
  EXPECT_EQ(control.Paints, before);
  control.SetParent(nullptr);
}

// A 24-bit picture to paint into, white.
void WhiteBitmap(TBitmap& bitmap, int width, int height) {
  bitmap.SetSize(width, height);
  bitmap.Canvas().Brush().SetColor(clWhite);
  bitmap.Canvas().FillRect({0, 0, width, height});
}

TEST(PaintTo, PaintsAControlAndItsChildrenIntoAMemoryContextWithoutAWindow) {
  TPanel panel(nullptr);
  panel.SetBounds(0, 0, 60, 40);
  panel.SetBevelOuter(bvNone);
  panel.SetColor(clRed);
  TLabel label(nullptr);
  label.SetAutoSize(false);
  label.SetBounds(10, 10, 20, 20);
  label.SetParent(&panel);
  label.SetColor(clLime);
  TPanel inner(nullptr);
  inner.SetBevelOuter(bvNone);
  inner.SetBounds(40, 0, 20, 20);
  inner.SetColor(clBlue);
  inner.SetParent(&panel);
  ASSERT_FALSE(panel.HandleAllocated());

  TBitmap bitmap;
  WhiteBitmap(bitmap, 80, 60);
  panel.PaintTo(bitmap.Canvas().Handle(), 5, 5);
  EXPECT_EQ(bitmap.Pixel(6, 6), clRed);
  EXPECT_EQ(bitmap.Pixel(16, 16), clLime);     // the windowless child, over the panel
  EXPECT_EQ(bitmap.Pixel(50, 10), clBlue);     // the windowed child that can be painted so
  EXPECT_EQ(bitmap.Pixel(70, 50), clWhite);    // outside the panel: untouched
  EXPECT_EQ(bitmap.Pixel(2, 2), clWhite);
  EXPECT_FALSE(panel.HandleAllocated());
}

TEST(PaintTo, ABevelLineLiesAlongItsBottomEdge) {
  TBevel bevel(nullptr);
  bevel.SetShape(bsBottomLine);
  bevel.SetBounds(0, 0, 10, 4);
  TBitmap bitmap;
  WhiteBitmap(bitmap, 10, 4);
  bitmap.Canvas().Brush().SetColor(clBlack);
  bitmap.Canvas().FillRect({0, 0, 10, 4});
  bevel.PaintTo(bitmap.Canvas().Handle(), 0, 0);
  EXPECT_EQ(bitmap.Pixel(5, 1), clBlack);
  EXPECT_EQ(ColorToRGB(bitmap.Pixel(5, 2)), ColorToRGB(clBtnShadow));
  EXPECT_EQ(ColorToRGB(bitmap.Pixel(5, 3)), ColorToRGB(clBtnHighlight));
}

TEST(PaintTo, APanelDrawsItsBevelsAroundItsBorder) {
  TPanel panel(nullptr);
  panel.SetBounds(0, 0, 20, 20);
  panel.SetBevelOuter(bvLowered);
  panel.SetBevelInner(bvRaised);
  panel.SetBorderWidth(2);
  panel.SetColor(clYellow);
  TBitmap bitmap;
  WhiteBitmap(bitmap, 20, 20);
  panel.PaintTo(bitmap.Canvas().Handle(), 0, 0);
  COLORREF shadow = ColorToRGB(clBtnShadow);
  COLORREF highlight = ColorToRGB(clBtnHighlight);
  EXPECT_EQ(ColorToRGB(bitmap.Pixel(0, 5)), shadow);      // outer, lowered: dark top-left
  EXPECT_EQ(ColorToRGB(bitmap.Pixel(19, 5)), highlight);  // and light bottom-right
  EXPECT_EQ(bitmap.Pixel(1, 5), clYellow);                // the border in the panel's colour
  EXPECT_EQ(bitmap.Pixel(2, 5), clYellow);
  EXPECT_EQ(ColorToRGB(bitmap.Pixel(3, 5)), highlight);   // inner, raised: light top-left
  EXPECT_EQ(ColorToRGB(bitmap.Pixel(16, 5)), shadow);
  EXPECT_EQ(bitmap.Pixel(10, 10), clYellow);
  RECT client = panel.ClientRect();
  EXPECT_EQ(client.right, 20);
}

// The rows of `bitmap` that hold a pixel of `color`: first and last, -1 when none.
std::pair<int, int> RowsWith(TBitmap& bitmap, TColor color) {
  int first = -1, last = -1;
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.Width(); ++x) {
      if (bitmap.Pixel(x, y) == color) {
        if (first < 0) first = y;
        last = y;
        break;
      }
    }
  }
  return {first, last};
}

std::pair<int, int> ColumnsWith(TBitmap& bitmap, TColor color) {
  int first = -1, last = -1;
  for (int x = 0; x < bitmap.Width(); ++x) {
    for (int y = 0; y < bitmap.Height(); ++y) {
      if (bitmap.Pixel(x, y) == color) {
        if (first < 0) first = x;
        last = x;
        break;
      }
    }
  }
  return {first, last};
}

struct LabelCase {
  const char* Case;
  TAlignment Alignment;
  TTextLayout Layout;
  const wchar_t* Caption;
};

class LabelPainting : public ::testing::TestWithParam<LabelCase> {};

TEST_P(LabelPainting, PlacesItsTextByAlignmentAndLayout) {
  const LabelCase& c = GetParam();
  TLabel label(nullptr);
  label.SetAutoSize(false);
  label.SetBounds(0, 0, 200, 80);
  label.SetColor(clWhite);
  label.Font().SetColor(clBlack);
  label.Font().SetHeight(16);
  label.SetAlignment(c.Alignment);
  label.SetLayout(c.Layout);
  label.SetCaption(c.Caption);
  TBitmap bitmap;
  WhiteBitmap(bitmap, 200, 80);
  label.PaintTo(bitmap.Canvas().Handle(), 0, 0);
  auto [top, bottom] = RowsWith(bitmap, clBlack);
  auto [left, right] = ColumnsWith(bitmap, clBlack);
  ASSERT_GE(top, 0) << "no text drawn";
  int lines = std::wstring(c.Caption).find(L'\r') == std::wstring::npos ? 1 : 2;
  int textHeight = bottom - top + 1;
  EXPECT_LT(textHeight, 20 * lines);
  EXPECT_GT(textHeight, lines == 2 ? 20 : 0) << "a carriage return starts a second line";
  switch (c.Layout) {
    case tlTop:
      EXPECT_LT(top, 8);
      break;
    case tlCenter:
      EXPECT_NEAR((top + bottom) / 2, 40, 6);
      break;
    case tlBottom:
      EXPECT_GT(bottom, 72);
      break;
  }
  switch (c.Alignment) {
    case taLeftJustify:
      EXPECT_LT(left, 4);
      break;
    case taCenter:
      EXPECT_NEAR((left + right) / 2, 100, 6);
      break;
    case taRightJustify:
      EXPECT_GT(right, 195);
      break;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LabelPainting,
    ::testing::Values(LabelCase{"TopLeft", taLeftJustify, tlTop, L"Install folder"},
                      LabelCase{"CentreBoth", taCenter, tlCenter, L"Copy new files"},
                      LabelCase{"BottomRight", taRightJustify, tlBottom, L"Creating icons"},
                      LabelCase{"TwoLinesAtTheBottom", taLeftJustify, tlBottom, L"first line\rsecond line"},
                      LabelCase{"TwoLinesCentred", taLeftJustify, tlCenter, L"first line\rsecond line"}),
    [](const ::testing::TestParamInfo<LabelCase>& info) { return info.param.Case; });

TEST(SpeedButtonPainting, TheGlyphLeavesOutTheColourOfItsBottomLeftPixel) {
  TSpeedButton button(nullptr);
  button.SetFlat(true);
  button.SetBounds(0, 0, 9, 8);
  button.Glyph().LoadFromResourceName(::GetModuleHandleW(nullptr), L"PIXELS");
  TBitmap bitmap;
  WhiteBitmap(bitmap, 9, 8);
  button.PaintTo(bitmap.Canvas().Handle(), 0, 0);
  // Centred: the 3 x 2 picture at (3, 3).
  EXPECT_EQ(bitmap.Pixel(3, 3), RGB(255, 0, 0));
  EXPECT_EQ(bitmap.Pixel(5, 3), RGB(0, 0, 255));
  EXPECT_EQ(bitmap.Pixel(3, 4), clWhite) << "transparent";
  EXPECT_EQ(bitmap.Pixel(5, 4), RGB(10, 20, 30));
  // Flat, up and not under the pointer: no edge, the parent shows through.
  EXPECT_EQ(bitmap.Pixel(0, 0), clWhite);
  EXPECT_EQ(bitmap.Pixel(8, 7), clWhite);
}

// ---- the picture object

TEST(Bitmap, LoadsANamedResourcePictureIgnoringCaseAndReadsItsPixels) {
  TBitmap bitmap;
  bitmap.LoadFromResourceName(::GetModuleHandleW(nullptr), L"pixels");
  ASSERT_FALSE(bitmap.Empty());
  EXPECT_EQ(bitmap.Width(), 3);
  EXPECT_EQ(bitmap.Height(), 2);
  struct {
    int X, Y;
    TColor Color;
  } const pixels[] = {
      {0, 0, RGB(255, 0, 0)},   {1, 0, RGB(0, 255, 0)},     {2, 0, RGB(0, 0, 255)},
      {0, 1, RGB(255, 0, 255)}, {1, 1, RGB(255, 255, 255)}, {2, 1, RGB(10, 20, 30)},
  };
  for (const auto& pixel : pixels) EXPECT_EQ(bitmap.Pixel(pixel.X, pixel.Y), pixel.Color) << pixel.X << "," << pixel.Y;
}

TEST(Bitmap, AMissingResourceThrowsAndKeepsThePictureItHad) {
  TBitmap bitmap;
  bitmap.LoadFromResourceName(::GetModuleHandleW(nullptr), L"PIXELS");
  HBITMAP held = bitmap.Handle();
  EXPECT_THROW(bitmap.LoadFromResourceName(::GetModuleHandleW(nullptr), L"NOSUCHPICTURE"), platform::Win32Error);
  EXPECT_EQ(bitmap.Handle(), held);
  EXPECT_EQ(bitmap.Width(), 3);
}

TEST(Bitmap, TakingAHandleReleasesThePictureHeldBefore) {
  TBitmap bitmap;
  bitmap.LoadFromResourceName(::GetModuleHandleW(nullptr), L"PIXELS");
  ASSERT_EQ(bitmap.Pixel(0, 0), RGB(255, 0, 0));  // selected into the picture's own canvas
  HBITMAP old = bitmap.Handle();
  HBITMAP fresh = ::LoadBitmapW(::GetModuleHandleW(nullptr), L"Pixels");
  ASSERT_NE(fresh, nullptr);
  bitmap.SetHandle(fresh);
  EXPECT_EQ(::GetObjectType(old), 0u) << "the old picture is deleted";
  EXPECT_EQ(bitmap.Handle(), fresh);
  EXPECT_EQ(bitmap.Pixel(2, 1), RGB(10, 20, 30));
  EXPECT_EQ(bitmap.Height(), 2);
}

// ---- the canvas

TEST(Canvas, BrushCopyLeavesOutTheTransparentColourOrFillsItWithTheBrush) {
  TBitmap picture;
  picture.LoadFromResourceName(::GetModuleHandleW(nullptr), L"PIXELS");
  TColor transparent = picture.Pixel(0, picture.Height() - 1);
  ASSERT_EQ(transparent, RGB(255, 0, 255));
  TBitmap target;
  WhiteBitmap(target, 8, 4);
  TCanvas& canvas = target.Canvas();
  canvas.Brush().SetStyle(bsClear);
  canvas.BrushCopy({1, 1, 4, 3}, picture, {0, 0, 3, 2}, transparent);
  EXPECT_EQ(target.Pixel(1, 1), RGB(255, 0, 0));
  EXPECT_EQ(target.Pixel(3, 1), RGB(0, 0, 255));
  EXPECT_EQ(target.Pixel(1, 2), clWhite) << "the transparent pixel shows what was there";
  EXPECT_EQ(target.Pixel(3, 2), RGB(10, 20, 30));
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(clNavy);
  canvas.BrushCopy({5, 1, 8, 3}, picture, {0, 0, 3, 2}, transparent);
  EXPECT_EQ(target.Pixel(5, 2), clNavy);
  EXPECT_EQ(target.Pixel(6, 2), clWhite);
}

// PIXELS is red, lime, blue over magenta, white, (10, 20, 30); each case fills a yellow target.
TEST(Canvas, BrushCopyOfAPartOrAStretchedPictureLeavesOutExactlyTheTransparentPixels) {
  TBitmap picture;
  picture.LoadFromResourceName(::GetModuleHandleW(nullptr), L"PIXELS");
  constexpr TColor kDark = static_cast<TColor>(RGB(10, 20, 30));
  struct Case {
    const char* name;
    RECT dest;
    RECT source;
    TColor transparent;
    std::vector<std::vector<TColor>> expected;  // rows of the 6 x 4 target
  };
  const Case cases[] = {
      {"the right two columns, white left out", {1, 1, 3, 3}, {1, 0, 3, 2}, clWhite,
       {{clYellow, clYellow, clYellow, clYellow, clYellow, clYellow},
        {clYellow, clLime, clBlue, clYellow, clYellow, clYellow},
        {clYellow, clYellow, kDark, clYellow, clYellow, clYellow},
        {clYellow, clYellow, clYellow, clYellow, clYellow, clYellow}}},
      {"twice the size, magenta left out", {0, 0, 6, 4}, {0, 0, 3, 2}, clFuchsia,
       {{clRed, clRed, clLime, clLime, clBlue, clBlue},
        {clRed, clRed, clLime, clLime, clBlue, clBlue},
        {clYellow, clYellow, clWhite, clWhite, kDark, kDark},
        {clYellow, clYellow, clWhite, clWhite, kDark, kDark}}},
  };
  for (const Case& c : cases) {
    TBitmap target;
    target.SetSize(6, 4);
    target.Canvas().Brush().SetColor(clYellow);
    target.Canvas().FillRect({0, 0, 6, 4});
    target.Canvas().Brush().SetStyle(bsClear);
    target.Canvas().BrushCopy(c.dest, picture, c.source, c.transparent);
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(target.Pixel(x, y), c.expected[y][x]) << c.name << " at " << x << ", " << y;
      }
    }
  }
}

TEST(Canvas, AChangedFontIsDeletedOnlyAfterTheContextLetsItGo) {
  TBitmap target;
  WhiteBitmap(target, 4, 4);
  TCanvas canvas;
  UniqueDC dc(::CreateCompatibleDC(nullptr));
  canvas.SetHandle(dc.get());
  canvas.Font().SetHeight(20);
  HDC handle = canvas.Handle();
  HGDIOBJ selected = ::GetCurrentObject(handle, OBJ_FONT);
  canvas.Font().SetHeight(30);
  EXPECT_EQ(::GetObjectType(selected), static_cast<DWORD>(OBJ_FONT)) << "still selected, still alive";
  canvas.Handle();
  EXPECT_NE(::GetCurrentObject(handle, OBJ_FONT), selected);
  EXPECT_EQ(::GetObjectType(selected), 0u) << "deselected, deleted";
  canvas.SetHandle(nullptr);
  EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_FONT), ::GetStockObject(SYSTEM_FONT)) << "the context's own font is back";
}

TEST(Canvas, TextMeasuresFollowTheFontAndPixelsReadBack) {
  TBitmap target;
  WhiteBitmap(target, 40, 40);
  TCanvas& canvas = target.Canvas();
  canvas.Font().SetHeight(10);
  SIZE small = canvas.TextExtent(L"Install");
  canvas.Font().SetHeight(20);
  SIZE large = canvas.TextExtent(L"Install");
  EXPECT_GT(large.cx, small.cx);
  EXPECT_GT(large.cy, small.cy);
  EXPECT_EQ(canvas.TextWidth(L""), 0);
  canvas.SetPixels(3, 4, clMaroon);
  EXPECT_EQ(canvas.Pixels(3, 4), clMaroon);
  canvas.DrawFocusRect({10, 10, 30, 30});
  int dotted = 0;
  for (int x = 10; x < 30; ++x) dotted += canvas.Pixels(x, 10) != clWhite;
  EXPECT_GE(dotted, 5) << "a dotted top edge";
  EXPECT_LE(dotted, 15);
  EXPECT_EQ(canvas.Pixels(20, 20), clWhite);
}

TEST(Canvas, PaintStartsWithTheControlsFontAndColour) {
  struct TProbe : TGraphicControl {
    explicit TProbe(TComponent* AOwner) : TGraphicControl(AOwner) {}
    int Height = 0;
    TColor Brush = 0;
    void Paint() override {
      Height = Canvas().Font().Height();
      Brush = Canvas().Brush().Color();
    }
  } probe(nullptr);
  probe.Font().SetHeight(17);
  probe.SetColor(static_cast<TColor>(0x808000));
  TBitmap target;
  WhiteBitmap(target, 10, 10);
  probe.SetBounds(0, 0, 10, 10);
  probe.PaintTo(target.Canvas().Handle(), 0, 0);
  EXPECT_EQ(probe.Height, 17);
  EXPECT_EQ(probe.Brush, static_cast<TColor>(0x808000));
}

}  // namespace
}  // namespace zarvo::toolkit
