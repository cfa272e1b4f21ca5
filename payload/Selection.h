// The selection pass: which manifest lines an install into a folder must process.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "payload/Archive.h"
#include "payload/DateTime.h"
#include "payload/Manifest.h"

namespace zarvo::payload {

struct FileStampAndSize {
  TDateTime Stamp = 0;    // last-write time, local, to the millisecond
  std::int32_t Size = 0;  // low 32 bits of the size

  friend bool operator==(const FileStampAndSize&, const FileStampAndSize&) = default;
};

// The questions the selection asks the file system. Paths are as the manifest writes them,
// with "\" between folders.
class FileSystemProbe {
 public:
  virtual ~FileSystemProbe() = default;
  // True for an existing file of any attribute; a folder is not a file.
  virtual bool FileExists(std::u16string_view path) const = 0;
  // The first entry a directory search for path finds, accepting every attribute (files and
  // folders); nothing when it finds none.
  virtual std::optional<FileStampAndSize> FindFirst(std::u16string_view path) const = 0;
};

// Stamp 0 and size 0 when nothing is found.
FileStampAndSize GetFileStampAndSize(const FileSystemProbe& probe, std::u16string_view path);

// The archive lookup the selection uses (FindArchiveItem over the open directory).
using ArchiveItemFinder = std::function<ArchiveItemLookup(std::u16string_view name)>;

// Deletes from fileList, in place and in order, the lines for other editions, the "O" files that
// exist (unless forced), and the files already up to date; deletion lines ("K") stay. installDir
// ends with "\".
void Comp(ManifestLines& fileList, std::u16string_view installDir, char16_t edition, bool forced,
          const ArchiveItemFinder& findArchiveItem, const FileSystemProbe& probe);

}  // namespace zarvo::payload
