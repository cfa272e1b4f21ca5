// Colour resolution and shift states.
#include "toolkit/Types.h"

#include <array>
#include <utility>

namespace zarvo::toolkit {

COLORREF ColorToRGB(TColor color) {
  if ((color & 0xFF000000) == clSystemColor) return ::GetSysColor(static_cast<int>(color & 0xFF));
  return color & 0x00FFFFFF;
}

bool ColorFromName(std::wstring_view name, TColor& color) {
  static constexpr std::array<std::pair<std::wstring_view, TColor>, 27> names{{
      {L"clScrollBar", clScrollBar}, {L"clWindow", clWindow},
      {L"clWindowText", clWindowText}, {L"clHighlight", clHighlight},
      {L"clHighlightText", clHighlightText}, {L"clBtnFace", clBtnFace},
      {L"clBtnShadow", clBtnShadow}, {L"clGrayText", clGrayText},
      {L"clBtnText", clBtnText}, {L"clBtnHighlight", clBtnHighlight},
      {L"cl3DDkShadow", cl3DDkShadow}, {L"cl3DLight", cl3DLight},
      {L"clInfoText", clInfoText}, {L"clInfoBk", clInfoBk},
      {L"clBlack", clBlack}, {L"clMaroon", clMaroon},
      {L"clGreen", clGreen}, {L"clNavy", clNavy},
      {L"clGray", clGray}, {L"clSilver", clSilver},
      {L"clRed", clRed}, {L"clLime", clLime},
      {L"clYellow", clYellow}, {L"clBlue", clBlue},
      {L"clFuchsia", clFuchsia}, {L"clWhite", clWhite},
      {L"clSystemColor", clSystemColor},
  }};
  for (const auto& [known, value] : names) {
    if (known == name) {
      color = value;
      return true;
    }
  }
  return false;
}

TShiftState ShiftStateFromMouse(WPARAM keys) {
  TShiftState shift = 0;
  if (keys & MK_SHIFT) shift |= ssShift;
  if (keys & MK_CONTROL) shift |= ssCtrl;
  if (keys & MK_LBUTTON) shift |= ssLeft;
  if (keys & MK_RBUTTON) shift |= ssRight;
  if (keys & MK_MBUTTON) shift |= ssMiddle;
  if (::GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  return shift;
}

TShiftState ShiftStateFromKeyboard() {
  TShiftState shift = 0;
  if (::GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
  if (::GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
  if (::GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  return shift;
}

}  // namespace zarvo::toolkit
