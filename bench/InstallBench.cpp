// Benchmark of the install run's file work on a large payload, against plain writes of the same
// files in the same run: the selection pass, the install run, a plain write loop of the inflated
// bytes, the same loop with the inflation and with a move into place, then one install over a
// folder of older files.
#include <windows.h>
#include <psapi.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <exception>
#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "bench/Content.h"
#include "install/InstallRun.h"
#include "install/LocaleNameComparer.h"
#include "install/Payload.h"
#include "install/Win32FileProbe.h"
#include "payload/Archive.h"
#include "payload/Manifest.h"
#include "payload/Selection.h"
#include "platform/Text.h"
#include "tools/ArchiveWriter.h"

namespace {

using namespace zarvo;
using bench::Bytes;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

double Megabytes(double bytes) { return bytes / (1024.0 * 1024.0); }

void RemoveTree(const std::wstring& folder);

// The work folder, removed also when a run fails.
std::wstring workFolder;

[[noreturn]] void Fail(const std::string& what) {
  std::fflush(stdout);
  std::fprintf(stderr, "zarvo-install-bench: %s\n", what.c_str());
  if (!workFolder.empty()) RemoveTree(std::exchange(workFolder, std::wstring()));
  std::exit(1);
}

// Lines each measure does before the next one takes its turn.
constexpr std::size_t BatchLines = 50;

struct Options {
  int Files = 1200;
  double TotalMegabytes = 240;
  int Rounds = 3;
  bool Replacement = true;
  std::wstring Parent;  // the work folder is made inside it
};

void Usage() {
  std::printf(
      "zarvo-install-bench [--files N] [--size MB] [--rounds N] [--dir FOLDER] [--no-replace]\n"
      "  --files N     files in the payload (default 1200)\n"
      "  --size MB     their total size in MB (default 240)\n"
      "  --rounds N    timed rounds of each measure (default 3)\n"
      "  --dir FOLDER  where the work folder is made (default: the temporary folder); the work\n"
      "                folder is removed at the end, FOLDER itself is left\n"
      "  --no-replace  skip the install over a folder of older files\n");
}

Options ParseOptions(int argc, wchar_t** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::wstring option = argv[i];
    const auto value = [&]() -> std::wstring {
      if (i + 1 >= argc) Fail("option " + platform::ToUtf8(option) + " needs a value");
      return argv[++i];
    };
    if (option == L"--files") {
      options.Files = std::wcstol(value().c_str(), nullptr, 10);
    } else if (option == L"--size") {
      options.TotalMegabytes = std::wcstod(value().c_str(), nullptr);
    } else if (option == L"--rounds") {
      options.Rounds = std::wcstol(value().c_str(), nullptr, 10);
    } else if (option == L"--dir") {
      options.Parent = value();
    } else if (option == L"--no-replace") {
      options.Replacement = false;
    } else if (option == L"--help" || option == L"-h") {
      Usage();
      std::exit(0);
    } else {
      Usage();
      Fail("unknown option " + platform::ToUtf8(option));
    }
  }
  if (options.Files < 1 || options.Files > 1'000'000) Fail("--files must be 1 to 1000000");
  if (!(options.TotalMegabytes > 0) || options.TotalMegabytes > 1500) Fail("--size must be above 0 and at most 1500");
  if (options.Rounds < 1 || options.Rounds > 100) Fail("--rounds must be 1 to 100");
  return options;
}

struct Memory {
  double WorkingSet = 0, PeakWorkingSet = 0, Commit = 0, PeakCommit = 0;
};

Memory ReadMemory() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return {};
  return {static_cast<double>(counters.WorkingSetSize), static_cast<double>(counters.PeakWorkingSetSize),
          static_cast<double>(counters.PagefileUsage), static_cast<double>(counters.PeakPagefileUsage)};
}

// The payload's bytes in pages committed as they fill, as the setup's resource is one block the
// size of the archive: a growing vector would hold two copies while it moves.
class PayloadBytes {
 public:
  explicit PayloadBytes(std::size_t capacity) : capacity_(capacity) {
    base_ = static_cast<std::uint8_t*>(VirtualAlloc(nullptr, capacity, MEM_RESERVE, PAGE_READWRITE));
    if (base_ == nullptr) Fail("cannot reserve " + std::to_string(capacity) + " bytes for the payload");
  }
  ~PayloadBytes() { VirtualFree(base_, 0, MEM_RELEASE); }
  PayloadBytes(const PayloadBytes&) = delete;
  PayloadBytes& operator=(const PayloadBytes&) = delete;

