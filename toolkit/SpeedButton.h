// TSpeedButton: a windowless button drawn on its parent: caption, picture, flat look with hover
// tracking, a latch (Down) and groups of latched buttons.
#pragma once

#include "toolkit/GraphicControl.h"

namespace zarvo::toolkit {

class TSpeedButton : public TGraphicControl {
public:
  explicit TSpeedButton(TComponent* AOwner);
  std::wstring_view ClassName() const override { return L"TSpeedButton"; }

  // The picture; its bottom-left pixel is the colour left out when it is drawn.
  TBitmap& Glyph() { return FGlyph; }
  void SetGlyph(const TBitmap& glyph) { FGlyph.Assign(glyph); }
  bool Flat() const { return FFlat; }
  void SetFlat(bool value);
  // Latched down. Setting it releases the other buttons of the same non-zero GroupIndex.
  bool Down() const { return FDown; }
  void SetDown(bool value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int value) { FGroupIndex = value; }
  // With a GroupIndex: a click on the button that is down lets it up.
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool value) { FAllowAllUp = value; }
  // Off: the face is filled with Color.
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseEnter(TMessage& Message) override;
  void MouseLeave(TMessage& Message) override;
  void EnabledChanged(TMessage& Message) override;

  // Up, disabled, held down by the mouse, or latched (Down).
  TButtonState FState = bsUp;

private:
  TButtonState RestingState() const;

  TBitmap FGlyph;
  bool FFlat = false;
  bool FDown = false;
  int FGroupIndex = 0;
  bool FAllowAllUp = false;
  bool FTransparent = true;
  bool FDragging = false;
};

}  // namespace zarvo::toolkit
