// The fuzz entry point: documented errors are fine, crashes and broken invariants are findings.
#include "tests/fuzz/ArchiveFuzzTarget.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "payload/Archive.h"
#include "payload/Manifest.h"
#include "payload/NameComparer.h"
#include "payload/Selection.h"

namespace zarvo::fuzz {
namespace {

using namespace zarvo::payload;

#define FUZZ_CHECK(condition)                                                            \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (false)

// An install folder where nothing exists yet.
class EmptyFolderProbe final : public FileSystemProbe {
 public:
  bool FileExists(std::u16string_view) const override { return false; }
  std::optional<FileStampAndSize> FindFirst(std::u16string_view) const override {
    return std::nullopt;
  }
};

// zlib's one-shot inflate as an independent judge of what the core accepted.
bool ZlibAgrees(std::span<const std::uint8_t> archive, const TFileItem& item,
                const std::vector<std::uint8_t>& content) {
  std::vector<std::uint8_t> expected(content.size() + 1);
  uLongf produced = static_cast<uLongf>(expected.size());
  uLong consumed = static_cast<uLong>(item.PackSize);
  const int result =
      uncompress2(expected.data(), &produced, archive.data() + item.Position, &consumed);
  return result == Z_OK && produced == content.size() &&
         std::equal(content.begin(), content.end(), expected.begin());
}

}  // namespace

void FuzzArchive(std::span<const std::uint8_t> bytes) {
  ArchiveStream stream(bytes);
  ArchiveNames names;
  ArchiveItemList items;
  try {
    LoadArchiveIndex(stream, names, items);
  } catch (const MalformedArchiveError& error) {
    FUZZ_CHECK(error.Offset() >= 0 && error.Offset() <= stream.Size());
  }
  FUZZ_CHECK(names.size() == items.size());

  const CaseFoldingNameComparer comparer;
  std::int64_t end = 0;
  for (std::size_t k = 0; k < items.size(); ++k) {
    const TFileItem& item = items[k];
    FUZZ_CHECK(item.PackSize >= 0);
    FUZZ_CHECK(item.Position >= end + 13 && item.Position <= stream.Size());
    FUZZ_CHECK(item.PackSize <= stream.Size() - item.Position);
    end = item.Position + item.PackSize;

    const ArchiveItemLookup lookup = FindArchiveItem(names, items, comparer, names[k]);
    FUZZ_CHECK(lookup.Found);

    // Content goes at the destination's position; afterwards the position is 0.
    MemoryOutputStream destination;
    const std::int64_t start = static_cast<std::int64_t>(k % 3);
    destination.SetPosition(start);
    try {
      ExtractArchiveItem(stream, names, items, comparer, names[k], destination);
      FUZZ_CHECK(destination.Position() == 0);
      FUZZ_CHECK(lookup.Item.Size >= 0);
      std::vector<std::uint8_t> content;
      if (lookup.Item.Size > 0) {
        FUZZ_CHECK(destination.Size() == start + lookup.Item.Size);
        content.assign(destination.Bytes().begin() + start, destination.Bytes().end());
      } else {
        FUZZ_CHECK(destination.Size() <= start);
      }
      FUZZ_CHECK(ZlibAgrees(bytes, lookup.Item, content));
    } catch (const InflateError&) {
      FUZZ_CHECK(destination.Size() == 0 && destination.Position() == start);
    } catch (const MalformedArchiveError&) {
      FUZZ_CHECK(destination.Size() == 0 && destination.Position() == start);
    }
  }
  MemoryOutputStream manifest;
  try {
    ExtractArchiveItem(stream, names, items, comparer, u"list", manifest);
  } catch (const InflateError&) {
    return;
  } catch (const MalformedArchiveError&) {
    return;
  }
  ManifestLines fileList = LoadManifestLines(manifest.Remaining());
  for (const std::u16string& line : fileList) {
    FUZZ_CHECK(line.find_first_of(u"\r\n") == std::u16string::npos);
    const ManifestLineParts parts = CutManifestLine(line);
    FUZZ_CHECK(parts.Path.size() <= line.size() && parts.Flags.size() < FlagsWindowLength);
  }
  const std::size_t before = fileList.size();
  const EmptyFolderProbe probe;
  Comp(
      fileList, u"C:\\Install\\", u'F', false,
      [&](std::u16string_view name) { return FindArchiveItem(names, items, comparer, name); },
      probe);
  FUZZ_CHECK(fileList.size() <= before);
}

}  // namespace zarvo::fuzz
