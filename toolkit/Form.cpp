// TForm: the top-level window, its activation, focus and key routing.
#include "toolkit/Form.h"

#include "toolkit/Application.h"

namespace zarvo::toolkit {

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner) {
  SetVisible(false);
  SetColor(clBtnFace);
  FControlStyle |= csAcceptsControls;
}

TForm::~TForm() {
  BeginDestruction();
  // The controls go while the form is still a form, so they can leave it cleanly.
  DestroyComponents();
  if (Application().MainForm() == this) Application().SetMainForm(nullptr);
}

void TForm::AfterConstruction() { DoCreate(); }

void TForm::DoCreate() { CallEvent(OnCreate, this); }

void TForm::Activate() { CallEvent(OnActivate, this); }

DWORD TForm::WindowStyle() const {
  DWORD style = WS_CLIPCHILDREN;
  switch (FBorderStyle) {
    case bsNone:
      return style | WS_POPUP;
    case bsSingle:
      style |= WS_OVERLAPPED | WS_CAPTION;
      break;
    case bsSizeable:
      style |= WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME;
      break;
    case bsDialog:
      return style | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  }
  if (FBorderIcons & biSystemMenu) {
    style |= WS_SYSMENU;
    if (FBorderIcons & biMinimize) style |= WS_MINIMIZEBOX;
    if (FBorderIcons & biMaximize) style |= WS_MAXIMIZEBOX;
  }
  return style;
}

DWORD TForm::WindowExStyle() const { return FBorderStyle == bsDialog ? WS_EX_DLGMODALFRAME : 0; }

SIZE TForm::FrameSize() const {
  RECT rect{0, 0, 0, 0};
  ::AdjustWindowRectEx(&rect, WindowStyle(), FALSE, WindowExStyle());
  return {rect.right - rect.left, rect.bottom - rect.top};
}

RECT TForm::ClientRect() const {
  if (HandleAllocated()) return TWinControl::ClientRect();
  SIZE frame = FrameSize();
  return {0, 0, std::max(0L, Width() - frame.cx), std::max(0L, Height() - frame.cy)};
}

void TForm::SetClientSize(int width, int height) {
  if (HandleAllocated()) {
    RECT rect{0, 0, width, height};
    ::AdjustWindowRectEx(&rect, static_cast<DWORD>(::GetWindowLongPtrW(const_cast<TForm*>(this)->Handle(), GWL_STYLE)),
                         FALSE, static_cast<DWORD>(::GetWindowLongPtrW(Handle(), GWL_EXSTYLE)));
    SetBounds(Left(), Top(), rect.right - rect.left, rect.bottom - rect.top);
    return;
  }
  SIZE frame = FrameSize();
  SetBounds(Left(), Top(), width + frame.cx, height + frame.cy);
}

void TForm::SetBorderStyle(TFormBorderStyle value) {
  if (value == FBorderStyle) return;
  SIZE before = FrameSize();
  FBorderStyle = value;
  SIZE after = FrameSize();
  // The client size stays; the outer size follows the frame.
  if (!HandleAllocated()) SetBounds(Left(), Top(), Width() - before.cx + after.cx, Height() - before.cy + after.cy);
  RecreateWnd();
}

void TForm::SetBorderIcons(TBorderIcons value) {
  if (value == FBorderIcons) return;
  FBorderIcons = value;
  RecreateWnd();
}

void TForm::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.Style = WindowStyle();
  Params.ExStyle = WindowExStyle();
  Params.WndParent = nullptr;
  // The taskbar shows the main window's text: without a caption of its own it is the title.
  if (Params.Caption.empty() && Application().MainForm() == this) Params.Caption = Application().Title();
  if (FPosition == poScreenCenter) {
    int left = (::GetSystemMetrics(SM_CXSCREEN) - Width()) / 2;
    int top = (::GetSystemMetrics(SM_CYSCREEN) - Height()) / 2;
    UpdateBoundsFromWindow(left, top, Width(), Height());
  }
  Params.X = Left();
  Params.Y = Top();
}

void TForm::VisibleChanged(TMessage&) {
  if (Visible()) {
    // Activation runs handlers that may destroy the form or make its window again.
    TWeakRef self(this);
    ::ShowWindow(Handle(), SW_SHOWNORMAL);
    if (self && HandleAllocated()) ::UpdateWindow(Handle());
  } else if (HandleAllocated()) {
    ::ShowWindow(Handle(), SW_HIDE);
  }
}

void TForm::SetActiveControl(TWinControl* control) {
  FActiveControl = control;
  if (control && HandleAllocated() && ::IsWindowVisible(Handle()) && control->CanFocus())
    ::SetFocus(control->Handle());
}

void TForm::FocusChanged(TWinControl* control) { FActiveControl = control; }

void TForm::FocusActiveControl() {
  if (FActiveControl && FActiveControl->CanFocus()) {
    ::SetFocus(FActiveControl->Handle());
    return;
  }
  if (!SelectNext(nullptr, true, true)) ::SetFocus(Handle());
}

void TForm::WMSetFocus(TMessage& Message) {
  DefaultHandler(Message);
  if (FActiveControl && FActiveControl->CanFocus()) ::SetFocus(FActiveControl->Handle());
}

void TForm::Close() {
  if (Application().MainForm() == this)
    Application().Terminate();
  else
    Hide();
}

void TForm::BringToFront() {
  if (!HandleAllocated()) return;
  ::SetForegroundWindow(Handle());
  ::BringWindowToTop(Handle());
}

void TForm::SetMessageHandler(UINT message, TMessageHandler handler) {
  if (handler)
    FMessageHandlers[message] = std::move(handler);
  else
    FMessageHandlers.erase(message);
}

const std::any* TForm::FindHandler(std::wstring_view name) const {
  auto found = FHandlers.find(name);
  return found == FHandlers.end() ? nullptr : &found->second;
}

void TForm::DialogKey(TMessage& Message) {
  WORD key = static_cast<WORD>(Message.WParam);
  if (key == VK_TAB) {
    TShiftState shift = ShiftStateFromKeyboard();
    if (shift & (ssCtrl | ssAlt)) return;
    SelectNext(FActiveControl, !(shift & ssShift), true);
    Message.Result = 1;
    return;
  }
  TWinControl::DialogKey(Message);
}

void TForm::WndProc(TMessage& Message) {
  if (auto found = FMessageHandlers.find(Message.Msg); found != FMessageHandlers.end()) {
    // Through a copy: the handler may destroy the form and its table of handlers.
    TMessageHandler handler = found->second;
    handler(Message);
    return;
  }
  switch (Message.Msg) {
    case WM_ACTIVATE:
      if (LOWORD(Message.WParam) != WA_INACTIVE) {
        // The focus handlers may destroy the form.
        TWeakRef self(this);
        if (!HIWORD(Message.WParam)) FocusActiveControl();
        if (!self) return;
        TWinControl* other = FromHandle(reinterpret_cast<HWND>(Message.LParam));
        bool fromOtherForm = dynamic_cast<TForm*>(other) && other != this;
        if (!FActivated || fromOtherForm) {
          FActivated = true;
          Activate();
        }
        Message.Result = 0;
        return;
      }
      DefaultHandler(Message);
      return;
    case WM_CLOSE:
      Close();
      Message.Result = 0;
      return;
    default:
      TWinControl::WndProc(Message);
  }
}

}  // namespace zarvo::toolkit
