// Stored window descriptions: a small text format, a class registry (class name -> factory, and
// per-class named property setters) and the loader that builds a form's components from them.
//
//   # a comment line
//   TZarSetup ZarSetup              the form itself: its class name and its name, first
//     ClientWidth = 550             properties, one per line: Name = value
//   font F1                         a named font, used as  Font = F1
//     Name = "MS Sans Serif"
//     Height = 15
//   TPanel Panel1 in GP             a component, its name, its parent (the form when left out)
//     Bounds = 0 238 550 30
//
// Values: "text" (escapes \" \\ \r \n \t \uXXXX), integers (-12, 0x1F), identifiers (alTop,
// clBtnFace, true), several of them separated by blanks (Bounds = 0 238 550 30,
// Items = "English" "Russian"), and sets in brackets ([fsBold, fsUnderline]).
//
// Components are created in the order written; each gets its parent and then its properties,
// so a parent's properties are set before its children exist. Positions, sizes and font
// heights are design pixels at 120 pixels per inch and are scaled to the screen's (or the
// given) pixels per inch. Docking waits until every component has its properties; then each
// component's Loaded runs, in creation order.
#pragma once

#include <windows.h>

#include <any>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "toolkit/Component.h"
#include "toolkit/Form.h"
#include "toolkit/Graphics.h"
#include "toolkit/Types.h"

namespace zarvo::toolkit {

inline constexpr int DesignPixelsPerInch = 120;

// A description that cannot be loaded: the line and what is wrong with it.
class TDescriptionError : public std::runtime_error {
public:
  TDescriptionError(int line, std::wstring_view problem);
  int Line() const { return FLine; }

private:
  int FLine;
};

// One property's value as written.
class TPropertyValue {
public:
  enum class Kind { String, Number, Identifier, Set };
  struct Token {
    Kind TokenKind;
    std::wstring Text;           // the string's content, the number's digits, the identifier
    std::vector<std::wstring> Members;  // of a set
  };

  TPropertyValue(std::wstring_view text, int line);
  int Line() const { return FLine; }
  const std::vector<Token>& Tokens() const { return FTokens; }

  std::wstring AsString() const;
  int AsInteger() const;
  bool AsBoolean() const;
  std::wstring AsIdentifier() const;
  // A string or an identifier: resource and component names.
  std::wstring AsName() const;
  TColor AsColor() const;
  std::vector<int> AsIntegers() const;
  std::vector<std::wstring> AsStrings() const;
  // The members of [a, b]; a single identifier counts as a set of one.
  std::vector<std::wstring> AsSet() const;
  template <class E>
  E AsEnum(std::initializer_list<std::pair<std::wstring_view, E>> names) const {
    std::wstring name = AsIdentifier();
    for (const auto& [known, value] : names) {
      if (known == name) return value;
    }
    Fail(L"unknown value " + name);
  }
  // A set of flags from their names.
  template <class F>
  F AsFlags(std::initializer_list<std::pair<std::wstring_view, F>> names) const {
    F flags{};
    for (const std::wstring& member : AsSet()) {
      bool known = false;
      for (const auto& [name, value] : names) {
        if (name == member) {
          flags = static_cast<F>(flags | value);
          known = true;
        }
      }
      if (!known) Fail(L"unknown flag " + member);
    }
    return flags;
  }
  [[noreturn]] void Fail(std::wstring_view problem) const;

private:
  const Token& Single(Kind kind, std::wstring_view what) const;

  std::vector<Token> FTokens;
  int FLine;
};

// What a property setter may use while a description loads.
class TLoadContext {
public:
  TLoadContext(TForm& root, int pixelsPerInch, HINSTANCE module);
  TForm& Root() { return FRoot; }
  int PixelsPerInch() const { return FPixelsPerInch; }
  // Design pixels (at 120 pixels per inch) to pixels at PixelsPerInch, rounded.
  int Scale(int designPixels) const { return ::MulDiv(designPixels, FPixelsPerInch, DesignPixelsPerInch); }
  // The module whose resources the description names (pictures).
  HINSTANCE Module() const { return FModule; }
  // A font defined earlier by a font block; throws when there is none.
  const TFont& Font(const TPropertyValue& value) const;
  // A handler the root form declared (TForm::DeclareHandler) under the value's name.
  template <class Handler>
  Handler FindHandler(const TPropertyValue& value) const {
    std::wstring name = value.AsIdentifier();
    const std::any* found = FRoot.FindHandler(name);
    if (!found) value.Fail(L"the form declares no handler " + name);
    const Handler* typed = std::any_cast<Handler>(found);
    if (!typed) value.Fail(L"handler " + name + L" has another signature");
    return *typed;
  }

  // The loader keeps the fonts of the font blocks here.
  TFont& DefineFont(std::wstring_view name, int line);

private:
  TForm& FRoot;
  int FPixelsPerInch;
  HINSTANCE FModule;
  std::map<std::wstring, std::unique_ptr<TFont>, std::less<>> FFonts;
};

using TPropertySetter = std::function<void(TComponent& Component, const TPropertyValue& Value, TLoadContext& Context)>;
using TComponentFactory = std::function<std::unique_ptr<TComponent>(TComponent* Owner)>;

class TClassRegistry {
public:
  // A class the loader can create (factory) or only name as a base (no factory).
  void RegisterClass(std::wstring_view name, std::wstring_view baseName, TComponentFactory factory = nullptr);
  template <class T>
  void RegisterClass(std::wstring_view name, std::wstring_view baseName) {
    RegisterClass(name, baseName, [](TComponent* owner) { return std::unique_ptr<TComponent>(std::make_unique<T>(owner)); });
  }
  void RegisterProperty(std::wstring_view className, std::wstring_view property, TPropertySetter setter);
  // A setter for components of class T (checked); T names the C++ class, className the
  // registered one.
  template <class T>
  void RegisterProperty(std::wstring_view className, std::wstring_view property,
                        std::function<void(T&, const TPropertyValue&, TLoadContext&)> setter) {
    RegisterProperty(className, property,
                     [setter = std::move(setter), property = std::wstring(property)](
                         TComponent& component, const TPropertyValue& value, TLoadContext& context) {
                       T* typed = dynamic_cast<T*>(&component);
                       if (!typed) value.Fail(L"property " + property + L" does not apply to " + std::wstring(component.ClassName()));
                       setter(*typed, value, context);
                     });
  }

  bool IsRegistered(std::wstring_view name) const;
  // The setter for `property` of `className` or of one of its bases; nullptr when none.
  const TPropertySetter* FindProperty(std::wstring_view className, std::wstring_view property) const;
  const TComponentFactory* FindFactory(std::wstring_view className) const;

private:
  struct ClassInfo {
    std::wstring Base;
    TComponentFactory Factory;
    std::map<std::wstring, TPropertySetter, std::less<>> Properties;
  };
  std::map<std::wstring, ClassInfo, std::less<>> FClasses;
};

// The toolkit's own classes with their properties.
TClassRegistry StandardClasses();
// Adds them to a registry.
void RegisterStandardClasses(TClassRegistry& classes);

struct TLoadOptions {
  int PixelsPerInch = 0;       // 0: the screen's
  HINSTANCE Module = nullptr;  // nullptr: the program's own
};

// Builds `form`'s components from `description` (the form's own block first).
void LoadDescription(TForm& form, std::wstring_view description, const TClassRegistry& classes,
                     const TLoadOptions& options = {});

}  // namespace zarvo::toolkit
