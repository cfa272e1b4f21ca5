// The packer end to end: each test runs the zarvo-pack binary as a child process on a real
// temporary folder and checks its output files, standard output, standard error and exit status.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

extern char** environ;

namespace {

struct RunResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const fs::path& path, std::string_view bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

fs::path Utf8Path(std::string_view utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

// A moment given in this machine's local time.
std::time_t LocalTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm fields{};
  fields.tm_year = year - 1900;
  fields.tm_mon = month - 1;
  fields.tm_mday = day;
  fields.tm_hour = hour;
  fields.tm_min = minute;
  fields.tm_sec = second;
  fields.tm_isdst = -1;
  return std::mktime(&fields);
}

void SetLastWriteTime(const fs::path& path, std::time_t moment) {
  fs::last_write_time(
      path, std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(moment)));
}

std::uint32_t ReadInt32(const std::string& bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(bytes[offset + i]);
  return value;
}

// One entry as the bytes of the payload file hold it, read without the core.
struct RawEntry {
  std::string name;
  std::int32_t size = 0;
  std::uint32_t date = 0;
  std::int32_t packSize = 0;
  std::size_t position = 0;
  std::string data;
};

std::vector<RawEntry> WalkPayload(const std::string& bytes) {
  std::vector<RawEntry> entries;
  std::size_t offset = 0;
  while (offset < bytes.size()) {
    RawEntry entry;
    const std::size_t n = static_cast<std::uint8_t>(bytes[offset]);
    if (bytes.size() - offset < 13 + n) {
      ADD_FAILURE() << "truncated header at " << offset;
      break;
    }
    entry.name = bytes.substr(offset + 1, n);
    entry.size = static_cast<std::int32_t>(ReadInt32(bytes, offset + 1 + n));
    entry.date = ReadInt32(bytes, offset + 5 + n);
    entry.packSize = static_cast<std::int32_t>(ReadInt32(bytes, offset + 9 + n));
    entry.position = offset + 13 + n;
    if (entry.packSize < 0 ||
        bytes.size() - entry.position < static_cast<std::size_t>(entry.packSize)) {
      ADD_FAILURE() << "bad pack size at " << offset;
      break;
    }
    entry.data = bytes.substr(entry.position, static_cast<std::size_t>(entry.packSize));
    offset = entry.position + static_cast<std::size_t>(entry.packSize);
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::string Inflate(const std::string& packed, std::size_t size) {
  std::string content(size, '\0');
  uLongf produced = static_cast<uLongf>(size);
  const int result =
      uncompress(reinterpret_cast<Bytef*>(content.data()), &produced,
                 reinterpret_cast<const Bytef*>(packed.data()), static_cast<uLong>(packed.size()));
  EXPECT_EQ(result, Z_OK);
  EXPECT_EQ(produced, size);
  return content;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// One entry as a payload from elsewhere could hold it, made without the packer.
std::string PackedEntry(std::string_view name, std::string_view content) {
  std::string packed(compressBound(static_cast<uLong>(content.size())), '\0');
  uLongf packedSize = static_cast<uLongf>(packed.size());
  EXPECT_EQ(compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
                     reinterpret_cast<const Bytef*>(content.data()),
                     static_cast<uLong>(content.size())),
            Z_OK);
  packed.resize(packedSize);
  std::string bytes(1, static_cast<char>(name.size()));
  bytes += name;
  for (const std::uint32_t field : {static_cast<std::uint32_t>(content.size()), 0u,
                                    static_cast<std::uint32_t>(packed.size())})
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<char>(field >> shift));
  return bytes + packed;
}

// The sample-like product every test packs: names, contents and source dates.
struct ProductFile {
  std::string path;  // as the manifest writes it
  std::string content;
  std::time_t written;
  std::string listedDate;  // what list prints: local time, even seconds
};

std::string BinaryContent() {
  std::string bytes;
  for (int round = 0; round < 40; ++round)
    for (int value = 0; value < 256; ++value) bytes.push_back(static_cast<char>(value));
  bytes += "\r\n\x1a\n";
  return bytes;
}

const std::string Manifest =
    "ZarvoF.exe||#|Program\r\n"
    "docs\\en\\readme.txt||#|Read-me\r\n"
    "docs\\ru\\Прочти.txt||#|Описание\r\n"
    "cfg\\user.ini|O|#|User settings\r\n"
    "bin\\lite.dll|F|#|LITE only\r\n"
    "bin\\pro.dll|P|#|PRO only\r\n"
    "bin\\both.dll|PF|#|PRO and LITE\r\n"
    "bin\\pl.dll|PL|#|PRO and L\r\n"
    "empty.dat||#|Empty file\r\n"
    "cache\\*.tmp|K|\r\n";

class PackerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    work_ = fs::temp_directory_path() /
            ("zarvo-pack-test-" + std::to_string(getpid()) + "-" + info->name());
    fs::remove_all(work_);
    fs::create_directories(work_);
    const std::time_t usual = LocalTime(2021, 3, 4, 5, 6, 7);
    files_ = {
        {"ZarvoF.exe", BinaryContent(), usual, "2021-03-04 05:06:06"},
        {"docs\\en\\readme.txt", "Read me\r\n", LocalTime(2019, 12, 31, 23, 59, 58),
         "2019-12-31 23:59:58"},
        {"docs\\ru\\Прочти.txt", "Прочтите меня\r\n", usual, "2021-03-04 05:06:06"},
        {"cfg\\user.ini", "[Settings]\r\nLanguage=en\r\n", usual, "2021-03-04 05:06:06"},
        {"bin\\lite.dll", "lite", usual, "2021-03-04 05:06:06"},
        {"bin\\pro.dll", "pro module", usual, "2021-03-04 05:06:06"},
        {"bin\\both.dll", "both editions", usual, "2021-03-04 05:06:06"},
        {"bin\\pl.dll", "p and l", usual, "2021-03-04 05:06:06"},
        {"empty.dat", "", usual, "2021-03-04 05:06:06"},
    };
    for (const ProductFile& file : files_) {
      const fs::path path = OnDisk(Root(), file.path);
      WriteFile(path, file.content);
      SetLastWriteTime(path, file.written);
    }
    WriteFile(work_ / "list.txt", Manifest);
  }

  void TearDown() override { fs::remove_all(work_); }

  fs::path Root() const { return work_ / "root"; }
  fs::path Payload() const { return work_ / "payload.bin"; }

  static fs::path OnDisk(const fs::path& folder, std::string manifestPath) {
    for (char& c : manifestPath)
      if (c == '\\') c = '/';
    return folder / Utf8Path(manifestPath);
  }

  // Standard output goes to a file in the work folder, or to stdoutPath when one is given.
  RunResult Run(const std::vector<std::string>& args, const fs::path& stdoutPath = {}) const {
    std::vector<std::string> all{ZARVO_PACK_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all) argv.push_back(arg.data());
    argv.push_back(nullptr);
    const fs::path out = stdoutPath.empty() ? work_ / "stdout.txt" : stdoutPath;
    const fs::path err = work_ / "stderr.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    RunResult result;
    if (spawned != 0) {
      ADD_FAILURE() << "cannot start " << argv[0] << ": " << std::strerror(spawned);
      return result;
    }
    int status = 0;
    waitpid(child, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (stdoutPath.empty()) result.out = ReadFile(out);
    result.err = ReadFile(err);
    return result;
  }

  RunResult Build(const fs::path& manifest, const fs::path& output) const {
    return Run({"build", "--manifest", manifest.string(), "--root", Root().string(), "-o",
                output.string()});
  }

  // A manifest the packer refuses: exit 1, one error line holding message, nothing written and
  // an earlier output left as it was.
  void ExpectRefused(const std::string& manifest, const std::string& message) const {
    WriteFile(work_ / "bad.txt", manifest);
    WriteFile(Payload(), "earlier payload");
    const RunResult built = Build(work_ / "bad.txt", Payload());
    EXPECT_EQ(built.exitCode, 1);
    EXPECT_EQ(Lines(built.err).size(), 1u) << built.err;
    EXPECT_NE(built.err.find(message), std::string::npos) << built.err;
    EXPECT_EQ(ReadFile(Payload()), "earlier payload");
    EXPECT_FALSE(fs::exists(work_ / "payload.bin.partial"));

    const fs::path fresh = work_ / "fresh.bin";
    EXPECT_EQ(Build(work_ / "bad.txt", fresh).exitCode, 1);
    EXPECT_FALSE(fs::exists(fresh));
  }

  // A file for the manifest path where this file system can hold one, so that only the rule
  // under test can refuse the line.
  void PutFileIfPossible(const std::string& manifestPath) const {
    const fs::path path = OnDisk(Root(), manifestPath);
    std::error_code ignored;
    fs::create_directories(path.parent_path(), ignored);
    std::ofstream(path, std::ios::binary) << manifestPath;
  }

  void BuildPayload() const {
    const RunResult built = Build(work_ / "list.txt", Payload());
    ASSERT_EQ(built.exitCode, 0) << built.err;
    ASSERT_EQ(built.out, "");
    ASSERT_EQ(built.err, "");
  }

  fs::path work_;
  std::vector<ProductFile> files_;
};

