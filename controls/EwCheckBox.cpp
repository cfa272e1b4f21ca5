// The picture-drawn check box: its setters, input handling and painting.
#include "controls/EwCheckBox.h"

#include <algorithm>
#include <string>

#include "toolkit/Handles.h"
#include "toolkit/Messages.h"

namespace zarvo::controls {

using namespace zarvo::toolkit;

namespace {

// The character after the caption's "&" ("&&" shows an "&" and marks nothing); 0 for none.
wchar_t AcceleratorOf(const std::wstring& caption) {
  wchar_t accelerator = 0;
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != L'&') continue;
    ++i;
    if (caption[i] != L'&') accelerator = caption[i];
  }
  return accelerator;
}

wchar_t UpperCase(wchar_t character) {
  wchar_t text[2] = {character, 0};
  ::CharUpperBuffW(text, 1);
  return text[0];
}

bool IsAccelerator(WPARAM character, const std::wstring& caption) {
  wchar_t accelerator = AcceleratorOf(caption);
  return accelerator != 0 && UpperCase(static_cast<wchar_t>(character)) == UpperCase(accelerator);
}

const wchar_t* BoxPictureName(bool flat, bool round, bool enabled) {
  if (flat) {
    if (round) return enabled ? L"BlankFlatRound" : L"DisabledFlatRound";
    return enabled ? L"BlankFlat" : L"DisabledFlat";
  }
  if (round) return enabled ? L"BlankRound" : L"DisabledRound";
  return enabled ? L"Blank" : L"Disabled";
}

const wchar_t* MarkPictureName(TImageType glyph) {
  switch (glyph) {
    case igCross:
      return L"ImCross";
    case igRound:
      return L"ImRound";
    case igCheck:
      break;
  }
  return L"ImCheck";
}

}  // namespace

TEwCustomCheck::TEwCustomCheck(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(ControlStyle() | csReplicatable);
  SetBounds(0, 0, 97, 19);
  VChecked = false;
  VColor = clBtnFace;
  // The window erases in the fill colour too, so a repaint does not flash another colour first.
  TCustomControl::SetColor(clBtnFace);
  VLeft = taRightJustify;
  VGlyph = igCheck;
  VMargine = bmNone;
  VHot = false;
  VHotColor = clWindow;
  Index = 0;
  VFlat = false;
  VRound = false;
  VShowFocused = true;
  SetTabStop(true);
}

TEwCustomCheck::~TEwCustomCheck() = default;

// ---- properties

void TEwCustomCheck::SetTransparent(bool Value) {
  if (Value == VTransparent) return;
  VTransparent = Value;
  Repaint();
}

void TEwCustomCheck::SetShowFocused(bool Value) {
  if (Value == VShowFocused) return;
  VShowFocused = Value;
}

void TEwCustomCheck::SetFlat(bool Value) {
  if (Value == VFlat) return;
  VFlat = Value;
  Repaint();
}

void TEwCustomCheck::SetRound(bool Value) {
  if (Value == VRound) return;
  VRound = Value;
  SetGlyph(Value ? igRound : igCheck);
  Repaint();
}

void TEwCustomCheck::SetHot(bool Value) {
  if (Value == VHot) return;
  VHot = Value;
  Repaint();
}

void TEwCustomCheck::SetHotColor(TColor Value) {
  if (Value == VHotColor) return;
  VHotColor = Value;
  Repaint();
}

void TEwCustomCheck::SetChecked(bool Value) {
  VChecked = Value;
  Invalidate();
  if (!Value || !VRound || !Parent()) return;
  TWinControl* parent = Parent();
  for (int i = 0; i < parent->ControlCount(); ++i) {
    auto* other = dynamic_cast<TEwCheckBox*>(parent->Controls(i));
    if (other && other->Round() && other != this) other->SetChecked(false);
  }
}

void TEwCustomCheck::SetAlignment(TAlignment Value) {
  if (Value == VLeft) return;
  VLeft = Value;
  RecreateWnd();
}

