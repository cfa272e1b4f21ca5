// zarvo-pack: builds a payload archive from a manifest and a folder, and lists, extracts,
// verifies and dry-runs the install of an existing one with the same core the setup uses.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "payload/Archive.h"
#include "payload/DateTime.h"
#include "payload/Manifest.h"
#include "payload/NameComparer.h"
#include "payload/Selection.h"
#include "payload/Utf.h"
#include "tools/ArchiveWriter.h"

#ifdef _WIN32
#include "platform/Text.h"
#ifdef ZARVO_PACK_WIN32_INSTALL
#include "install/LocaleNameComparer.h"
#include "install/Win32FileProbe.h"
#endif
#else
#include "payload/PosixFileProbe.h"
#endif

namespace fs = std::filesystem;
using namespace zarvo::payload;
using zarvo::tools::AppendEntry;

namespace {

constexpr const char* UsageText =
    "usage: zarvo-pack build --manifest FILE --root DIR -o PAYLOAD\n"
    "       zarvo-pack list PAYLOAD\n"
    "       zarvo-pack cat PAYLOAD NAME\n"
    "       zarvo-pack verify PAYLOAD\n"
    "       zarvo-pack plan PAYLOAD --dir DIR [--edition L] [--force]\n";

// Wrong command line: exit status 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Bad input files or contents: exit status 1.
class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

fs::path PathFromUtf8(std::string_view utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string PathToUtf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

void WriteOut(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }

std::vector<std::uint8_t> ReadWholeFile(const fs::path& path) {
  std::error_code error;
  if (!fs::is_regular_file(path, error)) throw InputError("not a file: " + PathToUtf8(path));
  std::ifstream in(path, std::ios::binary);
  if (!in) throw InputError("cannot open " + PathToUtf8(path));
  in.seekg(0, std::ios::end);
  const std::streamoff length = in.tellg();
  in.seekg(0, std::ios::beg);
  if (length < 0) throw InputError("cannot read " + PathToUtf8(path));
  // A 32-bit build would otherwise read a cut-off copy of a file above 4 GB.
  if (static_cast<std::uintmax_t>(length) > std::numeric_limits<std::size_t>::max())
    throw InputError("too large to load: " + PathToUtf8(path));
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
  if (!in.read(reinterpret_cast<char*>(bytes.data()), length))
    throw InputError("cannot read " + PathToUtf8(path));
  return bytes;
}

// The comparison and file-system probe the setup itself uses on this platform.
#if defined(_WIN32) && defined(ZARVO_PACK_WIN32_INSTALL)
using HostNameComparer = zarvo::install::LocaleNameComparer;
using HostFileProbe = zarvo::install::Win32FileProbe;
#elif defined(_WIN32)
using HostNameComparer = CaseFoldingNameComparer;
#else
using HostNameComparer = CaseFoldingNameComparer;
using HostFileProbe = PosixFileProbe;
#endif

// A payload file loaded whole, with its directory read by the core.
class LoadedPayload {
 public:
  explicit LoadedPayload(const fs::path& path) : bytes_(ReadWholeFile(path)), stream_(bytes_) {}
  LoadedPayload(const LoadedPayload&) = delete;
  LoadedPayload& operator=(const LoadedPayload&) = delete;

  // Throws MalformedArchiveError; the entries before the fault stay readable.
  void LoadIndex() { LoadArchiveIndex(stream_, names_, items_); }

  ArchiveStream& Stream() { return stream_; }
  const ArchiveNames& Names() const { return names_; }
  const ArchiveItemList& Items() const { return items_; }
  const NameComparer& Comparer() const { return comparer_; }

  ArchiveItemLookup Find(std::u16string_view name) const {
    return FindArchiveItem(names_, items_, comparer_, name);
  }

  // The manifest as the setup loads it: the entry "list" extracted, then cut into lines.
  ManifestLines LoadFileList() {
    MemoryOutputStream manifest;
    ExtractArchiveItem(stream_, names_, items_, comparer_, u"list", manifest);
    return LoadManifestLines(manifest.Remaining());
  }

 private:
  std::vector<std::uint8_t> bytes_;
  ArchiveStream stream_;
  ArchiveNames names_;
  ArchiveItemList items_;
  HostNameComparer comparer_;
};

// The install run takes every line holding "|K|" for a deletion line. The packer calls a line a
// deletion line only when its flags field is exactly "K", and refuses the other lines holding
// "|K|"; a line whose flags hold K with other letters is installed as a file.
bool HasDeletionFlags(std::u16string_view line) { return CutManifestLine(line).Flags == u"K"; }

std::string DescribeLine(std::size_t index, std::u16string_view line) {
  return "line " + std::to_string(index + 1) + " \"" + Utf16ToUtf8(line) + "\"";
}

bool IsWildcard(char16_t unit) { return unit == u'*' || unit == u'?'; }

// CON, PRN, AUX, NUL, COM1-COM9 and LPT1-LPT9 (also with a superscript 1, 2 or 3) name devices
// in every folder, whatever the case and with any extension.
bool IsDeviceName(std::u16string_view part) {
  std::u16string_view base = part.substr(0, part.find(u'.'));
  while (!base.empty() && base.back() == u' ') base.remove_suffix(1);
  std::u16string upper(base);
  for (char16_t& unit : upper)
    if (unit >= u'a' && unit <= u'z') unit = static_cast<char16_t>(unit - 32);
  if (upper == u"CON" || upper == u"PRN" || upper == u"AUX" || upper == u"NUL") return true;
  if (upper.size() != 4 || (upper.compare(0, 3, u"COM") != 0 && upper.compare(0, 3, u"LPT") != 0))
    return false;
  const char16_t number = upper[3];
  return (number >= u'1' && number <= u'9') || number == u'\u00B9' || number == u'\u00B2' ||
         number == u'\u00B3';
}

// Where Windows cannot create the path as the manifest writes it, the reason; empty when it can.
// A deletion mask keeps its wildcards in its last part. ":" is refused as a drive or stream
// before, and a path ends at the first "|".
std::string UncreatablePathProblem(std::u16string_view path, bool mask) {
  for (const char16_t unit : path) {
    if (unit < 32) return "control character " + std::to_string(unit) + " in the path";
    if (unit == u'/') return "\"/\" in the path (the manifest separates folders with \"\\\")";
    if (unit == u'<' || unit == u'>' || unit == u'"')
      return "character \"" + Utf16ToUtf8(std::u16string(1, unit)) + "\" is not allowed in a name";
    if (IsWildcard(unit) && !mask)
      return "wildcard \"" + Utf16ToUtf8(std::u16string(1, unit)) +
             "\" in a file name: only a deletion line (flags exactly \"K\") takes a mask";
  }
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find(u'\\', start);
    if (end == std::u16string_view::npos) end = path.size();
    const std::u16string_view part = path.substr(start, end - start);
    const bool last = end == path.size();
    std::string quoted(1, '"');
    quoted += Utf16ToUtf8(part);
    quoted += '"';
    if (part.empty()) return last ? "path ends with \"\\\"" : "empty folder name (\"\\\\\")";
    if (IsDeviceName(part)) return "path part " + quoted + " is a device name on Windows";
    const bool wild = std::any_of(part.begin(), part.end(), IsWildcard);
    if (wild && !last) return "wildcard in the folder part " + quoted + " of a mask";
    // "*." is the mask of names without an extension; elsewhere Windows drops the dot.
    if (part.back() == u'.' && !wild) return "path part " + quoted + " ends with a dot";
    if (part.back() == u' ') return "path part " + quoted + " ends with a blank";
    start = end + 1;
  }
  return {};
}

// How the setup reads the given flags for the edition choice and the user's existing file.
std::string HowTheSetupReads(std::u16string_view flags, bool lowerCaseO) {
  std::string editions;
  for (const char16_t letter : {u'P', u'F', u'L'})
    if (flags.find(letter) != std::u16string_view::npos)
      editions += std::string(editions.empty() ? "" : ", ") + static_cast<char>(letter);
  std::string reading = editions.empty() ? "the setup installs this line for every edition"
                        : editions.size() == 1
                            ? "the setup installs this line only for edition " + editions
                            : "the setup installs this line only for editions " + editions;
  if (flags.find(u'O') != std::u16string_view::npos)
    reading += ", keeping the user's existing file";
  else if (lowerCaseO)
    reading += ", not keeping the user's existing file";
  return reading;
}

// The checks of the lines themselves, shared by build and verify: refusals throw, naming the
// line; warnings go to standard error.
class ManifestChecker {
 public:
  // prefix starts each message ("manifest " where the manifest is one entry among others).
  ManifestChecker(const NameComparer& comparer, std::string prefix)
      : comparer_(comparer), prefix_(std::move(prefix)) {}

