// TWinControl: window creation and the one window procedure, children, docking, focus and
// keyboard order, mouse routing to windowless children, painting.
#include "toolkit/WinControl.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "platform/Text.h"
#include "platform/Win32Error.h"
#include "toolkit/Application.h"
#include "toolkit/FlagScope.h"
#include "toolkit/Form.h"

namespace zarvo::toolkit {

namespace {

const wchar_t* CursorResource(TCursor cursor) {
  switch (cursor) {
    case crIBeam:
      return IDC_IBEAM;
    case crHourGlass:
      return IDC_WAIT;
    case crHandPoint:
      return IDC_HAND;
    default:
      return IDC_ARROW;
  }
}

bool IsRoutedMouseMessage(UINT message) {
  return message >= WM_MOUSEFIRST && message <= WM_MBUTTONDBLCLK;
}

// The module's icon "MAINICON" at the size the system shows, or nullptr without one. Shared:
// loaded once, never destroyed, as a class icon must outlive the class.
HICON ModuleIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
  return static_cast<HICON>(::LoadImageW(instance, L"MAINICON", IMAGE_ICON,
                                         ::GetSystemMetrics(widthMetric),
                                         ::GetSystemMetrics(heightMetric), LR_SHARED));
}

}  // namespace

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
  BeginDestruction();
  // Leave the parent while this is still a windowed control (tab order, active control).
  if (Parent()) Parent()->RemoveControl(this);
  for (TControl* child : FControls) child->FParent = nullptr;
  FControls.clear();
  FTabList.clear();
  FHoverControl = FCaptureControl = nullptr;
  if (FHandle) {
    DetachWindow();
    // A handler of the window's own destruction destroyed the control: that DestroyWindow, further
    // up the stack, finishes the window.
    if (FDestroyingWindow)
      FHandle.release();
    else
      FHandle.reset();
  }
}

// ---- the window

HWND TWinControl::Handle() {
  HandleNeeded();
  return FHandle.get();
}

void TWinControl::HandleNeeded() {
  if (FHandle) return;
  if (Parent()) Parent()->HandleNeeded();
  if (!FHandle) CreateWnd();
}

void TWinControl::CreateParams(TCreateParams& Params) {
  Params.WindowClass = ClassName();
  Params.Style = WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  Params.Style |= Parent() ? WS_CHILD : WS_POPUP;
  if (Visible()) Params.Style |= WS_VISIBLE;
  if (!Enabled()) Params.Style |= WS_DISABLED;
  if (FTabStop) Params.Style |= WS_TABSTOP;
  Params.X = Left();
  Params.Y = Top();
  Params.Width = Width();
  Params.Height = Height();
  Params.WndParent = Parent() ? Parent()->Handle() : nullptr;
  Params.Caption = StoredCaption();
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  if (params.SystemClass) {
    HWND window = ::CreateWindowExW(params.ExStyle, params.WindowClass.c_str(), params.Caption.c_str(),
                                    params.Style, params.X, params.Y, params.Width, params.Height,
                                    params.WndParent, nullptr, instance, nullptr);
    if (!window) platform::ThrowLastError("CreateWindowExW(" + platform::ToUtf8(params.WindowClass) + ")");
    FHandle.reset(window);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    FDefWndProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProcedure)));
    FSubclassed = true;
  } else {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (!::GetClassInfoExW(instance, params.WindowClass.c_str(), &existing)) {
      WNDCLASSEXW windowClass{};
      windowClass.cbSize = sizeof(windowClass);
      windowClass.style = params.ClassStyle;
      windowClass.lpfnWndProc = &WindowProcedure;
      windowClass.hInstance = instance;
      windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
      // Top-level windows show the program's icon in their caption and on the taskbar.
      if (!(params.Style & WS_CHILD)) {
        windowClass.hIcon = ModuleIcon(instance, SM_CXICON, SM_CYICON);
        windowClass.hIconSm = ModuleIcon(instance, SM_CXSMICON, SM_CYSMICON);
      }
      windowClass.lpszClassName = params.WindowClass.c_str();
      if (!::RegisterClassExW(&windowClass)) platform::ThrowLastError("RegisterClassExW(" + platform::ToUtf8(params.WindowClass) + ")");
    }
    FDefWndProc = ::DefWindowProcW;
    FSubclassed = false;
    HWND window = ::CreateWindowExW(params.ExStyle, params.WindowClass.c_str(), params.Caption.c_str(),
                                    params.Style, params.X, params.Y, params.Width, params.Height,
                                    params.WndParent, nullptr, instance, this);
    if (!window) platform::ThrowLastError("CreateWindowExW(" + platform::ToUtf8(params.WindowClass) + ")");
  }
  HWND window = FHandle.get();
  ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
  // Later siblings lie above earlier ones, as windowless children are painted.
  if (Parent()) ::SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  WindowCreated();
  for (size_t i = 0; i < FControls.size(); ++i) {
    if (auto* child = dynamic_cast<TWinControl*>(FControls[i])) child->HandleNeeded();
  }
  // A window made again under the pointer: its leaving has to be noticed as the old one's was.
  if (MouseInControl()) TrackMouse();
}

