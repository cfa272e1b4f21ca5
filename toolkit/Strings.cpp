// The list of texts of combo boxes and memos.
#include "toolkit/Strings.h"

namespace zarvo::toolkit {

void TStrings::Add(std::wstring_view text) {
  FItems.emplace_back(text);
  Changed();
}

void TStrings::Clear() {
  if (FItems.empty()) return;
  FItems.clear();
  Changed();
}

void TStrings::Assign(std::vector<std::wstring> items) {
  FItems = std::move(items);
  Changed();
}

std::wstring TStrings::Text() const {
  std::wstring text;
  for (size_t i = 0; i < FItems.size(); ++i) {
    if (i) text += L"\r\n";
    text += FItems[i];
  }
  return text;
}

void TStrings::SetText(std::wstring_view text) {
  std::vector<std::wstring> lines;
  std::wstring line;
  for (size_t i = 0; i < text.size(); ++i) {
    wchar_t c = text[i];
    if (c == L'\r' || c == L'\n') {
      lines.push_back(line);
      line.clear();
      if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  Assign(std::move(lines));
}

void TStrings::Changed() {
  if (OnChange) OnChange();
}

}  // namespace zarvo::toolkit
