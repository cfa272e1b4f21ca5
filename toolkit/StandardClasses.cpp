// The toolkit's classes and their properties as a description names them.
#include "toolkit/Bevel.h"
#include "toolkit/ComboBox.h"
#include "toolkit/CustomControl.h"
#include "toolkit/Edit.h"
#include "toolkit/Form.h"
#include "toolkit/Label.h"
#include "toolkit/Loader.h"
#include "toolkit/Panel.h"
#include "toolkit/ProgressBar.h"
#include "toolkit/SpeedButton.h"

namespace zarvo::toolkit {

namespace {

using V = const TPropertyValue&;
using C = TLoadContext&;

TAlign AlignValue(V value) {
  return value.AsEnum<TAlign>({{L"alNone", alNone}, {L"alTop", alTop}, {L"alBottom", alBottom},
                               {L"alLeft", alLeft}, {L"alRight", alRight}, {L"alClient", alClient}});
}

TCursor CursorValue(V value) {
  if (value.Tokens().size() == 1 && value.Tokens()[0].TokenKind == TPropertyValue::Kind::Number) return value.AsInteger();
  return value.AsEnum<TCursor>({{L"crDefault", crDefault}, {L"crArrow", crArrow}, {L"crIBeam", crIBeam},
                                {L"crHourGlass", crHourGlass}, {L"crHandPoint", crHandPoint}});
}

TBevelCut BevelCutValue(V value) {
  return value.AsEnum<TBevelCut>({{L"bvNone", bvNone}, {L"bvLowered", bvLowered}, {L"bvRaised", bvRaised}});
}

void RegisterControl(TClassRegistry& classes) {
  const wchar_t* name = L"TControl";
  classes.RegisterProperty<TControl>(name, L"Left", [](TControl& c, V v, C x) { c.SetLeft(x.Scale(v.AsInteger())); });
  classes.RegisterProperty<TControl>(name, L"Top", [](TControl& c, V v, C x) { c.SetTop(x.Scale(v.AsInteger())); });
  classes.RegisterProperty<TControl>(name, L"Width", [](TControl& c, V v, C x) { c.SetWidth(x.Scale(v.AsInteger())); });
  classes.RegisterProperty<TControl>(name, L"Height", [](TControl& c, V v, C x) { c.SetHeight(x.Scale(v.AsInteger())); });
  classes.RegisterProperty<TControl>(name, L"Bounds", [](TControl& c, V v, C x) {
    std::vector<int> bounds = v.AsIntegers();
    if (bounds.size() != 4) v.Fail(L"Bounds takes left, top, width and height");
    c.SetBounds(x.Scale(bounds[0]), x.Scale(bounds[1]), x.Scale(bounds[2]), x.Scale(bounds[3]));
  });
  classes.RegisterProperty<TControl>(name, L"ClientWidth", [](TControl& c, V v, C x) {
    c.SetClientSize(x.Scale(v.AsInteger()), c.ClientHeight());
  });
  classes.RegisterProperty<TControl>(name, L"ClientHeight", [](TControl& c, V v, C x) {
    c.SetClientSize(c.ClientWidth(), x.Scale(v.AsInteger()));
  });
  classes.RegisterProperty<TControl>(name, L"Align", [](TControl& c, V v, C) { c.SetAlign(AlignValue(v)); });
  classes.RegisterProperty<TControl>(name, L"Visible", [](TControl& c, V v, C) { c.SetVisible(v.AsBoolean()); });
  classes.RegisterProperty<TControl>(name, L"Enabled", [](TControl& c, V v, C) { c.SetEnabled(v.AsBoolean()); });
  classes.RegisterProperty<TControl>(name, L"Caption", [](TControl& c, V v, C) { c.SetCaption(v.AsString()); });
  classes.RegisterProperty<TControl>(name, L"Text", [](TControl& c, V v, C) { c.SetText(v.AsString()); });
  classes.RegisterProperty<TControl>(name, L"Color", [](TControl& c, V v, C) { c.SetColor(v.AsColor()); });
  classes.RegisterProperty<TControl>(name, L"ParentColor", [](TControl& c, V v, C) { c.SetParentColor(v.AsBoolean()); });
  classes.RegisterProperty<TControl>(name, L"Font", [](TControl& c, V v, C x) {
    TFont scaled;
    scaled.Assign(x.Font(v));
    scaled.SetHeight(x.Scale(scaled.Height()));
    c.Font().Assign(scaled);
  });
  classes.RegisterProperty<TControl>(name, L"ParentFont", [](TControl& c, V v, C) { c.SetParentFont(v.AsBoolean()); });
  classes.RegisterProperty<TControl>(name, L"Cursor", [](TControl& c, V v, C) { c.SetCursor(CursorValue(v)); });
  classes.RegisterProperty<TControl>(name, L"Hint", [](TControl& c, V v, C) { c.SetHint(v.AsString()); });
  classes.RegisterProperty<TControl>(name, L"ShowHint", [](TControl& c, V v, C) { c.SetShowHint(v.AsBoolean()); });
  classes.RegisterProperty<TControl>(name, L"ParentShowHint", [](TControl& c, V v, C) { c.SetParentShowHint(v.AsBoolean()); });
  classes.RegisterProperty<TControl>(name, L"OnClick", [](TControl& c, V v, C x) { c.OnClick = x.FindHandler<TNotifyEvent>(v); });
  classes.RegisterProperty<TControl>(name, L"OnMouseDown", [](TControl& c, V v, C x) { c.OnMouseDown = x.FindHandler<TMouseEvent>(v); });
  classes.RegisterProperty<TControl>(name, L"OnMouseUp", [](TControl& c, V v, C x) { c.OnMouseUp = x.FindHandler<TMouseEvent>(v); });
  classes.RegisterProperty<TControl>(name, L"OnMouseMove", [](TControl& c, V v, C x) { c.OnMouseMove = x.FindHandler<TMouseMoveEvent>(v); });
}

void RegisterWinControl(TClassRegistry& classes) {
  const wchar_t* name = L"TWinControl";
  classes.RegisterProperty<TWinControl>(name, L"TabOrder", [](TWinControl& c, V v, C) { c.SetTabOrder(v.AsInteger()); });
  classes.RegisterProperty<TWinControl>(name, L"TabStop", [](TWinControl& c, V v, C) { c.SetTabStop(v.AsBoolean()); });
  classes.RegisterProperty<TWinControl>(name, L"OnEnter", [](TWinControl& c, V v, C x) { c.OnEnter = x.FindHandler<TNotifyEvent>(v); });
  classes.RegisterProperty<TWinControl>(name, L"OnExit", [](TWinControl& c, V v, C x) { c.OnExit = x.FindHandler<TNotifyEvent>(v); });
  classes.RegisterProperty<TWinControl>(name, L"OnKeyDown", [](TWinControl& c, V v, C x) { c.OnKeyDown = x.FindHandler<TKeyEvent>(v); });
}

void RegisterForm(TClassRegistry& classes) {
  const wchar_t* name = L"TForm";
  classes.RegisterProperty<TForm>(name, L"BorderStyle", [](TForm& c, V v, C) {
    c.SetBorderStyle(v.AsEnum<TFormBorderStyle>(
        {{L"bsNone", bsNone}, {L"bsSingle", bsSingle}, {L"bsSizeable", bsSizeable}, {L"bsDialog", bsDialog}}));
  });
  classes.RegisterProperty<TForm>(name, L"BorderIcons", [](TForm& c, V v, C) {
    c.SetBorderIcons(v.AsFlags<TBorderIcons>({{L"biSystemMenu", biSystemMenu}, {L"biMinimize", biMinimize}, {L"biMaximize", biMaximize}}));
  });
  classes.RegisterProperty<TForm>(name, L"Position", [](TForm& c, V v, C) {
    c.SetPosition(v.AsEnum<TPosition>({{L"poDesigned", poDesigned}, {L"poScreenCenter", poScreenCenter}}));
  });
  classes.RegisterProperty<TForm>(name, L"OnCreate", [](TForm& c, V v, C x) { c.OnCreate = x.FindHandler<TNotifyEvent>(v); });
  classes.RegisterProperty<TForm>(name, L"OnActivate", [](TForm& c, V v, C x) { c.OnActivate = x.FindHandler<TNotifyEvent>(v); });
}

void RegisterStandardControls(TClassRegistry& classes) {
  classes.RegisterProperty<TPanel>(L"TPanel", L"BevelInner", [](TPanel& c, V v, C) { c.SetBevelInner(BevelCutValue(v)); });
  classes.RegisterProperty<TPanel>(L"TPanel", L"BevelOuter", [](TPanel& c, V v, C) { c.SetBevelOuter(BevelCutValue(v)); });
  classes.RegisterProperty<TPanel>(L"TPanel", L"BevelWidth", [](TPanel& c, V v, C) { c.SetBevelWidth(v.AsInteger()); });
  classes.RegisterProperty<TPanel>(L"TPanel", L"BorderWidth", [](TPanel& c, V v, C x) { c.SetBorderWidth(x.Scale(v.AsInteger())); });

  classes.RegisterProperty<TLabel>(L"TLabel", L"Alignment", [](TLabel& c, V v, C) {
    c.SetAlignment(v.AsEnum<TAlignment>({{L"taLeftJustify", taLeftJustify}, {L"taRightJustify", taRightJustify}, {L"taCenter", taCenter}}));
  });
  classes.RegisterProperty<TLabel>(L"TLabel", L"Layout", [](TLabel& c, V v, C) {
    c.SetLayout(v.AsEnum<TTextLayout>({{L"tlTop", tlTop}, {L"tlCenter", tlCenter}, {L"tlBottom", tlBottom}}));
  });
  classes.RegisterProperty<TLabel>(L"TLabel", L"AutoSize", [](TLabel& c, V v, C) { c.SetAutoSize(v.AsBoolean()); });
  classes.RegisterProperty<TLabel>(L"TLabel", L"WordWrap", [](TLabel& c, V v, C) { c.SetWordWrap(v.AsBoolean()); });
  classes.RegisterProperty<TLabel>(L"TLabel", L"Transparent", [](TLabel& c, V v, C) { c.SetTransparent(v.AsBoolean()); });
  classes.RegisterProperty<TLabel>(L"TLabel", L"ShowAccelChar", [](TLabel& c, V v, C) { c.SetShowAccelChar(v.AsBoolean()); });

  const wchar_t* button = L"TSpeedButton";
  classes.RegisterProperty<TSpeedButton>(button, L"Flat", [](TSpeedButton& c, V v, C) { c.SetFlat(v.AsBoolean()); });
  classes.RegisterProperty<TSpeedButton>(button, L"Down", [](TSpeedButton& c, V v, C) { c.SetDown(v.AsBoolean()); });
  classes.RegisterProperty<TSpeedButton>(button, L"GroupIndex", [](TSpeedButton& c, V v, C) { c.SetGroupIndex(v.AsInteger()); });
  classes.RegisterProperty<TSpeedButton>(button, L"AllowAllUp", [](TSpeedButton& c, V v, C) { c.SetAllowAllUp(v.AsBoolean()); });
  classes.RegisterProperty<TSpeedButton>(button, L"Transparent", [](TSpeedButton& c, V v, C) { c.SetTransparent(v.AsBoolean()); });
  classes.RegisterProperty<TSpeedButton>(button, L"Glyph", [](TSpeedButton& c, V v, C x) {
    c.Glyph().LoadFromResourceName(x.Module(), v.AsName());
  });

  const wchar_t* combo = L"TComboBox";
  classes.RegisterProperty<TComboBox>(combo, L"Items", [](TComboBox& c, V v, C) { c.Items().Assign(v.AsStrings()); });
  classes.RegisterProperty<TComboBox>(combo, L"ItemIndex", [](TComboBox& c, V v, C) { c.SetItemIndex(v.AsInteger()); });
  classes.RegisterProperty<TComboBox>(combo, L"DropDownCount", [](TComboBox& c, V v, C) { c.SetDropDownCount(v.AsInteger()); });
  classes.RegisterProperty<TComboBox>(combo, L"OnChange", [](TComboBox& c, V v, C x) { c.OnChange = x.FindHandler<TNotifyEvent>(v); });

  classes.RegisterProperty<TEdit>(L"TEdit", L"ReadOnly", [](TEdit& c, V v, C) { c.SetReadOnly(v.AsBoolean()); });
  classes.RegisterProperty<TEdit>(L"TEdit", L"MaxLength", [](TEdit& c, V v, C) { c.SetMaxLength(v.AsInteger()); });
  classes.RegisterProperty<TEdit>(L"TEdit", L"OnChange", [](TEdit& c, V v, C x) { c.OnChange = x.FindHandler<TNotifyEvent>(v); });
  classes.RegisterProperty<TMemo>(L"TMemo", L"WordWrap", [](TMemo& c, V v, C) { c.SetWordWrap(v.AsBoolean()); });
  classes.RegisterProperty<TMemo>(L"TMemo", L"ScrollBars", [](TMemo& c, V v, C) {
    c.SetScrollBars(v.AsEnum<TScrollStyle>({{L"ssNone", ssNone}, {L"ssHorizontal", ssHorizontal}, {L"ssVertical", ssVertical}, {L"ssBoth", ssBoth}}));
  });

  const wchar_t* progress = L"TProgressBar";
  classes.RegisterProperty<TProgressBar>(progress, L"Min", [](TProgressBar& c, V v, C) { c.SetMin(v.AsInteger()); });
  classes.RegisterProperty<TProgressBar>(progress, L"Max", [](TProgressBar& c, V v, C) { c.SetMax(v.AsInteger()); });
  classes.RegisterProperty<TProgressBar>(progress, L"Position", [](TProgressBar& c, V v, C) { c.SetPosition(v.AsInteger()); });

  classes.RegisterProperty<TBevel>(L"TBevel", L"Shape", [](TBevel& c, V v, C) {
    c.SetShape(v.AsEnum<TBevelShape>({{L"bsBox", bsBox}, {L"bsFrame", bsFrame}, {L"bsTopLine", bsTopLine},
                                      {L"bsBottomLine", bsBottomLine}, {L"bsLeftLine", bsLeftLine},
                                      {L"bsRightLine", bsRightLine}, {L"bsSpacer", bsSpacer}}));
  });
  classes.RegisterProperty<TBevel>(L"TBevel", L"Style", [](TBevel& c, V v, C) {
    c.SetStyle(v.AsEnum<TBevelStyle>({{L"bsLowered", bsLowered}, {L"bsRaised", bsRaised}}));
  });
}

}  // namespace

void RegisterStandardClasses(TClassRegistry& classes) {
  classes.RegisterClass(L"TComponent", L"");
  classes.RegisterClass(L"TControl", L"TComponent");
  classes.RegisterClass(L"TWinControl", L"TControl");
  classes.RegisterClass(L"TGraphicControl", L"TControl");
  classes.RegisterClass(L"TCustomControl", L"TWinControl");
  classes.RegisterClass(L"TForm", L"TWinControl");
  classes.RegisterClass<TPanel>(L"TPanel", L"TCustomControl");
  classes.RegisterClass<TLabel>(L"TLabel", L"TGraphicControl");
  classes.RegisterClass<TSpeedButton>(L"TSpeedButton", L"TGraphicControl");
  classes.RegisterClass<TBevel>(L"TBevel", L"TGraphicControl");
  classes.RegisterClass<TComboBox>(L"TComboBox", L"TWinControl");
  classes.RegisterClass<TEdit>(L"TEdit", L"TWinControl");
  classes.RegisterClass<TMemo>(L"TMemo", L"TEdit");
  classes.RegisterClass<TProgressBar>(L"TProgressBar", L"TWinControl");
  classes.RegisterProperty(L"TComponent", L"Tag", [](TComponent& c, V v, C) { c.Tag = v.AsInteger(); });
  RegisterControl(classes);
  RegisterWinControl(classes);
  RegisterForm(classes);
  RegisterStandardControls(classes);
}

TClassRegistry StandardClasses() {
  TClassRegistry classes;
  RegisterStandardClasses(classes);
  return classes;
}

}  // namespace zarvo::toolkit
