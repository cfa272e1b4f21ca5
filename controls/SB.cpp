// The styled speed button.
#include "controls/SB.h"

#include <exception>

#include "toolkit/Form.h"

namespace zarvo::controls {

using namespace zarvo::toolkit;

namespace {

// Loads the bitmap resource `name` of the program into `glyph` when there is one; false when
// the program has no bitmap of that name. A picture that is there but cannot be loaded leaves
// `glyph` as it was.
bool LoadGlyphIfPresent(TBitmap& glyph, const std::wstring& name) {
  if (name.empty()) return false;
  HMODULE module = ::GetModuleHandleW(nullptr);
  if (!::FindResourceW(module, name.c_str(), MAKEINTRESOURCEW(2))) return false;
  try {
    glyph.LoadFromResourceName(module, name);
  } catch (const std::exception&) {
    // A broken picture is not worth a word: the button keeps the one it had.
  }
  return true;
}

}  // namespace

void TSB::SetMyStyle(bool Value) {
  if (Value == FMyStyle) return;
  FMyStyle = Value;
  if (Value) SetFlat(true);
  Repaint();
}

void TSB::Loaded() {
  TSpeedButton::Loaded();
  if (LoadGlyphIfPresent(Glyph(), FResPict)) return;
  if (FResName != 0) LoadGlyphIfPresent(Glyph(), L"SB" + std::to_wstring(FResName));
}

void TSB::Paint() {
  TSpeedButton::Paint();
  if (!FMyStyle || Down()) return;
  RECT rect{1, 1, Width() - 1, Height() - 1};
  UINT edge = FState == bsDown || FState == bsExclusive ? BDR_SUNKENOUTER : BDR_RAISEDINNER;
  ::DrawEdge(Canvas().Handle(), &rect, edge, BF_RECT);
}

void TSB::DialogKey(TMessage& Message) {
  WORD key = static_cast<WORD>(Message.WParam);
  bool qualifies = (key == VK_ESCAPE && (FsbType == sbCancel || FCancel)) || (key == VK_RETURN && FsbType == sbOk);
  if (qualifies && Enabled()) {
    Click();
    Message.Result = 1;
  }
  TSpeedButton::DialogKey(Message);
}

void TSB::Click() {
  if (!Enabled()) return;
  if (FModalResult > 0) {
    if (TForm* form = ParentForm()) form->SetModalResult(FModalResult);
  } else if (FsbType != sbNone) {
    if (TForm* form = ParentForm()) form->SetModalResult(FsbType == sbOk ? mrOk : mrCancel);
  }
  TSpeedButton::Click();
}

void RegisterSB(TClassRegistry& Classes) {
  using V = const TPropertyValue&;
  using C = TLoadContext&;
  Classes.RegisterClass<TSB>(L"TSB", L"TSpeedButton");
  const wchar_t* name = L"TSB";
  Classes.RegisterProperty<TSB>(name, L"MyStyle", [](TSB& c, V v, C) { c.SetMyStyle(v.AsBoolean()); });
  Classes.RegisterProperty<TSB>(name, L"ModalResult", [](TSB& c, V v, C) { c.SetModalResult(v.AsInteger()); });
  Classes.RegisterProperty<TSB>(name, L"sbType", [](TSB& c, V v, C) {
    c.SetSbType(v.AsEnum<TsbType>({{L"sbNone", sbNone}, {L"sbOk", sbOk}, {L"sbCancel", sbCancel}}));
  });
  Classes.RegisterProperty<TSB>(name, L"Cancel", [](TSB& c, V v, C) { c.SetCancel(v.AsBoolean()); });
  Classes.RegisterProperty<TSB>(name, L"ResName", [](TSB& c, V v, C) {
    int number = v.AsInteger();
    if (number < 0 || number > 255) v.Fail(L"ResName takes a number from 0 to 255");
    c.SetResName(static_cast<std::uint8_t>(number));
  });
  Classes.RegisterProperty<TSB>(name, L"ResPict", [](TSB& c, V v, C) { c.SetResPict(v.AsName()); });
}

}  // namespace zarvo::controls
