// The install manifest: its text split into lines, and a line cut into path and flags.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zarvo::payload {

// FileList: the manifest's lines in manifest order.
using ManifestLines = std::vector<std::u16string>;

// UTF-8 text (a leading byte-order mark skipped, ill-formed bytes as U+FFFD) ending at its first
// NUL; CR LF, a lone CR and a lone LF each end a line; a break at the very end adds no empty
// last line; empty lines inside are kept.
ManifestLines LoadManifestLines(std::span<const std::uint8_t> text);

// The flags are looked for only this far after the first "|".
inline constexpr std::size_t FlagsWindowLength = 50;

struct ManifestLineParts {
  std::u16string_view Path;   // before the first "|"; empty without one
  std::u16string_view Flags;  // the window's text before its first "|"; empty without one
};

// The parts view into line.
ManifestLineParts CutManifestLine(std::u16string_view line);

// The install run deletes by mask for a line that holds "|K|" anywhere; every other line is a
// file line.
bool IsDeletionLine(std::u16string_view line);

// Why a manifest path or mask would reach outside the install folder: absolute, a drive or a
// share, a stream (":"), or a part that Windows reads as ".." (".." itself, and parts of dots and
// blanks with two dots or more, since Windows drops trailing dots and blanks). Empty when it
// stays inside.
std::string UnsafePathProblem(std::u16string_view path);

}  // namespace zarvo::payload
