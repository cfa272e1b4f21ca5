// TGraphicControl: a control without a window of its own, painted on its parent's surface with a
// Canvas over the parent's device context.
#pragma once

#include "toolkit/Control.h"
#include "toolkit/Graphics.h"

namespace zarvo::toolkit {

class TGraphicControl : public TControl {
public:
  explicit TGraphicControl(TComponent* AOwner);
  std::wstring_view ClassName() const override { return L"TGraphicControl"; }
  // Valid while Paint runs: the parent's device context, origin at the control's top-left and
  // clipped to it. Paint starts with the canvas font = Font and a solid brush of Color.
  TCanvas& Canvas() { return FCanvas; }
  void WndProc(TMessage& Message) override;

protected:
  virtual void Paint() {}

private:
  TCanvas FCanvas;
};

}  // namespace zarvo::toolkit
