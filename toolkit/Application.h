// TApplication: COM for the user-interface thread, the title, the message loop, hints and the
// top-level error report. One object for the process, reached through Application().
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "toolkit/Component.h"
#include "toolkit/Handles.h"

namespace zarvo::toolkit {

class TControl;
class TForm;
class THintWindow;

// What TApplication::Halt throws to end the program in an orderly way. It is not an error, so it
// derives from no standard exception and no handler's catch of errors takes it.
class TProgramExit {
public:
  explicit TProgramExit(int exitCode) : FExitCode(exitCode) {}
  int ExitCode() const { return FExitCode; }

private:
  int FExitCode;
};

class TApplication : public TComponent {
public:
  TApplication();
  ~TApplication() override;
  std::wstring_view ClassName() const override { return L"TApplication"; }

  // COM for this thread as a single-threaded apartment, and the common controls.
  void Initialize();

  // The program's name: the error report's caption.
  const std::wstring& Title() const { return FTitle; }
  void SetTitle(std::wstring_view title) { FTitle = title; }
  // Milliseconds the pointer rests on a control before its hint shows.
  int HintPause() const { return FHintPause; }
  void SetHintPause(int milliseconds) { FHintPause = milliseconds; }

  // Makes a form owned by the application; the first one becomes the main form. OnCreate has
  // run when it returns. When OnCreate throws (Halt included) the form is destroyed again, before
  // it ever had a window, and the exception goes on.
  template <class T, class... Args>
  T* CreateForm(Args&&... args) {
    T* form = Make<T>(this, std::forward<Args>(args)...);
    if (!FMainForm) FMainForm = form;
    try {
      form->AfterConstruction();
    } catch (...) {
      if (FMainForm == form) FMainForm = nullptr;
      DestroyComponent(form);
      throw;
    }
    return form;
  }
  TForm* MainForm() const { return FMainForm; }
  void SetMainForm(TForm* form) { FMainForm = form; }

  // Shows the main form and handles messages until it is closed (Terminate).
  void Run();
  // Handles the messages waiting now, once each, and returns.
  void ProcessMessages();
  bool Terminated() const { return FTerminated; }
  void Terminate();

  // Ends the program in an orderly way with `exitCode`. Called while a form is being created it
  // unwinds out of CreateForm and Execute; called from a handler it ends the message loop. Either
  // way Execute returns the code and the destructors of everything built so far run normally.
  [[noreturn]] void Halt(int exitCode = 0);
  // Runs `createForms`, then the message loop; returns 0, or the code given to Halt. An error
  // while the forms are created goes to the error report and gives 1.
  int Execute(const std::function<void()>& createForms);
  int ExitCode() const { return FExitCode; }

  // Restores the main form if it is minimised; brings it to the front.
  void Restore();
  void BringToFront();

  // The top-level error report: an exception that escaped an event handler. Shows its text
  // through OnException when set, else in a message box owned by the main form.
  void HandleException(std::exception_ptr error);
  std::function<void(const std::wstring& Message)> OnException;
  void ShowException(const std::wstring& message);

  // A message box owned by the main form (MessageBoxW's flags and answer). OnMessageBox, when
  // set, answers in its place (tests).
  int MessageBox(const std::wstring& text, const std::wstring& caption, UINT flags);
  std::function<int(const std::wstring& Text, const std::wstring& Caption, UINT Flags)> OnMessageBox;

  // Hints: the toolkit calls these as the pointer enters and leaves controls.
  void HintMouseEnter(TControl* control);
  void HintMouseLeave(TControl* control);
  void CancelHint();
  void ControlDestroyed(TControl* control);
  // The hint window's text while it is shown, else empty.
  std::wstring ShownHint() const;

  // Called by the hint window's timers.
  void HintTimer(UINT_PTR id);

private:
  void Dispatch(MSG& message);

  std::optional<platform::ComApartment> FCom;
  std::wstring FTitle;
  int FHintPause = 500;
  TForm* FMainForm = nullptr;
  bool FTerminated = false;
  int FExitCode = 0;
  std::unique_ptr<THintWindow> FHintWindow;
  TControl* FHintControl = nullptr;
};

// The application object of the process.
TApplication& Application();

}  // namespace zarvo::toolkit
