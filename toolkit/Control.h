// TControl: the base of every control, windowed or not: parent, bounds, docking, visibility,
// enabled state, caption, font, colour, cursor, hint, mouse events, painting requests and the
// toolkit's notifications as messages.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "toolkit/Component.h"
#include "toolkit/Graphics.h"
#include "toolkit/Messages.h"
#include "toolkit/Types.h"

namespace zarvo::toolkit {

class TWinControl;
class TForm;

class TControl : public TComponent {
public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;
  std::wstring_view ClassName() const override { return L"TControl"; }

  TWinControl* Parent() const { return FParent; }
  // Moves the control into AParent's children (last in child order); nullptr takes it out.
  virtual void SetParent(TWinControl* AParent);
  // The outermost parent when it is a form, else nullptr.
  TForm* ParentForm() const;

  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetLeft(int value) { SetBounds(value, FTop, FWidth, FHeight); }
  void SetTop(int value) { SetBounds(FLeft, value, FWidth, FHeight); }
  void SetWidth(int value) { SetBounds(FLeft, FTop, value, FHeight); }
  void SetHeight(int value) { SetBounds(FLeft, FTop, FWidth, value); }
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  RECT BoundsRect() const { return {FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
  // The control's own coordinates: (0, 0, width, height) of its client area.
  virtual RECT ClientRect() const;
  int ClientWidth() const;
  int ClientHeight() const;
  virtual void SetClientSize(int width, int height);
  POINT ClientToScreen(POINT point) const;
  POINT ScreenToClient(POINT point) const;

  // Docking in the parent: top, bottom, left, right edge at full width or height, or the rest.
  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign value);

  bool Visible() const { return FVisible; }
  void SetVisible(bool value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, and every parent visible (a form: its window shown).
  bool Showing() const;
  bool Enabled() const { return FEnabled; }
  // Sends TM_ENABLEDCHANGED when the state changes.
  virtual void SetEnabled(bool value);

  // A windowed control's caption is its window text.
  virtual std::wstring Caption() const { return FCaption; }
  void SetCaption(std::wstring_view value);
  std::wstring Text() const { return Caption(); }
  void SetText(std::wstring_view value) { SetCaption(value); }

  // Changing the font (or any attribute of it) clears ParentFont.
  TFont& Font() { return FFont; }
  const TFont& Font() const { return FFont; }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool value);
  TColor Color() const { return FColor; }
  void SetColor(TColor value);  // clears ParentColor
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool value);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor value);
  const std::wstring& Hint() const { return FHint; }
  void SetHint(std::wstring_view value) { FHint = value; }
  // The control's own setting, or its parent's while ParentShowHint is on.
  bool ShowHint() const;
  void SetShowHint(bool value);  // clears ParentShowHint
  bool ParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool value) { FParentShowHint = value; }

  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle value) { FControlStyle = value; }

  // Sends the message to the control's WndProc at once, windowed or not, and returns Result.
  LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
  virtual void WndProc(TMessage& Message);
  // What happens to a message nobody handles: nothing (Result 0) for a windowless control, the
  // window class's procedure for a windowed one.
  virtual void DefaultHandler(TMessage& Message);

  // Paints the control before returning (its window, or its area of the parent's window).
  virtual void Repaint();
  // Marks the control for painting at the next opportunity.
  virtual void Invalidate();
  // Paints the control (and what it holds) into `dc` with its top-left corner at (x, y).
  virtual void PaintTo(HDC dc, int x, int y);

  // Raised from the toolkit's notifications; public so a parent can forward mouse input.
  void NotifyMouseEnter();
  void NotifyMouseLeave();
  bool MouseInControl() const { return FMouseInControl; }

  // Runs OnClick; descendants run their own action first and this after it.
  virtual void Click();

  TNotifyEvent OnClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;

protected:
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);

  // The toolkit's notifications, each dispatched from WndProc.
  virtual void MouseEnter(TMessage& Message);
  virtual void MouseLeave(TMessage& Message);
  virtual void EnabledChanged(TMessage& Message);
  virtual void VisibleChanged(TMessage& Message);
  virtual void FontChanged(TMessage& Message);
  virtual void TextChanged(TMessage& Message);
  virtual void ColorChanged(TMessage& Message);
  virtual void ParentColorChanged(TMessage& Message);
  virtual void ParentFontChanged(TMessage& Message);
  // Enter, Escape (and Tab at the form): Result != 0 takes the key.
  virtual void DialogKey(TMessage& Message);
  // An accelerator character: Result != 0 takes it.
  virtual void DialogChar(TMessage& Message);
  virtual void WantSpecialKey(TMessage& Message);
  // Win32 mouse messages the control receives (forwarded by the parent when windowless).
  virtual void WMLButtonDblClk(TMessage& Message);

  // Keeps the stored bounds without moving anything (a window that moved itself).
  void UpdateBoundsFromWindow(int ALeft, int ATop, int AWidth, int AHeight);
  // Asks the parent to dock its children again.
  void RequestAlign();
  // The area of the parent's window the control covers, in the parent's client coordinates.
  RECT ParentArea() const { return BoundsRect(); }
  void MouseCapture(bool capture);
  // Copies the parent's font / colour while ParentFont / ParentColor are on.
  void TakeParentFont();
  void TakeParentColor();

  TControlStyle FControlStyle = csCaptureMouse | csClickEvents | csDoubleClicks;

private:
  friend class TWinControl;
  // False when a handler destroyed the control.
  bool HandleMouseMessage(TMessage& Message);
  void FontAttributesChanged();

  TWinControl* FParent = nullptr;
  int FLeft = 0;
  int FTop = 0;
  int FWidth = 0;
  int FHeight = 0;
  TAlign FAlign = alNone;
  bool FVisible = true;
  bool FEnabled = true;
  std::wstring FCaption;
  TFont FFont;
  bool FParentFont = true;
  bool FTakingParentFont = false;
  TColor FColor = clWindow;
  bool FParentColor = false;
  TCursor FCursor = crDefault;
  std::wstring FHint;
  bool FShowHint = false;
  bool FParentShowHint = true;
  bool FMouseInControl = false;
  bool FClicked = false;

protected:
  // The text as stored in the object; a windowed control keeps it in step with its window.
  std::wstring& StoredCaption() { return FCaption; }
};

// (x, y) of a mouse message's lParam.
inline POINT PointFromLParam(LPARAM lParam) {
  return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}
inline LPARAM LParamFromPoint(POINT point) {
  return MAKELPARAM(static_cast<WORD>(static_cast<short>(point.x)), static_cast<WORD>(static_cast<short>(point.y)));
}

}  // namespace zarvo::toolkit