void TEwCustomCheck::SetGlyph(TImageType Value) {
  if (Value == VGlyph) return;
  VGlyph = Value;
  RecreateWnd();
}

void TEwCustomCheck::SetStyle(TMargine Value) {
  if (Value == VMargine) return;
  VMargine = Value;
  Invalidate();
}

void TEwCustomCheck::SetColor(TColor Value) {
  if (Value == VColor) return;
  VColor = Value;
  TCustomControl::SetColor(Value);
  Repaint();
}

// ---- input

// Handlers run from here (OnClick, OnEnter, OnExit ...) may destroy the box: after each call
// that runs one, only a box that is still there goes on.

void TEwCustomCheck::FireClickEvent() { CallEvent(OnClick, this); }

void TEwCustomCheck::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button != mbLeft || !Enabled()) return;
  TWeakRef self(this);
  SetFocus();
  if (!self) return;
  // A round box is cleared only by checking another one of its group.
  if (VChecked && !VRound)
    SetChecked(false);
  else
    SetChecked(true);
  Repaint();
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TEwCustomCheck::WMLButtonDblClk(TMessage& Message) {
  TWeakRef self(this);
  TCustomControl::WMLButtonDblClk(Message);
  if (self) Click();
}

void TEwCustomCheck::KeyDown(WORD& Key, TShiftState Shift) {
  TWeakRef self(this);
  if (Key == VK_RETURN) FireClickEvent();
  if (self) TCustomControl::KeyDown(Key, Shift);
}

void TEwCustomCheck::DialogChar(TMessage& Message) {
  if (IsAccelerator(Message.WParam, Caption()) && CanFocus()) {
    TWeakRef self(this);
    Click();
    Message.Result = 1;
    if (!self) return;
    SetFocus();
    if (!self) return;
    SetChecked(!VChecked);
    return;
  }
  TCustomControl::DialogChar(Message);
}

// ---- notifications

void TEwCustomCheck::WMSetFocus(TMessage& Message) {
  TWeakRef self(this);
  TCustomControl::WMSetFocus(Message);
  if (self) Repaint();
}

void TEwCustomCheck::WMKillFocus(TMessage& Message) {
  TWeakRef self(this);
  TCustomControl::WMKillFocus(Message);
  if (self) Repaint();
}

void TEwCustomCheck::MouseEnter(TMessage&) {
  if (!Enabled()) return;
  if (VHot) {
    Index = 1;
    Repaint();
  }
  CallEvent(VOnMouseOver, this);
}

void TEwCustomCheck::MouseLeave(TMessage&) {
  if (!Enabled()) return;
  if (VHot) {
    Index = 0;
    Repaint();
  }
  CallEvent(VOnMouseOut, this);
}

void TEwCustomCheck::EnabledChanged(TMessage& Message) {
  TCustomControl::EnabledChanged(Message);
  Invalidate();
}

void TEwCustomCheck::ParentColorChanged(TMessage& Message) {
  TCustomControl::ParentColorChanged(Message);
  Invalidate();
}

void TEwCustomCheck::TextChanged(TMessage& Message) {
  TCustomControl::TextChanged(Message);
  Invalidate();
}

void TEwCustomCheck::VisibleChanged(TMessage& Message) {
  TCustomControl::VisibleChanged(Message);
  Invalidate();
}

void TEwCustomCheck::FontChanged(TMessage& Message) {
  TCustomControl::FontChanged(Message);
  Invalidate();
}

// ---- painting

TEwCustomCheck::TCaptionLayout TEwCustomCheck::LayoutCaption() {
  TCaptionLayout layout{};
  layout.Size = Canvas().TextExtent(Caption());
  layout.Top = R.top + (R.bottom - R.top - layout.Size.cy) / 2;
  switch (VLeft) {
    case taLeftJustify:
      layout.Left = R.left + 2;
      break;
    case taRightJustify:
      layout.Left = R.left + 22;
      break;
    case taCenter: {
      // Box and caption side by side as one group in the middle; a group wider than the
      // control starts at the left.
      int room = (R.right - R.left) - (24 + layout.Size.cx);
      layout.Left = R.left + std::max(room / 2, 0) + 22;
      break;
    }
  }
  return layout;
}

