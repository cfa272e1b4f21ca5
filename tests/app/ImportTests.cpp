// The built Windows programs import only DLLs that Windows always takes from its own folder
// (the known DLLs), so none can be planted beside the setup. Both builds must be there.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "tests/app/PeImports.h"

namespace zarvo::testing {
namespace {

namespace fs = std::filesystem;

// In the KnownDLLs list of every Windows from Vista to 11.
const std::set<std::string> kKnownDlls = {
    "advapi32.dll", "comdlg32.dll", "gdi32.dll",  "imagehlp.dll", "imm32.dll",
    "kernel32.dll", "msctf.dll",    "msvcrt.dll", "normaliz.dll", "nsi.dll",
    "ole32.dll",    "oleaut32.dll", "psapi.dll",  "rpcrt4.dll",   "setupapi.dll",
    "shell32.dll",  "shlwapi.dll",  "user32.dll", "wldap32.dll",  "ws2_32.dll",
};

std::string Lower(std::string text) {
  std::ranges::transform(text, text.begin(),
                         [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Program {
  const char* name;
  const char* path;
  std::uint16_t machine;
  std::vector<std::string> mustImport;  // so that a reader that finds nothing cannot pass
};

void PrintTo(const Program& p, std::ostream* out) { *out << p.name << " " << p.path; }

class ImportTest : public ::testing::TestWithParam<Program> {};

TEST_P(ImportTest, ImportsOnlyKnownDlls) {
  const Program& program = GetParam();
  ASSERT_TRUE(fs::exists(program.path))
      << program.path << " is missing: build the win32 and win64 presets before these tests";
  const PeImports imports = ReadPeImports(ReadBytes(program.path));
  EXPECT_EQ(imports.machine, program.machine);

  std::set<std::string> all;
  for (const auto* list : {&imports.dlls, &imports.delayed}) {
    for (const std::string& dll : *list) all.insert(Lower(dll));
  }
  for (const std::string& dll : all) {
    EXPECT_TRUE(kKnownDlls.contains(dll)) << program.name << " imports " << dll;
  }
  for (const std::string& dll : program.mustImport) {
    EXPECT_TRUE(all.contains(dll)) << program.name << " does not import " << dll;
  }
}

constexpr std::uint16_t kI386 = 0x14C;
constexpr std::uint16_t kAmd64 = 0x8664;

INSTANTIATE_TEST_SUITE_P(
    Builds, ImportTest,
    ::testing::Values(
        Program{"Setup32", ZARVO_WIN32_SETUP, kI386, {"kernel32.dll", "user32.dll"}},
        Program{"Setup64", ZARVO_WIN64_SETUP, kAmd64, {"kernel32.dll", "user32.dll"}},
        // Everything the widget toolkit and the program's controls link.
        Program{"Controls32", ZARVO_WIN32_CONTROLS_SAMPLE, kI386, {"gdi32.dll", "ole32.dll"}},
        Program{"Controls64", ZARVO_WIN64_CONTROLS_SAMPLE, kAmd64, {"gdi32.dll", "ole32.dll"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PeImportsTest, ACutFileIsRefusedNotReadShort) {
  ASSERT_TRUE(fs::exists(ZARVO_WIN64_SETUP)) << ZARVO_WIN64_SETUP << " is missing";
  const std::vector<std::uint8_t> bytes = ReadBytes(ZARVO_WIN64_SETUP);
  const std::vector<std::size_t> lengths = {0, 0x40, 0x100, 0x400};
  for (const std::size_t length : lengths) {
    const std::vector<std::uint8_t> cut(bytes.begin(),
                                        bytes.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_THROW(ReadPeImports(cut), PeError) << length << " bytes";
  }
  std::vector<std::uint8_t> noSignature = bytes;
  noSignature[0] = 'X';
  EXPECT_THROW(ReadPeImports(noSignature), PeError);
}

}  // namespace
}  // namespace zarvo::testing
