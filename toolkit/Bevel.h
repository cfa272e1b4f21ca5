// TBevel: a windowless etched box, frame or line.
#pragma once

#include "toolkit/GraphicControl.h"

namespace zarvo::toolkit {

class TBevel : public TGraphicControl {
public:
  explicit TBevel(TComponent* AOwner);
  std::wstring_view ClassName() const override { return L"TBevel"; }

  TBevelShape Shape() const { return FShape; }
  void SetShape(TBevelShape value);
  TBevelStyle Style() const { return FStyle; }
  void SetStyle(TBevelStyle value);

protected:
  void Paint() override;

private:
  TBevelShape FShape = bsBox;
  TBevelStyle FStyle = bsLowered;
};

}  // namespace zarvo::toolkit
