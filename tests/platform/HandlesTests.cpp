// The owners close what they hold exactly once, when they go or are reset, and never when the
// handle was moved or released out of them.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <shobjidl.h>

#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "platform/Handles.h"

namespace zarvo::platform {
namespace {

// A fresh empty file under the temporary folder, deleted at the end.
class TemporaryFile {
public:
  TemporaryFile() {
    wchar_t folder[MAX_PATH + 1] = {};
    wchar_t name[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, folder);
    if (::GetTempFileNameW(folder, L"zpt", 0, name) == 0) ADD_FAILURE() << ::GetLastError();
    FPath = name;
  }
  ~TemporaryFile() { ::DeleteFileW(FPath.c_str()); }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  const std::wstring& Path() const { return FPath; }

private:
  std::wstring FPath;
};

UniqueFile OpenExclusive(const std::wstring& path) {
  return UniqueFile(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

struct FileEndCase {
  const char* label;
  // Acts on the owner of the open file; what it returns stays alive until the check is done.
  std::function<UniqueFile(std::optional<UniqueFile>& owner, const std::wstring& other)> act;
  bool closed;
};

void PrintTo(const FileEndCase& c, std::ostream* out) { *out << c.label; }

class FileOwnerTest : public ::testing::TestWithParam<FileEndCase> {};

TEST_P(FileOwnerTest, ClosesTheFileWhenItsOwnershipEnds) {
  const TemporaryFile file;
  const TemporaryFile other;
  std::optional<UniqueFile> owner(OpenExclusive(file.Path()));
  ASSERT_TRUE(*owner);
  const UniqueFile kept = GetParam().act(owner, other.Path());

  const UniqueFile second = OpenExclusive(file.Path());
  const DWORD error = ::GetLastError();
  EXPECT_EQ(static_cast<bool>(second), GetParam().closed);
  if (!GetParam().closed) {
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileOwnerTest,
    ::testing::Values(
        FileEndCase{"still_owned", [](auto&, auto&) { return UniqueFile(); }, false},
        FileEndCase{"owner_gone",
                    [](auto& owner, auto&) {
                      owner.reset();
                      return UniqueFile();
                    },
                    true},
        FileEndCase{"reset",
                    [](auto& owner, auto&) {
                      owner->reset();
                      return UniqueFile();
                    },
                    true},
        FileEndCase{"another_file_assigned",
                    [](auto& owner, const std::wstring& other) {
                      *owner = OpenExclusive(other);
                      EXPECT_TRUE(*owner);
                      return UniqueFile();
                    },
                    true},
        FileEndCase{"moved_out_and_kept",
                    [](auto& owner, auto&) {
                      UniqueFile moved(std::move(*owner));
                      EXPECT_FALSE(*owner);
                      owner.reset();
                      return moved;
                    },
                    false},
        FileEndCase{"moved_out_and_dropped",
                    [](auto& owner, auto&) {
                      { const UniqueFile moved(std::move(*owner)); }
                      return UniqueFile();
                    },
                    true},
        FileEndCase{"released_then_owner_gone",
                    [](auto& owner, auto&) {
                      const HANDLE raw = owner->release();
                      EXPECT_FALSE(*owner);
                      owner.reset();
                      return UniqueFile(raw);
                    },
                    false}),
    [](const ::testing::TestParamInfo<FileEndCase>& info) { return std::string(info.param.label); });

TEST(FileOwnerEmptyTest, AFailedOpenLeavesItEmpty) {
  const UniqueFile missing(::CreateFileW(L"C:\\zarvo-no-such-folder\\file.txt", GENERIC_READ, 0,
                                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  EXPECT_FALSE(missing);
  EXPECT_EQ(missing.get(), INVALID_HANDLE_VALUE);
  EXPECT_FALSE(UniqueFile());
}

TEST(KernelObjectOwnerTest, TheNamedMutexIsGoneWithItsOwner) {
  const std::wstring name = L"Local\\zarvo-platform-test-" + std::to_wstring(::GetCurrentProcessId());
  std::optional<UniqueKernelObject> owner(std::in_place, ::CreateMutexW(nullptr, FALSE, name.c_str()));
  ASSERT_TRUE(*owner) << ::GetLastError();
  EXPECT_TRUE(UniqueKernelObject(::OpenMutexW(SYNCHRONIZE, FALSE, name.c_str())));
  owner.reset();
  const UniqueKernelObject reopened(::OpenMutexW(SYNCHRONIZE, FALSE, name.c_str()));
  EXPECT_FALSE(reopened);
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(FindOwnerTest, HoldsASearchThatFoundSomethingAndIsEmptyOtherwise) {
  const TemporaryFile file;
  WIN32_FIND_DATAW found{};
  const UniqueFind search(::FindFirstFileW(file.Path().c_str(), &found));
  ASSERT_TRUE(search);
  EXPECT_TRUE(file.Path().ends_with(found.cFileName));
  EXPECT_FALSE(::FindNextFileW(search.get(), &found));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));

  const UniqueFind none(::FindFirstFileW((file.Path() + L".none").c_str(), &found));
  EXPECT_FALSE(none);
}

class RegKeyOwnerTest : public ::testing::Test {
protected:
  void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, FPath.c_str()); }
  const std::wstring FPath =
      L"Software\\Zarvo\\PlatformTests-" + std::to_wstring(::GetCurrentProcessId());
};

TEST_F(RegKeyOwnerTest, OpensThroughPutAndClosesWhenReset) {
  UniqueRegKey key;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, FPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, key.put(), nullptr),
            ERROR_SUCCESS);
  ASSERT_TRUE(key);
  const std::wstring value = L"C:\\Программы\\Зарво";
  ASSERT_EQ(::RegSetValueExW(key.get(), L"InstallDir", 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);

  wchar_t read[64] = {};
  DWORD size = sizeof(read);
  ASSERT_EQ(::RegGetValueW(HKEY_CURRENT_USER, FPath.c_str(), L"InstallDir", RRF_RT_REG_SZ, nullptr,
                           read, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::wstring(read), value);

  const HKEY raw = key.get();
  EXPECT_EQ(::RegQueryInfoKeyW(raw, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  key.reset();
  EXPECT_FALSE(key);
  EXPECT_EQ(::RegQueryInfoKeyW(raw, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr),
            ERROR_INVALID_HANDLE);
}

TEST_F(RegKeyOwnerTest, StaysEmptyWhenTheKeyIsMissing) {
  UniqueRegKey key;
  EXPECT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, (FPath + L"\\missing").c_str(), 0, KEY_READ,
                            key.put()),
            ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(key);
}

// Counts its references; it lives on the test's stack, so the last Release does not delete it.
class CountedObject final : public IUnknown {
public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++References); }
  ULONG STDMETHODCALLTYPE Release() override {
    ++Releases;
    return static_cast<ULONG>(--References);
  }
  int References = 1;
  int Releases = 0;
};

struct Objects {
  CountedObject first;
  CountedObject second;
};

struct ComMoveCase {
  const char* label;
  // a holds first, b holds second; what the action returns is the third pointer.
  std::function<ComPtr<IUnknown>(Objects&, ComPtr<IUnknown>& a, ComPtr<IUnknown>& b)> act;
  int a, b, third;  // 1 = first, 2 = second, 0 = empty
  int firstReleases, secondReleases;
};

void PrintTo(const ComMoveCase& c, std::ostream* out) { *out << c.label; }

IUnknown* Which(Objects& objects, int index) {
  return index == 1 ? &objects.first : index == 2 ? static_cast<IUnknown*>(&objects.second) : nullptr;
}

class ComPtrMoveTest : public ::testing::TestWithParam<ComMoveCase> {};

TEST_P(ComPtrMoveTest, MovesWithoutReferenceTrafficAndReleasesWhatItDrops) {
  const ComMoveCase& c = GetParam();
  Objects objects;
  {
    ComPtr<IUnknown> a(&objects.first);
    ComPtr<IUnknown> b(&objects.second);
    const ComPtr<IUnknown> third = c.act(objects, a, b);
    EXPECT_EQ(a.get(), Which(objects, c.a));
    EXPECT_EQ(b.get(), Which(objects, c.b));
    EXPECT_EQ(third.get(), Which(objects, c.third));
    EXPECT_EQ(static_cast<bool>(a), c.a != 0);
    EXPECT_EQ(objects.first.Releases, c.firstReleases);
    EXPECT_EQ(objects.second.Releases, c.secondReleases);
  }
  // Every reference taken was given back once, none twice.
  EXPECT_EQ(objects.first.References, 0);
  EXPECT_EQ(objects.second.References, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ComPtrMoveTest,
    ::testing::Values(
        ComMoveCase{"untouched", [](auto&, auto&, auto&) { return ComPtr<IUnknown>(); },
                    1, 2, 0, 0, 0},
        ComMoveCase{"move_construction",
                    [](auto&, auto& a, auto&) { return ComPtr<IUnknown>(std::move(a)); },
                    0, 2, 1, 0, 0},
        ComMoveCase{"move_assignment_releases_the_old_target",
                    [](auto&, auto& a, auto& b) {
                      b = std::move(a);
                      return ComPtr<IUnknown>();
                    },
                    0, 1, 0, 0, 1},
        ComMoveCase{"move_assignment_into_an_empty_pointer",
                    [](auto&, auto& a, auto&) {
                      ComPtr<IUnknown> empty;
                      empty = std::move(a);
                      return empty;
                    },
                    0, 2, 1, 0, 0},
        ComMoveCase{"self_move_assignment_keeps_it",
                    [](auto&, auto& a, auto&) {
                      ComPtr<IUnknown>& same = a;
                      a = std::move(same);
                      return ComPtr<IUnknown>();
                    },
                    1, 2, 0, 0, 0},
        ComMoveCase{"reset_releases_once",
                    [](auto&, auto& a, auto&) {
                      a.reset();
                      a.reset();
                      return ComPtr<IUnknown>();
                    },
                    0, 2, 0, 1, 0},
        ComMoveCase{"put_releases_before_it_hands_out_the_slot",
                    [](Objects& objects, auto&, auto& b) {
                      IUnknown** slot = b.put();
                      EXPECT_EQ(objects.second.Releases, 1);
                      objects.first.AddRef();
                      *slot = &objects.first;
                      return ComPtr<IUnknown>();
                    },
                    1, 1, 0, 0, 1}),
    [](const ::testing::TestParamInfo<ComMoveCase>& info) { return std::string(info.param.label); });

TEST(ComApartmentTest, NestsAndUninitialisesAsOftenAsItInitialised) {
  {
    const ComApartment outer;
    ASSERT_TRUE(outer.Initialized());
    const ComApartment inner;
    EXPECT_TRUE(inner.Initialized());
    ComPtr<IShellLinkW> link;
    ASSERT_EQ(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(link.put())),
              S_OK);
    ASSERT_TRUE(link);
    wchar_t self[MAX_PATH] = {};
    ASSERT_NE(::GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    EXPECT_EQ(link->SetPath(self), S_OK);
  }
  // Both apartments are gone: the thread's next CoInitialize is its first again.
  EXPECT_EQ(::CoInitialize(nullptr), S_OK);
  ::CoUninitialize();
}

}  // namespace
}  // namespace zarvo::platform