void TWinControl::SaveWindowState() {
  if (FHandle) StoredCaption() = Caption();
}

void TWinControl::DestroyWnd() {
  if (!FHandle || FDestroyingWindow) return;
  HWND window = FHandle.get();
  TWeakRef self(this);
  {
    FlagScope destroying(FDestroyingWindow, this);
    // WM_DESTROY keeps the window's state in the objects, WM_NCDESTROY lets the handle go. Exit
    // handlers run first (the focus leaves) and may destroy the control.
    ::DestroyWindow(window);
  }
  if (self && FHandle.get() == window) {
    DetachWindow();
    FHandle.release();
  }
}

void TWinControl::RecreateWnd() {
  // A window on its way out needs no new style: the next one is made from the object's state.
  if (!FHandle || FRecreating || FDestroyingWindow) return;
  TWeakRef self(this);
  FlagScope recreating(FRecreating, this);
  bool focused = Focused() || ::IsChild(FHandle.get(), ::GetFocus());
  DestroyWnd();
  if (self) HandleNeeded();
  if (self && focused && CanFocus()) ::SetFocus(FHandle.get());
}

void TWinControl::AttachWindow(HWND window) {
  FHandle.reset(window);
  ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void TWinControl::DetachWindow() {
  HWND window = FHandle.get();
  if (!window) return;
  ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  if (FSubclassed) ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FDefWndProc));
  FSubclassed = false;
  FDefWndProc = ::DefWindowProcW;
  FTrackingMouse = false;
}

TWinControl* TWinControl::FromHandle(HWND window) {
  if (!window) return nullptr;
  if (::GetWindowLongPtrW(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&WindowProcedure)) return nullptr;
  return reinterpret_cast<TWinControl*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK TWinControl::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TWinControl* self = nullptr;
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    self = static_cast<TWinControl*>(create->lpCreateParams);
    if (self) self->AttachWindow(window);
  } else {
    self = reinterpret_cast<TWinControl*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  }
  if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
  TMessage msg{message, wParam, lParam, 0};
  TWeakRef alive(self);
  try {
    // A control whose destruction has begun is only partly there: its window gets the default
    // processing, and no handler hears of it (no exit for a focused control that goes).
    if (self->Destroying())
      self->TWinControl::DefaultHandler(msg);
    else
      self->WndProc(msg);
  } catch (...) {
    // Nothing crosses into Win32: the error goes to the application's report.
    Application().HandleException(std::current_exception());
    msg.Result = 0;
  }
  // A handler destroyed the control; its destructor has let the window go.
  if (!alive) return msg.Result;
  if (message == WM_NCDESTROY && self->FHandle.get() == window) {
    self->DetachWindow();
    self->FHandle.release();
  }
  return msg.Result;
}