  void Append(const Bytes& bytes) {
    if (bytes.size() > capacity_ - size_) Fail("payload larger than its reservation");
    const std::size_t end = size_ + bytes.size();
    if (end > committed_) {
      const std::size_t step = std::size_t{1} << 20;
      const std::size_t target = std::min(capacity_, (end + step - 1) / step * step);
      if (VirtualAlloc(base_ + committed_, target - committed_, MEM_COMMIT, PAGE_READWRITE) == nullptr)
        Fail("cannot commit payload pages");
      committed_ = target;
    }
    std::memcpy(base_ + size_, bytes.data(), bytes.size());
    size_ = end;
  }
  std::span<const std::uint8_t> View() const { return {base_, size_}; }

 private:
  std::uint8_t* base_ = nullptr;
  std::size_t capacity_ = 0, size_ = 0, committed_ = 0;
};

struct PlannedFile {
  std::string Name;  // as the manifest and the archive write it
  std::size_t Size = 0;
  bool Incompressible = false;
  std::string Flags;
};

struct Folder {
  const char* Path;
  const char* Extension;
  bool Incompressible;
};

// A product's tree: programs and pictures that do not compress, text and data that do.
constexpr Folder Folders[] = {
    {"bin\\", ".dll", true},         {"bin\\plugins\\", ".dll", true}, {"data\\", ".dat", false},
    {"data\\maps\\", ".map", false}, {"data\\textures\\hi\\", ".png", true},
    {"docs\\en\\", ".txt", false},   {"docs\\ru\\", ".txt", false},     {"lang\\", ".lng", false},
};

// Masks that name obsolete files of an earlier version; the replacement run finds some.
constexpr const char* DeletionMasks[] = {"cache\\*.tmp", "bin\\old\\*.*", "logs\\*.log"};
constexpr const char* ObsoleteFiles[] = {"cache\\a.tmp", "cache\\b.tmp", "bin\\old\\x.dll",
                                         "bin\\old\\y.dll", "logs\\setup.log"};

std::vector<PlannedFile> PlanFiles(const Options& options) {
  testing::Sequence random(7);
  std::vector<double> weights;
  double sum = 0;
  for (int i = 0; i < options.Files; ++i) {
    // One file in a hundred is twenty times the typical size.
    const double weight = i % 100 == 7 ? 20.0 : 0.05 + 1.9 * static_cast<double>(random.Below(1000)) / 1000.0;
    weights.push_back(weight);
    sum += weight;
  }
  const double total = options.TotalMegabytes * 1024 * 1024;
  std::vector<PlannedFile> files;
  constexpr int FolderCount = static_cast<int>(std::size(Folders));
  // Settings files the user keeps ("O"), in the install folder itself.
  const int settings = std::max(1, options.Files / 200);
  for (int i = 0; i < options.Files; ++i) {
    PlannedFile file;
    file.Size = std::max<std::size_t>(1, static_cast<std::size_t>(total * weights[static_cast<std::size_t>(i)] / sum));
    if (i < settings) {
      file.Name = "settings" + std::to_string(i) + ".ini";
      file.Flags = "O";
    } else {
      const Folder& folder = Folders[i % FolderCount];
      file.Name = std::string(folder.Path) + "f" + std::to_string(i) + folder.Extension;
      file.Incompressible = folder.Incompressible;
      if (i % 3 == 0) file.Flags = "F";  // the edition's own files
    }
    files.push_back(std::move(file));
  }
  // The manifest lists the files folder by folder.
  std::stable_sort(files.begin() + settings, files.end(),
                   [](const PlannedFile& a, const PlannedFile& b) {
                     return a.Name.substr(0, a.Name.rfind('\\')) < b.Name.substr(0, b.Name.rfind('\\'));
                   });
  return files;
}

std::string ManifestText(const std::vector<PlannedFile>& files) {
  std::string text;
  for (const char* mask : DeletionMasks) text += std::string(mask) + "|K|\r\n";
  for (const PlannedFile& file : files) text += file.Name + "|" + file.Flags + "|#|bench file\r\n";
  return text;
}

