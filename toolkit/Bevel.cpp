// The bevel.
#include "toolkit/Bevel.h"

namespace zarvo::toolkit {

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle |= csReplicatable;
  SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape value) {
  if (value == FShape) return;
  FShape = value;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle value) {
  if (value == FStyle) return;
  FStyle = value;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas& canvas = Canvas();
  TColor dark = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
  TColor light = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
  int width = Width();
  int height = Height();
  auto fill = [&](TColor color, RECT rect) {
    canvas.Brush().SetColor(color);
    canvas.Brush().SetStyle(bsSolid);
    canvas.FillRect(rect);
  };
  RECT rect = ClientRect();
  switch (FShape) {
    case bsBox:
      canvas.Frame3D(rect, dark, light, 1);
      break;
    case bsFrame: {
      RECT outer{0, 0, width - 1, height - 1};
      canvas.Frame3D(outer, dark, dark, 1);
      RECT inner{1, 1, width, height};
      canvas.Frame3D(inner, light, light, 1);
      break;
    }
    case bsTopLine:
      fill(dark, {0, 0, width, 1});
      fill(light, {0, 1, width, 2});
      break;
    case bsBottomLine:
      // A one-pixel-high bevel keeps the dark half, which is the half that shows.
      if (height >= 2) {
        fill(dark, {0, height - 2, width, height - 1});
        fill(light, {0, height - 1, width, height});
      } else {
        fill(dark, {0, 0, width, height});
      }
      break;
    case bsLeftLine:
      fill(dark, {0, 0, 1, height});
      fill(light, {1, 0, 2, height});
      break;
    case bsRightLine:
      fill(dark, {width - 2, 0, width - 1, height});
      fill(light, {width - 1, 0, width, height});
      break;
    case bsSpacer:
      break;
  }
}

}  // namespace zarvo::toolkit
