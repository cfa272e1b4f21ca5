// The description format's reader, the class registry and the loader.
#include "toolkit/Loader.h"

#include <cwctype>

#include "platform/Text.h"

namespace zarvo::toolkit {

namespace {

bool IsNameCharacter(wchar_t c) { return std::iswalnum(c) || c == L'_' || c == L'.'; }

std::wstring Trimmed(std::wstring_view text) {
  size_t first = 0;
  while (first < text.size() && std::iswspace(text[first])) ++first;
  size_t last = text.size();
  while (last > first && std::iswspace(text[last - 1])) --last;
  return std::wstring(text.substr(first, last - first));
}

}  // namespace

TDescriptionError::TDescriptionError(int line, std::wstring_view problem)
    : std::runtime_error(platform::ToUtf8(L"window description, line " + std::to_wstring(line) + L": " + std::wstring(problem))),
      FLine(line) {}

// ---- values

TPropertyValue::TPropertyValue(std::wstring_view text, int line) : FLine(line) {
  size_t i = 0;
  auto fail = [&](std::wstring_view problem) { throw TDescriptionError(line, problem); };
  while (i < text.size()) {
    wchar_t c = text[i];
    if (std::iswspace(c)) {
      ++i;
    } else if (c == L'"') {
      std::wstring content;
      ++i;
      for (;;) {
        if (i >= text.size()) fail(L"a text without its closing quote");
        wchar_t d = text[i++];
        if (d == L'"') break;
        if (d != L'\\') {
          content += d;
          continue;
        }
        if (i >= text.size()) fail(L"a text without its closing quote");
        wchar_t escape = text[i++];
        switch (escape) {
          case L'"':
          case L'\\':
            content += escape;
            break;
          case L'r':
            content += L'\r';
            break;
          case L'n':
            content += L'\n';
            break;
          case L't':
            content += L'\t';
            break;
          case L'u': {
            if (text.size() - i < 4) fail(L"\\u needs four hex digits");
            unsigned code = 0;
            for (int k = 0; k < 4; ++k) {
              wchar_t h = text[i++];
              if (!std::iswxdigit(h)) fail(L"\\u needs four hex digits");
              code = code * 16 + static_cast<unsigned>(std::iswdigit(h) ? h - L'0' : (std::towlower(h) - L'a' + 10));
            }
            content += static_cast<wchar_t>(code);
            break;
          }
          default:
            fail(std::wstring(L"unknown escape \\") + escape);
        }
      }
      FTokens.push_back({Kind::String, std::move(content), {}});
    } else if (c == L'[') {
      size_t close = text.find(L']', i);
      if (close == std::wstring_view::npos) fail(L"a set without its closing bracket");
      Token set{Kind::Set, {}, {}};
      std::wstring_view inside = text.substr(i + 1, close - i - 1);
      size_t start = 0;
      while (start <= inside.size()) {
        size_t comma = inside.find(L',', start);
        std::wstring member = Trimmed(inside.substr(start, comma == std::wstring_view::npos ? std::wstring_view::npos : comma - start));
        if (!member.empty()) set.Members.push_back(member);
        if (comma == std::wstring_view::npos) break;
        start = comma + 1;
      }
      FTokens.push_back(std::move(set));
      i = close + 1;
    } else if (c == L'-' || std::iswdigit(c)) {
      size_t start = i++;
      while (i < text.size() && std::iswalnum(text[i])) ++i;
      FTokens.push_back({Kind::Number, std::wstring(text.substr(start, i - start)), {}});
    } else if (IsNameCharacter(c)) {
      size_t start = i;
      while (i < text.size() && IsNameCharacter(text[i])) ++i;
      FTokens.push_back({Kind::Identifier, std::wstring(text.substr(start, i - start)), {}});
    } else {
      fail(std::wstring(L"unexpected character '") + c + L"'");
    }
  }
}

void TPropertyValue::Fail(std::wstring_view problem) const { throw TDescriptionError(FLine, problem); }

const TPropertyValue::Token& TPropertyValue::Single(Kind kind, std::wstring_view what) const {
  if (FTokens.size() != 1 || FTokens[0].TokenKind != kind) Fail(L"expected " + std::wstring(what));
  return FTokens[0];
}

std::wstring TPropertyValue::AsString() const { return Single(Kind::String, L"a quoted text").Text; }

namespace {

bool ParseInteger(const std::wstring& text, long long& value) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && text[i] == L'-') {
    negative = true;
    ++i;
  }
  int base = 10;
  if (text.size() - i > 2 && text[i] == L'0' && (text[i + 1] == L'x' || text[i + 1] == L'X')) {
    base = 16;
    i += 2;
  }
  if (i >= text.size()) return false;
  long long result = 0;
  for (; i < text.size(); ++i) {
    wchar_t c = text[i];
    int digit;
    if (std::iswdigit(c))
      digit = c - L'0';
    else if (base == 16 && std::iswxdigit(c))
      digit = static_cast<int>(std::towlower(c) - L'a' + 10);
    else
      return false;
    if (digit >= base) return false;
    result = result * base + digit;
    if (result > 0xFFFFFFFFLL) return false;
  }
  value = negative ? -result : result;
  return true;
}

}  // namespace

