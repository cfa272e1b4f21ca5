// The panel.
#include "toolkit/Panel.h"

namespace zarvo::toolkit {

TPanel::TPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle |= csAcceptsControls | csReplicatable;
  SetBounds(0, 0, 185, 41);
  SetColor(clBtnFace);
}

void TPanel::FrameChanged() {
  Realign();
  Invalidate();
}

void TPanel::SetBevelInner(TBevelCut value) {
  if (value == FBevelInner) return;
  FBevelInner = value;
  FrameChanged();
}

void TPanel::SetBevelOuter(TBevelCut value) {
  if (value == FBevelOuter) return;
  FBevelOuter = value;
  FrameChanged();
}

void TPanel::SetBevelWidth(int value) {
  if (value == FBevelWidth) return;
  FBevelWidth = value;
  FrameChanged();
}

void TPanel::SetBorderWidth(int value) {
  if (value == FBorderWidth) return;
  FBorderWidth = value;
  FrameChanged();
}

void TPanel::AdjustClientRect(RECT& rect) const {
  int inset = FBorderWidth;
  if (FBevelOuter != bvNone) inset += FBevelWidth;
  if (FBevelInner != bvNone) inset += FBevelWidth;
  ::InflateRect(&rect, -inset, -inset);
}

void TPanel::Paint() {
  TCanvas& canvas = Canvas();
  RECT rect = ClientRect();
  auto bevel = [&](TBevelCut cut) {
    if (cut == bvNone) return;
    bool raised = cut == bvRaised;
    canvas.Frame3D(rect, raised ? clBtnHighlight : clBtnShadow, raised ? clBtnShadow : clBtnHighlight, FBevelWidth);
  };
  bevel(FBevelOuter);
  canvas.Frame3D(rect, Color(), Color(), FBorderWidth);
  bevel(FBevelInner);
  canvas.FillRect(rect);
  std::wstring text = Caption();
  if (!text.empty()) {
    canvas.Brush().SetStyle(bsClear);
    canvas.DrawText(text, rect, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  }
}

}  // namespace zarvo::toolkit
