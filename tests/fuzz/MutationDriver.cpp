// Runs the fuzz entry point over the fixed mutations of the seed payloads (the test), over
// given files (to replay a finding), or writes the seeds as a corpus for libFuzzer.
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/fuzz/ArchiveFuzzTarget.h"
#include "tests/fuzz/FuzzCorpus.h"

namespace fs = std::filesystem;

namespace {

// The input being run, for the signal handler to name when the run dies (a failed check
// aborts; the sanitizers are told to abort too).
const char* volatile runningInput = nullptr;

extern "C" void NameTheInput(int signal) {
  if (const char* label = runningInput) {
    static constexpr char intro[] = "\nfuzz input: ";
    [[maybe_unused]] ssize_t written = write(2, intro, sizeof intro - 1);
    written = write(2, label, std::strlen(label));
    written = write(2, "\n", 1);
  }
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

int WriteSeeds(const fs::path& folder) {
  fs::create_directories(folder);
  int number = 0;
  for (const zarvo::fuzz::FuzzInput& input : zarvo::fuzz::SeedArchives()) {
    std::ofstream out(folder / ("seed-" + std::to_string(++number) + ".bin"), std::ios::binary);
    out.write(reinterpret_cast<const char*>(input.bytes.data()),
              static_cast<std::streamsize>(input.bytes.size()));
    if (!out) {
      std::fprintf(stderr, "cannot write into %s\n", folder.string().c_str());
      return 1;
    }
  }
  std::printf("%d seeds written to %s\n", number, folder.string().c_str());
  return 0;
}

int Replay(const std::vector<std::string>& files) {
  for (const std::string& file : files) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "cannot read %s\n", file.c_str());
      return 1;
    }
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    std::printf("%s\n", file.c_str());
    std::fflush(stdout);
    zarvo::fuzz::FuzzArchive(bytes);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 2 && args[0] == "--write-seeds") return WriteSeeds(args[1]);
  if (!args.empty()) return Replay(args);

  for (int signal : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL}) std::signal(signal, NameTheInput);
  const auto started = std::chrono::steady_clock::now();
  const std::vector<zarvo::fuzz::FuzzInput> inputs = zarvo::fuzz::MutatedArchives();
  for (const zarvo::fuzz::FuzzInput& input : inputs) {
    runningInput = input.label.c_str();
    zarvo::fuzz::FuzzArchive(input.bytes);
  }
  runningInput = nullptr;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf("%zu inputs in %.2f s, no finding\n", inputs.size(), seconds);
  return 0;
}