int TPropertyValue::AsInteger() const {
  const Token& token = Single(Kind::Number, L"a number");
  long long value = 0;
  if (!ParseInteger(token.Text, value) || value < -0x80000000LL || value > 0x7FFFFFFFLL) Fail(L"not a number: " + token.Text);
  return static_cast<int>(value);
}

bool TPropertyValue::AsBoolean() const {
  std::wstring name = AsIdentifier();
  if (name == L"true") return true;
  if (name == L"false") return false;
  Fail(L"expected true or false, not " + name);
}

std::wstring TPropertyValue::AsIdentifier() const { return Single(Kind::Identifier, L"a name").Text; }

std::wstring TPropertyValue::AsName() const {
  if (FTokens.size() == 1 && FTokens[0].TokenKind == Kind::String) return FTokens[0].Text;
  return AsIdentifier();
}

TColor TPropertyValue::AsColor() const {
  if (FTokens.size() == 1 && FTokens[0].TokenKind == Kind::Number) {
    long long value = 0;
    if (!ParseInteger(FTokens[0].Text, value) || value < 0 || value > 0xFFFFFFFFLL) Fail(L"not a colour: " + FTokens[0].Text);
    return static_cast<TColor>(value);
  }
  std::wstring name = AsIdentifier();
  TColor color = 0;
  if (!ColorFromName(name, color)) Fail(L"unknown colour " + name);
  return color;
}

std::vector<int> TPropertyValue::AsIntegers() const {
  std::vector<int> values;
  for (const Token& token : FTokens) {
    long long value = 0;
    if (token.TokenKind != Kind::Number || !ParseInteger(token.Text, value) || value < -0x80000000LL || value > 0x7FFFFFFFLL)
      Fail(L"expected numbers");
    values.push_back(static_cast<int>(value));
  }
  return values;
}

std::vector<std::wstring> TPropertyValue::AsStrings() const {
  std::vector<std::wstring> values;
  for (const Token& token : FTokens) {
    if (token.TokenKind != Kind::String) Fail(L"expected quoted texts");
    values.push_back(token.Text);
  }
  return values;
}

std::vector<std::wstring> TPropertyValue::AsSet() const {
  if (FTokens.size() == 1 && FTokens[0].TokenKind == Kind::Set) return FTokens[0].Members;
  return {AsIdentifier()};
}

// ---- context and registry

TLoadContext::TLoadContext(TForm& root, int pixelsPerInch, HINSTANCE module)
    : FRoot(root), FPixelsPerInch(pixelsPerInch), FModule(module) {}

const TFont& TLoadContext::Font(const TPropertyValue& value) const {
  std::wstring name = value.AsIdentifier();
  auto found = FFonts.find(name);
  if (found == FFonts.end()) value.Fail(L"no font " + name + L" defined above");
  return *found->second;
}

