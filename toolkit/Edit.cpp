// The text boxes.
#include "toolkit/Edit.h"

namespace zarvo::toolkit {

TEdit::TEdit(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 121, 21);
  SetTabStop(true);
  SetColor(clWindow);
  SetCursor(crIBeam);
}

void TEdit::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.WindowClass = L"EDIT";
  Params.SystemClass = true;
  Params.Style = (Params.Style & ~static_cast<DWORD>(WS_CLIPCHILDREN)) | ES_AUTOHSCROLL;
  if (FReadOnly) Params.Style |= ES_READONLY;
  Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TEdit::WindowCreated() {
  if (FMaxLength > 0) ::SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
}

void TEdit::SetReadOnly(bool value) {
  if (value == FReadOnly) return;
  FReadOnly = value;
  if (HandleAllocated()) ::SendMessageW(Handle(), EM_SETREADONLY, value ? TRUE : FALSE, 0);
}

void TEdit::SetMaxLength(int value) {
  if (value == FMaxLength) return;
  FMaxLength = value;
  if (HandleAllocated()) ::SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(value), 0);
}

void TEdit::Command(TMessage& Message) {
  if (HIWORD(Message.WParam) == EN_CHANGE) Change();
  Message.Result = 0;
}

void TEdit::Change() { CallEvent(OnChange, this); }

std::wstring WithCrLf(std::wstring_view text) {
  std::wstring result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r' || text[i] == L'\n') {
      result += L"\r\n";
      if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    } else {
      result += text[i];
    }
  }
  return result;
}

TMemo::TMemo(TComponent* AOwner) : TEdit(AOwner) { SetBounds(0, 0, 185, 89); }

void TMemo::CreateParams(TCreateParams& Params) {
  TEdit::CreateParams(Params);
  Params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
  Params.Style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
  if (!FWordWrap) Params.Style |= ES_AUTOHSCROLL;
  if (FScrollBars == ssVertical || FScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
  if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) Params.Style |= WS_HSCROLL;
  Params.Caption = WithCrLf(Params.Caption);
}

void TMemo::TextChanged(TMessage& Message) {
  std::wstring& stored = StoredCaption();
  stored = WithCrLf(stored);
  TEdit::TextChanged(Message);
}

void TMemo::SetWordWrap(bool value) {
  if (value == FWordWrap) return;
  FWordWrap = value;
  RecreateWnd();
}

void TMemo::SetScrollBars(TScrollStyle value) {
  if (value == FScrollBars) return;
  FScrollBars = value;
  RecreateWnd();
}

}  // namespace zarvo::toolkit
