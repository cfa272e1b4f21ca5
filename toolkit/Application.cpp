// The application object: message loop, error report and hints.
#include "toolkit/Application.h"

#include <commctrl.h>

#include "platform/Text.h"
#include "toolkit/CommonControls.h"
#include "toolkit/Form.h"
#include "toolkit/WinControl.h"

namespace zarvo::toolkit {

namespace {
constexpr UINT_PTR ShowHintTimer = 1;
constexpr UINT_PTR HideHintTimer = 2;
constexpr UINT HintShowMilliseconds = 5000;
}  // namespace

// A small top-level window that shows one hint text near the pointer.
class THintWindow : public TWinControl {
public:
  THintWindow() : TWinControl(nullptr) {
    SetVisible(false);
    SetColor(clInfoBk);
    Font().SetColor(clInfoText);
  }
  std::wstring_view ClassName() const override { return L"THintWindow"; }

  void ActivateHint(POINT at, const std::wstring& text) {
    SetCaption(text);
    SIZE size{0, 0};
    {
      WindowDC screen(nullptr);
      SelectedObject font(screen.get(), Font().Handle());
      RECT measure{0, 0, 400, 0};
      ::DrawTextW(screen.get(), text.c_str(), static_cast<int>(text.size()), &measure,
                  DT_CALCRECT | DT_NOPREFIX | DT_WORDBREAK);
      // The text's room inside the padding of PaintWindow and the window's border.
      RECT frame{0, 0, measure.right + 8, measure.bottom + 4};
      ::AdjustWindowRectEx(&frame, WS_POPUP | WS_BORDER, FALSE, WS_EX_TOOLWINDOW);
      size = {frame.right - frame.left, frame.bottom - frame.top};
    }
    SetBounds(at.x, at.y, size.cx, size.cy);
    ::SetWindowPos(Handle(), HWND_TOPMOST, at.x, at.y, size.cx, size.cy, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    FShown = true;
  }
  void ReleaseHint() {
    if (HandleAllocated()) ::ShowWindow(Handle(), SW_HIDE);
    FShown = false;
  }
  bool Shown() const { return FShown; }

  void WndProc(TMessage& Message) override {
    if (Message.Msg == WM_TIMER) {
      Application().HintTimer(Message.WParam);
      return;
    }
    if (Message.Msg == WM_NCHITTEST) {
      Message.Result = HTTRANSPARENT;
      return;
    }
    TWinControl::WndProc(Message);
  }

protected:
  void CreateParams(TCreateParams& Params) override {
    TWinControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    Params.WndParent = nullptr;
  }
  void PaintWindow(HDC dc) override {
    RECT rect = ClientRect();
    ::InflateRect(&rect, -4, -2);
    SelectedObject font(dc, Font().Handle());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ColorToRGB(Font().Color()));
    std::wstring text = Caption();
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, DT_NOPREFIX | DT_WORDBREAK);
  }

private:
  bool FShown = false;
};

TApplication& Application() {
  static TApplication application;
  return application;
}

TApplication::TApplication() : TComponent(nullptr) {}

TApplication::~TApplication() {
  // Forms first, while the hint state they report to still exists.
  DestroyComponents();
  FHintControl = nullptr;
  FHintWindow.reset();
}

void TApplication::Initialize() {
  if (!FCom) FCom.emplace();
  LoadCommonControls(ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_WIN95_CLASSES);
}

void TApplication::Terminate() {
  FTerminated = true;
  // Wakes a waiting GetMessage so that Run sees the flag.
  ::PostMessageW(nullptr, WM_NULL, 0, 0);
}

void TApplication::Halt(int exitCode) { throw TProgramExit(exitCode); }

int TApplication::Execute(const std::function<void()>& createForms) {
  try {
    createForms();
  } catch (const TProgramExit& exit) {
    FExitCode = exit.ExitCode();
    return FExitCode;
  } catch (...) {
    HandleException(std::current_exception());
    return 1;
  }
  Run();
  return FExitCode;
}