void TWinControl::DefaultHandler(TMessage& Message) {
  if (!FHandle) {
    Message.Result = 0;
    return;
  }
  Message.Result = ::CallWindowProcW(FDefWndProc, FHandle.get(), Message.Msg, Message.WParam, Message.LParam);
}

// ---- children

void TWinControl::InsertControl(TControl* control) {
  FControls.push_back(control);
  control->FParent = this;
  auto* windowed = dynamic_cast<TWinControl*>(control);
  if (windowed) {
    FTabList.push_back(windowed);
    if (windowed->FWantedTabOrder >= 0) {
      int wanted = windowed->FWantedTabOrder;
      windowed->FWantedTabOrder = -1;
      windowed->SetTabOrder(wanted);
    }
  }
  if (control->ParentFont()) control->TakeParentFont();
  if (control->ParentColor()) control->TakeParentColor();
  if (windowed && HandleAllocated()) windowed->HandleNeeded();
  if (!windowed) control->Invalidate();
  if (control->Align() != alNone) Realign();
}

void TWinControl::RemoveControl(TControl* control) {
  // The leave and exit handlers that run here may destroy the control or this one; a destroyed
  // control has left through its own destructor.
  TWeakRef self(this);
  TWeakRef removed(control);
  if (FHoverControl == control) FHoverControl = nullptr;
  // Out of its parent the control is no longer under the pointer: it has to hear so now, or it
  // stays hot, keeps its hint armed and takes the pointer's return for no new entry.
  if (auto* windowed = dynamic_cast<TWinControl*>(control))
    windowed->LeaveMouse();
  else
    control->NotifyMouseLeave();
  if (!self || !removed) return;
  if (FCaptureControl == control) {
    FCaptureControl = nullptr;
    if (FHandle && ::GetCapture() == FHandle.get()) ::ReleaseCapture();
  }
  control->Invalidate();
  if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
    TForm* form = ParentForm();
    if (form && form->ActiveControl() && windowed->ContainsControl(form->ActiveControl())) form->FocusChanged(nullptr);
    std::erase(FTabList, windowed);
    windowed->DestroyWnd();
    if (!self || !removed) return;
  }
  std::erase(FControls, control);
  control->FParent = nullptr;
  if (control->Align() != alNone) Realign();
}

bool TWinControl::ContainsControl(const TControl* control) const {
  for (const TControl* up = control; up; up = up->Parent()) {
    if (up == this) return true;
  }
  return false;
}

TControl* TWinControl::ControlAtPos(POINT point, bool allowDisabled) const {
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
    TControl* control = *it;
    if (dynamic_cast<TWinControl*>(control)) continue;
    if (!control->Visible() || (!allowDisabled && !control->Enabled())) continue;
    RECT area = control->BoundsRect();
    if (::PtInRect(&area, point)) return control;
  }
  return nullptr;
}

template <class Visit>
bool TWinControl::VisitChildren(Visit visit) {
  TWeakRef self(this);
  std::vector<TWeakRef<TControl>> children;
  children.reserve(FControls.size());
  for (TControl* child : FControls) children.emplace_back(child);
  for (const TWeakRef<TControl>& reference : children) {
    if (!self) return false;
    TControl* child = reference.Get();
    if (!child || child->FParent != this) continue;
    if (visit(*child)) break;
  }
  return static_cast<bool>(self);
}

LRESULT TWinControl::Broadcast(UINT Msg, WPARAM WParam, LPARAM LParam) {
  LRESULT result = 0;
  VisitChildren([&](TControl& child) {
    result = child.Perform(Msg, WParam, LParam);
    return result != 0;
  });
  return result;
}

// ---- keyboard order and focus

int TWinControl::TabOrder() const {
  if (!Parent()) return FWantedTabOrder;
  const auto& list = Parent()->FTabList;
  auto found = std::find(list.begin(), list.end(), this);
  return found == list.end() ? -1 : static_cast<int>(found - list.begin());
}