  void Check(std::size_t index, std::u16string_view line) {
    if (line.empty()) return;
    const ManifestLineParts parts = CutManifestLine(line);
    const std::u16string_view path = parts.Path;
    const bool deletion = HasDeletionFlags(line);
    if (!deletion && IsDeletionLine(line))
      Refuse(index, line,
             "holds \"|K|\" outside a flags field of exactly \"K\": the setup would take it for a "
             "deletion line and delete the user's file of that name");
    if (deletion && path.empty()) return;
    // A mask that reaches outside the folder would delete the user's other files.
    if (const std::string problem = UnsafePathProblem(path); !problem.empty())
      Refuse(index, line, problem);
    if (const std::string problem = UncreatablePathProblem(path, deletion); !problem.empty())
      Refuse(index, line, problem);
    if (deletion) return;
    // The setup finds the first "list", the manifest: such a line would install the manifest.
    if (comparer_.Equal(path, u"list")) Refuse(index, line, "the name \"list\" is the manifest's");
    // Lookups take the first entry of a name, so a second one could never be read.
    for (const FileLine& earlier : fileLines_)
      if (comparer_.Equal(earlier.path, path))
        Refuse(index, line,
               "names the same entry as " + DescribeLine(earlier.index, earlier.line) +
                   " (letter case ignored); the setup would only ever read that one");
    fileLines_.push_back({index, line, path});
    WarnAboutFlags(index, line, parts.Flags);
  }

