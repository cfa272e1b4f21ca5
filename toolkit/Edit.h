// TEdit and TMemo: the system's single-line and multi-line text boxes.
#pragma once

#include "toolkit/WinControl.h"

namespace zarvo::toolkit {

class TEdit : public TWinControl {
public:
  explicit TEdit(TComponent* AOwner);
  std::wstring_view ClassName() const override { return L"TEdit"; }

  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value);
  // 0: no limit.
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int value);

  // Raised whenever the text changes, by the user or from code.
  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& Params) override;
  void WindowCreated() override;
  void Command(TMessage& Message) override;
  virtual void Change();

private:
  bool FReadOnly = false;
  int FMaxLength = 0;
};

// Line breaks are CR LF in the window; a lone CR or LF in the text set becomes CR LF.
class TMemo : public TEdit {
public:
  explicit TMemo(TComponent* AOwner);
  std::wstring_view ClassName() const override { return L"TMemo"; }

  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle value);

protected:
  void CreateParams(TCreateParams& Params) override;
  void TextChanged(TMessage& Message) override;

private:
  bool FWordWrap = true;
  TScrollStyle FScrollBars = ssNone;
};

// CR LF for every CR, LF or CR LF.
std::wstring WithCrLf(std::wstring_view text);

}  // namespace zarvo::toolkit
