// TControl: state, notifications, mouse handling and painting requests shared by windowed and
// windowless controls.
#include "toolkit/Control.h"

#include "toolkit/Application.h"
#include "toolkit/FlagScope.h"
#include "toolkit/Form.h"
#include "toolkit/WinControl.h"

namespace zarvo::toolkit {

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
  FFont.OnChange = [this] { FontAttributesChanged(); };
}

TControl::~TControl() {
  BeginDestruction();
  FFont.OnChange = nullptr;
  Application().ControlDestroyed(this);
  if (FParent) FParent->RemoveControl(this);
}

void TControl::SetParent(TWinControl* AParent) {
  if (AParent == FParent) return;
  for (TControl* up = AParent; up; up = up->FParent) {
    if (up == this) throw std::logic_error("a control cannot be its own parent");
  }
  // Leave and exit handlers run as the control leaves its parent; they may destroy either.
  TWeakRef self(this);
  TWeakRef target(AParent);
  if (FParent) FParent->RemoveControl(this);
  if (self && target) AParent->InsertControl(this);
}

TForm* TControl::ParentForm() const {
  const TControl* outermost = this;
  while (outermost->FParent) outermost = outermost->FParent;
  return dynamic_cast<TForm*>(const_cast<TControl*>(outermost));
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (AWidth < 0) AWidth = 0;
  if (AHeight < 0) AHeight = 0;
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  bool showing = FParent && FVisible && FParent->HandleAllocated();
  RECT old = BoundsRect();
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  if (showing) {
    RECT now = BoundsRect();
    ::InvalidateRect(FParent->Handle(), &old, TRUE);
    ::InvalidateRect(FParent->Handle(), &now, TRUE);
  }
  RequestAlign();
}

void TControl::UpdateBoundsFromWindow(int ALeft, int ATop, int AWidth, int AHeight) {
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
}

void TControl::RequestAlign() {
  if (FParent && FAlign != alNone) FParent->Realign();
}

RECT TControl::ClientRect() const { return {0, 0, FWidth, FHeight}; }

int TControl::ClientWidth() const {
  RECT rect = ClientRect();
  return rect.right - rect.left;
}

int TControl::ClientHeight() const {
  RECT rect = ClientRect();
  return rect.bottom - rect.top;
}

void TControl::SetClientSize(int width, int height) { SetBounds(FLeft, FTop, width, height); }

POINT TControl::ClientToScreen(POINT point) const {
  if (auto* windowed = dynamic_cast<const TWinControl*>(this); windowed && windowed->HandleAllocated()) {
    ::ClientToScreen(const_cast<TWinControl*>(windowed)->Handle(), &point);
    return point;
  }
  POINT inParent{point.x + FLeft, point.y + FTop};
  return FParent ? FParent->ClientToScreen(inParent) : inParent;
}

POINT TControl::ScreenToClient(POINT point) const {
  POINT origin = ClientToScreen({0, 0});
  return {point.x - origin.x, point.y - origin.y};
}

void TControl::SetAlign(TAlign value) {
  if (value == FAlign) return;
  FAlign = value;
  if (FParent) FParent->Realign();
}

void TControl::SetVisible(bool value) {
  if (value == FVisible) return;
  FVisible = value;
  // Hiding moves the focus: an exit handler may destroy the control.
  TWeakRef self(this);
  Perform(TM_VISIBLECHANGED);
  if (self) RequestAlign();
}

bool TControl::Showing() const {
  for (const TControl* control = this; control; control = control->FParent) {
    if (!control->FVisible) return false;
  }
  return true;
}

void TControl::SetEnabled(bool value) {
  if (value == FEnabled) return;
  FEnabled = value;
  Perform(TM_ENABLEDCHANGED);
}

void TControl::SetCaption(std::wstring_view value) {
  if (value == Caption()) return;
  FCaption = value;
  Perform(TM_TEXTCHANGED);
}

void TControl::FontAttributesChanged() {
  if (!FTakingParentFont) FParentFont = false;
  Perform(TM_FONTCHANGED);
}

