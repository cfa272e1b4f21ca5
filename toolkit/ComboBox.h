// TComboBox: the system's drop-down list, selection only. Setting ItemIndex from code raises no
// OnChange; a selection by the user does. Its text takes Font's colour.
#pragma once

#include "toolkit/Strings.h"
#include "toolkit/WinControl.h"

namespace zarvo::toolkit {

class TComboBox : public TWinControl {
public:
  explicit TComboBox(TComponent* AOwner);
  std::wstring_view ClassName() const override { return L"TComboBox"; }

  TStrings& Items() { return FItems; }
  // The selected item, -1 for none.
  int ItemIndex() const;
  void SetItemIndex(int value);
  int DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int value);
  bool DroppedDown() const;
  // The height is the selection field's; the dropped list comes below it.
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void WndProc(TMessage& Message) override;

  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& Params) override;
  void WindowCreated() override;
  void SaveWindowState() override;
  void Command(TMessage& Message) override;
  void WantSpecialKey(TMessage& Message) override;
  void FontChanged(TMessage& Message) override;
  virtual void Change();

private:
  int ListHeight() const;
  void FillWindow();
  void FitFieldHeight();

  TStrings FItems;
  int FItemIndex = -1;
  int FDropDownCount = 8;
  int FFieldHeight = 0;
};

}  // namespace zarvo::toolkit
