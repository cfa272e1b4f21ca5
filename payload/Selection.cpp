// The selection pass over the manifest lines.
#include "payload/Selection.h"

#include <string>

namespace zarvo::payload {
namespace {

bool Holds(std::u16string_view flags, char16_t letter) {
  return flags.find(letter) != std::u16string_view::npos;
}

bool MustDrop(std::u16string_view line, std::u16string_view installDir, char16_t edition,
              bool forced, const ArchiveItemFinder& findArchiveItem,
              const FileSystemProbe& probe) {
  const ManifestLineParts parts = CutManifestLine(line);
  const std::u16string_view flags = parts.Flags;
  if ((Holds(flags, u'P') || Holds(flags, u'F') || Holds(flags, u'L')) && !Holds(flags, edition))
    return true;
  std::u16string fullPath(installDir);
  fullPath += parts.Path;
  if (Holds(flags, u'O') && !forced && probe.FileExists(fullPath)) return true;
  if (Holds(flags, u'K') || forced) return false;
  const TFileItem entry = findArchiveItem(parts.Path).Item;
  const FileStampAndSize existing = GetFileStampAndSize(probe, fullPath);
  return entry.Size == existing.Size && existing.Stamp >= entry.FDate;
}

}  // namespace

FileStampAndSize GetFileStampAndSize(const FileSystemProbe& probe, std::u16string_view path) {
  return probe.FindFirst(path).value_or(FileStampAndSize{});
}

void Comp(ManifestLines& fileList, std::u16string_view installDir, char16_t edition, bool forced,
          const ArchiveItemFinder& findArchiveItem, const FileSystemProbe& probe) {
  // The line that moves into a dropped line's place is tested next.
  for (std::size_t i = 0; i < fileList.size();) {
    if (MustDrop(fileList[i], installDir, edition, forced, findArchiveItem, probe)) {
      fileList.erase(fileList.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      ++i;
    }
  }
}

}  // namespace zarvo::payload
