// The manifest text rules and the cutting of a line into path and flags.
#include "payload/Manifest.h"

#include <algorithm>

#include "payload/Utf.h"

namespace zarvo::payload {

ManifestLines LoadManifestLines(std::span<const std::uint8_t> text) {
  static constexpr std::uint8_t byteOrderMark[] = {0xEF, 0xBB, 0xBF};
  if (text.size() >= 3 && std::equal(text.begin(), text.begin() + 3, byteOrderMark))
    text = text.subspan(3);
  if (const auto nul = std::find(text.begin(), text.end(), 0); nul != text.end())
    text = text.first(static_cast<std::size_t>(nul - text.begin()));
  const std::u16string decoded = Utf8ToUtf16(text);

  ManifestLines lines;
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < decoded.size()) {
    const char16_t unit = decoded[i];
    if (unit != u'\r' && unit != u'\n') {
      ++i;
      continue;
    }
    lines.emplace_back(decoded, start, i - start);
    i += unit == u'\r' && i + 1 < decoded.size() && decoded[i + 1] == u'\n' ? 2 : 1;
    start = i;
  }
  if (start < decoded.size()) lines.emplace_back(decoded, start, decoded.size() - start);
  return lines;
}

ManifestLineParts CutManifestLine(std::u16string_view line) {
  const std::size_t bar = line.find(u'|');
  if (bar == std::u16string_view::npos) return {};
  ManifestLineParts parts;
  parts.Path = line.substr(0, bar);
  const std::u16string_view window = line.substr(bar + 1, FlagsWindowLength);
  if (const std::size_t end = window.find(u'|'); end != std::u16string_view::npos)
    parts.Flags = window.substr(0, end);
  return parts;
}

bool IsDeletionLine(std::u16string_view line) { return line.find(u"|K|") != std::u16string_view::npos; }

namespace {

bool IsParentReference(std::u16string_view part) {
  const std::size_t kept = part.find_last_not_of(u". ");
  return kept == std::u16string_view::npos && part.find(u"..") != std::u16string_view::npos;
}

}  // namespace

std::string UnsafePathProblem(std::u16string_view path) {
  if (path.empty()) return "no path";
  if (path.front() == u'\\' || path.front() == u'/') return "absolute path";
  if (path.find(u':') != std::u16string_view::npos) return "absolute path (drive or stream)";
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find_first_of(u"\\/", start);
    if (end == std::u16string_view::npos) end = path.size();
    if (IsParentReference(path.substr(start, end - start))) return "path climbs out with \"..\"";
    start = end + 1;
  }
  return {};
}

}  // namespace zarvo::payload