// A file to write, found in the directory once so that the baselines do not look it up.
struct Target {
  std::wstring Path;    // relative, as the manifest names it
  std::wstring Folder;  // relative, ending with "\", or empty
  payload::TFileItem Item;
};

std::vector<Target> TargetsOf(const install::TPayload& payload) {
  std::unordered_map<std::u16string, std::size_t> index;
  for (std::size_t i = 0; i < payload.ArchiveContent.size(); ++i) index.emplace(payload.ArchiveContent[i], i);
  std::vector<Target> targets;
  for (const std::u16string& line : payload.FileList) {
    if (payload::IsDeletionLine(line)) continue;
    const std::u16string_view path = payload::CutManifestLine(line).Path;
    const auto found = index.find(std::u16string(path));
    if (found == index.end()) Fail("manifest names a missing entry");
    Target target;
    target.Path = platform::ToWide(path);
    const std::size_t slash = target.Path.rfind(L'\\');
    if (slash != std::wstring::npos) target.Folder = target.Path.substr(0, slash + 1);
    target.Item = payload.ArchiveItems[found->second];
    targets.push_back(std::move(target));
  }
  return targets;
}

Bytes Inflate(std::span<const std::uint8_t> archive, const payload::TFileItem& item) {
  Bytes content(static_cast<std::size_t>(item.Size));
  uLongf produced = static_cast<uLongf>(content.size());
  if (uncompress(content.data(), &produced, archive.data() + item.Position, static_cast<uLong>(item.PackSize)) != Z_OK ||
      produced != content.size())
    Fail("an entry does not inflate");
  return content;
}

// The plain way: each folder made once, each file created, written in one call and closed.
class PlainWriter {
 public:
  explicit PlainWriter(std::wstring root) : root_(std::move(root)) {}
  // With `throughTemporary`, the file is written beside its place and moved there, the bare
  // form of the install run's replacement.
  void Write(const Target& target, std::span<const std::uint8_t> content, bool throughTemporary = false) {
    if (!target.Folder.empty() && made_.insert(target.Folder).second) {
      for (std::size_t i = 0; i < target.Folder.size(); ++i)
        if (target.Folder[i] == L'\\') CreateDirectoryW((root_ + target.Folder.substr(0, i)).c_str(), nullptr);
    }
    const std::wstring place = root_ + target.Path;
    const std::wstring path = throughTemporary ? root_ + target.Folder + L"~bench.tmp" : place;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) Fail("cannot create " + platform::ToUtf8(path));
    DWORD written = 0;
    const BOOL ok = content.empty() || WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != content.size()) Fail("cannot write " + platform::ToUtf8(path));
    if (throughTemporary && !MoveFileExW(path.c_str(), place.c_str(), MOVEFILE_REPLACE_EXISTING))
      Fail("cannot move to " + platform::ToUtf8(place));
  }

 private:
  std::wstring root_;
  std::set<std::wstring> made_;
};

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path + L"\\");
      } else {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(folder.c_str());
}

std::wstring MakeFolder(const std::wstring& folder) {
  if (!CreateDirectoryW(folder.c_str(), nullptr)) Fail("cannot make the folder " + platform::ToUtf8(folder));
  return folder;
}

struct Samples {
  std::vector<double> Values;
  double Min() const { return *std::min_element(Values.begin(), Values.end()); }
  double Median() const {
    std::vector<double> sorted = Values;
    std::sort(sorted.begin(), sorted.end());
    return sorted[sorted.size() / 2];
  }
};

void SelectionPass(install::TPayload& payload, const std::wstring& folder, payload::ManifestLines& lines) {
  // As the window calls it.
  const install::LocaleNameComparer comparer;
  const install::Win32FileProbe probe;
  payload::Comp(
      lines, platform::FromWide(folder), u'F', false,
      [&](std::u16string_view name) {
        return payload::FindArchiveItem(payload.ArchiveContent, payload.ArchiveItems, comparer, name);
      },
      probe);
}

void CheckNoFailures(const install::TInstallFailures& failures) {
  if (failures.empty()) return;
  Fail(std::to_string(failures.size()) + " failures in the install run, first " + platform::ToUtf8(failures[0].Name) +
       " code " + std::to_string(failures[0].Code));
}

