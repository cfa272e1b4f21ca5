// A window with every own control in each of its states, for a screenshot:
//   controls_sample.exe [seconds]   (closes itself after that long; without it, stays open)
#include <windows.h>

#include <cstdlib>
#include <string>

#include "controls/EwCheckBox.h"
#include "controls/GroupPanel.h"
#include "controls/Link.h"
#include "controls/SB.h"
#include "toolkit/Application.h"
#include "toolkit/ComboBox.h"
#include "toolkit/Form.h"
#include "toolkit/Label.h"
#include "toolkit/Panel.h"

namespace {

using namespace zarvo::toolkit;
using namespace zarvo::controls;

// A button shown as if the mouse held it down.
class THeldSB : public TSB {
public:
  using TSB::TSB;
  void Hold() {
    FState = bsDown;
    Invalidate();
  }
};

class TSampleForm : public TForm {
public:
  explicit TSampleForm(TComponent* AOwner) : TForm(AOwner) {
    SetBorderStyle(bsSingle);
    SetPosition(poScreenCenter);
    SetClientSize(720, 470);
    SetCaption(L"Zarvo controls sample");
    Font().SetName(L"MS Sans Serif");
    Font().SetHeight(12);
    Font().SetCharset(RUSSIAN_CHARSET);

    int y = 8;
    auto box = [&](const wchar_t* caption, auto&& setup) {
      auto* control = Make<TEwCheckBox>(this);
      control->SetParent(this);
      control->SetBounds(10, y, 240, 22);
      control->SetCaption(caption);
      setup(*control);
      y += 24;
      return control;
    };
    box(L"Flat, unchecked", [](TEwCheckBox& c) { c.SetFlat(true); });
    box(L"Flat, &checked", [](TEwCheckBox& c) { c.SetFlat(true), c.SetChecked(true); });
    box(L"3-D, unchecked", [](TEwCheckBox&) {});
    box(L"3-D, checked", [](TEwCheckBox& c) { c.SetChecked(true); });
    box(L"3-D, cross", [](TEwCheckBox& c) { c.SetGlyph(igCross), c.SetChecked(true); });
    // Round boxes of one parent form a group: each checked one sits in a panel of its own.
    auto alone = [&](const wchar_t* caption, bool flat) {
      auto* panel = Make<TPanel>(this);
      panel->SetParent(this);
      panel->SetBevelOuter(bvNone);
      panel->SetBounds(10, y, 240, 22);
      auto* control = Make<TEwCheckBox>(this);
      control->SetParent(panel);
      control->SetBounds(0, 0, 240, 22);
      control->SetCaption(caption);
      control->SetFlat(flat);
      control->SetRound(true);
      control->SetChecked(true);
      y += 24;
    };
    alone(L"Round flat, checked", true);
    alone(L"Round 3-D, checked", false);
    box(L"Disabled flat, checked", [](TEwCheckBox& c) { c.SetFlat(true), c.SetChecked(true), c.SetEnabled(false); });
    box(L"Disabled 3-D, checked", [](TEwCheckBox& c) { c.SetChecked(true), c.SetEnabled(false); });
    box(L"Disabled round flat", [](TEwCheckBox& c) { c.SetFlat(true), c.SetRound(true), c.SetEnabled(false); });
    box(L"Disabled round 3-D", [](TEwCheckBox& c) { c.SetRound(true), c.SetEnabled(false); });
    Hot = box(L"Hot (red caption)", [](TEwCheckBox& c) { c.SetFlat(true), c.SetHot(true), c.SetHotColor(clRed); });
    box(L"Lowered frame", [](TEwCheckBox& c) { c.SetStyle(bmLowered), c.SetChecked(true); });
    box(L"Raised frame", [](TEwCheckBox& c) { c.SetStyle(bmRaised); });
    box(L"Caption left, box right", [](TEwCheckBox& c) { c.SetAlignment(taLeftJustify), c.SetChecked(true); });
    Focused = box(L"Focused (Создать иконку)", [](TEwCheckBox& c) { c.SetFlat(true), c.SetChecked(true); });
    box(L"Centred", [](TEwCheckBox& c) { c.SetAlignment(taCenter), c.SetStyle(bmLowered); });

    auto* lime = Make<TPanel>(this);
    lime->SetParent(this);
    lime->SetBevelOuter(bvNone);
    lime->SetColor(clLime);
    lime->SetBounds(10, y + 4, 240, 30);
    auto* transparent = Make<TEwCheckBox>(this);
    transparent->SetParent(lime);
    transparent->SetBounds(4, 4, 232, 22);
    transparent->SetCaption(L"Transparent on a lime panel");
    transparent->SetTransparent(true);
    transparent->SetStyle(bmLowered);

    y = 8;
    auto button = [&](const wchar_t* caption, auto&& setup) {
      auto* control = Make<THeldSB>(this);
      control->SetParent(this);
      control->SetBounds(270, y, 120, 30);
      control->SetCaption(caption);
      control->SetMyStyle(true);
      setup(*control);
      y += 38;
      return control;
    };
    button(L"Up", [](THeldSB&) {});
    HotButton = button(L"Hot", [](THeldSB&) {});
    Held = button(L"Held down", [](THeldSB&) {});
    button(L"Latched", [](THeldSB& b) { b.SetGroupIndex(1), b.SetDown(true); });
    button(L"Disabled", [](THeldSB& b) { b.SetEnabled(false); });
    button(L"", [](THeldSB& b) {
      b.SetBounds(b.Left(), b.Top(), 29, 28);
      b.Glyph().LoadFromResourceName(::GetModuleHandleW(nullptr), L"SB2FOLDER");
    });
    button(L"Not MyStyle", [](THeldSB& b) { b.SetMyStyle(false); });

    auto link = [&](int top, const wchar_t* caption) {
      auto* control = Make<TLink>(this);
      control->SetParent(this);
      control->SetAutoSize(false);
      control->SetAlignment(taRightJustify);
      control->SetLayout(tlCenter);
      control->SetBounds(410, top, 300, 24);
      control->Font().SetStyle(fsBold | fsUnderline);
      control->SetCaption(caption);
      return control;
    };
    link(8, L"Official website of the program ");
    HotLink = link(34, L"Официальный сайт программы (hot) ");

    GroupOn = Group(66, L"Group panel, enabled");
    Group(236, L"Group panel, disabled")->SetEnabled(false);
  }
  std::wstring_view ClassName() const override { return L"TControlsSample"; }

