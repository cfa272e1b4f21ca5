// The progress bar.
#include "toolkit/ProgressBar.h"

#include <commctrl.h>

namespace zarvo::toolkit {

TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 150, 16); }

void TProgressBar::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.WindowClass = PROGRESS_CLASSW;
  Params.SystemClass = true;
  Params.Style &= ~static_cast<DWORD>(WS_CLIPCHILDREN);
}

void TProgressBar::WindowCreated() {
  SendRange();
  ::SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(FPosition), 0);
}

void TProgressBar::SaveWindowState() {
  TWinControl::SaveWindowState();
  FPosition = Position();
}

void TProgressBar::SendRange() {
  if (HandleAllocated()) ::SendMessageW(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(FMin), static_cast<LPARAM>(FMax));
}

void TProgressBar::SetMin(int value) {
  if (value == FMin) return;
  FMin = value;
  SendRange();
}

void TProgressBar::SetMax(int value) {
  if (value == FMax) return;
  FMax = value;
  SendRange();
}

int TProgressBar::Position() const {
  if (HandleAllocated())
    return static_cast<int>(::SendMessageW(const_cast<TProgressBar*>(this)->Handle(), PBM_GETPOS, 0, 0));
  return FPosition;
}

void TProgressBar::SetPosition(int value) {
  FPosition = value;
  if (HandleAllocated()) ::SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(value), 0);
}

}  // namespace zarvo::toolkit
