// Fonts, brushes, pens, the canvas and the picture object.
#include "toolkit/Graphics.h"

#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "platform/Text.h"
#include "platform/Win32Error.h"

namespace zarvo::toolkit {

int ScreenPixelsPerInch() {
  WindowDC screen(nullptr);
  return ::GetDeviceCaps(screen.get(), LOGPIXELSY);
}

// ---- TFont

TFont::TFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    FName = metrics.lfMessageFont.lfFaceName;
    FHeight = std::abs(metrics.lfMessageFont.lfHeight);
  }
  if (FName.empty()) FName = L"MS Shell Dlg";
  if (FHeight == 0) FHeight = 11;
}

void TFont::Assign(const TFont& source) {
  if (SameAs(source)) return;
  FName = source.FName;
  FHeight = source.FHeight;
  FCharset = source.FCharset;
  FColor = source.FColor;
  FStyle = source.FStyle;
  Changed();
}

bool TFont::SameAs(const TFont& other) const {
  return FName == other.FName && FHeight == other.FHeight && FCharset == other.FCharset &&
         FColor == other.FColor && FStyle == other.FStyle;
}

void TFont::SetName(std::wstring_view name) {
  if (name == FName) return;
  FName = name;
  Changed();
}

void TFont::SetHeight(int height) {
  if (height == FHeight) return;
  FHeight = height;
  Changed();
}

int TFont::Size() const { return ::MulDiv(FHeight, 72, ScreenPixelsPerInch()); }

void TFont::SetSize(int points) { SetHeight(::MulDiv(points, ScreenPixelsPerInch(), 72)); }

void TFont::SetCharset(BYTE charset) {
  if (charset == FCharset) return;
  FCharset = charset;
  Changed();
}

void TFont::SetColor(TColor color) {
  if (color == FColor) return;
  FColor = color;
  // The colour is not part of the HFONT: no new handle, only the notification.
  if (OnChange) OnChange();
}

void TFont::SetStyle(TFontStyles style) {
  if (style == FStyle) return;
  FStyle = style;
  Changed();
}

void TFont::Changed() {
  FHandle.reset();
  if (OnChange) OnChange();
}

std::shared_ptr<const UniqueFont> TFont::SharedHandle() const {
  if (!FHandle) {
    LOGFONTW font{};
    font.lfHeight = -FHeight;
    font.lfWeight = (FStyle & fsBold) ? FW_BOLD : FW_NORMAL;
    font.lfItalic = (FStyle & fsItalic) ? TRUE : FALSE;
    font.lfUnderline = (FStyle & fsUnderline) ? TRUE : FALSE;
    font.lfStrikeOut = (FStyle & fsStrikeOut) ? TRUE : FALSE;
    font.lfCharSet = FCharset;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH;
    wcsncpy(font.lfFaceName, FName.c_str(), LF_FACESIZE - 1);
    HFONT handle = ::CreateFontIndirectW(&font);
    if (!handle) platform::ThrowLastError("CreateFontIndirectW");
    FHandle = std::make_shared<const UniqueFont>(handle);
  }
  return FHandle;
}

// ---- TBrush, TPen

void TBrush::SetColor(TColor color) {
  if (color == FColor) return;
  FColor = color;
  Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
  if (style == FStyle) return;
  FStyle = style;
  Changed();
}

void TBrush::Changed() {
  FHandle.reset();
  if (OnChange) OnChange();
}

HBRUSH TBrush::Handle() const {
  if (FStyle == bsClear) return static_cast<HBRUSH>(::GetStockObject(HOLLOW_BRUSH));
  return SharedHandle()->get();
}

std::shared_ptr<const UniqueBrush> TBrush::SharedHandle() const {
  if (!FHandle) {
    HBRUSH handle = FStyle == bsClear ? nullptr : ::CreateSolidBrush(ColorToRGB(FColor));
    if (FStyle != bsClear && !handle) platform::ThrowLastError("CreateSolidBrush");
    FHandle = std::make_shared<const UniqueBrush>(handle);
  }
  return FHandle;
}

void TPen::SetColor(TColor color) {
  if (color == FColor) return;
  FColor = color;
  Changed();
}

