// TStrings: an ordered list of texts that tells its owner when it changes.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zarvo::toolkit {

class TStrings {
public:
  int Count() const { return static_cast<int>(FItems.size()); }
  const std::wstring& Strings(int index) const { return FItems.at(static_cast<size_t>(index)); }
  const std::wstring& operator[](int index) const { return Strings(index); }
  void Add(std::wstring_view text);
  void Clear();
  void Assign(std::vector<std::wstring> items);
  // The lines joined by CR LF / split at CR LF, CR or LF.
  std::wstring Text() const;
  void SetText(std::wstring_view text);
  const std::vector<std::wstring>& Items() const { return FItems; }

  std::function<void()> OnChange;

private:
  void Changed();
  std::vector<std::wstring> FItems;
};

}  // namespace zarvo::toolkit