 private:
  [[noreturn]] void Refuse(std::size_t index, std::u16string_view line,
                           const std::string& problem) const {
    throw InputError(prefix_ + DescribeLine(index, line) + ": " + problem);
  }

  void Warn(std::size_t index, std::u16string_view line, const std::string& problem) const {
    std::fprintf(stderr, "zarvo-pack: warning: %s%s: %s\n", prefix_.c_str(),
                 DescribeLine(index, line).c_str(), problem.c_str());
  }

  void WarnAboutFlags(std::size_t index, std::u16string_view line,
                      std::u16string_view flags) const {
    // The field as written: up to the next "|" at any distance, or to the end of the line.
    const std::u16string_view afterBar = line.substr(line.find(u'|') + 1);
    const std::size_t bar = afterBar.find(u'|');
    const std::u16string_view field = afterBar.substr(0, bar);
    if (field.size() >= FlagsWindowLength) {
      Warn(index, line,
           "flags field of " + std::to_string(field.size()) + " characters: the closing \"|\" "
           "is looked for only in the first " + std::to_string(FlagsWindowLength) +
           ", so no flags are read and " + HowTheSetupReads(u"", false));
      return;
    }
    if (bar == std::u16string_view::npos && !field.empty()) {
      Warn(index, line,
           "flags field not closed by \"|\": no flags are read, so " +
               HowTheSetupReads(u"", false));
      return;
    }
    std::string lowerCase;
    bool lowerCaseO = false;
    for (const char16_t letter : std::u16string_view(u"pflo"))
      if (flags.find(letter) != std::u16string_view::npos) {
        lowerCase += std::string(lowerCase.empty() ? "" : ", ") + "\"" +
                     static_cast<char>(letter) + "\"";
        lowerCaseO = lowerCaseO || letter == u'o';
      }
    if (!lowerCase.empty())
      Warn(index, line,
           "lower-case flag letters (" + lowerCase + ") are not read as flags: " +
               HowTheSetupReads(flags, lowerCaseO));
  }

  // Views into the caller's lines, which outlive the checker.
  struct FileLine {
    std::size_t index;
    std::u16string_view line;
    std::u16string_view path;
  };

  const NameComparer& comparer_;
  std::string prefix_;
  std::vector<FileLine> fileLines_;
};

// Manifest bytes that are not UTF-8 would give names that match no file; reports the line.
void CheckUtf8(std::span<const std::uint8_t> manifest) {
  std::string_view text(reinterpret_cast<const char*>(manifest.data()), manifest.size());
  if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos)
    text = text.substr(0, nul);
  const std::string again = Utf16ToUtf8(Utf8ToUtf16(text));
  if (again == text) return;
  std::size_t bad = 0;
  while (bad < text.size() && bad < again.size() && text[bad] == again[bad]) ++bad;
  std::size_t line = 1;
  for (std::size_t i = 0; i < bad; ++i)
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')))
      ++line;
  throw InputError("manifest line " + std::to_string(line) + ": not valid UTF-8");
}

