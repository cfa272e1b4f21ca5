// TLabel: windowless text on its parent: horizontal alignment, vertical layout, optional
// automatic sizing and word wrap; a carriage return in the caption starts a new line.
#pragma once

#include "toolkit/GraphicControl.h"

namespace zarvo::toolkit {

class TLabel : public TGraphicControl {
public:
  explicit TLabel(TComponent* AOwner);
  std::wstring_view ClassName() const override { return L"TLabel"; }

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout value);
  // On: the label takes the size of its text (the width stays with WordWrap).
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);
  // Off: the label fills its rectangle with Color first.
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);
  // On: "&x" underlines x.
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool value);
  void Loaded() override;

protected:
  void Paint() override;
  void TextChanged(TMessage& Message) override;
  void FontChanged(TMessage& Message) override;
  UINT TextFormat() const;
  void AdjustBounds();

private:
  TAlignment FAlignment = taLeftJustify;
  TTextLayout FLayout = tlTop;
  bool FAutoSize = true;
  bool FWordWrap = false;
  bool FTransparent = false;
  bool FShowAccelChar = true;
};

}  // namespace zarvo::toolkit