void TControl::SetParentFont(bool value) {
  if (value == FParentFont) return;
  FParentFont = value;
  if (value) TakeParentFont();
}

void TControl::TakeParentFont() {
  if (!FParent) return;
  FlagScope taking(FTakingParentFont);
  FFont.Assign(FParent->Font());
}

void TControl::SetColor(TColor value) {
  FParentColor = false;
  if (value == FColor) return;
  FColor = value;
  Perform(TM_COLORCHANGED);
}

void TControl::SetParentColor(bool value) {
  if (value == FParentColor) return;
  FParentColor = value;
  if (value) TakeParentColor();
}

void TControl::TakeParentColor() {
  if (!FParent || FParent->Color() == FColor) return;
  FColor = FParent->Color();
  Perform(TM_COLORCHANGED);
}

void TControl::SetCursor(TCursor value) { FCursor = value; }

bool TControl::ShowHint() const {
  if (FParentShowHint && FParent) return FParent->ShowHint();
  return FShowHint;
}

void TControl::SetShowHint(bool value) {
  FShowHint = value;
  FParentShowHint = false;
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage message{Msg, WParam, LParam, 0};
  WndProc(message);
  return message.Result;
}

void TControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      if (HandleMouseMessage(Message)) DefaultHandler(Message);
      return;
    case WM_LBUTTONDBLCLK:
      WMLButtonDblClk(Message);
      return;
    case TM_MOUSEENTER:
      MouseEnter(Message);
      return;
    case TM_MOUSELEAVE:
      MouseLeave(Message);
      return;
    case TM_ENABLEDCHANGED:
      EnabledChanged(Message);
      return;
    case TM_VISIBLECHANGED:
      VisibleChanged(Message);
      return;
    case TM_FONTCHANGED:
      FontChanged(Message);
      return;
    case TM_TEXTCHANGED:
      TextChanged(Message);
      return;
    case TM_COLORCHANGED:
      ColorChanged(Message);
      return;
    case TM_PARENTCOLORCHANGED:
      ParentColorChanged(Message);
      return;
    case TM_PARENTFONTCHANGED:
      ParentFontChanged(Message);
      return;
    case TM_DIALOGKEY:
      DialogKey(Message);
      return;
    case TM_DIALOGCHAR:
      DialogChar(Message);
      return;
    case TM_WANTSPECIALKEY:
      WantSpecialKey(Message);
      return;
    default:
      DefaultHandler(Message);
  }
}

void TControl::DefaultHandler(TMessage& Message) { Message.Result = 0; }

bool TControl::HandleMouseMessage(TMessage& Message) {
  // Every step below may run handlers that destroy the control: after each one only a control
  // that is still there goes on.
  TWeakRef self(this);
  POINT point = PointFromLParam(Message.LParam);
  TShiftState shift = ShiftStateFromMouse(Message.WParam);
  switch (Message.Msg) {
    case WM_MOUSEMOVE:
      MouseMove(shift, point.x, point.y);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      // A double click is a second press of its own and arms no click for its release; a
      // control that does not take double clicks gets it as a plain press.
      const bool asDouble = Message.Msg == WM_LBUTTONDBLCLK && (FControlStyle & csDoubleClicks);
      if (asDouble) shift |= ssDouble;
      // Taking the capture tells the window that had it.
      if (FControlStyle & csCaptureMouse) MouseCapture(true);
      if (!self) return false;
      if (!asDouble && (FControlStyle & csClickEvents)) FClicked = true;
      MouseDown(mbLeft, shift, point.x, point.y);
      break;
    }
    case WM_LBUTTONUP: {
      // The capture's release reaches the window's handlers (WM_CAPTURECHANGED).
      if (FControlStyle & csCaptureMouse) MouseCapture(false);
      if (!self) return false;
      bool clicked = FClicked;
      FClicked = false;
      RECT client{0, 0, FWidth, FHeight};
      if (clicked && ::PtInRect(&client, point)) {
        Click();
        if (!self) return false;
      }
      MouseUp(mbLeft, shift, point.x, point.y);
      break;
    }
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      MouseDown(mbRight, Message.Msg == WM_RBUTTONDBLCLK ? shift | ssDouble : shift, point.x, point.y);
      break;
    case WM_RBUTTONUP:
      MouseUp(mbRight, shift, point.x, point.y);
      break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      MouseDown(mbMiddle, Message.Msg == WM_MBUTTONDBLCLK ? shift | ssDouble : shift, point.x, point.y);
      break;
    case WM_MBUTTONUP:
      MouseUp(mbMiddle, shift, point.x, point.y);
      break;
  }
  return static_cast<bool>(self);
}

