// TCustomControl: a windowed control that draws itself: a Canvas over its window's device
// context and a virtual Paint.
#pragma once

#include "toolkit/Graphics.h"
#include "toolkit/WinControl.h"

namespace zarvo::toolkit {

class TCustomControl : public TWinControl {
public:
  explicit TCustomControl(TComponent* AOwner);
  std::wstring_view ClassName() const override { return L"TCustomControl"; }
  // Valid while Paint runs; starts with the canvas font = Font and a solid brush of Color.
  TCanvas& Canvas() { return FCanvas; }

protected:
  virtual void Paint() {}
  void PaintWindow(HDC dc) override;

private:
  TCanvas FCanvas;
};

}  // namespace zarvo::toolkit
