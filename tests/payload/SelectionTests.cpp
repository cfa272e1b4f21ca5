// The selection pass over a fake file system.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "payload/Selection.h"

namespace zarvo::payload {
namespace {

const std::u16string InstallDir = u"C:\\Inst\\";
const TDateTime EntryDate = EncodeDateTime({2021, 7, 15, 12, 34, 56, 0});
constexpr double OneSecond = 1.0 / 86400.0;

struct DiskEntry {
  bool folder = false;
  FileStampAndSize stampAndSize;
};

class FakeProbe final : public FileSystemProbe {
 public:
  std::map<std::u16string, DiskEntry> entries;
  mutable std::vector<std::u16string> existenceTests;
  mutable std::vector<std::u16string> searches;

  bool FileExists(std::u16string_view path) const override {
    existenceTests.emplace_back(path);
    const auto found = entries.find(std::u16string(path));
    return found != entries.end() && !found->second.folder;
  }
  std::optional<FileStampAndSize> FindFirst(std::u16string_view path) const override {
    searches.emplace_back(path);
    const auto found = entries.find(std::u16string(path));
    if (found == entries.end()) return std::nullopt;
    return found->second.stampAndSize;
  }
};

// The archive as the selection sees it: only sizes and dates matter.
ArchiveItemFinder Archive() {
  return [](std::u16string_view name) -> ArchiveItemLookup {
    if (name == u"f.txt") return {true, {10, 20, 100, EntryDate}};
    if (name == u"zero.txt") return {true, {0, 8, 200, 0}};
    if (name == u"zero-dated.txt") return {true, {0, 8, 300, EntryDate}};
    return {};
  };
}

enum class Disk { Missing, Equal, Later, SecondOlder, OtherSize, Folder };

DiskEntry DiskState(Disk disk) {
  switch (disk) {
    case Disk::Equal: return {false, {EntryDate, 10}};
    case Disk::Later: return {false, {EntryDate + 3.5, 10}};
    case Disk::SecondOlder: return {false, {EntryDate - OneSecond, 10}};
    case Disk::OtherSize: return {false, {EntryDate + 3.5, 11}};
    case Disk::Folder: return {true, {EntryDate + 3.5, 0}};
    case Disk::Missing: break;
  }
  return {};
}

struct LineCase {
  const char* label;
  std::u16string line;
  Disk disk;  // what is at InstallDir + the line's path
  bool forced;
  bool kept;
};

class CompLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(CompLineTest, KeepsOrDropsTheLine) {
  const LineCase& c = GetParam();
  FakeProbe probe;
  const std::u16string path(CutManifestLine(c.line).Path);
  if (c.disk != Disk::Missing) probe.entries[InstallDir + path] = DiskState(c.disk);
  ManifestLines fileList{c.line};
  Comp(fileList, InstallDir, u'F', c.forced, Archive(), probe);
  EXPECT_EQ(fileList.size(), c.kept ? 1u : 0u);
  // At most one existence test and one directory search per line, both on the full path.
  EXPECT_LE(probe.existenceTests.size(), 1u);
  EXPECT_LE(probe.searches.size(), 1u);
  for (const auto& queried : probe.existenceTests) EXPECT_EQ(queried, InstallDir + path);
  for (const auto& queried : probe.searches) EXPECT_EQ(queried, InstallDir + path);
}

const std::u16string Long50(50, u'P');

INSTANTIATE_TEST_SUITE_P(
    Cases, CompLineTest,
    ::testing::Values(
        // Up-to-date rule.
        LineCase{"missing_file_kept", u"f.txt||#|F", Disk::Missing, false, true},
        LineCase{"same_size_equal_time_dropped", u"f.txt||#|F", Disk::Equal, false, false},
        LineCase{"same_size_later_dropped", u"f.txt||#|F", Disk::Later, false, false},
        LineCase{"one_second_older_kept", u"f.txt||#|F", Disk::SecondOlder, false, true},
        LineCase{"other_size_kept", u"f.txt||#|F", Disk::OtherSize, false, true},
        LineCase{"folder_of_that_name_other_size_kept", u"f.txt||#|F", Disk::Folder, false, true},
        LineCase{"size_0_date_0_missing_dropped", u"zero.txt||#|Z", Disk::Missing, false, false},
        LineCase{"size_0_dated_missing_kept", u"zero-dated.txt||#|Z", Disk::Missing, false, true},
        LineCase{"entry_not_in_archive_missing_dropped", u"nothere.txt||#|", Disk::Missing, false, false},
        // Editions, with Edition 'F'.
        LineCase{"F_goes_on_to_later_rules_kept", u"f.txt|F|#|", Disk::Missing, false, true},
        LineCase{"F_goes_on_to_later_rules_dropped", u"f.txt|F|#|", Disk::Equal, false, false},
        LineCase{"P_dropped", u"f.txt|P|#|", Disk::Missing, false, false},
        LineCase{"L_dropped", u"f.txt|L|#|", Disk::Missing, false, false},
        LineCase{"PL_dropped", u"f.txt|PL|#|", Disk::Missing, false, false},
        LineCase{"PF_kept", u"f.txt|PF|#|", Disk::Missing, false, true},
        LineCase{"LOF_kept", u"f.txt|LOF|#|", Disk::Missing, false, true},
        LineCase{"P_dropped_even_forced", u"f.txt|P|#|", Disk::Missing, true, false},
        LineCase{"PK_dropped_deletion_of_other_edition", u"x\\*.tmp|PK|", Disk::Missing, false, false},
        LineCase{"lower_case_p_is_no_edition", u"f.txt|p|#|", Disk::Missing, false, true},
        LineCase{"flags_window_50_reads_as_empty", u"f.txt|" + Long50 + u"|#|", Disk::Missing, false, true},
        LineCase{"flags_window_50_up_to_date_dropped", u"f.txt|" + Long50 + u"|#|", Disk::Equal, false, false},
        // Keep the user's file.
        LineCase{"O_existing_dropped", u"f.txt|O|#|", Disk::SecondOlder, false, false},
        LineCase{"O_existing_forced_kept", u"f.txt|O|#|", Disk::Equal, true, true},
        LineCase{"O_missing_goes_on_kept", u"f.txt|O|#|", Disk::Missing, false, true},
        LineCase{"O_folder_is_no_file_goes_on", u"f.txt|O|#|", Disk::Folder, false, true},
        LineCase{"O_missing_size_0_date_0_dropped", u"zero.txt|O|#|", Disk::Missing, false, false},
        LineCase{"FO_existing_dropped", u"f.txt|FO|#|", Disk::Equal, false, false},
        // Deletion lines and force.
        LineCase{"K_kept_on_up_to_date_file", u"f.txt|K|", Disk::Equal, false, true},
        LineCase{"K_kept_forced", u"f.txt|K|", Disk::Equal, true, true},
        LineCase{"K_mask_kept", u"cache\\*.tmp|K|", Disk::Missing, false, true},
        LineCase{"K_size_0_date_0_kept", u"zero.txt|K|", Disk::Missing, false, true},
        LineCase{"forced_up_to_date_kept", u"f.txt||#|", Disk::Equal, true, true},
        LineCase{"forced_size_0_date_0_kept", u"zero.txt||#|", Disk::Missing, true, true},
        // Malformed lines go through the same tests with an empty path or empty flags.
        LineCase{"no_bar_size_0_date_0_dropped", u"garbage", Disk::Missing, false, false},
        LineCase{"empty_line_dropped", u"", Disk::Missing, false, false},
        LineCase{"no_second_bar_P_ignored", u"f.txt|P", Disk::Missing, false, true}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return std::string(info.param.label); });

TEST(CompTest, ConsecutiveDroppedLinesAreAllRemovedAndTheNextLineIsTested) {
  FakeProbe probe;
  probe.entries[InstallDir + u"f.txt"] = DiskState(Disk::Equal);
  ManifestLines fileList{u"keep1|K|",        u"a|P|#|", u"b|L|#|", u"c|PL|#|",
                         u"f.txt||#|",       u"keep2|K|", u"d|P|#|", u"e|P|#|",
                         u"nothere.txt||#|"};
  Comp(fileList, InstallDir, u'F', false, Archive(), probe);
  EXPECT_EQ(fileList, (ManifestLines{u"keep1|K|", u"keep2|K|"}));
}

TEST(CompTest, KeptLinesStayInManifestOrder) {
  FakeProbe probe;
  ManifestLines fileList{u"f.txt|F|#|1", u"x|P|#|", u"f.txt||#|2", u"y\\*.*|K|", u"f.txt|O|#|3"};
  Comp(fileList, InstallDir, u'F', false, Archive(), probe);
  EXPECT_EQ(fileList, (ManifestLines{u"f.txt|F|#|1", u"f.txt||#|2", u"y\\*.*|K|", u"f.txt|O|#|3"}));
}

TEST(CompTest, OtherEditionLetterSelectsItsOwnLines) {
  FakeProbe probe;
  ManifestLines fileList{u"a|P|#|", u"b|F|#|", u"c|L|#|", u"d|PL|#|", u"e||#|"};
  Comp(fileList, InstallDir, u'P', true, Archive(), probe);
  EXPECT_EQ(fileList, (ManifestLines{u"a|P|#|", u"d|PL|#|", u"e||#|"}));
}

TEST(CompTest, EmptyManifestStaysEmptyWithoutTouchingTheDisk) {
  FakeProbe probe;
  ManifestLines fileList;
  Comp(fileList, InstallDir, u'F', false, Archive(), probe);
  EXPECT_TRUE(fileList.empty());
  EXPECT_TRUE(probe.existenceTests.empty());
  EXPECT_TRUE(probe.searches.empty());
}

TEST(GetFileStampAndSizeTest, ReportsTheFoundEntryOrZeros) {
  FakeProbe probe;
  probe.entries[u"C:\\x"] = DiskState(Disk::OtherSize);
  EXPECT_EQ(GetFileStampAndSize(probe, u"C:\\x"), (FileStampAndSize{EntryDate + 3.5, 11}));
  EXPECT_EQ(GetFileStampAndSize(probe, u"C:\\y"), (FileStampAndSize{0, 0}));
}

}  // namespace
}  // namespace zarvo::payload