void TControl::MouseCapture(bool capture) {
  if (auto* windowed = dynamic_cast<TWinControl*>(this)) {
    if (!windowed->HandleAllocated()) return;
    if (capture)
      ::SetCapture(windowed->Handle());
    else if (::GetCapture() == windowed->Handle())
      ::ReleaseCapture();
    return;
  }
  if (!FParent || !FParent->HandleAllocated()) return;
  if (capture) {
    FParent->FCaptureControl = this;
    ::SetCapture(FParent->Handle());
  } else if (FParent->FCaptureControl == this) {
    FParent->FCaptureControl = nullptr;
    if (::GetCapture() == FParent->Handle()) ::ReleaseCapture();
  }
}

void TControl::WMLButtonDblClk(TMessage& Message) {
  if (HandleMouseMessage(Message)) DefaultHandler(Message);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  CallEvent(OnMouseDown, this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  CallEvent(OnMouseUp, this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) { CallEvent(OnMouseMove, this, Shift, X, Y); }

void TControl::Click() { CallEvent(OnClick, this); }

void TControl::NotifyMouseEnter() {
  if (FMouseInControl) return;
  FMouseInControl = true;
  TWeakRef self(this);
  Perform(TM_MOUSEENTER);
  // A hint armed for a control that its enter handler destroyed would outlive it.
  if (self) Application().HintMouseEnter(this);
}

void TControl::NotifyMouseLeave() {
  if (!FMouseInControl) return;
  FMouseInControl = false;
  TWeakRef self(this);
  Perform(TM_MOUSELEAVE);
  if (self) Application().HintMouseLeave(this);
}

void TControl::MouseEnter(TMessage&) {}
void TControl::MouseLeave(TMessage&) {}
void TControl::EnabledChanged(TMessage&) { Invalidate(); }

void TControl::VisibleChanged(TMessage&) {
  if (FParent && FParent->HandleAllocated()) {
    RECT area = BoundsRect();
    ::InvalidateRect(FParent->Handle(), &area, TRUE);
  }
}

void TControl::FontChanged(TMessage&) { Invalidate(); }
void TControl::TextChanged(TMessage&) { Invalidate(); }
void TControl::ColorChanged(TMessage&) { Invalidate(); }

void TControl::ParentColorChanged(TMessage&) {
  if (FParentColor) TakeParentColor();
}

void TControl::ParentFontChanged(TMessage&) {
  if (FParentFont) TakeParentFont();
}

void TControl::DialogKey(TMessage&) {}
void TControl::DialogChar(TMessage&) {}
void TControl::WantSpecialKey(TMessage&) {}

void TControl::Repaint() {
  if (!FVisible || !FParent || !FParent->HandleAllocated()) return;
  RECT area = BoundsRect();
  HWND parent = FParent->Handle();
  ::InvalidateRect(parent, &area, (FControlStyle & csOpaque) ? FALSE : TRUE);
  ::UpdateWindow(parent);
}

void TControl::Invalidate() {
  if (!FVisible || !FParent || !FParent->HandleAllocated()) return;
  RECT area = BoundsRect();
  ::InvalidateRect(FParent->Handle(), &area, (FControlStyle & csOpaque) ? FALSE : TRUE);
}

void TControl::PaintTo(HDC dc, int x, int y) {
  SavedDC saved(dc);
  POINT origin;
  ::GetViewportOrgEx(dc, &origin);
  ::SetViewportOrgEx(dc, origin.x + x, origin.y + y, nullptr);
  ::IntersectClipRect(dc, 0, 0, FWidth, FHeight);
  Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
}

}  // namespace zarvo::toolkit
