// TPanel: a windowed container with an outer and an inner bevel and a border between them.
#pragma once

#include "toolkit/CustomControl.h"

namespace zarvo::toolkit {

class TPanel : public TCustomControl {
public:
  explicit TPanel(TComponent* AOwner);
  std::wstring_view ClassName() const override { return L"TPanel"; }

  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut value);
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut value);
  int BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int value);
  // Space in Color between the outer and the inner bevel.
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int value);

protected:
  void Paint() override;
  void AdjustClientRect(RECT& rect) const override;

private:
  void FrameChanged();

  TBevelCut FBevelInner = bvNone;
  TBevelCut FBevelOuter = bvRaised;
  int FBevelWidth = 1;
  int FBorderWidth = 0;
};

}  // namespace zarvo::toolkit
