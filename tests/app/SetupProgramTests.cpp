// What Windows reads from the built setup programs, 32- and 64-bit: the application manifest as
// the system's activation context sees it.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/DataFileModule.h"

namespace zarvo::app {
namespace {

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
  if (!QueryActCtxW(0, context, nullptr, CompatibilityInformationInActivationContext,
                    answer.data(), answer.size(), &written)) {
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
  EXPECT_EQ(context.Setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings",
                            L"dpiAwareness"),
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
  const BOOL redirected = FindActCtxSectionStringW(
      FIND_ACTCTX_SECTION_KEY_RETURN_HACTCTX, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
      L"comctl32.dll", &found);
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

INSTANTIATE_TEST_SUITE_P(Builds, SetupProgramTest,
                         ::testing::Values(Setup{"win32", ZARVO_WIN32_SETUP},
                                           Setup{"win64", ZARVO_WIN64_SETUP}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zarvo::app