fs::path DiskPath(const fs::path& root, std::u16string_view manifestPath) {
  fs::path path = root;
  std::size_t start = 0;
  while (start <= manifestPath.size()) {
    std::size_t end = manifestPath.find_first_of(u"\\/", start);
    if (end == std::u16string_view::npos) end = manifestPath.size();
    const std::string part = Utf16ToUtf8(manifestPath.substr(start, end - start));
    if (!part.empty()) path /= PathFromUtf8(part);
    start = end + 1;
  }
  return path;
}

std::time_t LastWriteTime(const fs::path& path) {
  const auto stamp = fs::last_write_time(path);
  return std::chrono::system_clock::to_time_t(
      std::chrono::time_point_cast<std::chrono::system_clock::duration>(
          std::chrono::file_clock::to_sys(stamp)));
}

// The output file under a temporary name beside it; removed unless committed.
class PendingOutput {
 public:
  explicit PendingOutput(fs::path target) : target_(std::move(target)), temporary_(target_) {
    temporary_ += ".partial";
    out_.open(temporary_, std::ios::binary | std::ios::trunc);
    if (!out_) throw InputError("cannot create " + PathToUtf8(temporary_));
  }
  PendingOutput(const PendingOutput&) = delete;
  PendingOutput& operator=(const PendingOutput&) = delete;
  ~PendingOutput() {
    if (committed_) return;
    out_.close();
    std::error_code ignored;
    fs::remove(temporary_, ignored);
  }

  void Write(std::span<const std::uint8_t> bytes) {
    out_.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!out_) throw InputError("cannot write " + PathToUtf8(temporary_));
  }

  void Commit() {
    out_.close();
    if (!out_) throw InputError("cannot write " + PathToUtf8(temporary_));
    std::error_code error;
    // Replaces an earlier output in one step (MoveFileExW with MOVEFILE_REPLACE_EXISTING on
    // Windows); when it fails the earlier output is left as it was.
    fs::rename(temporary_, target_, error);
    if (error) throw InputError("cannot write " + PathToUtf8(target_) + ": " + error.message());
    committed_ = true;
  }

 private:
  fs::path target_;
  fs::path temporary_;
  std::ofstream out_;
  bool committed_ = false;
};

struct Arguments {
  std::vector<std::string> positional;
  std::vector<std::pair<std::string, std::optional<std::string>>> options;
};

// Splits arguments into positional ones and the options known to take a value or not.
Arguments ParseArguments(const std::vector<std::string>& args, std::size_t first,
                         const std::vector<std::string>& valued,
                         const std::vector<std::string>& flags) {
  Arguments parsed;
  for (std::size_t i = first; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.size() > 1 && arg[0] == '-') {
      if (std::find(valued.begin(), valued.end(), arg) != valued.end()) {
        if (i + 1 >= args.size()) throw UsageError(arg + " needs a value");
        for (const auto& option : parsed.options)
          if (option.first == arg) throw UsageError(arg + " given twice");
        parsed.options.emplace_back(arg, args[++i]);
      } else if (std::find(flags.begin(), flags.end(), arg) != flags.end()) {
        parsed.options.emplace_back(arg, std::nullopt);
      } else {
        throw UsageError("unknown option " + arg);
      }
    } else {
      parsed.positional.push_back(arg);
    }
  }
  return parsed;
}

std::optional<std::string> Option(const Arguments& args, std::string_view name) {
  for (const auto& option : args.options)
    if (option.first == name) return option.second ? option.second : std::string();
  return std::nullopt;
}

std::string RequiredOption(const Arguments& args, std::string_view name) {
  std::optional<std::string> value = Option(args, name);
  if (!value) throw UsageError("missing " + std::string(name));
  return *value;
}

void ExpectPositional(const Arguments& args, std::size_t count) {
  if (args.positional.size() < count) throw UsageError("missing argument");
  if (args.positional.size() > count)
    throw UsageError("unexpected argument " + args.positional[count]);
}

