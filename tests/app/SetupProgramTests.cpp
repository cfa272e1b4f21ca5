// What Windows reads from the built setup programs, 32- and 64-bit: the application manifest as
// the system's activation context sees it, the version resource as Explorer reads it, and the
// program's icon as its first icon group.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "SetupVersion.h"
#include "tests/support/DataFileModule.h"

namespace zarvo::app {
namespace {

using zarvo::testing::DataFileModule;
using zarvo::testing::WindowsPath;

struct Setup {
  const char* name;
  const char* path;
};

void PrintTo(const Setup& setup, std::ostream* out) { *out << setup.name << " " << setup.path; }

class SetupProgramTest : public ::testing::TestWithParam<Setup> {
 protected:
  std::wstring Path() const { return WindowsPath(GetParam().path); }
};

// The activation context Windows makes from the program's own manifest when it starts it.
class ManifestContext {
 public:
  explicit ManifestContext(const std::wstring& program) {
    ACTCTXW context{};
    context.cbSize = sizeof(context);
    context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.lpSource = program.c_str();
    context.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
    handle_ = CreateActCtxW(&context);
    error_ = GetLastError();
  }
  ~ManifestContext() {
    if (handle_ != INVALID_HANDLE_VALUE) ReleaseActCtx(handle_);
  }
  ManifestContext(const ManifestContext&) = delete;
  ManifestContext& operator=(const ManifestContext&) = delete;

  HANDLE Get() const { return handle_; }
  DWORD Error() const { return error_; }