TEST_F(PackerTest, BuildWritesTheManifestFirstThenEachFileLineInOrder) {
  BuildPayload();
  const std::string payload = ReadFile(Payload());
  const std::vector<RawEntry> entries = WalkPayload(payload);
  ASSERT_EQ(entries.size(), files_.size() + 1);

  EXPECT_EQ(entries[0].name, "list");
  EXPECT_EQ(entries[0].date, 0u);
  EXPECT_EQ(entries[0].position, 17u);
  EXPECT_EQ(Inflate(entries[0].data, static_cast<std::size_t>(entries[0].size)), Manifest);
  for (std::size_t k = 0; k < files_.size(); ++k) {
    const RawEntry& entry = entries[k + 1];
    SCOPED_TRACE(files_[k].path);
    EXPECT_EQ(entry.name, files_[k].path);
    EXPECT_NE(entry.date, 0u);
    EXPECT_EQ(Inflate(entry.data, static_cast<std::size_t>(entry.size)), files_[k].content);
  }
  for (const RawEntry& entry : entries) {
    SCOPED_TRACE(entry.name);
    ASSERT_GE(entry.data.size(), 2u);
    EXPECT_EQ(static_cast<std::uint8_t>(entry.data[0]), 0x78);
    EXPECT_EQ(static_cast<std::uint8_t>(entry.data[1]), 0x9C);
  }
}