  // What only a shown window can show: focus, hover, a held button.
  void ShowStates() {
    SetActiveControl(Focused);
    Hot->Perform(TM_MOUSEENTER);
    HotButton->NotifyMouseEnter();
    HotLink->Perform(TM_MOUSEENTER);
    Held->Hold();
  }

private:
  TGroupPanel* Group(int top, const wchar_t* title) {
    auto* group = Make<TGroupPanel>(this);
    group->SetParent(this);
    group->SetBounds(410, top, 300, 160);
    group->SetBevelOuter(bvLowered);
    auto* label = Make<TLabel>(this);
    label->SetParent(group);
    label->SetBounds(10, 8, 280, 16);
    label->SetCaption(title);
    auto* inner = Make<TPanel>(this);
    inner->SetParent(group);
    inner->SetBevelOuter(bvNone);
    inner->SetBounds(8, 28, 284, 120);
    auto* combo = Make<TComboBox>(this);
    combo->SetParent(inner);
    combo->SetBounds(4, 4, 200, 24);
    combo->Items().Assign({L"English", L"Russian (Русский)"});
    combo->SetItemIndex(0);
    auto* check = Make<TEwCheckBox>(this);
    check->SetParent(inner);
    check->SetBounds(4, 40, 270, 22);
    check->SetFlat(true);
    check->SetChecked(true);
    check->SetCaption(L"Create desktop icon");
    auto* button = Make<TSB>(this);
    button->SetParent(inner);
    button->SetBounds(4, 72, 138, 30);
    button->SetMyStyle(true);
    button->SetCaption(L"Install >>");
    return group;
  }

  TEwCheckBox* Hot = nullptr;
  TEwCheckBox* Focused = nullptr;
  THeldSB* HotButton = nullptr;
  THeldSB* Held = nullptr;
  TLink* HotLink = nullptr;
  TGroupPanel* GroupOn = nullptr;
};

void CALLBACK CloseSample(HWND, UINT, UINT_PTR, DWORD) {
  if (TForm* form = Application().MainForm()) form->Close();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  Application().Initialize();
  Application().SetTitle(L"Zarvo controls sample");
  auto* form = Application().CreateForm<TSampleForm>();
  form->OnActivate = [form](TObject*) { form->ShowStates(); };
  int seconds = commandLine && *commandLine ? std::strtol(commandLine, nullptr, 10) : 0;
  if (seconds > 0) ::SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000, &CloseSample);
  Application().Run();
  return 0;
}
