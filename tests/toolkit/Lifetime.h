// Controls that make a use after their destruction visible without a sanitizer. A probe's memory
// is never given back: its destructor records it as destroyed, and its operator delete fills it
// with a poison byte but puts the probe's own vtable back, so that a virtual call the toolkit
// makes on it afterwards lands in an override that records the call (and does nothing else)
// instead of in freed memory. A plain member read afterwards meets the poison and faults.
#pragma once

#include <cstddef>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "toolkit/Messages.h"
#include "toolkit/WinControl.h"

namespace zarvo::toolkit::testing {

class TProbeGraveyard {
public:
  // Called by the most derived probe destructor: `object`'s vtable pointer is still its own.
  static void Bury(const void* object) { Vtables().emplace(object, *static_cast<void* const*>(object)); }
  static void Poison(void* memory, std::size_t size) {
    void* vtable = Vtables().at(memory);
    std::memset(memory, 0xDD, size);
    *static_cast<void**>(memory) = vtable;
  }
  static bool Dead(const void* object) { return Vtables().contains(object); }
  // True (and the call is recorded) when `object` is a destroyed probe.
  static bool Late(const void* object, const std::string& call) {
    if (!Dead(object)) return false;
    LateCalls().push_back(call);
    return true;
  }
  // What the toolkit called on destroyed probes since the last Clear.
  static std::vector<std::string>& LateCalls() {
    static std::vector<std::string> calls;
    return calls;
  }

private:
  static std::map<const void*, void*>& Vtables() {
    static std::map<const void*, void*> vtables;
    return vtables;
  }
};

inline std::string MessageText(UINT message) {
  std::wstring name = MessageName(message);
  return std::string(name.begin(), name.end());
}

// The control-level virtuals the toolkit calls after handlers: each records a late call.
template <class Base>
class TLateCalls : public Base {
public:
  using Base::Base;
  bool Dead() const { return TProbeGraveyard::Dead(this); }

  void WndProc(TMessage& Message) override {
    if (!Late("WndProc " + MessageText(Message.Msg))) Base::WndProc(Message);
  }
  void DefaultHandler(TMessage& Message) override {
    if (!Late("DefaultHandler " + MessageText(Message.Msg))) Base::DefaultHandler(Message);
  }
  void Click() override {
    if (!Late("Click")) Base::Click();
  }
  void Repaint() override {
    if (!Late("Repaint")) Base::Repaint();
  }
  void Invalidate() override {
    if (!Late("Invalidate")) Base::Invalidate();
  }

  // Runs from MouseEnter, before the toolkit's own reaction to the pointer's arrival.
  std::function<void()> OnPointerArrived;

protected:
  bool Late(const std::string& call) const { return TProbeGraveyard::Late(this, call); }

  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
    if (!Late("MouseDown")) Base::MouseDown(Button, Shift, X, Y);
  }
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override {
    if (!Late("MouseUp")) Base::MouseUp(Button, Shift, X, Y);
  }
  void MouseMove(TShiftState Shift, int X, int Y) override {
    if (!Late("MouseMove")) Base::MouseMove(Shift, X, Y);
  }
  void MouseEnter(TMessage& Message) override {
    if (Late("MouseEnter")) return;
    Base::MouseEnter(Message);
    // Through a copy: the hook may destroy the probe and the field with it.
    if (Dead()) return;
    if (auto hook = OnPointerArrived) hook();
  }
  void MouseLeave(TMessage& Message) override {
    if (!Late("MouseLeave")) Base::MouseLeave(Message);
  }
};

// A windowless probe.
template <class Base>
class TProbe final : public TLateCalls<Base> {
public:
  using TLateCalls<Base>::TLateCalls;
  ~TProbe() override { TProbeGraveyard::Bury(this); }
  static void operator delete(void* memory, std::size_t size) { TProbeGraveyard::Poison(memory, size); }
};

// A windowed probe: also the focus and key virtuals.
template <class Base>
class TWindowedProbe final : public TLateCalls<Base> {
public:
  using TLateCalls<Base>::TLateCalls;
  ~TWindowedProbe() override { TProbeGraveyard::Bury(this); }
  static void operator delete(void* memory, std::size_t size) { TProbeGraveyard::Poison(memory, size); }

  void SetFocus() override {
    if (!this->Late("SetFocus")) Base::SetFocus();
  }

protected:
  void KeyDown(WORD& Key, TShiftState Shift) override {
    if (!this->Late("KeyDown")) Base::KeyDown(Key, Shift);
  }
  void DoEnter() override {
    if (!this->Late("DoEnter")) Base::DoEnter();
  }
  void DoExit() override {
    if (!this->Late("DoExit")) Base::DoExit();
  }
  void WMSetFocus(TMessage& Message) override {
    if (!this->Late("WMSetFocus")) Base::WMSetFocus(Message);
  }
  void WMKillFocus(TMessage& Message) override {
    if (!this->Late("WMKillFocus")) Base::WMKillFocus(Message);
  }
};

}  // namespace zarvo::toolkit::testing