int TEwCustomCheck::BoxLeft() {
  switch (VLeft) {
    case taLeftJustify:
      return R.right - 18;
    case taRightJustify:
      break;
    case taCenter:
      return LayoutCaption().Left - 20;
  }
  return R.left + 2;
}

void TEwCustomCheck::Paint() {
  TCustomControl::Paint();
  PaintBackground();
  if (VTransparent) PaintParentImage(this, Canvas());
  if (VShowFocused && Focused()) {
    TCaptionLayout layout = LayoutCaption();
    // However many "&" the caption holds, the rectangle narrows by one: the prefix that DrawText
    // hides.
    int ampersand = Caption().find(L'&') != std::wstring::npos ? Canvas().TextWidth(L"&") : 0;
    RECT focus{layout.Left, layout.Top, layout.Left + layout.Size.cx - ampersand + 3, layout.Top + layout.Size.cy};
    ::InflateRect(&focus, 1, 1);
    Canvas().DrawFocusRect(focus);
  }
  PaintCaption();
  PaintBoxPicture();
  if (VChecked) PaintMarkPicture();
}

void TEwCustomCheck::PaintBackground() {
  R = ClientRect();
  TCanvas& canvas = Canvas();
  canvas.Brush().SetColor(VColor);
  canvas.Brush().SetStyle(bsSolid);
  switch (VMargine) {
    case bmNone:
      break;
    case bmLowered:
      canvas.Frame3D(R, clBtnShadow, clBtnHighlight, 1);
      break;
    case bmRaised:
      canvas.Frame3D(R, clBtnHighlight, clBtnShadow, 1);
      break;
  }
  canvas.FillRect(R);
}

void TEwCustomCheck::PaintParentImage(TControl* Control, TCanvas& Canvas) {
  TWinControl* parent = Control->Parent();
  if (!parent) return;
  HDC dc = Canvas.Handle();
  SavedDC saved(dc);
  POINT origin{0, 0};
  ::GetViewportOrgEx(dc, &origin);
  ::SetViewportOrgEx(dc, origin.x - Control->Left(), origin.y - Control->Top(), nullptr);
  ::IntersectClipRect(dc, 0, 0, parent->ClientWidth(), parent->ClientHeight());
  parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
}

void TEwCustomCheck::PaintCaption() {
  TCanvas& canvas = Canvas();
  canvas.Font().Assign(Font());
  if (VHot && Index == 1) canvas.Font().SetColor(VHotColor);
  canvas.Brush().SetStyle(bsClear);
  TCaptionLayout layout = LayoutCaption();
  CaptRect = {layout.Left, layout.Top, layout.Left + layout.Size.cx, layout.Top + layout.Size.cy};
  if (!Enabled()) PaintDisabledCaption();
  RECT rect = CaptRect;
  canvas.DrawText(Caption(), rect, static_cast<UINT>(BiDiFlags));
}

void TEwCustomCheck::PaintDisabledCaption() {
  TCanvas& canvas = Canvas();
  canvas.Font().Assign(Font());
  canvas.Brush().SetStyle(bsClear);
  std::wstring caption = Caption();
  RECT rect = CaptRect;
  canvas.DrawText(caption, rect, static_cast<UINT>(BiDiFlags));
  canvas.Font().SetColor(VHotColor);
  rect = CaptRect;
  ::OffsetRect(&rect, 1, 1);
  canvas.DrawText(caption, rect, static_cast<UINT>(BiDiFlags));
  canvas.Font().SetColor(clBtnShadow);
}

