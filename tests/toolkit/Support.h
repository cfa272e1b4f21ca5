// Helpers shared by the toolkit tests: pumping messages until something happens, and a form that
// is shown for the test and closed after it.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>

#include "toolkit/Application.h"
#include "toolkit/Form.h"

namespace zarvo::toolkit::testing {

// Handles messages until `done` holds or `milliseconds` have passed; returns `done()`.
inline bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 3000) {
  DWORD start = ::GetTickCount();
  for (;;) {
    Application().ProcessMessages();
    if (done()) return true;
    if (::GetTickCount() - start > milliseconds) return false;
    ::Sleep(10);
  }
}

// Handles what is pending now and what arrives within `milliseconds`.
inline void PumpFor(DWORD milliseconds) {
  PumpUntil([] { return false; }, milliseconds);
}

class TTestForm : public TForm {
public:
  explicit TTestForm(TComponent* AOwner) : TForm(AOwner) {
    SetBorderStyle(bsSingle);
    SetPosition(poScreenCenter);
    SetClientSize(400, 300);
    SetCaption(L"Toolkit test");
  }
  std::wstring_view ClassName() const override { return L"TToolkitTestForm"; }
};

// A test form (not shown yet) that is the main form while the test runs.
inline std::unique_ptr<TTestForm> MakeTestForm() {
  Application().Initialize();
  auto form = NewForm<TTestForm>();
  Application().SetMainForm(form.get());
  return form;
}

// The tests of a suite share one shown form: under Wine, hiding or destroying a shown window
// costs about two seconds.
class SharedFormTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    FForm = MakeTestForm();
    FForm->Show();
    PumpFor(100);
  }
  static void TearDownTestSuite() {
    Application().SetMainForm(nullptr);
    FForm.reset();
  }

  inline static std::unique_ptr<TTestForm> FForm;
};

}  // namespace zarvo::toolkit::testing
