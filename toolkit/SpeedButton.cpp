// The flat speed button.
#include "toolkit/SpeedButton.h"

#include "toolkit/WinControl.h"

namespace zarvo::toolkit {

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner) {
  // The button decides on its click itself, on release over it.
  FControlStyle = csCaptureMouse | csDoubleClicks | csReplicatable;
  SetBounds(0, 0, 23, 22);
  FGlyph.OnChange = [this] { Invalidate(); };
}

TButtonState TSpeedButton::RestingState() const {
  if (!Enabled()) return bsDisabled;
  return FDown ? bsExclusive : bsUp;
}

void TSpeedButton::SetFlat(bool value) {
  if (value == FFlat) return;
  FFlat = value;
  Invalidate();
}

void TSpeedButton::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  Invalidate();
}

void TSpeedButton::SetDown(bool value) {
  if (value == FDown) return;
  FDown = value;
  if (value && FGroupIndex != 0 && Parent()) {
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
      auto* other = dynamic_cast<TSpeedButton*>(Parent()->Controls(i));
      if (other && other != this && other->FGroupIndex == FGroupIndex) other->SetDown(false);
    }
  }
  FState = RestingState();
  Invalidate();
}

// The base runs the handlers (OnMouseDown ...), which may destroy the button.
void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TWeakRef self(this);
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (!self || Button != mbLeft || !Enabled()) return;
  FDragging = true;
  if (!FDown) {
    FState = bsDown;
    Repaint();
  }
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
  TWeakRef self(this);
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!self || !FDragging) return;
  RECT client = ClientRect();
  bool inside = ::PtInRect(&client, POINT{X, Y}) != FALSE;
  TButtonState state = FDown ? bsExclusive : (inside ? bsDown : bsUp);
  if (state != FState) {
    FState = state;
    Repaint();
  }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TWeakRef self(this);
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (!self || Button != mbLeft || !FDragging) return;
  FDragging = false;
  RECT client = ClientRect();
  bool inside = ::PtInRect(&client, POINT{X, Y}) != FALSE;
  if (inside && FGroupIndex != 0) {
    if (!FDown)
      SetDown(true);
    else if (FAllowAllUp)
      SetDown(false);
  }
  FState = RestingState();
  Repaint();
  if (inside) Click();
}

void TSpeedButton::MouseEnter(TMessage& Message) {
  TGraphicControl::MouseEnter(Message);
  if (FFlat && Enabled()) Invalidate();
}

void TSpeedButton::MouseLeave(TMessage& Message) {
  TGraphicControl::MouseLeave(Message);
  if (FFlat && Enabled()) Invalidate();
}

void TSpeedButton::EnabledChanged(TMessage& Message) {
  FState = RestingState();
  TGraphicControl::EnabledChanged(Message);
}

void TSpeedButton::Paint() {
  TCanvas& canvas = Canvas();
  RECT rect = ClientRect();
  HDC dc = canvas.Handle();
  bool pressed = FState == bsDown || FState == bsExclusive;
  if (FFlat) {
    if (!FTransparent) canvas.FillRect(rect);
    if (Enabled() && pressed)
      ::DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_RECT);
    else if (Enabled() && MouseInControl())
      ::DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RECT);
  } else {
    RECT face = rect;
    ::DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
  }

  int offset = pressed ? 1 : 0;
  std::wstring caption = Caption();
  RECT textSize{0, 0, 0, 0};
  if (!caption.empty()) canvas.DrawText(caption, textSize, DT_CALCRECT | DT_SINGLELINE);
  int textWidth = textSize.right - textSize.left;
  int glyphWidth = FGlyph.Empty() ? 0 : FGlyph.Width();
  int spacing = glyphWidth && textWidth ? 4 : 0;
  int x = (Width() - glyphWidth - spacing - textWidth) / 2 + offset;
  canvas.Brush().SetStyle(bsClear);
  if (glyphWidth) {
    int y = (Height() - FGlyph.Height()) / 2 + offset;
    RECT dest{x, y, x + glyphWidth, y + FGlyph.Height()};
    RECT source{0, 0, glyphWidth, FGlyph.Height()};
    canvas.BrushCopy(dest, FGlyph, source, FGlyph.Pixel(0, FGlyph.Height() - 1));
    x += glyphWidth + spacing;
  }
  if (textWidth) {
    RECT text{x, offset, x + textWidth, Height() + offset};
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_LEFT;
    if (!Enabled()) {
      RECT etched = text;
      ::OffsetRect(&etched, 1, 1);
      canvas.Font().SetColor(clBtnHighlight);
      canvas.DrawText(caption, etched, format);
      canvas.Font().SetColor(clBtnShadow);
    }
    canvas.DrawText(caption, text, format);
  }
}

}  // namespace zarvo::toolkit