void TPen::SetWidth(int width) {
  if (width == FWidth) return;
  FWidth = width;
  Changed();
}

void TPen::SetStyle(TPenStyle style) {
  if (style == FStyle) return;
  FStyle = style;
  Changed();
}

void TPen::Changed() {
  FHandle.reset();
  if (OnChange) OnChange();
}

std::shared_ptr<const UniquePen> TPen::SharedHandle() const {
  if (!FHandle) {
    int style = FStyle == psDash ? PS_DASH : FStyle == psDot ? PS_DOT : FStyle == psClear ? PS_NULL : PS_SOLID;
    HPEN handle = ::CreatePen(style, FWidth, ColorToRGB(FColor));
    if (!handle) platform::ThrowLastError("CreatePen");
    FHandle = std::make_shared<const UniquePen>(handle);
  }
  return FHandle;
}

// ---- TCanvas

TCanvas::TCanvas() = default;

TCanvas::~TCanvas() { Deselect(); }

void TCanvas::SetHandle(HDC dc) {
  if (dc == FDC) return;
  Deselect();
  FDC = dc;
}

HDC TCanvas::Handle() {
  if (FDC) RequireState();
  return FDC;
}

void TCanvas::Deselect() {
  if (!FDC) return;
  if (FOriginalFont) ::SelectObject(FDC, FOriginalFont);
  if (FOriginalBrush) ::SelectObject(FDC, FOriginalBrush);
  if (FOriginalPen) ::SelectObject(FDC, FOriginalPen);
  FOriginalFont = FOriginalBrush = FOriginalPen = nullptr;
  // Only now may the objects be deleted (when no one else shares them).
  FSelectedFont.reset();
  FSelectedBrush.reset();
  FSelectedPen.reset();
  FDC = nullptr;
}

void TCanvas::RequireState() {
  auto font = FFont.SharedHandle();
  if (font != FSelectedFont) {
    HGDIOBJ old = ::SelectObject(FDC, font->get());
    if (!FOriginalFont) FOriginalFont = old;
    FSelectedFont = std::move(font);
  }
  HBRUSH brushHandle = FBrush.Handle();
  if (FBrush.Style() == bsClear) {
    HGDIOBJ old = ::SelectObject(FDC, brushHandle);
    if (!FOriginalBrush) FOriginalBrush = old;
    FSelectedBrush.reset();
  } else {
    auto brush = FBrush.SharedHandle();
    if (brush != FSelectedBrush) {
      HGDIOBJ old = ::SelectObject(FDC, brush->get());
      if (!FOriginalBrush) FOriginalBrush = old;
      FSelectedBrush = std::move(brush);
    }
  }
  auto pen = FPen.SharedHandle();
  if (pen != FSelectedPen) {
    HGDIOBJ old = ::SelectObject(FDC, pen->get());
    if (!FOriginalPen) FOriginalPen = old;
    FSelectedPen = std::move(pen);
  }
  ::SetTextColor(FDC, ColorToRGB(FFont.Color()));
  if (FBrush.Style() == bsClear) {
    ::SetBkMode(FDC, TRANSPARENT);
  } else {
    ::SetBkMode(FDC, OPAQUE);
    ::SetBkColor(FDC, ColorToRGB(FBrush.Color()));
  }
}

SIZE TCanvas::TextExtent(std::wstring_view text) {
  SIZE size{0, 0};
  HDC dc = Handle();
  if (!dc) return size;
  ::GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
  return size;
}

void TCanvas::TextOut(int x, int y, std::wstring_view text) {
  HDC dc = Handle();
  if (dc) ::TextOutW(dc, x, y, text.data(), static_cast<int>(text.size()));
}

int TCanvas::DrawText(std::wstring_view text, RECT& rect, UINT format) {
  HDC dc = Handle();
  if (!dc) return 0;
  return ::DrawTextW(dc, text.data(), static_cast<int>(text.size()), &rect, format);
}

void TCanvas::FillRect(const RECT& rect) {
  HDC dc = Handle();
  if (dc && FBrush.Style() != bsClear) ::FillRect(dc, &rect, FBrush.Handle());
}

