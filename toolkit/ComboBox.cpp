// The drop-down list.
#include "toolkit/ComboBox.h"

#include <algorithm>

namespace zarvo::toolkit {

TComboBox::TComboBox(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 145, 21);
  SetTabStop(true);
  SetColor(clWindow);
  FItems.OnChange = [this] {
    FItemIndex = std::min(ItemIndex(), FItems.Count() - 1);
    if (HandleAllocated()) FillWindow();
  };
}

void TComboBox::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.WindowClass = L"COMBOBOX";
  Params.SystemClass = true;
  Params.Style = (Params.Style & ~static_cast<DWORD>(WS_CLIPCHILDREN)) | CBS_DROPDOWNLIST | WS_VSCROLL;
  Params.Height = Height() + ListHeight();
}

int TComboBox::ListHeight() const {
  int item = std::max(Font().Height() + 6, 8);
  return item * std::max(FDropDownCount, 1) + 2;
}

void TComboBox::WindowCreated() {
  FillWindow();
  FitFieldHeight();
}

void TComboBox::FillWindow() {
  HWND window = Handle();
  ::SendMessageW(window, CB_RESETCONTENT, 0, 0);
  for (const std::wstring& item : FItems.Items())
    ::SendMessageW(window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  ::SendMessageW(window, CB_SETCURSEL, static_cast<WPARAM>(FItemIndex), 0);
}

void TComboBox::FitFieldHeight() {
  if (!HandleAllocated() || FFieldHeight <= 0) return;
  HWND window = Handle();
  RECT rect;
  ::GetWindowRect(window, &rect);
  int difference = FFieldHeight - (rect.bottom - rect.top);
  if (difference == 0) return;
  LRESULT item = ::SendMessageW(window, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
  if (item == CB_ERR) return;
  ::SendMessageW(window, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), std::max<LRESULT>(item + difference, 1));
}

void TComboBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  FFieldHeight = AHeight;
  if (!HandleAllocated()) {
    TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    return;
  }
  ::SetWindowPos(Handle(), nullptr, ALeft, ATop, AWidth, AHeight + ListHeight(), SWP_NOZORDER | SWP_NOACTIVATE);
  FitFieldHeight();
  // The stored bounds come back from the window (its height is the field's).
  RECT rect;
  ::GetWindowRect(Handle(), &rect);
  int height = rect.bottom - rect.top;
  if (Left() != ALeft || Top() != ATop || Width() != AWidth || Height() != height) {
    UpdateBoundsFromWindow(ALeft, ATop, AWidth, height);
  }
  RequestAlign();
}

void TComboBox::FontChanged(TMessage& Message) {
  TWinControl::FontChanged(Message);
  FitFieldHeight();
}

int TComboBox::ItemIndex() const {
  if (HandleAllocated()) {
    LRESULT selected = ::SendMessageW(const_cast<TComboBox*>(this)->Handle(), CB_GETCURSEL, 0, 0);
    return selected == CB_ERR ? -1 : static_cast<int>(selected);
  }
  return FItemIndex;
}

void TComboBox::SetItemIndex(int value) {
  if (value < -1 || value >= FItems.Count()) value = -1;
  FItemIndex = value;
  // CB_SETCURSEL sends no CBN_SELCHANGE: a selection from code raises no OnChange.
  if (HandleAllocated()) ::SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(value), 0);
}

void TComboBox::SetDropDownCount(int value) {
  if (value == FDropDownCount) return;
  FDropDownCount = value;
  if (HandleAllocated()) SetBounds(Left(), Top(), Width(), Height());
}

bool TComboBox::DroppedDown() const {
  return HandleAllocated() &&
         ::SendMessageW(const_cast<TComboBox*>(this)->Handle(), CB_GETDROPPEDSTATE, 0, 0) != FALSE;
}

void TComboBox::SaveWindowState() {
  TWinControl::SaveWindowState();
  FItemIndex = ItemIndex();
}

void TComboBox::Command(TMessage& Message) {
  if (HIWORD(Message.WParam) == CBN_SELCHANGE) {
    FItemIndex = ItemIndex();
    Change();
  }
  Message.Result = 0;
}

void TComboBox::Change() { CallEvent(OnChange, this); }

void TComboBox::WantSpecialKey(TMessage& Message) {
  // An open list closes on Enter and Escape itself.
  WORD key = static_cast<WORD>(Message.WParam);
  if ((key == VK_RETURN || key == VK_ESCAPE) && DroppedDown()) Message.Result = 1;
}

void TComboBox::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    // The dropped list asks the combo box itself for its colours.
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      ControlColor(Message);
      return;
    default:
      TWinControl::WndProc(Message);
  }
}

}  // namespace zarvo::toolkit