TEST_F(PackerTest, ListPrintsEveryFieldOfEveryEntry) {
  BuildPayload();
  const std::vector<RawEntry> entries = WalkPayload(ReadFile(Payload()));
  ASSERT_EQ(entries.size(), files_.size() + 1);
  std::string expected = "list\t" + std::to_string(Manifest.size()) + "\t" +
                         std::to_string(entries[0].packSize) + "\t17\t0\n";
  for (std::size_t k = 0; k < files_.size(); ++k)
    expected += files_[k].path + "\t" + std::to_string(files_[k].content.size()) + "\t" +
                std::to_string(entries[k + 1].packSize) + "\t" +
                std::to_string(entries[k + 1].position) + "\t" + files_[k].listedDate + "\n";

  const RunResult listed = Run({"list", Payload().string()});
  EXPECT_EQ(listed.exitCode, 0) << listed.err;
  EXPECT_EQ(listed.out, expected);
  EXPECT_EQ(listed.err, "");
}

TEST_F(PackerTest, CatFindsNamesIgnoringCaseAndWritesTheExactBytes) {
  BuildPayload();
  const struct {
    std::string name;
    std::string content;
  } cases[] = {
      {"ZarvoF.exe", BinaryContent()},
      {"zarvof.EXE", BinaryContent()},
      {"DOCS\\EN\\README.TXT", "Read me\r\n"},
      {"docs\\RU\\прочти.TXT", "Прочтите меня\r\n"},
      {"empty.dat", ""},
      {"LIST", Manifest},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const RunResult shown = Run({"cat", Payload().string(), c.name});
    EXPECT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_EQ(shown.out, c.content);
  }
}

TEST_F(PackerTest, CatOfANameNotInThePayloadFails) {
  BuildPayload();
  for (const std::string name : {"docs", "docs\\en", "ZarvoF.ex", "docs/en/readme.txt", ""}) {
    SCOPED_TRACE(name);
    const RunResult shown = Run({"cat", Payload().string(), name});
    EXPECT_EQ(shown.exitCode, 1);
    EXPECT_EQ(shown.out, "");
    EXPECT_EQ(Lines(shown.err).size(), 1u) << shown.err;
  }
}

TEST_F(PackerTest, VerifyAcceptsABuiltPayload) {
  BuildPayload();
  const RunResult verified = Run({"verify", Payload().string()});
  EXPECT_EQ(verified.exitCode, 0) << verified.err;
  EXPECT_EQ(verified.out, "ok 10 entries\n");
}

