// The windowless and the custom-drawn windowed base controls.
#include "toolkit/GraphicControl.h"

#include "toolkit/CustomControl.h"

namespace zarvo::toolkit {

namespace {

// Attaches a canvas to a device context for one paint and prepares it as Paint expects.
class CanvasPaintScope {
public:
  CanvasPaintScope(TCanvas& canvas, HDC dc, const TControl& control) : FCanvas(canvas) {
    FCanvas.SetHandle(dc);
    FCanvas.Font().Assign(control.Font());
    FCanvas.Brush().SetColor(control.Color());
    FCanvas.Brush().SetStyle(bsSolid);
  }
  CanvasPaintScope(const CanvasPaintScope&) = delete;
  CanvasPaintScope& operator=(const CanvasPaintScope&) = delete;
  ~CanvasPaintScope() { FCanvas.SetHandle(nullptr); }

private:
  TCanvas& FCanvas;
};

}  // namespace

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}

void TGraphicControl::WndProc(TMessage& Message) {
  if (Message.Msg == WM_PAINT && Message.WParam) {
    SavedDC saved(reinterpret_cast<HDC>(Message.WParam));
    CanvasPaintScope scope(FCanvas, reinterpret_cast<HDC>(Message.WParam), *this);
    Paint();
    Message.Result = 0;
    return;
  }
  TControl::WndProc(Message);
}

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {}

void TCustomControl::PaintWindow(HDC dc) {
  CanvasPaintScope scope(FCanvas, dc, *this);
  Paint();
}

}  // namespace zarvo::toolkit