int Run(const Options& options) {
  std::wstring parent = options.Parent;
  if (parent.empty()) {
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH) Fail("no temporary folder");
    parent.assign(temp, length);
  }
  if (parent.back() != L'\\' && parent.back() != L'/') parent += L'\\';
  const std::wstring work = MakeFolder(parent + L"zarvo-install-bench-" + std::to_wstring(GetCurrentProcessId())) + L"\\";
  workFolder = work;

  // The payload: the manifest first, as the packer writes it; the entries largest first, so that
  // building it needs less room beside it than any measure.
  const std::vector<PlannedFile> files = PlanFiles(options);
  const std::string manifest = ManifestText(files);
  std::size_t bound = compressBound(static_cast<uLong>(manifest.size())) + 300;
  for (const PlannedFile& file : files) bound += compressBound(static_cast<uLong>(file.Size)) + 300;
  PayloadBytes archive(bound);
  const std::uint32_t date = tools::DosDateTimeFromTime(1'600'000'000);
  std::printf("building the payload...\n");
  std::fflush(stdout);
  const auto buildStarted = Clock::now();
  std::size_t contentBytes = 0, incompressibleBytes = 0;
  {
    Bytes entry;
    tools::AppendEntry(entry, "list", Bytes(manifest.begin(), manifest.end()), 0);
    archive.Append(entry);
  }
  std::vector<std::size_t> order(files.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return files[a].Size > files[b].Size; });
  const bench::WordSource words;
  for (const std::size_t i : order) {
    const PlannedFile& file = files[i];
    Bytes entry;
    {
      const Bytes content = file.Incompressible ? bench::RandomBytes(file.Size, i + 1) : words.Text(file.Size, i + 1);
      tools::AppendEntry(entry, file.Name, content, date);
    }
    archive.Append(entry);
    contentBytes += file.Size;
    if (file.Incompressible) incompressibleBytes += file.Size;
  }
  const double buildSeconds = Seconds(buildStarted);

  // Opened as the window opens its resource.
  install::TPayload payload;
  payload.ArchiveStream = payload::ArchiveStream(archive.View());
  payload::LoadArchiveIndex(payload.ArchiveStream, payload.ArchiveContent, payload.ArchiveItems);
  {
    const install::LocaleNameComparer comparer;
    payload::MemoryOutputStream list;
    payload::ExtractArchiveItem(payload.ArchiveStream, payload.ArchiveContent, payload.ArchiveItems, comparer, u"list",
                                list);
    payload.FileList = payload::LoadManifestLines(list.Remaining());
    payload.Opened = true;
  }
  const std::vector<Target> targets = TargetsOf(payload);
  // For each manifest line, its file in targets, or -1 for a deletion line.
  std::vector<std::ptrdiff_t> lineTarget;
  for (std::ptrdiff_t next = 0; const std::u16string& line : payload.FileList)
    lineTarget.push_back(payload::IsDeletionLine(line) ? -1 : next++);
  const auto largest = std::max_element(targets.begin(), targets.end(), [](const Target& a, const Target& b) {
    return a.Item.Size < b.Item.Size;
  });
  const double largestBytes = static_cast<double>(largest->Item.Size) + static_cast<double>(largest->Item.PackSize);
  const Memory afterBuild = ReadMemory();

  const auto archiveBytes = archive.View();
  const double fileCount = static_cast<double>(targets.size());
  const double lineCount = static_cast<double>(payload.FileList.size());
  std::printf("payload: %zu files and %zu deletion lines, %.1f MB (%.0f%% incompressible) packed into %.1f MB,\n"
              "         largest file %.2f MB (packed %.2f MB); built in %.1f s\n",
              targets.size(), payload.FileList.size() - targets.size(), Megabytes(static_cast<double>(contentBytes)),
              100.0 * static_cast<double>(incompressibleBytes) / static_cast<double>(contentBytes),
              Megabytes(static_cast<double>(archiveBytes.size())), Megabytes(largest->Item.Size),
              Megabytes(largest->Item.PackSize), buildSeconds);
  std::printf("work folder: %s\n", platform::ToUtf8(work).c_str());
  std::fflush(stdout);

  Samples plain, plainInflate, inflateOnly, plainMove, install, selectEmpty, selectFull, lookup, folderCalls, stamps;
  // The install run's entry lookups alone, over the file lines.
  const auto lookups = [&] {
    const install::LocaleNameComparer comparer;
    std::size_t found = 0;
    for (const Target& target : targets)
      found += payload::FindArchiveItem(payload.ArchiveContent, payload.ArchiveItems, comparer,
                                        platform::FromWide(target.Path))
                   .Found;
    if (found != targets.size()) Fail("lookup misses");
  };

  for (int round = 0; round < options.Rounds; ++round) {
    const std::wstring prefix = work + L"r" + std::to_wstring(round + 1) + L"-";
    const std::wstring plainDir = MakeFolder(prefix + L"plain") + L"\\";
    const std::wstring inflateDir = MakeFolder(prefix + L"inflate") + L"\\";
    const std::wstring moveDir = MakeFolder(prefix + L"move") + L"\\";
    const std::wstring installDir = MakeFolder(prefix + L"install") + L"\\";
    const std::wstring emptyDir = MakeFolder(prefix + L"empty") + L"\\";

    // The selection keeps every line for an empty folder; the window then runs these.
    payload::ManifestLines lines = payload.FileList;
    SelectionPass(payload, installDir, lines);
    if (lines.size() != payload.FileList.size()) Fail("the selection drops lines for an empty folder");

    PlainWriter plainWriter(plainDir), inflateWriter(inflateDir), moveWriter(moveDir);
    double plainSeconds = 0, plainInflateSeconds = 0, inflateSeconds = 0, moveSeconds = 0, installSeconds = 0;
    // Each measure does one batch of lines in turn, so that a load that comes and goes (other
    // builds on the same cores) falls on all of them alike.
    for (std::size_t first = 0, batch = 0; first < lines.size(); first += BatchLines, ++batch) {
      const std::size_t last = std::min(lines.size(), first + BatchLines);
      const std::function<void()> measures[] = {
          [&] {  // (c): the inflation is outside the clock
            for (std::size_t i = first; i < last; ++i) {
              if (lineTarget[i] < 0) continue;
              const Target& target = targets[static_cast<std::size_t>(lineTarget[i])];
              const Bytes content = Inflate(archiveBytes, target.Item);
              const auto started = Clock::now();
              plainWriter.Write(target, content);
              plainSeconds += Seconds(started);
            }
          },
          [&] {  // (d)
            const auto started = Clock::now();
            for (std::size_t i = first; i < last; ++i) {
              if (lineTarget[i] < 0) continue;
              const Target& target = targets[static_cast<std::size_t>(lineTarget[i])];
              const auto inflateStarted = Clock::now();
              const Bytes content = Inflate(archiveBytes, target.Item);
              inflateSeconds += Seconds(inflateStarted);
              inflateWriter.Write(target, content);
            }
            plainInflateSeconds += Seconds(started);
          },
          [&] {  // (e)
            const auto started = Clock::now();
            for (std::size_t i = first; i < last; ++i) {
              if (lineTarget[i] < 0) continue;
              const Target& target = targets[static_cast<std::size_t>(lineTarget[i])];
              moveWriter.Write(target, Inflate(archiveBytes, target.Item), true);
            }
            moveSeconds += Seconds(started);
          },
          [&] {  // (b)
            const payload::ManifestLines part(lines.begin() + static_cast<std::ptrdiff_t>(first),
                                              lines.begin() + static_cast<std::ptrdiff_t>(last));
            const auto started = Clock::now();
            const install::TInstallFailures failures = install::ProcessLines(payload, installDir, part);
            installSeconds += Seconds(started);
            CheckNoFailures(failures);
          },
      };
      // The order turns too: no measure always runs on a cache the one before it warmed.
      const std::size_t count = std::size(measures);
      for (std::size_t m = 0; m < count; ++m) measures[(m + batch + static_cast<std::size_t>(round)) % count]();
    }
    plain.Values.push_back(plainSeconds);
    plainInflate.Values.push_back(plainInflateSeconds);
    inflateOnly.Values.push_back(inflateSeconds);
    plainMove.Values.push_back(moveSeconds);
    install.Values.push_back(installSeconds);

    // (a) over a folder that holds everything (what (b) installed) and over an empty one.
    {
      payload::ManifestLines lines = payload.FileList;
      const auto started = Clock::now();
      SelectionPass(payload, installDir, lines);
      selectFull.Values.push_back(Seconds(started));
      // Only the deletion lines stay: every file is there and up to date.
      if (lines.size() != std::size(DeletionMasks)) Fail("the selection keeps installed files");
    }
    {
      payload::ManifestLines lines = payload.FileList;
      const auto started = Clock::now();
      SelectionPass(payload, emptyDir, lines);
      selectEmpty.Values.push_back(Seconds(started));
    }
    {
      const auto started = Clock::now();
      lookups();
      lookup.Values.push_back(Seconds(started));
    }
    // Two of the install run's own steps per file, over the files it installed: a folder call
    // for every folder of the full path (each exists), and the stamp's open, SetFileTime, close.
    {
      const auto started = Clock::now();
      for (const Target& target : targets) {
        const std::wstring path = installDir + target.Path;
        for (std::size_t i = 1; i < path.size(); ++i)
          if (path[i] == L'\\' && path[i - 1] != L':') CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
      }
      folderCalls.Values.push_back(Seconds(started));
    }
    {
      const auto started = Clock::now();
      for (const Target& target : targets) install::SetFileStamp(installDir + target.Path, target.Item.FDate);
      stamps.Values.push_back(Seconds(started));
    }
    RemoveTree(prefix + L"plain\\");
    RemoveTree(prefix + L"inflate\\");
    RemoveTree(prefix + L"move\\");
    RemoveTree(prefix + L"install\\");
    RemoveTree(prefix + L"empty\\");
    std::printf("round %d of %d done\n", round + 1, options.Rounds);
    std::fflush(stdout);
  }

  // One install over an earlier version: every file there with other content and size, some
  // read-only, and obsolete files that the deletion lines remove.
  double replaceSeconds = 0;
  std::size_t replacedLines = 0;
  if (options.Replacement) {
    const std::wstring oldDir = MakeFolder(work + L"replace") + L"\\";
    {
      Bytes older(static_cast<std::size_t>(largest->Item.Size) + 7, 0x5A);
      PlainWriter writer(oldDir);
      for (std::size_t i = 0; i < targets.size(); ++i) {
        writer.Write(targets[i], std::span(older).first(static_cast<std::size_t>(targets[i].Item.Size) + 7));
        if (i % 50 == 49) SetFileAttributesW((oldDir + targets[i].Path).c_str(), FILE_ATTRIBUTE_READONLY);
      }
      for (const char* name : ObsoleteFiles) {
        Target obsolete;
        obsolete.Path = platform::FromUtf8(name);
        obsolete.Folder = obsolete.Path.substr(0, obsolete.Path.rfind(L'\\') + 1);
        writer.Write(obsolete, std::span(older).first(100));
      }
    }
    payload::ManifestLines lines = payload.FileList;
    SelectionPass(payload, oldDir, lines);
    replacedLines = lines.size();
    const auto started = Clock::now();
    const install::TInstallFailures failures = install::ProcessLines(payload, oldDir, lines);
    replaceSeconds = Seconds(started);
    CheckNoFailures(failures);
    for (const char* name : ObsoleteFiles)
      if (GetFileAttributesW((oldDir + platform::FromUtf8(name)).c_str()) != INVALID_FILE_ATTRIBUTES)
        Fail("an obsolete file stayed");
    RemoveTree(oldDir);
  }
  const Memory atEnd = ReadMemory();
  RemoveTree(work);
  workFolder.clear();

  // The table.
  const double megabytes = Megabytes(static_cast<double>(contentBytes));
  std::printf("\n%d rounds, (b), (c), (d), (e) taking turns every %zu lines; seconds min / median\n\n", options.Rounds,
              BatchLines);
  std::printf("%-46s %8s %8s %8s %8s %8s %8s\n", "measure", "min s", "median s", "MB/s", "ms/file", "/(c)", "/(d)");
  const auto row = [&](const char* name, const Samples& samples) {
    const double median = samples.Median();
    std::printf("%-46s %8.3f %8.3f %8.0f %8.3f %8.2f %8.2f\n", name, samples.Min(), median, megabytes / median,
                median * 1000 / fileCount, median / plain.Median(), median / plainInflate.Median());
  };
  row("(c) plain write of inflated bytes", plain);
  row("(d) inflate + plain write", plainInflate);
  row("    of which the inflation (zlib uncompress)", inflateOnly);
  row("(e) inflate + write beside + MoveFileExW", plainMove);
  row("(b) install run, ProcessLines, empty folder", install);
  if (options.Replacement) {
    Samples once{{replaceSeconds}};
    row("    replacement run, older files (1 round)", once);
    std::printf("    (%zu lines after the selection over the older files)\n", replacedLines);
  }
  std::printf("\n%-46s %8s %8s %14s\n", "selection pass, payload::Comp", "min s", "median s", "us per line");
  const auto selectionRow = [&](const char* name, const Samples& samples) {
    std::printf("%-46s %8.3f %8.3f %14.1f\n", name, samples.Min(), samples.Median(),
                samples.Median() * 1e6 / lineCount);
  };
  selectionRow("(a) into an empty folder", selectEmpty);
  selectionRow("(a) into a folder that holds everything", selectFull);

  std::printf("\n%-46s %8s %8s %14s\n", "steps of the install run, per file", "min s", "median s", "ms per file");
  const auto stepRow = [&](const char* name, const Samples& samples) {
    std::printf("%-46s %8.3f %8.3f %14.3f\n", name, samples.Min(), samples.Median(),
                samples.Median() * 1000 / fileCount);
  };
  stepRow("    entry lookup (FindArchiveItem)", lookup);
  stepRow("    CreateDirectoryW, every folder of the path", folderCalls);
  stepRow("    creation stamp (open, SetFileTime, close)", stamps);

  // A round's measures ran side by side, so its own ratios are the fairest comparison.
  const auto roundRatios = [&](const Samples& over, const Samples& under) {
    Samples ratios;
    for (std::size_t i = 0; i < over.Values.size(); ++i) ratios.Values.push_back(over.Values[i] / under.Values[i]);
    return ratios;
  };
  const Samples overPlain = roundRatios(install, plain), overInflate = roundRatios(install, plainInflate);
  std::printf("\nratios, median of the rounds' own (lowest): (b)/(c) = %.2f (%.2f), (b)/(d) = %.2f (%.2f)\n",
              overPlain.Median(), overPlain.Min(), overInflate.Median(), overInflate.Min());
  std::printf("per file, medians: inflation %.3f ms; safe replacement beyond the plain write %.3f ms,\n"
              "of which the temporary file and the move %.3f ms and the rest (verify, attributes, stamp,\n"
              "folders, entry lookup) %.3f ms\n",
              inflateOnly.Median() * 1000 / fileCount, (install.Median() - plainInflate.Median()) * 1000 / fileCount,
              (plainMove.Median() - plainInflate.Median()) * 1000 / fileCount,
              (install.Median() - plainMove.Median()) * 1000 / fileCount);

  std::printf("\nmemory (MB)                  working set   peak working set   commit   peak commit\n");
  std::printf("after building the payload   %11.1f   %16.1f   %6.1f   %11.1f\n", Megabytes(afterBuild.WorkingSet),
              Megabytes(afterBuild.PeakWorkingSet), Megabytes(afterBuild.Commit), Megabytes(afterBuild.PeakCommit));
  std::printf("at the end                   %11.1f   %16.1f   %6.1f   %11.1f\n", Megabytes(atEnd.WorkingSet),
              Megabytes(atEnd.PeakWorkingSet), Megabytes(atEnd.Commit), Megabytes(atEnd.PeakCommit));
  std::printf("payload %.1f MB; peaks above the working set after the build: %.1f MB working set, %.1f MB commit;\n"
              "bound: the largest entry packed + inflated = %.1f MB\n",
              Megabytes(static_cast<double>(archiveBytes.size())), Megabytes(atEnd.PeakWorkingSet - afterBuild.WorkingSet),
              Megabytes(atEnd.PeakCommit - afterBuild.Commit), Megabytes(largestBytes));
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  try {
    return Run(ParseOptions(argc, argv));
  } catch (const std::exception& error) {
    Fail(error.what());
  }
}
