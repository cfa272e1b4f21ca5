// Drawing objects: TFont, TBrush, TPen, the TCanvas over a device context, and the TBitmap
// picture object.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "toolkit/Handles.h"
#include "toolkit/Types.h"

namespace zarvo::toolkit {

// The screen's logical pixels per inch (GetDeviceCaps LOGPIXELSY of the screen).
int ScreenPixelsPerInch();

// A font description and its HFONT, made on demand and shared with the canvases that have it
// selected, so a change never deletes a font that a device context still holds.
class TFont {
public:
  TFont();  // the system's user-interface font
  TFont(const TFont&) = delete;
  TFont& operator=(const TFont&) = delete;

  // Copies every attribute (not OnChange); one change notification when anything differs.
  void Assign(const TFont& source);
  bool SameAs(const TFont& other) const;

  const std::wstring& Name() const { return FName; }
  void SetName(std::wstring_view name);
  // The character height in pixels (the cell height less internal leading).
  int Height() const { return FHeight; }
  void SetHeight(int height);
  // Points at the screen's pixels per inch.
  int Size() const;
  void SetSize(int points);
  BYTE Charset() const { return FCharset; }
  void SetCharset(BYTE charset);
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles style);

  HFONT Handle() const { return SharedHandle()->get(); }
  std::shared_ptr<const UniqueFont> SharedHandle() const;

  std::function<void()> OnChange;

private:
  void Changed();

  std::wstring FName;
  int FHeight;
  BYTE FCharset = DEFAULT_CHARSET;
  TColor FColor = clWindowText;
  TFontStyles FStyle = 0;
  mutable std::shared_ptr<const UniqueFont> FHandle;
};

class TBrush {
public:
  TBrush() = default;
  TBrush(const TBrush&) = delete;
  TBrush& operator=(const TBrush&) = delete;
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle style);
  // A solid brush of Color; the hollow stock brush for bsClear.
  HBRUSH Handle() const;
  std::shared_ptr<const UniqueBrush> SharedHandle() const;
  std::function<void()> OnChange;

private:
  void Changed();
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
  mutable std::shared_ptr<const UniqueBrush> FHandle;
};

class TPen {
public:
  TPen() = default;
  TPen(const TPen&) = delete;
  TPen& operator=(const TPen&) = delete;
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  int Width() const { return FWidth; }
  void SetWidth(int width);
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle style);
  HPEN Handle() const { return SharedHandle()->get(); }
  std::shared_ptr<const UniquePen> SharedHandle() const;
  std::function<void()> OnChange;

private:
  void Changed();
  TColor FColor = clBlack;
  int FWidth = 1;
  TPenStyle FStyle = psSolid;
  mutable std::shared_ptr<const UniquePen> FHandle;
};

class TBitmap;

// Draws on a borrowed device context with its own font, brush and pen. Handle() selects them
// into the context (text colour = Font's colour; opaque text background in the brush's colour
// unless the brush is bsClear); detaching puts the context's own objects back.
class TCanvas {
public:
  TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;
  ~TCanvas();

  HDC Handle();
  void SetHandle(HDC dc);
  bool HandleAllocated() const { return FDC != nullptr; }

  TFont& Font() { return FFont; }
  TBrush& Brush() { return FBrush; }
  TPen& Pen() { return FPen; }

  SIZE TextExtent(std::wstring_view text);
  int TextWidth(std::wstring_view text) { return TextExtent(text).cx; }
  int TextHeight(std::wstring_view text) { return TextExtent(text).cy; }
  void TextOut(int x, int y, std::wstring_view text);
  // DrawTextW with this canvas's font and colours; returns the text height.
  int DrawText(std::wstring_view text, RECT& rect, UINT format);
  void FillRect(const RECT& rect);
  void FrameRect(const RECT& rect);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  TColor Pixels(int x, int y);
  void SetPixels(int x, int y, TColor color);
  void DrawFocusRect(const RECT& rect);
  // Copies `source` (a part of `bitmap`) to `dest`, leaving out the pixels of colour
  // `transparent`; with a solid brush those pixels take the brush's colour instead.
  void BrushCopy(const RECT& dest, TBitmap& bitmap, const RECT& source, TColor transparent);
  // Copies the whole bitmap to (x, y).
  void Draw(int x, int y, TBitmap& bitmap);
  // A 3-D frame of `width` pixels just inside `rect`, which then shrinks by it.
  void Frame3D(RECT& rect, TColor topLeft, TColor bottomRight, int width);

private:
  void RequireState();
  void Deselect();

  HDC FDC = nullptr;
  TFont FFont;
  TBrush FBrush;
  TPen FPen;
  HGDIOBJ FOriginalFont = nullptr;
  HGDIOBJ FOriginalBrush = nullptr;
  HGDIOBJ FOriginalPen = nullptr;
  std::shared_ptr<const UniqueFont> FSelectedFont;
  std::shared_ptr<const UniqueBrush> FSelectedBrush;
  std::shared_ptr<const UniquePen> FSelectedPen;
};

// A picture: owns one HBITMAP and offers a canvas (a memory device context with it selected).
class TBitmap {
public:
  TBitmap();
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;
  ~TBitmap();

  // Loads the RT_BITMAP resource `name` of `module` (names ignore case); throws when it fails.
  void LoadFromResourceName(HINSTANCE module, std::wstring_view name);
  // A copy of another picture's pixels; an empty source empties this one.
  void Assign(const TBitmap& source);
  // Takes ownership of `bitmap`, releasing the picture held before.
  void SetHandle(HBITMAP bitmap);
  HBITMAP Handle() const { return FHandle.get(); }
  HBITMAP ReleaseHandle();
  bool Empty() const { return !FHandle; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  // A new 24-bit picture of this size, black.
  void SetSize(int width, int height);
  TColor Pixel(int x, int y);
  TCanvas& Canvas();

  std::function<void()> OnChange;

private:
  struct MemoryCanvas;
  void DropCanvas();
  void Changed();

  UniqueBitmap FHandle;
  int FWidth = 0;
  int FHeight = 0;
  std::unique_ptr<MemoryCanvas> FCanvas;
};

}  // namespace zarvo::toolkit