void TWinControl::SetTabOrder(int value) {
  if (!Parent()) {
    FWantedTabOrder = value;
    return;
  }
  auto& list = Parent()->FTabList;
  std::erase(list, this);
  int position = std::clamp(value, 0, static_cast<int>(list.size()));
  list.insert(list.begin() + position, this);
}

void TWinControl::SetTabStop(bool value) {
  if (value == FTabStop) return;
  FTabStop = value;
  if (FHandle) {
    LONG_PTR style = ::GetWindowLongPtrW(FHandle.get(), GWL_STYLE);
    style = value ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
    ::SetWindowLongPtrW(FHandle.get(), GWL_STYLE, style);
  }
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
  for (TWinControl* child : FTabList) {
    list.push_back(child);
    child->GetTabOrderList(list);
  }
}

bool TWinControl::CanFocus() const {
  for (const TControl* control = this; control; control = control->Parent()) {
    if (!control->Visible() || !control->Enabled()) return false;
  }
  return true;
}

bool TWinControl::Focused() const { return FHandle && ::GetFocus() == FHandle.get(); }

void TWinControl::SetFocus() {
  if (TForm* form = ParentForm(); form && form != this) {
    form->SetActiveControl(this);
    return;
  }
  ::SetFocus(Handle());
}

bool TWinControl::SelectNext(TWinControl* current, bool forward, bool checkTabStop) {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return false;
  int count = static_cast<int>(list.size());
  auto found = std::find(list.begin(), list.end(), current);
  int position = found != list.end() ? static_cast<int>(found - list.begin()) : (forward ? -1 : count);
  for (int step = 1; step <= count; ++step) {
    int index = forward ? position + step : position - step;
    index = ((index % count) + count) % count;
    TWinControl* candidate = list[static_cast<size_t>(index)];
    if (candidate == current) continue;
    if (!candidate->CanFocus() || (checkTabStop && !candidate->TabStop())) continue;
    candidate->SetFocus();
    return true;
  }
  return false;
}

void TWinControl::KeyPreview(TMessage& Message) {
  Message.Result = 0;
  WORD key = static_cast<WORD>(Message.WParam);
  if (key != VK_TAB && key != VK_RETURN && key != VK_ESCAPE) return;
  TWeakRef self(this);
  if (Perform(TM_WANTSPECIALKEY, Message.WParam, Message.LParam) != 0 || !self) return;
  if (FHandle) {
    MSG keyMessage{FHandle.get(), WM_KEYDOWN, Message.WParam, Message.LParam, 0, {0, 0}};
    LRESULT code = ::SendMessageW(FHandle.get(), WM_GETDLGCODE, Message.WParam, reinterpret_cast<LPARAM>(&keyMessage));
    if (!self || (code & DLGC_WANTALLKEYS)) return;
    if (key == VK_TAB && (code & DLGC_WANTTAB)) return;
  }
  TForm* form = ParentForm();
  if (form && form->Perform(TM_DIALOGKEY, Message.WParam, Message.LParam) != 0) Message.Result = 1;
}

void TWinControl::DialogKey(TMessage& Message) {
  Message.Result = Broadcast(TM_DIALOGKEY, Message.WParam, Message.LParam);
}

void TWinControl::DialogChar(TMessage& Message) {
  Message.Result = Broadcast(TM_DIALOGCHAR, Message.WParam, Message.LParam);
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) { CallEvent(OnKeyDown, this, Key, Shift); }

void TWinControl::DoEnter() { CallEvent(OnEnter, this); }

void TWinControl::DoExit() { CallEvent(OnExit, this); }

// A system control tells its parent of the focus change, whose handlers may destroy it.
void TWinControl::WMSetFocus(TMessage& Message) {
  TWeakRef self(this);
  DefaultHandler(Message);
  if (!self) return;
  if (TForm* form = ParentForm(); form && form != this) form->FocusChanged(this);
  DoEnter();
}