TFont& TLoadContext::DefineFont(std::wstring_view name, int line) {
  if (FFonts.count(name)) throw TDescriptionError(line, L"font " + std::wstring(name) + L" defined twice");
  auto font = std::make_unique<TFont>();
  TFont& result = *font;
  FFonts.emplace(std::wstring(name), std::move(font));
  return result;
}

void TClassRegistry::RegisterClass(std::wstring_view name, std::wstring_view baseName, TComponentFactory factory) {
  ClassInfo& info = FClasses[std::wstring(name)];
  info.Base = baseName;
  info.Factory = std::move(factory);
}

void TClassRegistry::RegisterProperty(std::wstring_view className, std::wstring_view property, TPropertySetter setter) {
  auto found = FClasses.find(className);
  if (found == FClasses.end())
    throw std::logic_error("property for an unregistered class " + platform::ToUtf8(className));
  found->second.Properties[std::wstring(property)] = std::move(setter);
}

bool TClassRegistry::IsRegistered(std::wstring_view name) const { return FClasses.count(name) != 0; }

const TPropertySetter* TClassRegistry::FindProperty(std::wstring_view className, std::wstring_view property) const {
  std::wstring name(className);
  for (int depth = 0; depth < 64 && !name.empty(); ++depth) {
    auto found = FClasses.find(name);
    if (found == FClasses.end()) return nullptr;
    auto setter = found->second.Properties.find(property);
    if (setter != found->second.Properties.end()) return &setter->second;
    name = found->second.Base;
  }
  return nullptr;
}

const TComponentFactory* TClassRegistry::FindFactory(std::wstring_view className) const {
  auto found = FClasses.find(className);
  if (found == FClasses.end() || !found->second.Factory) return nullptr;
  return &found->second.Factory;
}

// ---- the loader

namespace {

struct Line {
  int Number;
  std::wstring Text;
};

std::vector<Line> SplitLines(std::wstring_view description) {
  std::vector<Line> lines;
  int number = 0;
  size_t start = 0;
  while (start <= description.size()) {
    size_t end = description.find(L'\n', start);
    std::wstring_view text = description.substr(start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start);
    ++number;
    std::wstring trimmed = Trimmed(text);
    if (!trimmed.empty() && trimmed[0] != L'#') lines.push_back({number, std::move(trimmed)});
    if (end == std::wstring_view::npos) break;
    start = end + 1;
  }
  return lines;
}

// "Name = value" -> true with both parts; a header line -> false.
bool SplitProperty(const std::wstring& text, std::wstring& name, std::wstring& value) {
  size_t i = 0;
  while (i < text.size() && IsNameCharacter(text[i])) ++i;
  if (i == 0) return false;
  size_t equals = i;
  while (equals < text.size() && std::iswspace(text[equals])) ++equals;
  if (equals >= text.size() || text[equals] != L'=') return false;
  name = text.substr(0, i);
  value = text.substr(equals + 1);
  return true;
}

std::vector<std::wstring> Words(const std::wstring& text) {
  std::vector<std::wstring> words;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && std::iswspace(text[i])) ++i;
    size_t start = i;
    while (i < text.size() && !std::iswspace(text[i])) ++i;
    if (i > start) words.push_back(text.substr(start, i - start));
  }
  return words;
}

void ApplyFontProperty(TFont& font, const std::wstring& name, const TPropertyValue& value, const TLoadContext& context) {
  if (name == L"Name")
    font.SetName(value.AsString());
  else if (name == L"Height")
    font.SetHeight(context.Scale(value.AsInteger()));
  else if (name == L"Charset")
    font.SetCharset(static_cast<BYTE>(value.AsInteger()));
  else if (name == L"Color")
    font.SetColor(value.AsColor());
  else if (name == L"Style")
    font.SetStyle(value.AsFlags<TFontStyles>({{L"fsBold", fsBold}, {L"fsItalic", fsItalic},
                                              {L"fsUnderline", fsUnderline}, {L"fsStrikeOut", fsStrikeOut}}));
  else
    value.Fail(L"a font has no property " + name);
}

}  // namespace