int Build(const std::vector<std::string>& argv) {
  const Arguments args = ParseArguments(argv, 2, {"--manifest", "--root", "-o"}, {});
  ExpectPositional(args, 0);
  const fs::path manifestPath = PathFromUtf8(RequiredOption(args, "--manifest"));
  const fs::path root = PathFromUtf8(RequiredOption(args, "--root"));
  const fs::path output = PathFromUtf8(RequiredOption(args, "-o"));

  const std::vector<std::uint8_t> manifest = ReadWholeFile(manifestPath);
  CheckUtf8(manifest);
  const ManifestLines lines = LoadManifestLines(manifest);
  std::error_code error;
  if (!fs::is_directory(root, error)) throw InputError("not a folder: " + PathToUtf8(root));

  // Every line is checked before anything is written.
  struct PlannedEntry {
    std::string name;
    fs::path file;
    std::string line;
  };
  std::vector<PlannedEntry> planned;
  const HostNameComparer comparer;
  ManifestChecker checker(comparer, "");
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::u16string& line = lines[i];
    checker.Check(i, line);
    if (line.empty() || HasDeletionFlags(line)) continue;
    const std::u16string_view path = CutManifestLine(line).Path;
    std::string name = Utf16ToUtf8(path);
    if (name.size() > 255) throw InputError(DescribeLine(i, line) + ": path longer than 255 bytes");
    fs::path file = DiskPath(root, path);
    if (!fs::is_regular_file(file, error)) {
      const bool kWithOthers = CutManifestLine(line).Flags.find(u'K') != std::u16string_view::npos;
      throw InputError(DescribeLine(i, line) + ": file not found: " + PathToUtf8(file) +
                       (kWithOthers ? " (only a line whose flags are exactly \"K\" deletes; "
                                      "this one installs a file)"
                                    : ""));
    }
    if (const std::uintmax_t size = fs::file_size(file, error);
        !error && size > static_cast<std::uintmax_t>(std::numeric_limits<std::int32_t>::max()))
      throw InputError(DescribeLine(i, line) + ": file of " + std::to_string(size) +
                       " bytes is larger than an entry can hold");
    planned.push_back({std::move(name), std::move(file), DescribeLine(i, line)});
  }

  PendingOutput out(output);
  std::vector<std::uint8_t> entry;
  AppendEntry(entry, "list", manifest, 0);
  out.Write(entry);
  for (const PlannedEntry& item : planned) {
    std::uint32_t date = 0;
    try {
      date = zarvo::tools::DosDateTimeFromTime(LastWriteTime(item.file));
    } catch (const InvalidDateTimeError&) {
      throw InputError(item.line + ": file date outside 1980-2107: " + PathToUtf8(item.file));
    }
    const std::vector<std::uint8_t> content = ReadWholeFile(item.file);
    entry.clear();
    try {
      AppendEntry(entry, item.name, content, date);
    } catch (const zarvo::tools::ArchiveWriteError& failure) {
      throw InputError(item.line + ": " + failure.what());
    }
    out.Write(entry);
  }
  out.Commit();
  return 0;
}

std::string FormatDate(TDateTime value) {
  if (value == 0) return "0";
  const DateTimeFields f = DecodeDateTime(value);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", f.Year, f.Month, f.Day, f.Hour,
                f.Minute, f.Second);
  return text;
}

int List(const std::vector<std::string>& argv) {
  const Arguments args = ParseArguments(argv, 2, {}, {});
  ExpectPositional(args, 1);
  LoadedPayload payload(PathFromUtf8(args.positional[0]));
  std::optional<MalformedArchiveError> fault;
  try {
    payload.LoadIndex();
  } catch (const MalformedArchiveError& error) {
    fault = error;
  }
  for (std::size_t k = 0; k < payload.Names().size(); ++k) {
    const TFileItem& item = payload.Items()[k];
    WriteOut(Utf16ToUtf8(payload.Names()[k]) + "\t" + std::to_string(item.Size) + "\t" +
             std::to_string(item.PackSize) + "\t" + std::to_string(item.Position) + "\t" +
             FormatDate(item.FDate) + "\n");
  }
  if (fault) throw InputError(fault->what());
  return 0;
}

int Cat(const std::vector<std::string>& argv) {
  const Arguments args = ParseArguments(argv, 2, {}, {});
  ExpectPositional(args, 2);
  LoadedPayload payload(PathFromUtf8(args.positional[0]));
  payload.LoadIndex();
  const std::u16string name = Utf8ToUtf16(args.positional[1]);
  if (!payload.Find(name).Found) throw InputError("no entry named " + args.positional[1]);
  MemoryOutputStream content;
  ExtractArchiveItem(payload.Stream(), payload.Names(), payload.Items(), payload.Comparer(), name,
                     content);
  const std::vector<std::uint8_t>& bytes = content.Bytes();
  if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size())
    throw InputError("cannot write the content");
  return 0;
}