void TWinControl::WMKillFocus(TMessage& Message) {
  TWeakRef self(this);
  DefaultHandler(Message);
  if (self) DoExit();
}

// ---- docking

void TWinControl::EnableAlign() {
  if (FAlignLevel > 0) --FAlignLevel;
  if (FAlignLevel == 0 && FAlignPending) Realign();
}

void TWinControl::Realign() {
  if (FAlignLevel > 0 || Loading()) {
    FAlignPending = true;
    return;
  }
  if (FAligning) return;
  FlagScope aligning(FAligning);
  FAlignPending = false;
  RECT rect = ClientRect();
  AdjustClientRect(rect);
  AlignControls(rect);
}

void TWinControl::Loaded() {
  TControl::Loaded();
  if (FAlignPending) Realign();
}

void TWinControl::AdjustClientRect(RECT&) const {}

void TWinControl::AlignControls(RECT rect) {
  // Controls docked to the same edge keep the order of their positions: the one nearest that
  // edge sticks to it first; equal positions keep child order.
  for (TAlign kind : {alTop, alBottom, alLeft, alRight, alClient}) {
    std::vector<TControl*> docked;
    for (TControl* control : FControls) {
      if (control->Align() == kind && control->Visible()) docked.push_back(control);
    }
    auto nearer = [kind](const TControl* a, const TControl* b) {
      switch (kind) {
        case alTop:
          return a->Top() < b->Top();
        case alBottom:
          return a->Top() + a->Height() > b->Top() + b->Height();
        case alLeft:
          return a->Left() < b->Left();
        case alRight:
          return a->Left() + a->Width() > b->Left() + b->Width();
        default:
          return false;
      }
    };
    std::stable_sort(docked.begin(), docked.end(), nearer);
    for (TControl* control : docked) {
      int width = std::max(0, static_cast<int>(rect.right - rect.left));
      int height = std::max(0, static_cast<int>(rect.bottom - rect.top));
      switch (kind) {
        case alTop:
          control->SetBounds(rect.left, rect.top, width, control->Height());
          rect.top += control->Height();
          break;
        case alBottom:
          control->SetBounds(rect.left, rect.bottom - control->Height(), width, control->Height());
          rect.bottom -= control->Height();
          break;
        case alLeft:
          control->SetBounds(rect.left, rect.top, control->Width(), height);
          rect.left += control->Width();
          break;
        case alRight:
          control->SetBounds(rect.right - control->Width(), rect.top, control->Width(), height);
          rect.right -= control->Width();
          break;
        default:
          control->SetBounds(rect.left, rect.top, width, height);
          break;
      }
    }
  }
}

// ---- bounds and painting