void TEwCustomCheck::CopyPicture(const wchar_t* Name) {
  VBitmap.SetHandle(::LoadBitmapW(::GetModuleHandleW(nullptr), Name));
  // A picture missing from the resources is not drawn.
  if (VBitmap.Empty()) return;
  int width = VBitmap.Width();
  int height = VBitmap.Height();
  VTransColor = VBitmap.Pixel(0, height - 1);
  int top = R.top + (R.bottom - R.top - height) / 2;
  int left = BoxLeft();
  RECT dest{left, top, left + width, top + height};
  Canvas().BrushCopy(dest, VBitmap, RECT{0, 0, width, height}, VTransColor);
}

void TEwCustomCheck::PaintBoxPicture() { CopyPicture(BoxPictureName(VFlat, VRound, Enabled())); }

void TEwCustomCheck::PaintMarkPicture() {
  // A disabled box shows no mark: its empty box again.
  CopyPicture(Enabled() ? MarkPictureName(VGlyph) : BoxPictureName(VFlat, VRound, false));
}

// ---- stored descriptions

void RegisterEwCheckBox(TClassRegistry& Classes) {
  using V = const TPropertyValue&;
  using C = TLoadContext&;
  using Box = TEwCustomCheck;
  Classes.RegisterClass(L"TEwCustomCheck", L"TCustomControl");
  Classes.RegisterClass<TEwCheckBox>(L"TEwCheckBox", L"TEwCustomCheck");
  const wchar_t* name = L"TEwCheckBox";
  Classes.RegisterProperty<Box>(name, L"Transparent", [](Box& c, V v, C) { c.SetTransparent(v.AsBoolean()); });
  Classes.RegisterProperty<Box>(name, L"ShowFocused", [](Box& c, V v, C) { c.SetShowFocused(v.AsBoolean()); });
  Classes.RegisterProperty<Box>(name, L"Flat", [](Box& c, V v, C) { c.SetFlat(v.AsBoolean()); });
  Classes.RegisterProperty<Box>(name, L"Round", [](Box& c, V v, C) { c.SetRound(v.AsBoolean()); });
  Classes.RegisterProperty<Box>(name, L"Hot", [](Box& c, V v, C) { c.SetHot(v.AsBoolean()); });
  Classes.RegisterProperty<Box>(name, L"HotColor", [](Box& c, V v, C) { c.SetHotColor(v.AsColor()); });
  Classes.RegisterProperty<Box>(name, L"OnMouseEnter", [](Box& c, V v, C x) {
    c.SetOnMouseEnter(x.FindHandler<TNotifyEvent>(v));
  });
  Classes.RegisterProperty<Box>(name, L"OnMouseExit", [](Box& c, V v, C x) {
    c.SetOnMouseExit(x.FindHandler<TNotifyEvent>(v));
  });
  Classes.RegisterProperty<Box>(name, L"Checked", [](Box& c, V v, C) { c.SetChecked(v.AsBoolean()); });
  Classes.RegisterProperty<Box>(name, L"Alignment", [](Box& c, V v, C) {
    c.SetAlignment(v.AsEnum<TAlignment>(
        {{L"taLeftJustify", taLeftJustify}, {L"taRightJustify", taRightJustify}, {L"taCenter", taCenter}}));
  });
  Classes.RegisterProperty<Box>(name, L"Glyph", [](Box& c, V v, C) {
    c.SetGlyph(v.AsEnum<TImageType>({{L"igCheck", igCheck}, {L"igCross", igCross}, {L"igRound", igRound}}));
  });
  Classes.RegisterProperty<Box>(name, L"Style", [](Box& c, V v, C) {
    c.SetStyle(v.AsEnum<TMargine>({{L"bmNone", bmNone}, {L"bmLowered", bmLowered}, {L"bmRaised", bmRaised}}));
  });
  Classes.RegisterProperty<Box>(name, L"Color", [](Box& c, V v, C) { c.SetColor(v.AsColor()); });
}

}  // namespace zarvo::controls
