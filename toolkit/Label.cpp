// The text label.
#include "toolkit/Label.h"

namespace zarvo::toolkit {

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle |= csReplicatable;
  SetBounds(0, 0, 65, 17);
  SetParentColor(true);
}

void TLabel::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  Invalidate();
}

void TLabel::SetLayout(TTextLayout value) {
  if (value == FLayout) return;
  FLayout = value;
  Invalidate();
}

void TLabel::SetAutoSize(bool value) {
  if (value == FAutoSize) return;
  FAutoSize = value;
  AdjustBounds();
}

void TLabel::SetWordWrap(bool value) {
  if (value == FWordWrap) return;
  FWordWrap = value;
  AdjustBounds();
  Invalidate();
}

void TLabel::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  Invalidate();
}

void TLabel::SetShowAccelChar(bool value) {
  if (value == FShowAccelChar) return;
  FShowAccelChar = value;
  Invalidate();
}

void TLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TLabel::TextChanged(TMessage& Message) {
  AdjustBounds();
  TGraphicControl::TextChanged(Message);
}

void TLabel::FontChanged(TMessage& Message) {
  AdjustBounds();
  TGraphicControl::FontChanged(Message);
}

UINT TLabel::TextFormat() const {
  UINT format = DT_EXPANDTABS;
  if (FWordWrap) format |= DT_WORDBREAK;
  if (!FShowAccelChar) format |= DT_NOPREFIX;
  if (FAlignment == taRightJustify)
    format |= DT_RIGHT;
  else if (FAlignment == taCenter)
    format |= DT_CENTER;
  return format;
}

void TLabel::AdjustBounds() {
  if (!FAutoSize || Loading() || Align() != alNone) return;
  WindowDC screen(nullptr);
  SelectedObject font(screen.get(), Font().Handle());
  std::wstring text = Caption();
  if (text.empty()) text = L" ";
  RECT rect{0, 0, FWordWrap ? Width() : 0, 0};
  ::DrawTextW(screen.get(), text.c_str(), static_cast<int>(text.size()), &rect, TextFormat() | DT_CALCRECT);
  SetBounds(Left(), Top(), FWordWrap ? Width() : rect.right, rect.bottom);
}

void TLabel::Paint() {
  TCanvas& canvas = Canvas();
  RECT client = ClientRect();
  if (!FTransparent) canvas.FillRect(client);
  canvas.Brush().SetStyle(bsClear);
  std::wstring text = Caption();
  if (text.empty()) return;
  UINT format = TextFormat();
  RECT rect = client;
  if (FLayout != tlTop) {
    RECT measure = client;
    canvas.DrawText(text, measure, format | DT_CALCRECT);
    int textHeight = measure.bottom - measure.top;
    int room = (client.bottom - client.top) - textHeight;
    rect.top += FLayout == tlCenter ? room / 2 : room;
  }
  if (!Enabled()) {
    RECT etched = rect;
    ::OffsetRect(&etched, 1, 1);
    canvas.Font().SetColor(clBtnHighlight);
    canvas.DrawText(text, etched, format);
    canvas.Font().SetColor(clBtnShadow);
  }
  canvas.DrawText(text, rect, format);
}

}  // namespace zarvo::toolkit