std::wstring TWinControl::Caption() const {
  if (!FHandle) return const_cast<TWinControl*>(this)->StoredCaption();
  int length = ::GetWindowTextLengthW(FHandle.get());
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  length = ::GetWindowTextW(FHandle.get(), text.data(), length + 1);
  text.resize(static_cast<size_t>(std::max(length, 0)));
  return text;
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (AWidth < 0) AWidth = 0;
  if (AHeight < 0) AHeight = 0;
  if (ALeft == Left() && ATop == Top() && AWidth == Width() && AHeight == Height()) return;
  bool resized = AWidth != Width() || AHeight != Height();
  UpdateBoundsFromWindow(ALeft, ATop, AWidth, AHeight);
  if (FHandle) ::SetWindowPos(FHandle.get(), nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  if (resized) Realign();
  RequestAlign();
}

RECT TWinControl::ClientRect() const {
  if (FHandle) {
    RECT rect;
    ::GetClientRect(FHandle.get(), &rect);
    return rect;
  }
  return TControl::ClientRect();
}

void TWinControl::Repaint() {
  if (!FHandle) return;
  ::InvalidateRect(FHandle.get(), nullptr, TRUE);
  ::UpdateWindow(FHandle.get());
}

void TWinControl::Invalidate() {
  if (FHandle) ::InvalidateRect(FHandle.get(), nullptr, TRUE);
}

void TWinControl::PaintTo(HDC dc, int x, int y) {
  SavedDC saved(dc);
  POINT origin;
  ::GetViewportOrgEx(dc, &origin);
  ::SetViewportOrgEx(dc, origin.x + x, origin.y + y, nullptr);
  ::IntersectClipRect(dc, 0, 0, Width(), Height());
  if (FSubclassed) {
    if (FHandle)
      ::SendMessageW(FHandle.get(), WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
  } else {
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  }
  for (size_t i = 0; i < FControls.size(); ++i) {
    auto* child = dynamic_cast<TWinControl*>(FControls[i]);
    if (child && child->Visible() && (child->ControlStyle() & csReplicatable))
      child->PaintTo(dc, child->Left(), child->Top());
  }
}

void TWinControl::PaintWindow(HDC) {}

void TWinControl::PaintControls(HDC dc) {
  for (size_t i = 0; i < FControls.size(); ++i) {
    TControl* control = FControls[i];
    if (dynamic_cast<TWinControl*>(control) || !control->Visible()) continue;
    RECT area = control->BoundsRect();
    if (!::RectVisible(dc, &area)) continue;
    SavedDC saved(dc);
    POINT origin;
    ::GetViewportOrgEx(dc, &origin);
    ::SetViewportOrgEx(dc, origin.x + area.left, origin.y + area.top, nullptr);
    ::IntersectClipRect(dc, 0, 0, control->Width(), control->Height());
    control->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  }
}

void TWinControl::WMPaint(TMessage& Message) {
  if (FSubclassed) {
    DefaultHandler(Message);
    return;
  }
  auto paint = [this](HDC dc) {
    {
      SavedDC saved(dc);
      PaintWindow(dc);
    }
    PaintControls(dc);
  };
  if (Message.WParam) {
    paint(reinterpret_cast<HDC>(Message.WParam));
  } else {
    PaintDC dc(FHandle.get());
    paint(dc.get());
  }
  Message.Result = 0;
}

void TWinControl::WMEraseBkgnd(TMessage& Message) {
  if (FSubclassed) {
    DefaultHandler(Message);
    return;
  }
  RECT rect = ClientRect();
  ::FillRect(reinterpret_cast<HDC>(Message.WParam), &rect, BackgroundBrush());
  Message.Result = 1;
}

HBRUSH TWinControl::BackgroundBrush() {
  if (!FBackgroundBrush || FBackgroundBrushColor != Color()) {
    FBackgroundBrush.reset(::CreateSolidBrush(ColorToRGB(Color())));
    FBackgroundBrushColor = Color();
  }
  return FBackgroundBrush.get();
}

void TWinControl::Command(TMessage& Message) { Message.Result = 0; }

void TWinControl::ControlColor(TMessage& Message) {
  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  ::SetTextColor(dc, ColorToRGB(Font().Color()));
  ::SetBkColor(dc, ColorToRGB(Color()));
  Message.Result = reinterpret_cast<LRESULT>(BackgroundBrush());
}

// ---- notifications

void TWinControl::EnabledChanged(TMessage& Message) {
  if (!Enabled() && FHandle && (Focused() || ::IsChild(FHandle.get(), ::GetFocus()))) {
    TWeakRef self(this);
    TForm* form = ParentForm();
    // The exit handlers this runs may destroy the control.
    ::SetFocus(form && form != this && form->HandleAllocated() ? form->Handle() : nullptr);
    if (!self) return;
  }
  if (FHandle) ::EnableWindow(FHandle.get(), Enabled() ? TRUE : FALSE);
  TControl::EnabledChanged(Message);
}

void TWinControl::VisibleChanged(TMessage&) {
  if (Visible()) {
    if (Parent() && Parent()->HandleAllocated()) HandleNeeded();
    if (FHandle) ::ShowWindow(FHandle.get(), SW_SHOWNOACTIVATE);
  } else if (FHandle) {
    HWND focus = ::GetFocus();
    if (focus == FHandle.get() || ::IsChild(FHandle.get(), focus)) {
      TWeakRef self(this);
      TForm* form = ParentForm();
      // The exit handlers this runs may destroy the control or take its window.
      if (form && form != this && form->HandleAllocated()) ::SetFocus(form->Handle());
      if (!self || !FHandle) return;
    }
    ::ShowWindow(FHandle.get(), SW_HIDE);
  }
}

void TWinControl::FontChanged(TMessage& Message) {
  if (FHandle) ::SendMessageW(FHandle.get(), WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
  bool stands = VisitChildren([](TControl& child) {
    child.Perform(TM_PARENTFONTCHANGED);
    return false;
  });
  if (stands) TControl::FontChanged(Message);
}

void TWinControl::TextChanged(TMessage& Message) {
  if (FHandle) ::SetWindowTextW(FHandle.get(), StoredCaption().c_str());
  TControl::TextChanged(Message);
}

void TWinControl::ColorChanged(TMessage& Message) {
  FBackgroundBrush.reset();
  bool stands = VisitChildren([](TControl& child) {
    child.Perform(TM_PARENTCOLORCHANGED);
    return false;
  });
  if (stands) TControl::ColorChanged(Message);
}

// ---- mouse

void TWinControl::TrackMouse() {
  if (FTrackingMouse || !FHandle) return;
  TRACKMOUSEEVENT track{};
  track.cbSize = sizeof(track);
  track.dwFlags = TME_LEAVE;
  track.hwndTrack = FHandle.get();
  FTrackingMouse = ::TrackMouseEvent(&track) != FALSE;
}

void TWinControl::LeaveMouse() {
  TWeakRef self(this);
  if (TControl* hover = std::exchange(FHoverControl, nullptr)) hover->NotifyMouseLeave();
  if (!self) return;
  bool stands = VisitChildren([](TControl& child) {
    if (auto* windowed = dynamic_cast<TWinControl*>(&child)) windowed->LeaveMouse();
    return false;
  });
  if (stands) NotifyMouseLeave();
}

void TWinControl::UpdateHover(POINT point) {
  TControl* now = ControlAtPos(point, true);
  if (now == FHoverControl) return;
  TControl* old = FHoverControl;
  FHoverControl = now;
  // The leave handler may destroy this control or the one the pointer came to.
  TWeakRef self(this);
  TWeakRef entered(now);
  if (old) old->NotifyMouseLeave();
  if (self && entered && FHoverControl == now) now->NotifyMouseEnter();
}

void TWinControl::RouteMouse(TMessage& Message) {
  POINT point = PointFromLParam(Message.LParam);
  if (Message.Msg == WM_MOUSEMOVE) {
    TrackMouse();
    TWeakRef self(this);
    NotifyMouseEnter();
    if (!self) return;
    UpdateHover(point);
    if (!self) return;
  }
  TControl* target = FCaptureControl ? FCaptureControl : ControlAtPos(point, false);
  if (!target) {
    TControl::WndProc(Message);
    return;
  }
  POINT inTarget{point.x - target->Left(), point.y - target->Top()};
  Message.Result = target->Perform(Message.Msg, Message.WParam, LParamFromPoint(inTarget));
}

bool TWinControl::SetCursorForPoint() {
  POINT point;
  ::GetCursorPos(&point);
  ::ScreenToClient(FHandle.get(), &point);
  TControl* control = ControlAtPos(point, true);
  TCursor cursor = control && control->Cursor() != crDefault ? control->Cursor() : Cursor();
  if (cursor == crDefault) return false;
  ::SetCursor(::LoadCursorW(nullptr, CursorResource(cursor)));
  return true;
}

void TWinControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_MOUSELEAVE: {
      FTrackingMouse = false;
      TWeakRef self(this);
      if (TControl* hover = std::exchange(FHoverControl, nullptr)) hover->NotifyMouseLeave();
      if (self) NotifyMouseLeave();
      if (self) DefaultHandler(Message);
      return;
    }
    case WM_CAPTURECHANGED:
      FCaptureControl = nullptr;
      DefaultHandler(Message);
      return;
    case WM_SETFOCUS:
      WMSetFocus(Message);
      return;
    case WM_KILLFOCUS:
      WMKillFocus(Message);
      return;
    case WM_PAINT:
      WMPaint(Message);
      return;
    case WM_PRINTCLIENT:
      if (!FSubclassed) {
        TMessage paint{WM_PAINT, Message.WParam, 0, 0};
        WMPaint(paint);
        return;
      }
      break;
    case WM_ERASEBKGND:
      WMEraseBkgnd(Message);
      return;
    case WM_WINDOWPOSCHANGED: {
      DefaultHandler(Message);
      auto* position = reinterpret_cast<const WINDOWPOS*>(Message.LParam);
      if (FHandle && (position->flags & (SWP_NOSIZE | SWP_NOMOVE)) != (SWP_NOSIZE | SWP_NOMOVE)) {
        RECT rect;
        ::GetWindowRect(FHandle.get(), &rect);
        if (Parent() && Parent()->HandleAllocated())
          ::MapWindowPoints(nullptr, Parent()->Handle(), reinterpret_cast<POINT*>(&rect), 2);
        bool resized = rect.right - rect.left != Width() || rect.bottom - rect.top != Height();
        UpdateBoundsFromWindow(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
        if (resized) Realign();
      }
      return;
    }
    case WM_KEYDOWN: {
      WORD key = static_cast<WORD>(Message.WParam);
      TWeakRef self(this);
      KeyDown(key, ShiftStateFromKeyboard());
      if (key == 0 || !self) return;
      Message.WParam = key;
      DefaultHandler(Message);
      return;
    }
    // Control characters (Enter, Escape, Tab, Backspace) are no accelerators. The accelerator's
    // handler may destroy this control.
    case WM_SYSCHAR: {
      TWeakRef self(this);
      if (TForm* form = ParentForm(); form && Message.WParam >= L' ' &&
                                      form->Perform(TM_DIALOGCHAR, Message.WParam, Message.LParam) != 0)
        return;
      if (self) DefaultHandler(Message);
      return;
    }
    case WM_CHAR: {
      TWeakRef self(this);
      if (TForm* form = ParentForm(); form && FHandle && Message.WParam >= L' ') {
        LRESULT code = ::SendMessageW(FHandle.get(), WM_GETDLGCODE, Message.WParam, 0);
        if (!(code & DLGC_WANTCHARS) && form->Perform(TM_DIALOGCHAR, Message.WParam, Message.LParam) != 0) return;
      }
      if (self) DefaultHandler(Message);
      return;
    }
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(Message.WParam) == FHandle.get() && LOWORD(Message.LParam) == HTCLIENT &&
          SetCursorForPoint()) {
        Message.Result = TRUE;
        return;
      }
      DefaultHandler(Message);
      return;
    case WM_COMMAND:
      if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(Message.LParam)); child && child != this) {
        Message.Result = child->Perform(TM_COMMAND, Message.WParam, Message.LParam);
        return;
      }
      DefaultHandler(Message);
      return;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSCROLLBAR:
      if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(Message.LParam)); child && child != this) {
        Message.Result = child->Perform(TM_CTLCOLOR, Message.WParam, Message.Msg);
        return;
      }
      DefaultHandler(Message);
      return;
    case WM_DESTROY:
      SaveWindowState();
      DefaultHandler(Message);
      return;
    case TM_KEYPREVIEW:
      KeyPreview(Message);
      return;
    case TM_COMMAND:
      Command(Message);
      return;
    case TM_CTLCOLOR:
      ControlColor(Message);
      return;
    default:
      if (IsRoutedMouseMessage(Message.Msg)) {
        RouteMouse(Message);
        return;
      }
      break;
  }
  TControl::WndProc(Message);
}

}  // namespace zarvo::toolkit