  std::wstring Setting(const wchar_t* nameSpace, const wchar_t* name) const {
    wchar_t value[64] = {};
    SIZE_T written = 0;
    if (!QueryActCtxSettingsW(0, handle_, nameSpace, name, value, std::size(value), &written))
      return L"<none: " + std::to_wstring(GetLastError()) + L">";
    return value;
  }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  DWORD error_ = 0;
};

std::string GuidText(const GUID& id) {
  char text[40];
  std::snprintf(text, sizeof(text), "{%08lx-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x}",
                static_cast<unsigned long>(id.Data1), id.Data2, id.Data3, id.Data4[0], id.Data4[1],
                id.Data4[2], id.Data4[3], id.Data4[4], id.Data4[5], id.Data4[6], id.Data4[7]);
  return text;
}

// The supported systems the manifest declares. Newer systems add a 64-bit "max version tested"
// to each element, so the element size follows from the size of the answer.
std::set<std::string> SupportedSystems(HANDLE context) {
  std::vector<std::uint8_t> answer(4096);
  SIZE_T written = 0;
  if (!QueryActCtxW(0, context, nullptr, CompatibilityInformationInActivationContext, answer.data(),
                    answer.size(), &written)) {
    ADD_FAILURE() << "QueryActCtxW: " << GetLastError();
    return {};
  }
  DWORD count = 0;
  std::memcpy(&count, answer.data(), sizeof(count));
  constexpr std::size_t kShortElement = sizeof(GUID) + sizeof(DWORD);
  constexpr std::size_t kLongElement = sizeof(GUID) + 2 * sizeof(DWORD) + sizeof(ULONGLONG);
  std::size_t first = 0;
  std::size_t size = 0;
  if (written == sizeof(DWORD) + count * kShortElement) {
    first = sizeof(DWORD);
    size = kShortElement;
  } else if (written == sizeof(ULONGLONG) + count * kLongElement) {
    first = sizeof(ULONGLONG);
    size = kLongElement;
  } else {
    ADD_FAILURE() << written << " bytes for " << count << " elements";
    return {};
  }
  std::set<std::string> systems;
  for (DWORD i = 0; i < count; ++i) {
    GUID id;
    DWORD type = 0;
    std::memcpy(&id, answer.data() + first + i * size, sizeof(id));
    std::memcpy(&type, answer.data() + first + i * size + sizeof(GUID), sizeof(type));
    if (type == ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS) systems.insert(GuidText(id));
  }
  return systems;
}

TEST_P(SetupProgramTest, ManifestAsksForNoElevation) {
  const ManifestContext context(Path());
  ASSERT_NE(context.Get(), INVALID_HANDLE_VALUE) << "CreateActCtxW: " << context.Error();
  ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level{};
  SIZE_T written = 0;
  ASSERT_TRUE(QueryActCtxW(0, context.Get(), nullptr, RunlevelInformationInActivationContext,
                           &level, sizeof(level), &written));
  EXPECT_EQ(level.RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
  EXPECT_EQ(level.UiAccess, 0u);
}

TEST_P(SetupProgramTest, ManifestDeclaresSystemDpiAwareness) {
  const ManifestContext context(Path());
  ASSERT_NE(context.Get(), INVALID_HANDLE_VALUE) << "CreateActCtxW: " << context.Error();
  EXPECT_EQ(context.Setting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"),
            L"true");
  EXPECT_EQ(
      context.Setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
      L"system");
}

TEST_P(SetupProgramTest, ManifestDeclaresEveryWindowsFromVistaOn) {
  const ManifestContext context(Path());
  ASSERT_NE(context.Get(), INVALID_HANDLE_VALUE) << "CreateActCtxW: " << context.Error();
  const std::set<std::string> expected = {
      "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  // Vista
      "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
      "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
      "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
      "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
  };
  EXPECT_EQ(SupportedSystems(context.Get()), expected);
}

TEST_P(SetupProgramTest, ManifestTakesTheCommonControlsVersion6) {
  const ManifestContext context(Path());
  ASSERT_NE(context.Get(), INVALID_HANDLE_VALUE) << "CreateActCtxW: " << context.Error();
  ULONG_PTR cookie = 0;
  ASSERT_TRUE(ActivateActCtx(context.Get(), &cookie));
  ACTCTX_SECTION_KEYED_DATA found{};
  found.cbSize = sizeof(found);
  const BOOL redirected =
      FindActCtxSectionStringW(FIND_ACTCTX_SECTION_KEY_RETURN_HACTCTX, nullptr,
                               ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, L"comctl32.dll", &found);
  const DWORD error = GetLastError();
  DeactivateActCtx(0, cookie);
  ASSERT_TRUE(redirected) << error;

  std::vector<std::uint8_t> answer(4096);
  SIZE_T written = 0;
  DWORD index = found.ulAssemblyRosterIndex;
  ASSERT_TRUE(QueryActCtxW(0, found.hActCtx, &index, AssemblyDetailedInformationInActivationContext,
                           answer.data(), answer.size(), &written))
      << GetLastError();
  if (found.hActCtx) ReleaseActCtx(found.hActCtx);
  const auto* assembly =
      reinterpret_cast<const ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(answer.data());
  const std::wstring identity(assembly->lpAssemblyEncodedAssemblyIdentity,
                              assembly->ulEncodedAssemblyIdentityLength / sizeof(wchar_t));
  EXPECT_NE(identity.find(L"Microsoft.Windows.Common-Controls"), std::wstring::npos)
      << std::string(identity.begin(), identity.end());
  // The installed assembly's own version, 6.0.x.y.
  EXPECT_NE(identity.find(L"version=\"6.0."), std::wstring::npos)
      << std::string(identity.begin(), identity.end());
}

// The program's version resource, read as Explorer's properties page reads it.
class VersionInfo {
 public:
  explicit VersionInfo(const std::wstring& program) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(program.c_str(), &ignored);
    if (size == 0) {
      ADD_FAILURE() << "GetFileVersionInfoSizeW: " << GetLastError();
      return;
    }
    bytes_.resize(size);
    if (!GetFileVersionInfoW(program.c_str(), 0, size, bytes_.data())) {
      ADD_FAILURE() << "GetFileVersionInfoW: " << GetLastError();
      bytes_.clear();
    }
  }

  bool Empty() const { return bytes_.empty(); }

  // The value at `path` and its length as VerQueryValueW gives it, or nothing.
  std::pair<const void*, UINT> Value(const std::wstring& path) const {
    void* value = nullptr;
    UINT length = 0;
    if (bytes_.empty() ||
        !VerQueryValueW(const_cast<std::uint8_t*>(bytes_.data()), path.c_str(), &value, &length))
      return {nullptr, 0};
    return {value, length};
  }

  std::wstring Text(const std::wstring& name) const {
    const auto [value, length] = Value(L"\\StringFileInfo\\040904B0\\" + name);
    if (value == nullptr) return L"<missing>";
    // The length counts the terminating zero.
    std::wstring text(static_cast<const wchar_t*>(value), length);
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
  }

 private:
  std::vector<std::uint8_t> bytes_;
};

// The configured version as the four 16-bit numbers of the fixed part: most significant pair first.
std::pair<DWORD, DWORD> ConfiguredVersion() {
  unsigned parts[4] = {};
  EXPECT_EQ(
      std::sscanf(kConfiguredVersion, "%u.%u.%u.%u", &parts[0], &parts[1], &parts[2], &parts[3]),
      4);
  return {static_cast<DWORD>(parts[0] << 16 | parts[1]),
          static_cast<DWORD>(parts[2] << 16 | parts[3])};
}

TEST_P(SetupProgramTest, VersionStringsNameTheProductTheCompanyAndTheConfiguredVersion) {
  const VersionInfo info(Path());
  ASSERT_FALSE(info.Empty());
  const std::wstring company = kConfiguredCompany;
  const std::wstring version(std::begin(kConfiguredVersion), std::end(kConfiguredVersion) - 1);
  const std::pair<const wchar_t*, std::wstring> cases[] = {
      {L"CompanyName", company},
      {L"FileDescription", L"Zarvo LITE setup"},
      {L"FileVersion", version},
      {L"InternalName", L"ZarvoFRE"},
      {L"LegalCopyright", L"Copyright (C) " + company},
      {L"OriginalFilename", L"ZarvoFRE.exe"},
      {L"ProductName", L"Zarvo LITE"},
      {L"ProductVersion", version},
  };
  for (const auto& [name, expected] : cases) {
    EXPECT_EQ(info.Text(name), expected) << std::wstring(name);
  }
}

TEST_P(SetupProgramTest, VersionResourceIsEnglishUnitedStatesInUnicode) {
  const VersionInfo info(Path());
  ASSERT_FALSE(info.Empty());
  const auto [value, length] = info.Value(L"\\VarFileInfo\\Translation");
  ASSERT_EQ(length, 2 * sizeof(WORD));
  const auto* translation = static_cast<const WORD*>(value);
  EXPECT_EQ(translation[0], 0x0409);
  EXPECT_EQ(translation[1], 1200);
}

TEST_P(SetupProgramTest, FixedVersionIsTheConfiguredVersionOfAnApplication) {
  const VersionInfo info(Path());
  ASSERT_FALSE(info.Empty());
  const auto [value, length] = info.Value(L"\\");
  ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  const auto [most, least] = ConfiguredVersion();
  EXPECT_EQ(fixed->dwFileVersionMS, most);
  EXPECT_EQ(fixed->dwFileVersionLS, least);
  EXPECT_EQ(fixed->dwProductVersionMS, most);
  EXPECT_EQ(fixed->dwProductVersionLS, least);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
  EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS_NT_WINDOWS32));
  EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u) << "no debug or pre-release flag";
}