TEST_F(PackerTest, VerifyReportsTheFirstProblem) {
  BuildPayload();
  const std::string good = ReadFile(Payload());
  const std::vector<RawEntry> entries = WalkPayload(good);
  ASSERT_EQ(entries.size(), 10u);
  const std::size_t readmeData = entries[2].position;
  const struct {
    const char* what;
    std::function<std::string(std::string)> damage;
    std::string message;  // part of the one error line
  } cases[] = {
      {"flipped byte in the deflate data",
       [&](std::string bytes) {
         bytes[readmeData + 4] ^= 0x55;
         return bytes;
       },
       "docs\\en\\readme.txt"},
      {"Adler-32 trailer changed",
       [&](std::string bytes) {
         bytes[readmeData + static_cast<std::size_t>(entries[2].packSize) - 1] ^= 1;
         return bytes;
       },
       "docs\\en\\readme.txt"},
      {"cut inside the last entry",
       [](std::string bytes) {
         bytes.pop_back();
         return bytes;
       },
       ""},
      {"trailing junk", [](std::string bytes) { return bytes + "junk"; }, ""},
      {"no list entry", [&](std::string bytes) { return bytes.substr(entries[1].position - 23); },
       "list"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFile(work_ / "damaged.bin", c.damage(good));
    const RunResult verified = Run({"verify", (work_ / "damaged.bin").string()});
    EXPECT_EQ(verified.exitCode, 1);
    EXPECT_EQ(verified.out, "");
    EXPECT_EQ(Lines(verified.err).size(), 1u) << verified.err;
    EXPECT_NE(verified.err.find(c.message), std::string::npos) << verified.err;
  }
}

// The lines an install into a folder would process, for the folder's state and the options.
TEST_F(PackerTest, PlanKeepsWhatTheSelectionKeeps) {
  BuildPayload();
  const std::time_t packed = LocalTime(2021, 3, 4, 5, 6, 6);  // the entries' even-second date
  const auto copyIn = [&](const fs::path& folder) {
    for (const ProductFile& file : files_) {
      const fs::path path = OnDisk(folder, file.path);
      WriteFile(path, file.content);
      SetLastWriteTime(path, file.path == "docs\\en\\readme.txt" ? file.written : packed);
    }
  };
  const std::vector<std::string> all = Lines(Manifest);
  const auto line = [&](std::string_view start) {
    for (const std::string& l : all)
      if (l.rfind(start, 0) == 0) return l.substr(0, l.size() - 1);  // without the CR
    ADD_FAILURE() << "no manifest line " << start;
    return std::string();
  };
  const std::string exe = line("ZarvoF.exe|"), en = line("docs\\en\\"), ru = line("docs\\ru\\"),
                    user = line("cfg\\"), lite = line("bin\\lite"), pro = line("bin\\pro"),
                    both = line("bin\\both"), pl = line("bin\\pl"), empty = line("empty"),
                    cache = line("cache");

  const struct {
    const char* what;
    std::function<void(const fs::path&)> prepare;
    std::vector<std::string> options;
    std::vector<std::string> expected;
  } cases[] = {
      {"empty folder, edition F",
       [](const fs::path&) {},
       {},
       {exe, en, ru, user, lite, both, empty, cache}},
      {"edition P",
       [](const fs::path&) {},
       {"--edition", "P"},
       {exe, en, ru, user, pro, both, pl, empty, cache}},
      {"edition L",
       [](const fs::path&) {},
       {"--edition", "L"},
       {exe, en, ru, user, pl, empty, cache}},
      {"forced keeps every line of the edition",
       [](const fs::path&) {},
       {"--force"},
       {exe, en, ru, user, lite, both, empty, cache}},
      {"user file present",
       [](const fs::path& folder) { WriteFile(folder / "cfg/user.ini", "mine"); },
       {},
       {exe, en, ru, lite, both, empty, cache}},
      {"user file present, forced",
       [](const fs::path& folder) { WriteFile(folder / "cfg/user.ini", "mine"); },
       {"--force"},
       {exe, en, ru, user, lite, both, empty, cache}},
      {"user folder of that name is no file",
       [](const fs::path& folder) { fs::create_directories(folder / "cfg/user.ini"); },
       {},
       {exe, en, ru, user, lite, both, empty, cache}},
      {"everything copied in with the packed dates", copyIn, {}, {cache}},
      {"one file a second older than its entry",
       [&](const fs::path& folder) {
         copyIn(folder);
         SetLastWriteTime(folder / "bin/lite.dll", packed - 1);
       },
       {},
       {lite, cache}},
      {"one file newer than its entry",
       [&](const fs::path& folder) {
         copyIn(folder);
         SetLastWriteTime(folder / "bin/lite.dll", packed + 3600);
       },
       {},
       {cache}},
      {"one file of another size",
       [&](const fs::path& folder) {
         copyIn(folder);
         WriteFile(folder / "ZarvoF.exe", "short");
         SetLastWriteTime(folder / "ZarvoF.exe", packed + 3600);
       },
       {},
       {exe, cache}},
      {"everything copied in, forced",
       copyIn,
       {"--force"},
       {exe, en, ru, user, lite, both, empty, cache}},
  };
  int number = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path folder = work_ / ("install" + std::to_string(++number));
    fs::create_directories(folder);
    c.prepare(folder);
    std::vector<std::string> args{"plan", Payload().string(), "--dir", folder.string()};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const RunResult planned = Run(args);
    EXPECT_EQ(planned.exitCode, 0) << planned.err;
    EXPECT_EQ(Lines(planned.out), c.expected);
  }
}

TEST_F(PackerTest, PlanIntoAFolderThatDoesNotExistYetKeepsEveryFile) {
  BuildPayload();
  const RunResult planned =
      Run({"plan", Payload().string(), "--dir", (work_ / "not" / "there").string() + "/"});
  EXPECT_EQ(planned.exitCode, 0) << planned.err;
  EXPECT_EQ(Lines(planned.out).size(), 8u) << planned.out;
}

TEST_F(PackerTest, BuildSkipsEmptyLinesAndKeepsTheManifestBytes) {
  const std::string manifest = "\r\nZarvoF.exe||#|Program\r\n\r\nempty.dat||#|Empty\r\n";
  WriteFile(work_ / "gaps.txt", manifest);
  const RunResult built = Build(work_ / "gaps.txt", Payload());
  ASSERT_EQ(built.exitCode, 0) << built.err;
  const std::vector<RawEntry> entries = WalkPayload(ReadFile(Payload()));
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(Inflate(entries[0].data, static_cast<std::size_t>(entries[0].size)), manifest);
  EXPECT_EQ(entries[1].name, "ZarvoF.exe");
  EXPECT_EQ(entries[2].name, "empty.dat");
}

TEST_F(PackerTest, ALineWhoseFlagsHoldKWithOtherLettersGetsItsEntry) {
  // The setup installs such a line as a file; without its entry it would write an empty file.
  const std::string manifest = "bin\\lite.dll|FK|#|LITE, always\r\ncfg\\user.ini|OK|#|x\r\n"
                               "cache\\*.tmp|K|\r\n";
  WriteFile(work_ / "k.txt", manifest);
  const RunResult built = Build(work_ / "k.txt", Payload());
  ASSERT_EQ(built.exitCode, 0) << built.err;
  const std::vector<RawEntry> entries = WalkPayload(ReadFile(Payload()));
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[1].name, "bin\\lite.dll");
  EXPECT_EQ(entries[2].name, "cfg\\user.ini");
  const RunResult verified = Run({"verify", Payload().string()});
  EXPECT_EQ(verified.exitCode, 0) << verified.err;
  EXPECT_EQ(verified.out, "ok 3 entries\n");
}

TEST_F(PackerTest, VerifyWantsAnEntryForALineWhoseFlagsHoldKWithOtherLetters) {
  WriteFile(work_ / "k.bin",
            PackedEntry("list", "a.dll||#|x\r\nb.dll|FK|#|y\r\n") + PackedEntry("a.dll", "a"));
  const RunResult verified = Run({"verify", (work_ / "k.bin").string()});
  EXPECT_EQ(verified.exitCode, 1);
  EXPECT_EQ(verified.out, "");
  EXPECT_NE(verified.err.find("line 2 \"b.dll|FK|#|y\": no entry"), std::string::npos)
      << verified.err;
}

