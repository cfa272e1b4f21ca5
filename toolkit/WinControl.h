// TWinControl: a control with a window of its own, created when its parent has one. It holds
// child controls (windowed or not), docks them, routes mouse input to its windowless children,
// keeps the tab order, and routes Tab, Enter and Escape to the form.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "toolkit/Control.h"

namespace zarvo::toolkit {

// What CreateWnd hands to CreateWindowExW.
struct TCreateParams {
  std::wstring WindowClass;
  // An existing system class (EDIT, COMBOBOX, ...), subclassed after creation; otherwise the
  // class is registered with the toolkit's window procedure under WindowClass.
  bool SystemClass = false;
  UINT ClassStyle = CS_DBLCLKS;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0;
  int Y = 0;
  int Width = 0;
  int Height = 0;
  HWND WndParent = nullptr;
  std::wstring Caption;
};

class TWinControl : public TControl {
public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;
  std::wstring_view ClassName() const override { return L"TWinControl"; }

  // The window, created (with its parents') when there is none yet.
  HWND Handle();
  bool HandleAllocated() const { return static_cast<bool>(FHandle); }
  void HandleNeeded();
  // Destroys and creates the window again, keeping the control's state.
  void RecreateWnd();

  // Child controls, windowed and windowless, in the order they were given this parent.
  int ControlCount() const { return static_cast<int>(FControls.size()); }
  TControl* Controls(int index) const { return FControls.at(static_cast<size_t>(index)); }
  bool ContainsControl(const TControl* control) const;
  // The topmost visible windowless child at `point` (client coordinates).
  TControl* ControlAtPos(POINT point, bool allowDisabled) const;

  // Position among the parent's windowed children in keyboard order.
  int TabOrder() const;
  void SetTabOrder(int value);
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool value);
  // This control and its windowed descendants in keyboard order (depth first by TabOrder).
  void GetTabOrderList(std::vector<TWinControl*>& list) const;
  virtual bool CanFocus() const;
  bool Focused() const;
  virtual void SetFocus();
  // Focuses the control after (or before) `current` in keyboard order among this control's
  // descendants, wrapping around; false when there is none.
  bool SelectNext(TWinControl* current, bool forward, bool checkTabStop);

  // Docking is held while disabled and done once at the last EnableAlign.
  void DisableAlign() { ++FAlignLevel; }
  void EnableAlign();
  void Realign();

  std::wstring Caption() const override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  RECT ClientRect() const override;
  void Repaint() override;
  void Invalidate() override;
  void PaintTo(HDC dc, int x, int y) override;
  void WndProc(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;
  void Loaded() override;

  // The one window procedure of every toolkit window and subclassed system control.
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // The toolkit object of a window, or nullptr for a window that is not the toolkit's.
  static TWinControl* FromHandle(HWND window);

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;

protected:
  virtual void CreateParams(TCreateParams& Params);
  virtual void CreateWnd();
  // After the window exists: push the object's state (items, ranges, selection) into it.
  virtual void WindowCreated() {}
  // Before the window goes: keep what the user changed in it (text, selection).
  virtual void SaveWindowState();
  virtual void DestroyWnd();
  // The part of the client area that docked children share (less borders and bevels).
  virtual void AdjustClientRect(RECT& rect) const;
  virtual void AlignControls(RECT rect);

  virtual void KeyDown(WORD& Key, TShiftState Shift);
  virtual void DoEnter();
  virtual void DoExit();

  // The window's own painting, before its windowless children are painted over it.
  virtual void PaintWindow(HDC dc);
  void PaintControls(HDC dc);

  virtual void WMSetFocus(TMessage& Message);
  virtual void WMKillFocus(TMessage& Message);
  virtual void WMPaint(TMessage& Message);
  virtual void WMEraseBkgnd(TMessage& Message);
  // TM_KEYPREVIEW: the dialog-key routing of Tab, Enter and Escape.
  virtual void KeyPreview(TMessage& Message);
  // WM_COMMAND reflected from the parent.
  virtual void Command(TMessage& Message);
  // WM_CTLCOLOR* reflected from the parent: text in Font's colour on Color.
  virtual void ControlColor(TMessage& Message);

  void EnabledChanged(TMessage& Message) override;
  void VisibleChanged(TMessage& Message) override;
  void FontChanged(TMessage& Message) override;
  void TextChanged(TMessage& Message) override;
  void ColorChanged(TMessage& Message) override;
  void DialogKey(TMessage& Message) override;
  void DialogChar(TMessage& Message) override;

  // A solid brush of Color for backgrounds and WM_CTLCOLOR answers.
  HBRUSH BackgroundBrush();
  bool OwnWindowClass() const { return !FSubclassed; }
  // Sends `Msg` to every child in child order until one sets a non-zero result.
  LRESULT Broadcast(UINT Msg, WPARAM WParam, LPARAM LParam);

private:
  friend class TControl;
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  void AttachWindow(HWND window);
  void DetachWindow();
  // Calls `visit` on each child in child order while this control stands, skipping any that an
  // earlier call destroyed or took out; `visit` returns true to stop. False when a call destroyed
  // this control.
  template <class Visit>
  bool VisitChildren(Visit visit);
  void RouteMouse(TMessage& Message);
  void UpdateHover(POINT point);
  // The pointer is off this control and everything in it: mouse-leave for whatever had it.
  void LeaveMouse();
  bool SetCursorForPoint();
  void TrackMouse();

  UniqueWindow FHandle;
  WNDPROC FDefWndProc = ::DefWindowProcW;
  bool FSubclassed = false;
  std::vector<TControl*> FControls;
  std::vector<TWinControl*> FTabList;
  int FWantedTabOrder = -1;
  bool FTabStop = false;
  int FAlignLevel = 0;
  bool FAligning = false;
  bool FAlignPending = false;
  TControl* FHoverControl = nullptr;
  TControl* FCaptureControl = nullptr;
  bool FTrackingMouse = false;
  bool FRecreating = false;
  bool FDestroyingWindow = false;
  UniqueBrush FBackgroundBrush;
  TColor FBackgroundBrushColor = 0;
};

}  // namespace zarvo::toolkit