void TCanvas::FrameRect(const RECT& rect) {
  HDC dc = Handle();
  if (dc && FBrush.Style() != bsClear) ::FrameRect(dc, &rect, FBrush.Handle());
}

void TCanvas::MoveTo(int x, int y) {
  HDC dc = Handle();
  if (dc) ::MoveToEx(dc, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
  HDC dc = Handle();
  if (dc) ::LineTo(dc, x, y);
}

TColor TCanvas::Pixels(int x, int y) {
  HDC dc = Handle();
  return dc ? static_cast<TColor>(::GetPixel(dc, x, y)) : clBlack;
}

void TCanvas::SetPixels(int x, int y, TColor color) {
  HDC dc = Handle();
  if (dc) ::SetPixelV(dc, x, y, ColorToRGB(color));
}

void TCanvas::DrawFocusRect(const RECT& rect) {
  HDC dc = Handle();
  if (!dc) return;
  // DrawFocusRect inverts with the text and background colours: black on white gives the
  // usual dotted frame whatever the font's colour.
  COLORREF text = ::SetTextColor(dc, RGB(0, 0, 0));
  COLORREF back = ::SetBkColor(dc, RGB(255, 255, 255));
  ::DrawFocusRect(dc, &rect);
  ::SetTextColor(dc, text);
  ::SetBkColor(dc, back);
}

namespace {

// Copies `source` onto `dest`, leaving out the pixels of the transparent colour: gdi32 alone,
// since msimg32 (TransparentBlt) is not a known DLL and could be taken from the program's folder.
void TransparentCopy(HDC dest, const RECT& to, HDC source, const RECT& from, COLORREF transparent) {
  const int width = to.right - to.left;
  const int height = to.bottom - to.top;
  const int sourceWidth = from.right - from.left;
  const int sourceHeight = from.bottom - from.top;
  if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0) return;

  // A stretched copy is first made at the target size, in the picture's own format, so that
  // the mask below compares the picture's exact colours.
  HDC picture = source;
  POINT origin{from.left, from.top};
  UniqueDC stretchedDC;
  UniqueBitmap stretched;
  std::optional<SelectedObject> stretchedSelection;
  if (width != sourceWidth || height != sourceHeight) {
    stretchedDC.reset(::CreateCompatibleDC(source));
    stretched.reset(::CreateCompatibleBitmap(source, width, height));
    if (!stretchedDC || !stretched) return;
    stretchedSelection.emplace(stretchedDC.get(), stretched.get());
    ::SetStretchBltMode(stretchedDC.get(), COLORONCOLOR);
    ::StretchBlt(stretchedDC.get(), 0, 0, width, height, source, from.left, from.top, sourceWidth,
                 sourceHeight, SRCCOPY);
    picture = stretchedDC.get();
    origin = {0, 0};
  }

  // Copying colour into monochrome sets the bits of the pixels in the background colour.
  UniqueDC maskDC(::CreateCompatibleDC(dest));
  UniqueBitmap mask(::CreateBitmap(width, height, 1, 1, nullptr));
  if (!maskDC || !mask) return;
  {
    SelectedObject maskSelection(maskDC.get(), mask.get());
    const COLORREF background = ::SetBkColor(picture, transparent);
    ::BitBlt(maskDC.get(), 0, 0, width, height, picture, origin.x, origin.y, SRCCOPY);
    ::SetBkColor(picture, background);
  }
  // A set mask bit keeps the target pixel, a clear one takes the picture's.
  constexpr DWORD kKeepTarget = 0x00AA0029;
  ::MaskBlt(dest, to.left, to.top, width, height, picture, origin.x, origin.y, mask.get(), 0, 0,
            MAKEROP4(kKeepTarget, SRCCOPY));
}

}  // namespace

void TCanvas::BrushCopy(const RECT& dest, TBitmap& bitmap, const RECT& source, TColor transparent) {
  HDC dc = Handle();
  if (!dc || bitmap.Empty()) return;
  if (FBrush.Style() != bsClear) ::FillRect(dc, &dest, FBrush.Handle());
  TransparentCopy(dc, dest, bitmap.Canvas().Handle(), source, ColorToRGB(transparent));
}