TEST_F(PackerTest, OutputThatCannotBeWrittenIsAFailure) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  BuildPayload();
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"list", Payload().string()},
        std::vector<std::string>{"cat", Payload().string(), "docs\\en\\readme.txt"},
        std::vector<std::string>{"verify", Payload().string()},
        std::vector<std::string>{"plan", Payload().string(), "--dir", work_.string()}}) {
    SCOPED_TRACE(args[0]);
    const RunResult run = Run(args, "/dev/full");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
    EXPECT_NE(run.err.find("cannot write"), std::string::npos) << run.err;
  }
}

TEST_F(PackerTest, BuildReplacesAnEarlierOutput) {
  WriteFile(Payload(), "old payload");
  BuildPayload();
  EXPECT_EQ(WalkPayload(ReadFile(Payload())).size(), 10u);
  EXPECT_FALSE(fs::exists(work_ / "payload.bin.partial"));
}

TEST_F(PackerTest, BadManifestLinesFailNamingTheLineAndWriteNothing) {
  const struct {
    const char* what;
    std::string manifest;
    std::string message;  // part of the one error line
  } cases[] = {
      {"missing file", "ZarvoF.exe||#|Program\r\nbin\\gone.dll||#|Missing\r\n",
       "line 2 \"bin\\gone.dll||#|Missing\": file not found"},
      {"folder instead of a file", "docs\\en||#|A folder\r\n",
       "line 1 \"docs\\en||#|A folder\": file not found"},
      {"absolute path", "ZarvoF.exe||#|x\r\n\\Windows\\evil.dll||#|x\r\n",
       "line 2 \"\\Windows\\evil.dll||#|x\": absolute path"},
      {"absolute POSIX path", "/etc/passwd||#|x\r\n", "line 1 \"/etc/passwd||#|x\": absolute path"},
      {"drive letter", "C:\\evil.dll||#|x\r\n", "line 1 \"C:\\evil.dll||#|x\": absolute path"},
      {"climbing out", "docs\\..\\..\\evil.dll||#|x\r\n",
       "line 1 \"docs\\..\\..\\evil.dll||#|x\": path climbs out"},
      {"climbing out at the start", "..\\root\\ZarvoF.exe||#|x\r\n",
       "line 1 \"..\\root\\ZarvoF.exe||#|x\": path climbs out"},
      // Windows trims trailing dots and blanks, so these name the parent folder too.
      {"climbing out with a trailing blank", "docs\\.. \\evil.dll||#|x\r\n",
       "line 1 \"docs\\.. \\evil.dll||#|x\": path climbs out"},
      {"climbing out with three dots", "...\\evil.dll||#|x\r\n",
       "line 1 \"...\\evil.dll||#|x\": path climbs out"},
      {"deletion mask outside the folder", "ZarvoF.exe||#|x\r\n..\\*.*|K|\r\n",
       "line 2 \"..\\*.*|K|\": path climbs out"},
      {"no path", "ZarvoF.exe||#|x\r\n\r\njust words\r\n", "line 3 \"just words\": no path"},
      {"a file named like the manifest", "ZarvoF.exe||#|x\r\nLIST||#|x\r\n",
       "line 2 \"LIST||#|x\": the name \"list\""},
      {"invalid UTF-8", "ZarvoF.exe||#|x\r\nbad\xff.txt||#|x\r\n", "line 2: not valid UTF-8"},
      // Only the flags "K" make a deletion line: the setup installs these as files.
      {"K with another flag is a file line", "ZarvoF.exe||#|x\r\ncache\\*.tmp|FK|\r\n",
       "line 2 \"cache\\*.tmp|FK|\": wildcard \"*\" in a file name: only a deletion line"},
      {"K with another flag needs its file", "ZarvoF.exe||#|x\r\ncache\\old.tmp|FK|\r\n",
       "line 2 \"cache\\old.tmp|FK|\": file not found: " +
           OnDisk(Root(), "cache\\old.tmp").string() +
           " (only a line whose flags are exactly \"K\" deletes; this one installs a file)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ExpectRefused(c.manifest, c.message);
  }
}

// The install run takes any line holding "|K|" for a deletion line: it would delete the user's
// file that such a file line names.
TEST_F(PackerTest, ALineHoldingKOutsideAFlagsFieldOfExactlyKIsRefused) {
  for (const std::string line : {
           "empty.dat|F|#|see |K| here",
           "empty.dat||#|ends in |K|",
           "empty.dat||K|",
           "empty.dat|FK|#|x|K|y",
           "empty.dat| K|#|almost |K|",
       }) {
    SCOPED_TRACE(line);
    ExpectRefused("ZarvoF.exe||#|x\r\n" + line + "\r\n",
                  "line 2 \"" + line + "\": holds \"|K|\" outside a flags field of exactly \"K\"");
  }
}

// Lookups take the first entry of a name, letter case ignored as the setup's comparer does.
TEST_F(PackerTest, TwoLinesNamingTheSameEntryAreRefused) {
  const struct {
    std::string first;
    std::string second;
  } cases[] = {
      {"ZarvoF.exe", "ZarvoF.exe"},
      {"ZarvoF.exe", "zarvof.EXE"},
      {"docs\\en\\readme.txt", "DOCS\\EN\\README.TXT"},
      {"docs\\ru\\Прочти.txt", "docs\\RU\\ПРОЧТИ.txt"},
      {"Ärger.txt", "ärger.txt"},
      {"Ελληνικά.txt", "ελληνικά.txt"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.second);
    PutFileIfPossible(c.first);
    PutFileIfPossible(c.second);
    // The flags hold K with other letters: still a file line with an entry.
    const std::string second = c.second + "|PK|#|again";
    ExpectRefused(c.first + "||#|x\r\nempty.dat||#|between\r\n" + second + "\r\n",
                  "line 3 \"" + second + "\": names the same entry as line 1 \"" + c.first +
                      "||#|x\"");
  }
}

TEST_F(PackerTest, PathsWindowsCannotCreateAreRefused) {
  const struct {
    std::string line;
    std::string reason;
  } cases[] = {
      {"bin\\*.dll||#|x", "wildcard \"*\" in a file name"},
      {"bin\\lite?.dll||#|x", "wildcard \"?\" in a file name"},
      {"bin\\a<b.dll||#|x", "character \"<\" is not allowed in a name"},
      {"bin\\a>b.dll||#|x", "character \">\" is not allowed in a name"},
      {"bin\\\"q\".dll||#|x", "character \"\"\" is not allowed in a name"},
      {"bin\\a\tb.dll||#|x", "control character 9 in the path"},
      {"bin\\a\x01_.dll||#|x", "control character 1 in the path"},
      {"docs/en/readme.txt||#|x", "\"/\" in the path"},
      {"con||#|x", "path part \"con\" is a device name"},
      {"NUL.txt||#|x", "path part \"NUL.txt\" is a device name"},
      {"docs\\Aux\\readme.txt||#|x", "path part \"Aux\" is a device name"},
      {"prn.tar.gz||#|x", "path part \"prn.tar.gz\" is a device name"},
      {"bin\\com1.dll||#|x", "path part \"com1.dll\" is a device name"},
      {"bin\\COM9||#|x", "path part \"COM9\" is a device name"},
      {"LPT1\\x.txt||#|x", "path part \"LPT1\" is a device name"},
      {"bin\\lpt9.log||#|x", "path part \"lpt9.log\" is a device name"},
      {"bin\\Com¹.dll||#|x", "path part \"Com¹.dll\" is a device name"},
      {"bin\\LPT³||#|x", "path part \"LPT³\" is a device name"},
      {"con .txt||#|x", "path part \"con .txt\" is a device name"},
      {"docs\\en\\readme.txt.||#|x", "path part \"readme.txt.\" ends with a dot"},
      {"docs.\\en\\readme.txt||#|x", "path part \"docs.\" ends with a dot"},
      {"docs \\en\\readme.txt||#|x", "path part \"docs \" ends with a blank"},
      {"empty.dat ||#|x", "path part \"empty.dat \" ends with a blank"},
      {"docs\\\\en\\readme.txt||#|x", "empty folder name"},
      {"docs\\en\\||#|x", "path ends with \"\\\""},
      // A deletion mask keeps its wildcards in its last part, and meets the other rules.
      {"ca*e\\*.tmp|K|", "wildcard in the folder part \"ca*e\" of a mask"},
      {"cache/*.tmp|K|", "\"/\" in the path"},
      {"cache\\<*.tmp|K|", "character \"<\" is not allowed in a name"},
      {"cache\\nul.*|K|", "path part \"nul.*\" is a device name"},
      {"cache \\*.tmp|K|", "path part \"cache \" ends with a blank"},
      {"cache.\\*.tmp|K|", "path part \"cache.\" ends with a dot"},
      {"cache\\\\*.tmp|K|", "empty folder name"},
      {"cache\\old.tmp.|K|", "path part \"old.tmp.\" ends with a dot"},
      {"cache\\|K|", "path ends with \"\\\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    PutFileIfPossible(c.line.substr(0, c.line.find('|')));
    ExpectRefused("ZarvoF.exe||#|x\r\n" + c.line + "\r\n",
                  "line 2 \"" + c.line + "\": " + c.reason);
  }
}

// Flags the setup reads otherwise than they look: the payload is written, with a warning.
TEST_F(PackerTest, FlagsTheSetupReadsOtherwiseAreWarnedAbout) {
  const std::string fifty(50, 'F');
  const struct {
    std::string line;
    std::string warning;
  } cases[] = {
      {"bin\\lite.dll|f|#|x",
       "lower-case flag letters (\"f\") are not read as flags: the setup installs this line for "
       "every edition"},
      {"bin\\pl.dll|Pl|#|x",
       "lower-case flag letters (\"l\") are not read as flags: the setup installs this line only "
       "for edition P"},
      {"bin\\both.dll|pFLo|#|x",
       "lower-case flag letters (\"p\", \"o\") are not read as flags: the setup installs this "
       "line only for editions F, L, not keeping the user's existing file"},
      {"cfg\\user.ini|oP|#|x",
       "lower-case flag letters (\"o\") are not read as flags: the setup installs this line only "
       "for edition P, not keeping the user's existing file"},
      {"bin\\lite.dll|" + fifty + "|#|x",
       "flags field of 50 characters: the closing \"|\" is looked for only in the first 50, so no "
       "flags are read and the setup installs this line for every edition"},
      {"cfg\\user.ini|" + std::string(70, 'O') + "|#|x",
       "flags field of 70 characters: the closing \"|\" is looked for only in the first 50, so no "
       "flags are read and the setup installs this line for every edition"},
      {"bin\\lite.dll|F",
       "flags field not closed by \"|\": no flags are read, so the setup installs this line for "
       "every edition"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    WriteFile(work_ / "doubtful.txt", "ZarvoF.exe||#|x\r\n" + c.line + "\r\n");
    WriteFile(Payload(), "earlier payload");
    const RunResult built = Build(work_ / "doubtful.txt", Payload());
    EXPECT_EQ(built.exitCode, 0) << built.err;
    EXPECT_EQ(built.out, "");
    EXPECT_EQ(built.err, "zarvo-pack: warning: line 2 \"" + c.line + "\": " + c.warning + "\n");
    const std::vector<RawEntry> entries = WalkPayload(ReadFile(Payload()));
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[2].name, c.line.substr(0, c.line.find('|')));

    const RunResult verified = Run({"verify", Payload().string()});
    EXPECT_EQ(verified.exitCode, 0) << verified.err;
    EXPECT_EQ(verified.out, "ok 3 entries\n");
    EXPECT_EQ(verified.err,
              "zarvo-pack: warning: manifest line 2 \"" + c.line + "\": " + c.warning + "\n");
  }
}

// Lines near the rules above that are fine: built without a word, and verified.
TEST_F(PackerTest, LinesNearTheRulesStillBuild) {
  const struct {
    const char* what;
    std::vector<std::string> lines;
    std::vector<std::string> entries;  // after "list"
  } cases[] = {
      {"descriptions with bars",
       {"ZarvoF.exe|F|#|a | b || c|", "empty.dat||#|ends |K", "bin\\pl.dll|PL|#|K |K and K|"},
       {"ZarvoF.exe", "empty.dat", "bin\\pl.dll"}},
      {"Cyrillic, Greek and accented names",
       {"docs\\ru\\Прочти.txt||#|x", "Café\\Résumé.txt||#|x", "Ärger.txt||#|x",
        "ärgerlich.txt||#|x", "Ελληνικά.txt||#|x"},
       {"docs\\ru\\Прочти.txt", "Café\\Résumé.txt", "Ärger.txt", "ärgerlich.txt", "Ελληνικά.txt"}},
      {"deletion masks",
       {"cache\\*.t?p|K|", "*.bak|K|", "cache\\*.|K|", "logs\\*.log|K|#|old logs |K| too",
        "cache\\old.tmp|K|"},
       {}},
      {"dots inside names",
       {"a.b.c.txt||#|x", "docs\\.hidden\\v1.2.ini||#|x", "..a||#|x", "a..b.txt||#|x"},
       {"a.b.c.txt", "docs\\.hidden\\v1.2.ini", "..a", "a..b.txt"}},
      {"names that only start like devices",
       {"COM10||#|x", "lpt10.txt||#|x", "CONSOLE.txt||#|x", "auxiliary\\null.dat||#|x",
        "bin\\COM.dll||#|x", "nul_\\con-x.txt||#|x", "com1x||#|x"},
       {"COM10", "lpt10.txt", "CONSOLE.txt", "auxiliary\\null.dat", "bin\\COM.dll",
        "nul_\\con-x.txt", "com1x"}},
      {"flags read as written",
       {"bin\\lite.dll|" + std::string(48, 'O') + "F|#|x", "bin\\pro.dll|P|#|for pro users",
        "bin\\both.dll|PF|", "cfg\\user.ini|O|#|lower-case p, f, l and o after the flags"},
       {"bin\\lite.dll", "bin\\pro.dll", "bin\\both.dll", "cfg\\user.ini"}},
      {"similar names that differ",
       {"Ärger.txt||#|x", "Arger.txt||#|x", "docs\\en\\readme.txt||#|x", "docs\\readme.txt||#|x"},
       {"Ärger.txt", "Arger.txt", "docs\\en\\readme.txt", "docs\\readme.txt"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string manifest;
    for (const std::string& line : c.lines) manifest += line + "\r\n";
    for (const std::string& entry : c.entries)
      if (!fs::exists(OnDisk(Root(), entry))) WriteFile(OnDisk(Root(), entry), entry);
    WriteFile(work_ / "fine.txt", manifest);
    const RunResult built = Build(work_ / "fine.txt", Payload());
    EXPECT_EQ(built.exitCode, 0) << built.err;
    EXPECT_EQ(built.err, "");
    std::vector<std::string> names;
    for (const RawEntry& entry : WalkPayload(ReadFile(Payload()))) names.push_back(entry.name);
    std::vector<std::string> expected{"list"};
    expected.insert(expected.end(), c.entries.begin(), c.entries.end());
    EXPECT_EQ(names, expected);

    const RunResult verified = Run({"verify", Payload().string()});
    EXPECT_EQ(verified.exitCode, 0) << verified.err;
    EXPECT_EQ(verified.err, "");
  }
}

// A payload made elsewhere meets the same line rules, with "manifest" before the line.
TEST_F(PackerTest, VerifyRefusesManifestLinesTheSetupWouldMisread) {
  const struct {
    std::string manifest;
    std::vector<std::string> entries;
    std::string message;
  } cases[] = {
      {"a.dll||#|x\r\nold.txt||#|the text |K| deletes\r\n", {"a.dll", "old.txt"},
       "manifest line 2 \"old.txt||#|the text |K| deletes\": holds \"|K|\""},
      {"a.dll||#|x\r\nA.DLL||#|y\r\n", {"a.dll"},
       "manifest line 2 \"A.DLL||#|y\": names the same entry as line 1 \"a.dll||#|x\""},
      {"a.dll||#|x\r\nbin\\aux.dll||#|y\r\n", {"a.dll", "bin\\aux.dll"},
       "manifest line 2 \"bin\\aux.dll||#|y\": path part \"aux.dll\" is a device name"},
      {"a.dll||#|x\r\n*.dll||#|y\r\n", {"a.dll", "*.dll"},
       "manifest line 2 \"*.dll||#|y\": wildcard \"*\" in a file name"},
      {"a.dll||#|x\r\n..\\b.dll||#|y\r\n", {"a.dll", "..\\b.dll"},
       "manifest line 2 \"..\\b.dll||#|y\": path climbs out"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    std::string payload = PackedEntry("list", c.manifest);
    for (const std::string& name : c.entries) payload += PackedEntry(name, name);
    WriteFile(work_ / "elsewhere.bin", payload);
    const RunResult verified = Run({"verify", (work_ / "elsewhere.bin").string()});
    EXPECT_EQ(verified.exitCode, 1);
    EXPECT_EQ(verified.out, "");
    EXPECT_EQ(Lines(verified.err).size(), 1u) << verified.err;
    EXPECT_NE(verified.err.find(c.message), std::string::npos) << verified.err;
  }
}

// plan shows what the setup would do with such a payload: a file line holding "|K|" that names
// no entry is up to date for a missing file (size 0, date 0) and stays only when forced.
TEST_F(PackerTest, PlanOfAPayloadFromElsewhereKeepsALineHoldingKOnlyWhenForced) {
  const std::string exe = "ZarvoF.exe||#|x", old = "old.txt||#|the text |K| deletes";
  WriteFile(work_ / "elsewhere.bin",
            PackedEntry("list", exe + "\r\n" + old + "\r\n") + PackedEntry("ZarvoF.exe", "x"));
  fs::create_directories(work_ / "install");
  const RunResult planned = Run({"plan", (work_ / "elsewhere.bin").string(), "--dir",
                                 (work_ / "install").string()});
  EXPECT_EQ(planned.exitCode, 0) << planned.err;
  EXPECT_EQ(Lines(planned.out), std::vector<std::string>{exe});
  const RunResult forced = Run({"plan", (work_ / "elsewhere.bin").string(), "--dir",
                                (work_ / "install").string(), "--force"});
  EXPECT_EQ(forced.exitCode, 0) << forced.err;
  EXPECT_EQ(Lines(forced.out), (std::vector<std::string>{exe, old}));
}

TEST_F(PackerTest, BadInputFilesExitWithOne) {
  BuildPayload();
  WriteFile(work_ / "truncated.bin", ReadFile(Payload()).substr(0, 10));
  const std::string missing = (work_ / "missing.bin").string();
  const std::vector<std::vector<std::string>> cases = {
      {"build", "--manifest", (work_ / "nope.txt").string(), "--root", Root().string(), "-o",
       (work_ / "out.bin").string()},
      {"build", "--manifest", (work_ / "list.txt").string(), "--root",
       (work_ / "nofolder").string(), "-o", (work_ / "out.bin").string()},
      {"list", missing},
      {"list", (work_ / "truncated.bin").string()},
      {"verify", missing},
      {"cat", missing, "list"},
      {"plan", missing, "--dir", work_.string()},
  };
  for (const auto& args : cases) {
    SCOPED_TRACE(args[0] + " " + args[1]);
    const RunResult run = Run(args);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
  }
  EXPECT_FALSE(fs::exists(work_ / "out.bin"));
}

TEST_F(PackerTest, UsageErrorsExitWithTwo) {
  const std::string payload = Payload().string();
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"pack"},
      {"build", "--manifest", "list.txt", "--root", "root"},
      {"build", "--manifest", "list.txt", "-o", "out.bin"},
      {"build", "--manifest", "list.txt", "--root", "root", "-o"},
      {"build", "--manifest", "list.txt", "--root", "root", "-o", "out.bin", "--fast"},
      {"build", "--manifest", "a.txt", "--manifest", "b.txt", "--root", "r", "-o", "out.bin"},
      {"list"},
      {"list", payload, payload},
      {"cat", payload},
      {"verify"},
      {"plan", payload},
      {"plan", payload, "--dir", "x", "--edition", "PF"},
      {"plan", payload, "--dir", "x", "--edition", ""},
  };
  for (const auto& args : cases) {
    std::string joined;
    for (const std::string& arg : args) joined += arg + " ";
    SCOPED_TRACE(joined);
    const RunResult run = Run(args);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("usage:"), std::string::npos) << run.err;
  }
  EXPECT_FALSE(fs::exists(work_ / "out.bin"));
}

}  // namespace
