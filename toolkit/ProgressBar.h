// TProgressBar: the system's progress bar.
#pragma once

#include "toolkit/WinControl.h"

namespace zarvo::toolkit {

class TProgressBar : public TWinControl {
public:
  explicit TProgressBar(TComponent* AOwner);
  std::wstring_view ClassName() const override { return L"TProgressBar"; }

  int Min() const { return FMin; }
  void SetMin(int value);
  int Max() const { return FMax; }
  void SetMax(int value);
  int Position() const;
  void SetPosition(int value);

protected:
  void CreateParams(TCreateParams& Params) override;
  void WindowCreated() override;
  void SaveWindowState() override;

private:
  void SendRange();

  int FMin = 0;
  int FMax = 100;
  int FPosition = 0;
};

}  // namespace zarvo::toolkit