void LoadDescription(TForm& form, std::wstring_view description, const TClassRegistry& classes, const TLoadOptions& options) {
  int pixelsPerInch = options.PixelsPerInch > 0 ? options.PixelsPerInch : ScreenPixelsPerInch();
  HINSTANCE module = options.Module ? options.Module : ::GetModuleHandleW(nullptr);
  TLoadContext context(form, pixelsPerInch, module);

  std::vector<TComponent*> created;
  TComponent* current = nullptr;
  std::wstring currentClass;
  TFont* currentFont = nullptr;
  bool rootSeen = false;

  for (const Line& line : SplitLines(description)) {
    std::wstring name;
    std::wstring valueText;
    if (SplitProperty(line.Text, name, valueText)) {
      TPropertyValue value(valueText, line.Number);
      if (currentFont) {
        if (name == L"Height") {
          // Font blocks hold design heights; the font used is scaled when it is assigned.
          currentFont->SetHeight(value.AsInteger());
        } else {
          TLoadContext unscaled(form, DesignPixelsPerInch, module);
          ApplyFontProperty(*currentFont, name, value, unscaled);
        }
        continue;
      }
      if (!current) throw TDescriptionError(line.Number, L"a property before any component");
      if (name.starts_with(L"Font.")) {
        auto* control = dynamic_cast<TControl*>(current);
        if (!control) throw TDescriptionError(line.Number, L"only controls have a font");
        ApplyFontProperty(control->Font(), name.substr(5), value, context);
        continue;
      }
      const TPropertySetter* setter = classes.FindProperty(currentClass, name);
      if (!setter) throw TDescriptionError(line.Number, L"class " + currentClass + L" has no property " + name);
      try {
        (*setter)(*current, value, context);
      } catch (const TDescriptionError&) {
        throw;
      } catch (const std::exception& error) {
        throw TDescriptionError(line.Number, name + L": " + platform::FromUtf8(error.what()));
      }
      continue;
    }

    std::vector<std::wstring> words = Words(line.Text);
    currentFont = nullptr;
    if (words.size() == 2 && words[0] == L"font") {
      currentFont = &context.DefineFont(words[1], line.Number);
      current = nullptr;
      continue;
    }
    bool withParent = words.size() == 4 && words[2] == L"in";
    if (words.size() != 2 && !withParent)
      throw TDescriptionError(line.Number, L"expected \"Class Name\", \"Class Name in Parent\" or \"font Name\"");
    const std::wstring& className = words[0];
    const std::wstring& componentName = words[1];
    if (!rootSeen) {
      if (withParent) throw TDescriptionError(line.Number, L"the form comes first and has no parent");
      if (className != form.ClassName() && className != L"TForm")
        throw TDescriptionError(line.Number, L"the description is for " + className + L", not " + std::wstring(form.ClassName()));
      rootSeen = true;
      form.SetName(componentName);
      form.BeginLoading();
      created.push_back(&form);
      current = &form;
      currentClass = classes.IsRegistered(className) ? className : L"TForm";
      continue;
    }
    const TComponentFactory* factory = classes.FindFactory(className);
    if (!factory) throw TDescriptionError(line.Number, L"unknown class " + className);
    TWinControl* parent = &form;
    if (withParent) {
      TComponent* named = form.Name() == words[3] ? &form : form.FindComponent(words[3]);
      parent = dynamic_cast<TWinControl*>(named);
      if (!parent) throw TDescriptionError(line.Number, L"no windowed parent " + words[3] + L" above");
    }
    if (form.FindComponent(componentName)) throw TDescriptionError(line.Number, L"a second component named " + componentName);
    std::unique_ptr<TComponent> component = (*factory)(&form);
    if (!component) throw TDescriptionError(line.Number, L"the factory of " + className + L" made nothing");
    TComponent* raw = component.get();
    form.InsertComponent(std::move(component));
    raw->SetName(componentName);
    raw->BeginLoading();
    created.push_back(raw);
    if (auto* control = dynamic_cast<TControl*>(raw)) control->SetParent(parent);
    current = raw;
    currentClass = className;
  }
  if (!rootSeen) throw TDescriptionError(1, L"the description names no form");
  for (TComponent* component : created) component->Loaded();
}

}  // namespace zarvo::toolkit