void TCanvas::Draw(int x, int y, TBitmap& bitmap) {
  HDC dc = Handle();
  if (!dc || bitmap.Empty()) return;
  ::BitBlt(dc, x, y, bitmap.Width(), bitmap.Height(), bitmap.Canvas().Handle(), 0, 0, SRCCOPY);
}

void TCanvas::Frame3D(RECT& rect, TColor topLeft, TColor bottomRight, int width) {
  HDC dc = Handle();
  if (!dc) return;
  UniqueBrush light(::CreateSolidBrush(ColorToRGB(topLeft)));
  UniqueBrush dark(::CreateSolidBrush(ColorToRGB(bottomRight)));
  for (int i = 0; i < width; ++i) {
    RECT top{rect.left, rect.top, rect.right - 1, rect.top + 1};
    RECT left{rect.left, rect.top, rect.left + 1, rect.bottom - 1};
    RECT right{rect.right - 1, rect.top, rect.right, rect.bottom};
    RECT bottom{rect.left, rect.bottom - 1, rect.right, rect.bottom};
    ::FillRect(dc, &top, light.get());
    ::FillRect(dc, &left, light.get());
    ::FillRect(dc, &right, dark.get());
    ::FillRect(dc, &bottom, dark.get());
    ::InflateRect(&rect, -1, -1);
  }
}

// ---- TBitmap

struct TBitmap::MemoryCanvas {
  UniqueDC DC;
  std::optional<SelectedObject> Selection;
  TCanvas Canvas;
};

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() { DropCanvas(); }

void TBitmap::DropCanvas() {
  if (!FCanvas) return;
  FCanvas->Canvas.SetHandle(nullptr);
  FCanvas->Selection.reset();
  FCanvas.reset();
}

void TBitmap::Changed() {
  if (OnChange) OnChange();
}

void TBitmap::SetHandle(HBITMAP bitmap) {
  if (bitmap && bitmap == FHandle.get()) return;
  DropCanvas();
  FHandle.reset(bitmap);
  FWidth = FHeight = 0;
  if (bitmap) {
    BITMAP info{};
    if (::GetObjectW(bitmap, sizeof(info), &info)) {
      FWidth = info.bmWidth;
      FHeight = std::abs(info.bmHeight);
    }
  }
  Changed();
}

HBITMAP TBitmap::ReleaseHandle() {
  DropCanvas();
  FWidth = FHeight = 0;
  return FHandle.release();
}

void TBitmap::LoadFromResourceName(HINSTANCE module, std::wstring_view name) {
  std::wstring text(name);
  HANDLE image = ::LoadImageW(module, text.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  if (!image) {
    const DWORD code = ::GetLastError();  // before the name's text is built
    throw platform::Win32Error("LoadImageW(\"" + platform::ToUtf8(text) + "\")", code);
  }
  SetHandle(static_cast<HBITMAP>(image));
}

void TBitmap::Assign(const TBitmap& source) {
  if (&source == this) return;
  if (source.Empty()) {
    SetHandle(nullptr);
    return;
  }
  HANDLE copy = ::CopyImage(source.Handle(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  if (!copy) platform::ThrowLastError("CopyImage");
  SetHandle(static_cast<HBITMAP>(copy));
}

void TBitmap::SetSize(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) platform::ThrowLastError("CreateDIBSection");
  SetHandle(bitmap);
}

TColor TBitmap::Pixel(int x, int y) { return Canvas().Pixels(x, y); }

TCanvas& TBitmap::Canvas() {
  if (!FCanvas) {
    auto canvas = std::make_unique<MemoryCanvas>();
    canvas->DC.reset(::CreateCompatibleDC(nullptr));
    if (!canvas->DC) platform::ThrowLastError("CreateCompatibleDC");
    if (FHandle) canvas->Selection.emplace(canvas->DC.get(), FHandle.get());
    canvas->Canvas.SetHandle(canvas->DC.get());
    FCanvas = std::move(canvas);
  }
  return FCanvas->Canvas;
}

}  // namespace zarvo::toolkit