std::vector<std::uint8_t> ReadFile(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR names) {
  reinterpret_cast<std::vector<std::wstring>*>(names)->push_back(
      IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name)) : name);
  return TRUE;
}

std::span<const std::uint8_t> ResourceBytes(HMODULE module, const wchar_t* name,
                                            const wchar_t* type) {
  HRSRC found = FindResourceW(module, name, type);
  if (!found) return {};
  return {static_cast<const std::uint8_t*>(LockResource(LoadResource(module, found))),
          SizeofResource(module, found)};
}

std::uint32_t U32At(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
         static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

// The icon group is the .ico file's directory with resource ids instead of file offsets; each
// RT_ICON resource is the file's image byte for byte.
TEST_P(SetupProgramTest, FirstIconGroupIsTheProgramIconWithItsThreeImages) {
  const DataFileModule setup(Path());
  ASSERT_NE(setup.Get(), nullptr) << GetLastError();
  std::vector<std::wstring> groups;
  EnumResourceNamesW(setup.Get(), RT_GROUP_ICON, CollectName, reinterpret_cast<LONG_PTR>(&groups));
  ASSERT_FALSE(groups.empty());
  EXPECT_EQ(groups.front(), L"MAINICON");

  const std::vector<std::uint8_t> file = ReadFile(WindowsPath(ZARVO_PROGRAM_ICON));
  const std::span<const std::uint8_t> group =
      ResourceBytes(setup.Get(), L"MAINICON", RT_GROUP_ICON);
  ASSERT_GE(file.size(), 6u);
  const std::size_t count = file[4];
  ASSERT_EQ(count, 3u);
  // GRPICONDIR: the file's 6-byte header, then 14-byte entries.
  ASSERT_EQ(group.size(), 6 + 14 * count);
  EXPECT_TRUE(std::equal(group.begin(), group.begin() + 6, file.begin()));
  const int sizes[] = {16, 32, 48};
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t fileEntry = 6 + 16 * i;
    const std::size_t groupEntry = 6 + 14 * i;
    EXPECT_EQ(group[groupEntry], sizes[i]);
    // Width to byte count are the same 12 bytes in both.
    EXPECT_TRUE(std::equal(group.begin() + static_cast<std::ptrdiff_t>(groupEntry),
                           group.begin() + static_cast<std::ptrdiff_t>(groupEntry + 12),
                           file.begin() + static_cast<std::ptrdiff_t>(fileEntry)))
        << "entry " << i;
    const WORD id = static_cast<WORD>(group[groupEntry + 12] | group[groupEntry + 13] << 8);
    const std::span<const std::uint8_t> image =
        ResourceBytes(setup.Get(), MAKEINTRESOURCEW(id), RT_ICON);
    const std::size_t offset = U32At(file, fileEntry + 12);
    const std::size_t size = U32At(file, fileEntry + 8);
    ASSERT_EQ(image.size(), size) << "image " << i;
    EXPECT_TRUE(
        std::equal(image.begin(), image.end(), file.begin() + static_cast<std::ptrdiff_t>(offset)))
        << "image " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Builds, SetupProgramTest,
                         ::testing::Values(Setup{"win32", ZARVO_WIN32_SETUP},
                                           Setup{"win64", ZARVO_WIN64_SETUP}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zarvo::app
