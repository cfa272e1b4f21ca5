// The program's own push button: a flat speed button with a thin 3-D frame of its own, default
// and cancel keys that work without the focus, a modal result for its form, and a picture taken
// from the program's bitmap resources when its stored description has been loaded.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "toolkit/Loader.h"
#include "toolkit/SpeedButton.h"

namespace zarvo::controls {

// The button's role: plain, default (Enter, modal result 1) or cancel (Escape, modal result 2).
enum TsbType : std::uint8_t { sbNone, sbOk, sbCancel };

class TSB : public toolkit::TSpeedButton {
public:
  // Every field of its own starts at zero.
  using TSpeedButton::TSpeedButton;
  std::wstring_view ClassName() const override { return L"TSB"; }

  TsbType sbType() const { return FsbType; }
  void SetSbType(TsbType Value) { FsbType = Value; }
  // On: the frame is drawn and the button is made flat.
  bool MyStyle() const { return FMyStyle; }
  void SetMyStyle(bool Value);
  // Escape clicks the button whatever its sbType.
  bool Cancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  // The fallback picture is the resource "SB" + this number; 0 for none. Read by Loaded only.
  std::uint8_t ResName() const { return FResName; }
  void SetResName(std::uint8_t Value) { FResName = Value; }
  // The picture resource's name; empty for none. Read by Loaded only.
  const std::wstring& ResPict() const { return FResPict; }
  void SetResPict(std::wstring Value) { FResPict = std::move(Value); }
  // Handed to the form on a click; 0 or below means none.
  int ModalResult() const { return FModalResult; }
  void SetModalResult(int Value) { FModalResult = Value; }

  void Loaded() override;
  // A disabled button does nothing, also when called directly.
  void Click() override;

protected:
  void Paint() override;
  void DialogKey(toolkit::TMessage& Message) override;

private:
  TsbType FsbType = sbNone;
  bool FMyStyle = false;
  bool FCancel = false;
  std::uint8_t FResName = 0;
  std::wstring FResPict;
  int FModalResult = 0;
};

// Registers TSB and the button's stored-form properties.
void RegisterSB(toolkit::TClassRegistry& Classes);

}  // namespace zarvo::controls