void TApplication::Dispatch(MSG& message) {
  try {
    if (message.message == WM_KEYDOWN) {
      if (TWinControl* control = TWinControl::FromHandle(message.hwnd);
          control && control->Perform(TM_KEYPREVIEW, message.wParam, message.lParam) != 0)
        return;
    }
    if (FHintControl && (message.message == WM_KEYDOWN || message.message == WM_LBUTTONDOWN ||
                         message.message == WM_RBUTTONDOWN || message.message == WM_MBUTTONDOWN))
      CancelHint();
  } catch (...) {
    HandleException(std::current_exception());
    return;
  }
  ::TranslateMessage(&message);
  ::DispatchMessageW(&message);
}

void TApplication::ProcessMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      FTerminated = true;
      continue;
    }
    Dispatch(message);
  }
}

void TApplication::Run() {
  if (!FMainForm) return;
  FTerminated = false;
  try {
    FMainForm->Show();
  } catch (...) {
    HandleException(std::current_exception());
  }
  while (!FTerminated) {
    MSG message;
    BOOL result = ::GetMessageW(&message, nullptr, 0, 0);
    if (result == 0 || result == -1) {
      FTerminated = true;
      break;
    }
    Dispatch(message);
  }
  CancelHint();
}

void TApplication::Restore() {
  if (FMainForm && FMainForm->HandleAllocated() && ::IsIconic(FMainForm->Handle()))
    ::ShowWindow(FMainForm->Handle(), SW_RESTORE);
}

void TApplication::BringToFront() {
  if (FMainForm) FMainForm->BringToFront();
}

void TApplication::HandleException(std::exception_ptr error) {
  std::wstring text;
  try {
    std::rethrow_exception(error);
  } catch (const TProgramExit& exit) {
    // Halt from a handler: not an error, the loop ends with its code.
    FExitCode = exit.ExitCode();
    Terminate();
    return;
  } catch (const std::exception& exception) {
    text = platform::FromUtf8(exception.what());
  } catch (...) {
    text = L"Unknown error";
  }
  try {
    if (OnException)
      OnException(text);
    else
      ShowException(text);
  } catch (...) {
    // The report itself must not fail into a window procedure.
  }
}

void TApplication::ShowException(const std::wstring& message) {
  HWND owner = FMainForm && FMainForm->HandleAllocated() ? FMainForm->Handle() : nullptr;
  ::MessageBoxW(owner, message.c_str(), FTitle.empty() ? L"Error" : FTitle.c_str(), MB_OK | MB_ICONERROR);
}

int TApplication::MessageBox(const std::wstring& text, const std::wstring& caption, UINT flags) {
  if (OnMessageBox) return OnMessageBox(text, caption, flags);
  HWND owner = FMainForm && FMainForm->HandleAllocated() ? FMainForm->Handle() : nullptr;
  return ::MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
}

void TApplication::HintMouseEnter(TControl* control) {
  if (!control->ShowHint() || control->Hint().empty()) return;
  CancelHint();
  if (!FHintWindow) FHintWindow = std::make_unique<THintWindow>();
  FHintControl = control;
  ::SetTimer(FHintWindow->Handle(), ShowHintTimer, static_cast<UINT>(std::max(FHintPause, 0)), nullptr);
}

void TApplication::HintMouseLeave(TControl* control) {
  if (control == FHintControl) CancelHint();
}

void TApplication::CancelHint() {
  FHintControl = nullptr;
  if (!FHintWindow || !FHintWindow->HandleAllocated()) return;
  ::KillTimer(FHintWindow->Handle(), ShowHintTimer);
  ::KillTimer(FHintWindow->Handle(), HideHintTimer);
  FHintWindow->ReleaseHint();
}

void TApplication::ControlDestroyed(TControl* control) {
  if (control == FHintControl) CancelHint();
}

void TApplication::HintTimer(UINT_PTR id) {
  if (!FHintWindow) return;
  ::KillTimer(FHintWindow->Handle(), id);
  if (id == HideHintTimer || !FHintControl || !FHintControl->MouseInControl()) {
    CancelHint();
    return;
  }
  POINT cursor;
  ::GetCursorPos(&cursor);
  FHintWindow->ActivateHint({cursor.x, cursor.y + 20}, FHintControl->Hint());
  ::SetTimer(FHintWindow->Handle(), HideHintTimer, HintShowMilliseconds, nullptr);
}

std::wstring TApplication::ShownHint() const {
  return FHintWindow && FHintWindow->Shown() ? FHintWindow->Caption() : std::wstring();
}

}  // namespace zarvo::toolkit
