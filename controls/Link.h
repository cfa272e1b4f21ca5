// A text label that looks and acts like a hyperlink: hand cursor, blue text that turns red under
// the mouse pointer, and a click that opens its Link through the shell before OnClick runs.
#pragma once

#include <string>
#include <string_view>

#include "toolkit/Label.h"
#include "toolkit/Loader.h"

namespace zarvo::controls {

class TLink : public toolkit::TLabel {
public:
  explicit TLink(toolkit::TComponent* AOwner);
  std::wstring_view ClassName() const override { return L"TLink"; }

  // What a click opens; empty: nothing, only OnClick runs.
  const std::wstring& Link() const { return fLink; }
  void SetLink(std::wstring Value) { fLink = std::move(Value); }

  // The text is blue whatever colour the stored description gave the font.
  void Loaded() override;
  void Click() override;

protected:
  void MouseEnter(toolkit::TMessage& Message) override;
  void MouseLeave(toolkit::TMessage& Message) override;

private:
  std::wstring fLink;
};

// Registers TLink and its Link property.
void RegisterLink(toolkit::TClassRegistry& Classes);

}  // namespace zarvo::controls
