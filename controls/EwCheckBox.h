// The program's own check box: a windowed control that draws its background, an optional frame,
// the caption, and a box and a mark taken from bitmap pictures among the program's resources.
// With Round set it acts as a radio button among the round boxes of its parent.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "toolkit/CustomControl.h"
#include "toolkit/Graphics.h"
#include "toolkit/Loader.h"
#include "toolkit/Types.h"

namespace zarvo::controls {

// The mark a checked box shows.
enum TImageType : std::uint8_t { igCheck, igCross, igRound };
// The frame around the control.
enum TMargine : std::uint8_t { bmNone, bmLowered, bmRaised };

using TOnMouseOverEvent = std::function<void(toolkit::TObject* Sender)>;
using TOnMouseOutEvent = std::function<void(toolkit::TObject* Sender)>;

class TEwCustomCheck : public toolkit::TCustomControl {
public:
  explicit TEwCustomCheck(toolkit::TComponent* AOwner);
  ~TEwCustomCheck() override;
  std::wstring_view ClassName() const override { return L"TEwCustomCheck"; }

  bool Transparent() const { return VTransparent; }
  void SetTransparent(bool Value);
  // Read at each paint only: a change shows at the next one.
  bool ShowFocused() const { return VShowFocused; }
  void SetShowFocused(bool Value);
  bool Flat() const { return VFlat; }
  void SetFlat(bool Value);
  // Also turns Glyph to igRound (on) or igCheck (off).
  bool Round() const { return VRound; }
  void SetRound(bool Value);
  bool Hot() const { return VHot; }
  void SetHot(bool Value);
  // The caption's colour while hot, and the lower copy of the etched disabled caption.
  toolkit::TColor HotColor() const { return VHotColor; }
  void SetHotColor(toolkit::TColor Value);
  const TOnMouseOverEvent& OnMouseEnter() const { return VOnMouseOver; }
  void SetOnMouseEnter(TOnMouseOverEvent Value) { VOnMouseOver = std::move(Value); }
  const TOnMouseOutEvent& OnMouseExit() const { return VOnMouseOut; }
  void SetOnMouseExit(TOnMouseOutEvent Value) { VOnMouseOut = std::move(Value); }
  bool Checked() const { return VChecked; }
  // Invalidates even when the value does not change; checking a round box clears the other
  // round boxes of the same parent.
  void SetChecked(bool Value);
  toolkit::TAlignment Alignment() const { return VLeft; }
  void SetAlignment(toolkit::TAlignment Value);
  TImageType Glyph() const { return VGlyph; }
  void SetGlyph(TImageType Value);
  TMargine Style() const { return VMargine; }
  void SetStyle(TMargine Value);
  // The fill colour. It is the control's own: the parent's colour never replaces it.
  toolkit::TColor Color() const { return VColor; }
  void SetColor(toolkit::TColor Value);

protected:
  void Paint() override;
  void MouseDown(toolkit::TMouseButton Button, toolkit::TShiftState Shift, int X, int Y) override;
  void KeyDown(WORD& Key, toolkit::TShiftState Shift) override;

  void MouseEnter(toolkit::TMessage& Message) override;
  void MouseLeave(toolkit::TMessage& Message) override;
  void EnabledChanged(toolkit::TMessage& Message) override;
  void ParentColorChanged(toolkit::TMessage& Message) override;
  void TextChanged(toolkit::TMessage& Message) override;
  void VisibleChanged(toolkit::TMessage& Message) override;
  void FontChanged(toolkit::TMessage& Message) override;
  void WMLButtonDblClk(toolkit::TMessage& Message) override;
  void WMSetFocus(toolkit::TMessage& Message) override;
  void WMKillFocus(toolkit::TMessage& Message) override;
  void DialogChar(toolkit::TMessage& Message) override;

  void FireClickEvent();
  void PaintBackground();
  void PaintParentImage(toolkit::TControl* Control, toolkit::TCanvas& Canvas);
  void PaintCaption();
  void PaintDisabledCaption();
  void PaintBoxPicture();
  void PaintMarkPicture();

  toolkit::TColor VHotColor = 0;
  // The working rectangle of the last paint: the client area less the frame.
  RECT R{0, 0, 0, 0};
  // The caption's rectangle as the last paint laid it out.
  RECT CaptRect{0, 0, 0, 0};
  // DrawTextW's format for the caption.
  int BiDiFlags = 0;
  bool VShowFocused = false;
  toolkit::TColor VColor = 0;
  bool VFlat = false;
  bool VRound = false;
  bool VTransparent = false;
  // The transparent colour of the picture loaded last (its bottom-left pixel).
  toolkit::TColor VTransColor = 0;
  // 1 while the mouse is over the enabled control and Hot is on, else 0.
  int Index = 0;
  bool VChecked = false;
  bool VHot = false;
  TImageType VGlyph = igCheck;
  TMargine VMargine = bmNone;
  toolkit::TAlignment VLeft = toolkit::taLeftJustify;
  // Loaded anew from the resources at every paint.
  toolkit::TBitmap VBitmap;
  TOnMouseOverEvent VOnMouseOver;
  TOnMouseOutEvent VOnMouseOut;

private:
  struct TCaptionLayout {
    int Left;   // L: the caption's left edge
    int Top;    // the caption's top, centred in R
    SIZE Size;  // the whole caption measured in the control's font
  };
  TCaptionLayout LayoutCaption();
  // The box's left edge in R.
  int BoxLeft();
  void CopyPicture(const wchar_t* Name);
};

// The check box that forms place.
class TEwCheckBox : public TEwCustomCheck {
public:
  using TEwCustomCheck::TEwCustomCheck;
  std::wstring_view ClassName() const override { return L"TEwCheckBox"; }
};

// Registers TEwCustomCheck and TEwCheckBox with the check box's stored-form properties.
void RegisterEwCheckBox(toolkit::TClassRegistry& Classes);

}  // namespace zarvo::controls
