// TForm: a top-level window. Its system window class name is its class name. It runs OnCreate
// after construction, before it has a window, and OnActivate on its first activation; it routes
// Enter and Escape to its controls and Tab through the keyboard order; it takes handlers for
// its own window messages.
#pragma once

#include <any>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "toolkit/WinControl.h"

namespace zarvo::toolkit {

class TForm : public TWinControl {
public:
  explicit TForm(TComponent* AOwner);
  ~TForm() override;
  std::wstring_view ClassName() const override { return L"TForm"; }

  // Runs OnCreate; TApplication::CreateForm and NewForm call it right after construction.
  void AfterConstruction();

  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle value);
  TBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons value);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition value) { FPosition = value; }
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult value) { FModalResult = value; }

  // The control that has (or will get, once the form is shown) the keyboard focus.
  TWinControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* control);
  // A child of this form got the focus (or, with nullptr, the active control went away).
  void FocusChanged(TWinControl* control);

  // The main form ends the application; another form hides.
  void Close();
  void BringToFront();

  // A handler for one of the form's own window messages (such as WM_SETUP_ACTIVATE); it may
  // pass the message on with DefaultHandler.
  void SetMessageHandler(UINT message, TMessageHandler handler);

  // Event handlers by name, for stored descriptions ("OnClick = SB1Click").
  template <class Handler>
  void DeclareHandler(std::wstring_view name, Handler handler) {
    FHandlers[std::wstring(name)] = std::move(handler);
  }
  const std::any* FindHandler(std::wstring_view name) const;

  RECT ClientRect() const override;
  void SetClientSize(int width, int height) override;
  void WndProc(TMessage& Message) override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnActivate;

protected:
  void CreateParams(TCreateParams& Params) override;
  void VisibleChanged(TMessage& Message) override;
  void DialogKey(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  virtual void DoCreate();
  virtual void Activate();

private:
  DWORD WindowStyle() const;
  DWORD WindowExStyle() const;
  SIZE FrameSize() const;
  void FocusActiveControl();

  TFormBorderStyle FBorderStyle = bsSizeable;
  TBorderIcons FBorderIcons = biSystemMenu | biMinimize | biMaximize;
  TPosition FPosition = poDesigned;
  TModalResult FModalResult = mrNone;
  TWinControl* FActiveControl = nullptr;
  bool FActivated = false;
  std::map<UINT, TMessageHandler> FMessageHandlers;
  std::map<std::wstring, std::any, std::less<>> FHandlers;
};

// A form owned by the caller, with OnCreate already run.
template <class T, class... Args>
std::unique_ptr<T> NewForm(Args&&... args) {
  auto form = std::make_unique<T>(nullptr, std::forward<Args>(args)...);
  form->AfterConstruction();
  return form;
}

}  // namespace zarvo::toolkit
