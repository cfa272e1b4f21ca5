// The application object and the form: COM apartment, the error report (through its seam and
// as a real message box), creation and activation handlers, the window class name, user
// messages, closing the main form and the message loop.
#include <gtest/gtest.h>

#include <objbase.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tests/toolkit/Support.h"
#include "toolkit/Panel.h"
#include "toolkit/SpeedButton.h"

namespace zarvo::toolkit {
namespace {

using testing::PumpFor;
using testing::PumpUntil;

TEST(Application, InitializeMakesTheThreadASingleThreadedApartment) {
  Application().Initialize();
  HRESULT again = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  EXPECT_EQ(again, S_FALSE) << "already initialised, as a single-threaded apartment";
  if (SUCCEEDED(again)) ::CoUninitialize();
  EXPECT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
}

class ApplicationTest : public testing::SharedFormTest {
protected:
  void SetUp() override {
    Application().SetMainForm(FForm.get());
    Application().SetTitle(L"Toolkit test");
  }
  void TearDown() override { Application().OnException = nullptr; }

  // A click on a windowless button, as the mouse makes it.
  static void ClickAt(TControl& button) {
    LPARAM at = MAKELPARAM(button.Left() + 2, button.Top() + 2);
    HWND parent = button.Parent()->Handle();
    ::PostMessageW(parent, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(parent, WM_LBUTTONUP, 0, at);
    Application().ProcessMessages();
  }

};


TEST_F(ApplicationTest, AnExceptionInAHandlerIsReportedAndTheWindowStaysUsable) {
  std::vector<std::wstring> reports;
  Application().OnException = [&](const std::wstring& text) { reports.push_back(text); };
  TSpeedButton button(nullptr);
  button.SetBounds(10, 10, 50, 25);
  button.SetParent(FForm.get());
  int clicks = 0;
  button.OnClick = [&](TObject*) {
    if (++clicks == 1) throw std::runtime_error("Disk full \xd0\x94");  // UTF-8 text
  };
  ClickAt(button);
  ASSERT_EQ(reports, std::vector<std::wstring>{L"Disk full \u0414"});
  EXPECT_TRUE(::IsWindowVisible(FForm->Handle()));
  EXPECT_FALSE(Application().Terminated());
  ClickAt(button);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(reports.size(), 1u);
  button.SetParent(nullptr);
}

TEST_F(ApplicationTest, ExceptionsOfAnyKindAndFromMessageHandlersAreReported) {
  std::vector<std::wstring> reports;
  Application().OnException = [&](const std::wstring& text) { reports.push_back(text); };
  FForm->SetMessageHandler(WM_USER + 40, [](TMessage&) { throw 42; });
  FForm->SetMessageHandler(WM_USER + 41, [](TMessage&) { throw std::logic_error("wrong"); });
  EXPECT_EQ(::SendMessageW(FForm->Handle(), WM_USER + 40, 0, 0), 0);
  ::PostMessageW(FForm->Handle(), WM_USER + 41, 0, 0);
  Application().ProcessMessages();
  EXPECT_EQ(reports, (std::vector<std::wstring>{L"Unknown error", L"wrong"}));
  FForm->SetMessageHandler(WM_USER + 40, nullptr);
  FForm->SetMessageHandler(WM_USER + 41, nullptr);
}

// Finds the error box another thread's code is showing, reads its text and presses OK.
std::wstring CloseMessageBox(const wchar_t* title, std::atomic<bool>& stop) {
  while (!stop) {
    HWND box = ::FindWindowW(L"#32770", title);
    if (box) {
      wchar_t text[256] = {};
      ::GetDlgItemTextW(box, 0xFFFF, text, 256);
      wchar_t caption[64] = {};
      ::GetWindowTextW(box, caption, 64);
      ::PostMessageW(box, WM_COMMAND, IDOK, 0);
      return std::wstring(caption) + L"|" + text;
    }
    ::Sleep(20);
  }
  return L"no box";
}

TEST_F(ApplicationTest, WithoutASeamTheReportIsAMessageBoxOwnedByTheMainForm) {
  TSpeedButton button(nullptr);
  button.SetBounds(10, 10, 50, 25);
  button.SetParent(FForm.get());
  button.OnClick = [](TObject*) { throw std::runtime_error("Access denied"); };
  std::atomic<bool> stop{false};
  std::wstring seen;
  std::thread closer([&] { seen = CloseMessageBox(L"Toolkit test", stop); });
  ClickAt(button);  // returns once the box is closed
  stop = true;
  closer.join();
  EXPECT_EQ(seen, L"Toolkit test|Access denied");
  EXPECT_TRUE(::IsWindowVisible(FForm->Handle()));
  // The form goes on handling messages.
  int handled = 0;
  FForm->SetMessageHandler(WM_USER + 42, [&](TMessage&) { ++handled; });
  ::SendMessageW(FForm->Handle(), WM_USER + 42, 0, 0);
  EXPECT_EQ(handled, 1);
  FForm->SetMessageHandler(WM_USER + 42, nullptr);
  button.SetParent(nullptr);
}

TEST_F(ApplicationTest, TheWindowClassNameIsTheFormsClassName) {
  wchar_t name[64] = {};
  ::GetClassNameW(FForm->Handle(), name, 64);
  EXPECT_STREQ(name, L"TToolkitTestForm");
  EXPECT_EQ(::FindWindowW(L"TToolkitTestForm", nullptr), FForm->Handle());
  EXPECT_EQ(FForm->Caption(), L"Toolkit test");
  wchar_t text[64] = {};
  ::GetWindowTextW(FForm->Handle(), text, 64);
  EXPECT_STREQ(text, L"Toolkit test");
}

TEST_F(ApplicationTest, AUserMessageReachesItsHandlerWhichCanPassItOn) {
  std::vector<std::pair<WPARAM, LPARAM>> seen;
  FForm->SetMessageHandler(WM_SETUP_ACTIVATE, [&](TMessage& message) {
    seen.emplace_back(message.WParam, message.LParam);
    FForm->DefaultHandler(message);
  });
  ::PostMessageW(FForm->Handle(), 1027, 0, 0);
  Application().ProcessMessages();
  EXPECT_EQ(::SendMessageW(FForm->Handle(), 1027, 0, 0), 0);
  EXPECT_EQ(seen.size(), 2u);
  FForm->SetMessageHandler(WM_SETUP_ACTIVATE, nullptr);
}

TEST_F(ApplicationTest, RestoreBringsAMinimisedMainFormBack) {
  ::ShowWindow(FForm->Handle(), SW_MINIMIZE);
  PumpFor(50);
  ASSERT_TRUE(::IsIconic(FForm->Handle()));
  Application().Restore();
  PumpFor(50);
  EXPECT_FALSE(::IsIconic(FForm->Handle()));
  Application().BringToFront();
  EXPECT_TRUE(::IsWindowVisible(FForm->Handle()));
}

// A form whose handlers record what they see.
class TRecordingForm : public TForm {
public:
  explicit TRecordingForm(TComponent* AOwner) : TForm(AOwner) {
    SetClientSize(200, 100);
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu);
    OnCreate = [this](TObject* sender) {
      Events.push_back(std::wstring(L"create") + (HandleAllocated() ? L" with window" : L" without window") +
                       (sender == this ? L"" : L" other sender"));
    };
    OnActivate = [this](TObject*) { Events.push_back(L"activate"); };
  }
  std::wstring_view ClassName() const override { return L"TRecordingForm"; }
  std::vector<std::wstring> Events;
};

TEST(Form, OnCreateRunsBeforeTheWindowExistsAndOnActivateOnFirstActivation) {
  Application().Initialize();
  auto form = NewForm<TRecordingForm>();
  EXPECT_EQ(form->Events, std::vector<std::wstring>{L"create without window"});
  EXPECT_FALSE(form->HandleAllocated());
  Application().SetMainForm(form.get());
  form->Show();
  EXPECT_TRUE(PumpUntil([&] { return form->Events.size() == 2; }));
  EXPECT_EQ(form->Events.back(), L"activate");
  // Another window of the program coming and going is not a new activation of the form...
  std::thread closer;
  std::atomic<bool> stop{false};
  closer = std::thread([&] { CloseMessageBox(L"Question", stop); });
  ::MessageBoxW(form->Handle(), L"?", L"Question", MB_OK);
  stop = true;
  closer.join();
  PumpFor(100);
  EXPECT_EQ(form->Events.size(), 2u);
  // ...but coming back from another form is.
  auto other = NewForm<TRecordingForm>();
  other->Show();
  PumpFor(100);
  ::SetActiveWindow(form->Handle());
  PumpFor(100);
  EXPECT_EQ(form->Events.size(), 3u);
  other.reset();
  Application().SetMainForm(nullptr);
}

TEST(Form, AFixedSingleBorderWithOnlyTheCloseBox) {
  Application().Initialize();
  auto form = NewForm<TRecordingForm>();
  form->SetPosition(poScreenCenter);
  HWND window = form->Handle();
  LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  RECT client;
  ::GetClientRect(window, &client);
  EXPECT_EQ(client.right, 200);
  EXPECT_EQ(client.bottom, 100);
  // Centred on the screen.
  RECT outer;
  ::GetWindowRect(window, &outer);
  EXPECT_EQ(outer.left, (::GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2);
  EXPECT_EQ(outer.top, (::GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) / 2);
}

TEST(Form, AMainFormWithoutACaptionShowsTheApplicationTitle) {
  Application().Initialize();
  Application().SetTitle(L"Zarvo LITE");
  auto form = NewForm<TRecordingForm>();
  auto other = NewForm<TRecordingForm>();
  Application().SetMainForm(form.get());
  EXPECT_EQ(form->Caption(), L"");
  wchar_t text[64] = {};
  ::GetWindowTextW(form->Handle(), text, 64);
  EXPECT_STREQ(text, L"Zarvo LITE");
  ::GetWindowTextW(other->Handle(), text, 64);
  EXPECT_STREQ(text, L"");
  form->SetCaption(L"Own caption");
  ::GetWindowTextW(form->Handle(), text, 64);
  EXPECT_STREQ(text, L"Own caption");
  Application().SetMainForm(nullptr);
}

TEST(Form, RunShowsTheMainFormAndReturnsWhenItIsClosed) {
  Application().Initialize();
  auto form = NewForm<TRecordingForm>();
  Application().SetMainForm(form.get());
  ASSERT_FALSE(form->Visible());
  // The close request waits in the queue until Run handles it.
  HWND window = form->Handle();
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  Application().Run();
  EXPECT_TRUE(Application().Terminated());
  EXPECT_TRUE(form->Visible());
  EXPECT_TRUE(::IsWindow(window)) << "the window stays until the program ends";
  EXPECT_EQ(form->Events.back(), L"activate");
  Application().SetMainForm(nullptr);
}

TEST(Form, ClosingTheMainFormDuringAHandlerEndsTheLoopOnlyAfterIt) {
  Application().Initialize();
  auto form = NewForm<TRecordingForm>();
  Application().SetMainForm(form.get());
  TSpeedButton button(nullptr);
  button.SetBounds(0, 0, 20, 20);
  button.SetParent(form.get());
  std::vector<std::wstring> steps;
  button.OnClick = [&](TObject*) {
    steps.push_back(L"start");
    ::PostMessageW(form->Handle(), WM_CLOSE, 0, 0);
    Application().ProcessMessages();  // the close arrives while the handler works
    steps.push_back(Application().Terminated() ? L"asked to end" : L"not asked");
    steps.push_back(::IsWindowVisible(form->Handle()) ? L"still shown" : L"hidden");
  };
  ::PostMessageW(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  ::PostMessageW(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  Application().Run();
  EXPECT_EQ(steps, (std::vector<std::wstring>{L"start", L"asked to end", L"still shown"}));
  button.SetParent(nullptr);
  Application().SetMainForm(nullptr);
}

// A form whose creation handler ends the program, as a setup that finds another one running does.
class THaltingForm : public TForm {
public:
  explicit THaltingForm(TComponent* AOwner, int code, std::vector<std::wstring>& log) : TForm(AOwner), FLog(log) {
    OnCreate = [code](TObject*) { Application().Halt(code); };
  }
  ~THaltingForm() override { FLog.push_back(HandleAllocated() ? L"destroyed with a window" : L"destroyed"); }
  std::wstring_view ClassName() const override { return L"THaltingForm"; }

private:
  std::vector<std::wstring>& FLog;
};

TEST(Halt, FromACreationHandlerItEndsExecuteWithItsCodeAndNoWindowEverExists) {
  Application().Initialize();
  std::vector<std::wstring> log;
  const int components = Application().ComponentCount();
  int after = -1;
  int code = Application().Execute([&] {
    Application().CreateForm<THaltingForm>(7, log);
    after = 0;  // never reached
  });
  EXPECT_EQ(code, 7);
  EXPECT_EQ(Application().ExitCode(), 7);
  EXPECT_EQ(after, -1);
  EXPECT_EQ(log, std::vector<std::wstring>{L"destroyed"});
  EXPECT_EQ(Application().MainForm(), nullptr);
  EXPECT_EQ(Application().ComponentCount(), components);
  EXPECT_EQ(::FindWindowW(L"THaltingForm", nullptr), nullptr);
}

TEST(Halt, FromAHandlerInTheLoopItEndsTheLoopWithItsCodeAndIsNoError) {
  Application().Initialize();
  std::vector<std::wstring> errors;
  Application().OnException = [&](const std::wstring& text) { errors.push_back(text); };
  TRecordingForm* created = nullptr;
  int code = Application().Execute([&] {
    created = Application().CreateForm<TRecordingForm>();
    created->SetMessageHandler(WM_USER + 9, [](TMessage&) { Application().Halt(4); });
    ::PostMessageW(created->Handle(), WM_USER + 9, 0, 0);
  });
  Application().OnException = nullptr;
  EXPECT_EQ(code, 4);
  EXPECT_TRUE(Application().Terminated());
  EXPECT_TRUE(errors.empty()) << ::testing::PrintToString(errors);
  Application().SetMainForm(nullptr);
  Application().DestroyComponent(created);
}

TEST(Halt, AnErrorWhileTheFormsAreCreatedIsReportedAndGivesOne) {
  Application().Initialize();
  std::vector<std::wstring> errors;
  Application().OnException = [&](const std::wstring& text) { errors.push_back(text); };
  int code = Application().Execute([] { throw std::runtime_error("no window today"); });
  Application().OnException = nullptr;
  EXPECT_EQ(code, 1);
  EXPECT_EQ(errors, std::vector<std::wstring>{L"no window today"});
}

TEST(Form, ProcessMessagesSeesAQuitRequest) {
  Application().Initialize();
  ::PostQuitMessage(0);
  Application().ProcessMessages();
  EXPECT_TRUE(Application().Terminated());
}

TEST(Form, AModalResultFieldAndTheOutermostForm) {
  auto form = NewForm<TRecordingForm>();
  TPanel panel(nullptr);
  panel.SetParent(form.get());
  TSpeedButton button(nullptr);
  button.SetParent(&panel);
  EXPECT_EQ(button.ParentForm(), form.get());
  EXPECT_EQ(form->ModalResult(), mrNone);
  button.ParentForm()->SetModalResult(mrOk);
  EXPECT_EQ(form->ModalResult(), 1);
  TPanel loose(nullptr);
  button.SetParent(&loose);
  EXPECT_EQ(button.ParentForm(), nullptr);
  button.SetParent(nullptr);
  panel.SetParent(nullptr);
}

}  // namespace
}  // namespace zarvo::toolkit