int Verify(const std::vector<std::string>& argv) {
  const Arguments args = ParseArguments(argv, 2, {}, {});
  ExpectPositional(args, 1);
  LoadedPayload payload(PathFromUtf8(args.positional[0]));
  payload.LoadIndex();
  for (std::size_t k = 0; k < payload.Names().size(); ++k) {
    try {
      InflateArchiveItem(payload.Stream(), payload.Items()[k]);
    } catch (const std::exception& error) {
      throw InputError("entry " + std::to_string(k + 1) + " \"" + Utf16ToUtf8(payload.Names()[k]) +
                       "\" at " + std::to_string(payload.Items()[k].Position) + ": " +
                       error.what());
    }
  }
  // The setup installs nothing without a manifest, and a file line without its entry fails.
  if (!payload.Find(u"list").Found) throw InputError("no entry named list");
  const ManifestLines lines = payload.LoadFileList();
  ManifestChecker checker(payload.Comparer(), "manifest ");
  for (std::size_t i = 0; i < lines.size(); ++i) {
    checker.Check(i, lines[i]);
    if (lines[i].empty() || HasDeletionFlags(lines[i])) continue;
    if (!payload.Find(CutManifestLine(lines[i]).Path).Found)
      throw InputError("manifest " + DescribeLine(i, lines[i]) + ": no entry of that name");
  }
  WriteOut("ok " + std::to_string(payload.Names().size()) + " entries\n");
  return 0;
}

int Plan(const std::vector<std::string>& argv) {
  const Arguments args = ParseArguments(argv, 2, {"--dir", "--edition"}, {"--force"});
  ExpectPositional(args, 1);
  const std::u16string dir = Utf8ToUtf16(RequiredOption(args, "--dir"));
  const std::u16string edition = Utf8ToUtf16(Option(args, "--edition").value_or("F"));
  if (edition.size() != 1) throw UsageError("--edition takes one letter");
  if (dir.empty()) throw UsageError("--dir needs a folder");
  const bool forced = Option(args, "--force").has_value();
#if defined(_WIN32) && !defined(ZARVO_PACK_WIN32_INSTALL)
  (void)forced;
  throw InputError("plan is not available in this build");
#else
  LoadedPayload payload(PathFromUtf8(args.positional[0]));
  payload.LoadIndex();
  ManifestLines fileList = payload.LoadFileList();
  std::u16string installDir = dir;
  if (installDir.back() != u'\\' && installDir.back() != u'/') installDir += u'\\';
  HostFileProbe probe;
  Comp(
      fileList, installDir, edition[0], forced,
      [&payload](std::u16string_view name) { return payload.Find(name); }, probe);
  for (const std::u16string& line : fileList) WriteOut(Utf16ToUtf8(line) + "\n");
  return 0;
#endif
}

int Dispatch(const std::vector<std::string>& argv) {
  if (argv.size() < 2) throw UsageError("no command");
  const std::string& command = argv[1];
  if (command == "-h" || command == "--help") {
    WriteOut(UsageText);
    return 0;
  }
  if (command == "build") return Build(argv);
  if (command == "list") return List(argv);
  if (command == "cat") return Cat(argv);
  if (command == "verify") return Verify(argv);
  if (command == "plan") return Plan(argv);
  throw UsageError("unknown command " + command);
}

int Run(const std::vector<std::string>& argv) {
  try {
    const int status = Dispatch(argv);
    // Output still in the buffer can fail to reach its file (a full disk): that is no success.
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
      throw InputError("cannot write to standard output");
    return status;
  } catch (const UsageError& error) {
    std::fprintf(stderr, "zarvo-pack: %s\n%s", error.what(), UsageText);
    return 2;
  } catch (const std::exception& error) {
    std::fflush(stdout);
    std::fprintf(stderr, "zarvo-pack: %s\n", error.what());
    return 1;
  }
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) args.push_back(zarvo::platform::ToUtf8(argv[i]));
  return Run(args);
}
#else
int main(int argc, char** argv) { return Run(std::vector<std::string>(argv, argv + argc)); }
#endif
