// The install run end to end, as a user starts it: a copy of the built setup carrying a payload of
// the test's own, "/update" and a prepared folder, Enter to install and Enter to close; then the
// folder, the links, the lock file and the closing note are read back.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "payload/DateTime.h"
#include "tests/payload/ArchiveBuilder.h"
#include "tests/process/Driver.h"

namespace zarvo::process {
namespace {

namespace fs = std::filesystem;
using payload::testing::ArchiveBuilder;
using payload::testing::Bytes;

// Inflating and writing a few files is quick; a cold start under Wine is not.
constexpr milliseconds InstallLimit = 60s;

constexpr wchar_t ShellFoldersKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
// Wine writes "Shell Folders" anew from these whenever a program asks the shell for a folder (a
// link's save does), so a scene sets both.
constexpr wchar_t UserShellFoldersKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr wchar_t LinkName[] = L"Zarvo Lite.lnk";

const std::wstring EnglishNote =
    L"Periodically check for updates, it will provide you with the latest version of the program!\r\n\r\n"
    L"To update, get help with work, purchase the program, as well as with suggestions and wishes, please "
    L"visit the program website and e-mail - " ZARVO_SUPPORT_EMAIL;

// The date every entry of the test payloads carries, in local time as the payload keeps it.
const payload::DateTimeFields EntryTime{2021, 6, 15, 10, 20, 30, 0};

std::uint32_t EntryDosTime() { return payload::EncodeDosDateTime(EntryTime); }

// A local moment as the file system's UTC file time.
FILETIME LocalToFileTime(const payload::DateTimeFields& f) {
  SYSTEMTIME local{};
  local.wYear = static_cast<WORD>(f.Year);
  local.wMonth = static_cast<WORD>(f.Month);
  local.wDay = static_cast<WORD>(f.Day);
  local.wHour = static_cast<WORD>(f.Hour);
  local.wMinute = static_cast<WORD>(f.Minute);
  local.wSecond = static_cast<WORD>(f.Second);
  FILETIME localTime{}, utc{};
  EXPECT_TRUE(::SystemTimeToFileTime(&local, &localTime));
  EXPECT_TRUE(::LocalFileTimeToFileTime(&localTime, &utc));
  return utc;
}

std::uint64_t Ticks(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME FromTicks(std::uint64_t ticks) {
  return {static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

constexpr std::uint64_t TicksPerDay = 24ull * 3600 * 10'000'000;

// ---- files

void WriteBytes(const fs::path& path, std::string_view content) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  ASSERT_TRUE(out.good()) << path;
}

std::optional<std::string> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::uint64_t LastWrite(const fs::path& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return Ticks(data.ftLastWriteTime);
}

void SetLastWrite(const fs::path& path, const FILETIME& time) {
  HANDLE file = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  EXPECT_TRUE(::SetFileTime(file, nullptr, nullptr, &time));
  ::CloseHandle(file);
  ASSERT_EQ(LastWrite(path), Ticks(time)) << path;
}

DWORD Attributes(const fs::path& path) { return ::GetFileAttributesW(path.c_str()); }

void SetAttributes(const fs::path& path, DWORD attributes) {
  ASSERT_TRUE(::SetFileAttributesW(path.c_str(), attributes)) << path;
}

// Every "~zarvo*.tmp" under root, at any depth.
std::vector<fs::path> Leftovers(const fs::path& root) {
  std::vector<fs::path> found;
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(root, error); !error && it != fs::recursive_directory_iterator();
       it.increment(error)) {
    std::wstring name = it->path().filename().wstring();
    ::CharLowerBuffW(name.data(), static_cast<DWORD>(name.size()));
    if (name.starts_with(L"~zarvo") && name.ends_with(L".tmp")) found.push_back(it->path());
  }
  return found;
}

// Every file and folder under root, relative, with the folders marked by a trailing "\".
std::vector<std::wstring> Tree(const fs::path& root) {
  std::vector<std::wstring> names;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    names.push_back(fs::relative(entry.path(), root).wstring() + (entry.is_directory() ? L"\\" : L""));
  std::ranges::sort(names);
  return names;
}

// A file this test process holds open without sharing, as another program would.
class HeldFile {
public:
  explicit HeldFile(const fs::path& path)
      : handle_(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {
    EXPECT_NE(handle_, INVALID_HANDLE_VALUE) << path << " " << ::GetLastError();
  }
  ~HeldFile() {
    if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
  }
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;

private:
  HANDLE handle_;
};

// ---- links

struct LinkInfo {
  std::wstring Target, Folder, Icon;
  int IconIndex = -1;
};

std::optional<LinkInfo> ReadLinkOnce(const fs::path& path) {
  if (!fs::is_regular_file(path)) return std::nullopt;
  const HRESULT initialised = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  std::optional<LinkInfo> info;
  IShellLinkW* link = nullptr;
  if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      if (SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
        wchar_t text[MAX_PATH] = {};
        LinkInfo read;
        if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH))) read.Target = text;
        text[0] = L'\0';
        if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH))) read.Folder = text;
        text[0] = L'\0';
        if (SUCCEEDED(link->GetIconLocation(text, MAX_PATH, &read.IconIndex))) read.Icon = text;
        info = read;
      }
      file->Release();
    }
    link->Release();
  }
  if (SUCCEEDED(initialised)) ::CoUninitialize();
  return info;
}

// Wine's desktop window reads the links that appear in the desktop folder; a read that meets it
// fails, so it is tried again for a while.
std::optional<LinkInfo> ReadLink(const fs::path& path) {
  for (int attempt = 0;; ++attempt) {
    if (std::optional<LinkInfo> info = ReadLinkOnce(path)) return info;
    if (attempt == 30) return std::nullopt;
    ::Sleep(100);
  }
}

// The link opens the installed program in the install folder and shows the program's own icon.
void ExpectLinkTo(const fs::path& link, const std::wstring& installDir) {
  SCOPED_TRACE(link.string());
  const std::optional<LinkInfo> info = ReadLink(link);
  ASSERT_TRUE(info.has_value()) << (fs::exists(link) ? "a link that cannot be loaded" : "no link file");
  EXPECT_EQ(info->Target, installDir + L"ZarvoF.exe");
  EXPECT_EQ(info->Folder, installDir);
  EXPECT_EQ(info->Icon, installDir + L"ZarvoF.exe");
  EXPECT_EQ(info->IconIndex, 0);
}

// ---- the setup copy

struct Entry {
  std::string Name;
  std::string Content;
};

// The manifest first, as the packer writes it, then the entries, each dated EntryTime.
Bytes BuildPayload(std::string_view manifest, const std::vector<Entry>& entries) {
  ArchiveBuilder archive;
  archive.Entry("list", manifest);
  for (const Entry& entry : entries) archive.Entry(entry.Name, entry.Content, EntryDosTime());
  return archive.Build();
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found) {
  reinterpret_cast<std::vector<WORD>*>(found)->push_back(language);
  return TRUE;
}

// The languages a module's "MAIN" of type "EXEFILE" is held in.
std::vector<WORD> PayloadLanguages(const fs::path& exe) {
  std::vector<WORD> languages;
  HMODULE module = ::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  EXPECT_NE(module, nullptr) << ::GetLastError();
  if (!module) return languages;
  ::EnumResourceLanguagesW(module, L"EXEFILE", L"MAIN", CollectLanguage, reinterpret_cast<LONG_PTR>(&languages));
  ::FreeLibrary(module);
  return languages;
}

// The built setup copied into `folder` with `payload` in place of its resource "MAIN".
class SetupCopy {
public:
  SetupCopy(const fs::path& folder, const Bytes& payload) : path_(folder / L"ZarvoFRE.exe") {
    fs::create_directories(folder);
    Make(payload);
  }
  std::wstring Path() const { return path_.wstring(); }

private:
  void Make(const Bytes& payload) {
    fs::copy_file(SetupExe(), path_, fs::copy_options::overwrite_existing);
    // windres files the build's payload under US English, not neutral: the same language
    // replaces it, where another would add a second "MAIN".
    const std::vector<WORD> languages = PayloadLanguages(path_);
    ASSERT_EQ(languages.size(), 1u) << "the built setup should hold one payload";
    HANDLE update = ::BeginUpdateResourceW(path_.c_str(), FALSE);
    ASSERT_NE(update, nullptr) << ::GetLastError();
    EXPECT_TRUE(::UpdateResourceW(update, L"EXEFILE", L"MAIN", languages.front(),
                                  const_cast<std::uint8_t*>(payload.data()), static_cast<DWORD>(payload.size())));
    EXPECT_TRUE(::EndUpdateResourceW(update, FALSE)) << ::GetLastError();
    Check(payload, languages.front());
  }

  // The copy holds exactly one "MAIN", and it is the new payload: the build's was replaced, not
  // joined by a second language.
  void Check(const Bytes& payload, WORD language) const {
    EXPECT_EQ(PayloadLanguages(path_), std::vector<WORD>{language});
    HMODULE module = ::LoadLibraryExW(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << ::GetLastError();
    HRSRC found = ::FindResourceW(module, L"MAIN", L"EXEFILE");
    EXPECT_NE(found, nullptr);
    if (found) {
      const auto* bytes = static_cast<const std::uint8_t*>(::LockResource(::LoadResource(module, found)));
      const DWORD size = ::SizeofResource(module, found);
      EXPECT_TRUE(bytes && Bytes(bytes, bytes + size) == payload) << "the copy carries other bytes";
    }
    ::FreeLibrary(module);
  }

  fs::path path_;
};

// ---- the window after the run

BOOL CALLBACK CollectAll(HWND window, LPARAM found) {
  reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  return TRUE;
}

// The closing note: a visible multi-line edit box in GP; null before the run has ended.
HWND ClosingNote(const SetupWindow& setup) {
  std::vector<HWND> children;
  ::EnumChildWindows(setup.GP, CollectAll, reinterpret_cast<LPARAM>(&children));
  for (HWND child : children) {
    if (::GetParent(child) != setup.GP || _wcsicmp(ClassOf(child).c_str(), L"EDIT") != 0) continue;
    if ((::GetWindowLongW(child, GWL_STYLE) & ES_MULTILINE) && ::IsWindowVisible(child)) return child;
  }
  return nullptr;
}

// The window is as before a run: its options shown and no note.
void ExpectReady(SetupProcess& process, const SetupWindow& setup) {
  EXPECT_TRUE(process.Running());
  EXPECT_TRUE(::IsWindowVisible(setup.GP));
  EXPECT_TRUE(::IsWindowVisible(setup.Panel4));
  EXPECT_TRUE(::IsWindowVisible(setup.Panel6));
  EXPECT_TRUE(::IsWindowVisible(setup.Edit1));
  EXPECT_FALSE(::IsWindowVisible(setup.Panel3));
  EXPECT_EQ(ClosingNote(setup), nullptr);
}

HWND KeyTarget(SetupProcess& process, const SetupWindow& setup) {
  HWND focus = process.Focus();
  return focus ? focus : setup.Form;
}

// Enter on the ready window; the note's text once the run has ended, or nothing.
std::optional<std::wstring> InstallWithEnter(SetupProcess& process, const SetupWindow& setup) {
  PostKey(KeyTarget(process, setup), VK_RETURN);
  HWND note = nullptr;
  WaitUntil([&] { return (note = ClosingNote(setup)) != nullptr || !process.Running(); }, InstallLimit);
  if (!note) {
    ADD_FAILURE() << "no closing note; running: " << process.Running() << ", message boxes: "
                  << ::testing::PrintToString(process.MessageBoxTexts());
    return std::nullopt;
  }
  // The options gave their place to the note.
  EXPECT_FALSE(::IsWindowVisible(setup.Panel4));
  EXPECT_FALSE(::IsWindowVisible(setup.Panel6));
  EXPECT_FALSE(::IsWindowVisible(setup.Panel3));
  return TextOf(note);
}

// Enter on the finished window closes it; the exit code.
std::optional<DWORD> CloseWithEnter(SetupProcess& process, const SetupWindow& setup) {
  PostKey(KeyTarget(process, setup), VK_RETURN);
  return process.WaitForExit(ExitLimit);
}

// ---- a scene: a setup copy, a folder to install into, the user's desktop and programs folders

class InstallScene : public ::testing::Test {
protected:
  InstallScene()
      : desktopValue_(HKEY_CURRENT_USER, ShellFoldersKey, L"Desktop"),
        programsValue_(HKEY_CURRENT_USER, ShellFoldersKey, L"Programs"),
        userDesktopValue_(HKEY_CURRENT_USER, UserShellFoldersKey, L"Desktop"),
        userProgramsValue_(HKEY_CURRENT_USER, UserShellFoldersKey, L"Programs") {}

  void SetUp() override {
    fs::create_directories(Temp());
    fs::create_directories(Desktop());
    fs::create_directories(Programs());
    fs::create_directories(Parent());
    userDesktopValue_.SetText(Desktop().wstring());
    userProgramsValue_.SetText(Programs().wstring());
    desktopValue_.SetText(Desktop().wstring());
    programsValue_.SetText(Programs().wstring());
  }
  void TearDown() override {
    // Read-only files would keep the folder from being removed.
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(root_.Path(), error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error))
      ::SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
  }

  fs::path Temp() const { return root_.Path() / L"temp"; }
  fs::path Desktop() const { return root_.Path() / L"desktop"; }
  fs::path Programs() const { return root_.Path() / L"programs"; }
  fs::path Parent() const { return root_.Path() / L"parent"; }
  fs::path Install() const { return Parent() / L"Zarvo"; }
  // As the setup names it: the folder box's text with its trailing backslash.
  std::wstring InstallDir() const { return Install().wstring() + L"\\"; }

  SetupProcess Start(const SetupCopy& setup, const std::wstring& folder) {
    return SetupProcess(L"/update " + Quoted(folder), Temp(), setup.Path());
  }

  void ExpectLockFileLeftEmpty() {
    const fs::path lock = Temp() / L"zarvo.tmp";
    ASSERT_TRUE(fs::is_regular_file(lock));
    EXPECT_EQ(fs::file_size(lock), 0u);
  }

  void ExpectBothLinks() {
    ExpectLinkTo(Desktop() / LinkName, InstallDir());
    ExpectLinkTo(Programs() / LinkName, InstallDir());
  }

  TemporaryFolder root_;
  SavedRegistryValue desktopValue_, programsValue_;
  SavedRegistryValue userDesktopValue_, userProgramsValue_;
};

// ---- the whole run over a prepared folder

constexpr char MainManifest[] =
    "ZarvoF.exe||#|Program\r\n"
    "docs\\en\\readme.txt||#|Read-me in a folder that does not exist yet\r\n"
    "cfg\\user.ini|O|#|User settings\r\n"
    "data\\readonly.dat||#|Read-only and hidden in the folder\r\n"
    "data\\current.dat||#|Up to date in the folder\r\n"
    "data\\older.dat||#|Same size, older\r\n"
    "data\\resized.dat||#|Newer, of another size\r\n"
    "bin\\lite.dll|F|#|LITE module, held open\r\n"
    "bin\\pro.dll|P|#|PRO module\r\n"
    "cache\\*.tmp|K|\r\n"
    "old\\*|K|\r\n"
    "*.bak|K|\r\n";

const std::vector<Entry> MainEntries = {
    {"ZarvoF.exe", "MZ the program"},
    {"docs\\en\\readme.txt", "Read me, please.\r\n"},
    {"cfg\\user.ini", "[settings]\r\nfresh=1\r\n"},
    {"data\\readonly.dat", "fresh read-only content"},
    {"data\\current.dat", "CURRENT-NEW!"},
    {"data\\older.dat", "OLDER-NEW!!"},
    {"data\\resized.dat", "resized to a longer content"},
    {"bin\\lite.dll", "fresh lite module"},
    {"bin\\pro.dll", "pro module"},
};

std::string EntryContent(std::string_view name) {
  for (const Entry& entry : MainEntries)
    if (entry.Name == name) return entry.Content;
  ADD_FAILURE() << "no entry " << name;
  return {};
}

// What the folder holds before the run: each kind of file the run treats differently.
struct MainFolder {
  std::uint64_t CurrentTime = 0;

  void Prepare(const fs::path& install, const fs::path& parent) {
    WriteBytes(install / "cfg/user.ini", "my own settings");
    WriteBytes(install / "data/readonly.dat", "old ro");
    SetAttributes(install / "data/readonly.dat", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    // Same size as its entry and the entry's time: the selection passes it over.
    WriteBytes(install / "data/current.dat", "CURRENT-OLD!");
    SetLastWrite(install / "data/current.dat", LocalToFileTime(EntryTime));
    CurrentTime = LastWrite(install / "data/current.dat");
    WriteBytes(install / "data/older.dat", "OLDER-OLD!!");
    SetLastWrite(install / "data/older.dat", FromTicks(Ticks(LocalToFileTime(EntryTime)) - TicksPerDay));
    WriteBytes(install / "data/resized.dat", "short");
    WriteBytes(install / "bin/lite.dll", "the old lite module");
    WriteBytes(install / "cache/a.tmp", "a");
    WriteBytes(install / "cache/B.TMP", "b");
    WriteBytes(install / "cache/keep.txt", "kept");
    WriteBytes(install / "old/x.dat", "x");
    fs::create_directories(install / "old/empty");
    WriteBytes(install / "old/full/inner.txt", "inner");
    WriteBytes(install / "old/ro.dat", "read-only stays");
    SetAttributes(install / "old/ro.dat", FILE_ATTRIBUTE_READONLY);
    WriteBytes(install / "top.bak", "backup");
    WriteBytes(install / "keep.txt", "kept");
    // Beside the install folder: no mask reaches it.
    WriteBytes(parent / "outside.bak", "outside");
  }
};

constexpr DWORD Unwanted = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// The held-open file's line as the note words it.
std::wstring HeldFileLines() {
  return L"\r\n\r\nFiles not installed:\r\nbin\\lite.dll - in use by another program";
}

class MainRun : public InstallScene, public ::testing::WithParamInterface<bool> {};

TEST_P(MainRun, InstallsWhatTheSelectionKeepsAndListsOnlyTheHeldFile) {
  const bool forced = GetParam();
  SetupCopy copy(root_.Path() / L"exe", BuildPayload(MainManifest, MainEntries));
  MainFolder folder;
  ASSERT_NO_FATAL_FAILURE(folder.Prepare(Install(), Parent()));
  auto held = std::make_unique<HeldFile>(Install() / "bin/lite.dll");

  SetupProcess process = Start(copy, InstallDir());
  SetupWindow setup;
  ASSERT_NO_FATAL_FAILURE(StartAndFind(process, setup));
  ASSERT_EQ(TextOf(setup.Edit1), InstallDir());
  if (forced) {
    for (int i = 0; i < 3; ++i) PostKey(KeyTarget(process, setup), VK_TAB);
    ASSERT_TRUE(process.WaitForFocus(setup.cbForce)) << "focus is on " << Describe(process.Focus());
    // The box ticks on a click of the mouse; space does not tick it (see the report).
    ::PostMessageW(setup.cbForce, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::PostMessageW(setup.cbForce, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    PumpFor(300ms);
  }
  const std::optional<std::wstring> note = InstallWithEnter(process, setup);
  ASSERT_TRUE(note.has_value());
  EXPECT_EQ(*note, EnglishNote + HeldFileLines());
  EXPECT_EQ(CloseWithEnter(process, setup), std::optional<DWORD>(0));
  held.reset();

  const fs::path& d = Install();
  EXPECT_EQ(ReadBytes(d / "ZarvoF.exe"), EntryContent("ZarvoF.exe"));
  EXPECT_EQ(ReadBytes(d / "docs/en/readme.txt"), EntryContent("docs\\en\\readme.txt"));
  EXPECT_EQ(ReadBytes(d / "cfg/user.ini"), forced ? EntryContent("cfg\\user.ini") : "my own settings");
  EXPECT_EQ(ReadBytes(d / "data/readonly.dat"), EntryContent("data\\readonly.dat"));
  EXPECT_EQ(Attributes(d / "data/readonly.dat") & Unwanted, 0u);
  if (forced) {
    EXPECT_EQ(ReadBytes(d / "data/current.dat"), EntryContent("data\\current.dat"));
  } else {
    EXPECT_EQ(ReadBytes(d / "data/current.dat"), "CURRENT-OLD!");
    EXPECT_EQ(LastWrite(d / "data/current.dat"), folder.CurrentTime);
  }
  EXPECT_EQ(ReadBytes(d / "data/older.dat"), EntryContent("data\\older.dat"));
  EXPECT_EQ(ReadBytes(d / "data/resized.dat"), EntryContent("data\\resized.dat"));
  EXPECT_EQ(ReadBytes(d / "bin/lite.dll"), "the old lite module");
  EXPECT_FALSE(fs::exists(d / "bin/pro.dll"));
  // The masks took what they match inside the folder; a read-only file and a full folder stay.
  const std::vector<std::wstring> tree = Tree(d);
  const std::vector<std::wstring> expected = {
      L"ZarvoF.exe",        L"bin\\",           L"bin\\lite.dll",      L"cache\\",
      L"cache\\keep.txt",   L"cfg\\",           L"cfg\\user.ini",      L"data\\",
      L"data\\current.dat", L"data\\older.dat", L"data\\readonly.dat", L"data\\resized.dat",
      L"docs\\",            L"docs\\en\\",      L"docs\\en\\readme.txt", L"keep.txt",
      L"old\\",             L"old\\full\\",     L"old\\full\\inner.txt", L"old\\ro.dat"};
  EXPECT_EQ(tree, expected);
  EXPECT_EQ(ReadBytes(Parent() / "outside.bak"), "outside");
  EXPECT_EQ(Leftovers(root_.Path()), std::vector<fs::path>{});
  ExpectBothLinks();
  ExpectLockFileLeftEmpty();
}

INSTANTIATE_TEST_SUITE_P(ForcedBox, MainRun, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Ticked" : "Clear"; });

TEST_F(InstallScene, TheSecondRunOfTheSamePayloadRewritesOnlyWhatChanged) {
  SetupCopy copy(root_.Path() / L"exe", BuildPayload(MainManifest, MainEntries));
  MainFolder folder;
  ASSERT_NO_FATAL_FAILURE(folder.Prepare(Install(), Parent()));
  auto run = [&] {
    SetupProcess process = Start(copy, InstallDir());
    SetupWindow setup;
    ASSERT_NO_FATAL_FAILURE(StartAndFind(process, setup));
    const std::optional<std::wstring> note = InstallWithEnter(process, setup);
    ASSERT_TRUE(note.has_value());
    EXPECT_EQ(*note, EnglishNote);
    EXPECT_EQ(CloseWithEnter(process, setup), std::optional<DWORD>(0));
  };
  ASSERT_NO_FATAL_FAILURE(run());
  EXPECT_EQ(ReadBytes(Install() / "bin/lite.dll"), EntryContent("bin\\lite.dll"));
  std::map<std::wstring, std::uint64_t> times;
  for (const std::wstring& name : Tree(Install()))
    if (!name.ends_with(L"\\")) times[name] = LastWrite(Install() / name);
  // Changed by the user between the runs: another size.
  WriteBytes(Install() / "docs/en/readme.txt", "changed");
  const std::uint64_t changedAt = LastWrite(Install() / "docs/en/readme.txt");
  times.erase(L"docs\\en\\readme.txt");
  // A rewrite would carry a later time than any of the first run's.
  PumpFor(1500ms);

  ASSERT_NO_FATAL_FAILURE(run());
  EXPECT_EQ(ReadBytes(Install() / "docs/en/readme.txt"), EntryContent("docs\\en\\readme.txt"));
  EXPECT_GT(LastWrite(Install() / "docs/en/readme.txt"), changedAt);
  for (const auto& [name, time] : times) EXPECT_EQ(LastWrite(Install() / name), time) << name;
  EXPECT_EQ(ReadBytes(Install() / "cfg/user.ini"), "my own settings");
  EXPECT_EQ(Leftovers(root_.Path()), std::vector<fs::path>{});
  ExpectBothLinks();
  ExpectLockFileLeftEmpty();
}

// ---- faults the run must survive, each with its own folder

struct FaultCase {
  const char* Name;
  std::string Manifest;
  std::function<void(ArchiveBuilder&)> Entries;
  // Prepares the folder; the result keeps files held open until the run has ended.
  std::function<std::vector<std::unique_ptr<HeldFile>>(InstallScene&)> Prepare;
  std::wstring Failures;  // what the note adds after its usual text
  std::function<void(InstallScene&)> Check;
};
void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.Name; }

class Fault : public InstallScene, public ::testing::WithParamInterface<FaultCase> {
public:
  // The scene's folders for the table's functions.
  using InstallScene::Desktop;
  using InstallScene::Install;
  using InstallScene::InstallDir;
  using InstallScene::Parent;
  using InstallScene::Programs;
  SavedRegistryValue& DesktopValue() { return desktopValue_; }
  SavedRegistryValue& ProgramsValue() { return programsValue_; }
};

Fault& AsFault(InstallScene& scene) { return static_cast<Fault&>(scene); }

void AddProgram(ArchiveBuilder& archive) { archive.Entry("ZarvoF.exe", "MZ the program", EntryDosTime()); }

TEST_P(Fault, IsListedAndLeavesEverythingElseDone) {
  const FaultCase& c = GetParam();
  ArchiveBuilder archive;
  archive.Entry("list", c.Manifest);
  c.Entries(archive);
  SetupCopy copy(root_.Path() / L"exe", archive.Build());
  fs::create_directories(Install());
  std::vector<std::unique_ptr<HeldFile>> held = c.Prepare(*this);
  ASSERT_FALSE(HasFatalFailure());

  SetupProcess process = Start(copy, InstallDir());
  SetupWindow setup;
  ASSERT_NO_FATAL_FAILURE(StartAndFind(process, setup));
  const std::optional<std::wstring> note = InstallWithEnter(process, setup);
  ASSERT_TRUE(note.has_value());
  EXPECT_EQ(*note, EnglishNote + c.Failures);
  EXPECT_EQ(CloseWithEnter(process, setup), std::optional<DWORD>(0));
  held.clear();

  EXPECT_EQ(ReadBytes(Install() / "ZarvoF.exe"), "MZ the program");
  EXPECT_EQ(Leftovers(root_.Path()), std::vector<fs::path>{});
  ExpectLockFileLeftEmpty();
  c.Check(*this);
}

const FaultCase FaultCases[] = {
    {"DamagedEntryOverAFile",
     "data\\damaged.bin||#|Damaged\r\nZarvoF.exe||#|Program\r\ndata\\after.txt||#|After it\r\n",
     [](ArchiveBuilder& archive) {
       // A zlib header and then bytes that inflate to nothing of the size it claims.
       const Bytes junk = {0x78, 0x9C, 0xFF, 0xEE, 0xDD, 0xCC, 0xBB, 0xAA, 0x99, 0x88};
       archive.Raw("data\\damaged.bin", 64, EntryDosTime(), static_cast<std::int32_t>(junk.size()), junk);
       AddProgram(archive);
       archive.Entry("data\\after.txt", "after", EntryDosTime());
     },
     [](InstallScene& scene) {
       WriteBytes(AsFault(scene).Install() / "data/damaged.bin", "the user's old file");
       return std::vector<std::unique_ptr<HeldFile>>{};
     },
     L"\r\n\r\nFiles not installed:\r\ndata\\damaged.bin - damaged in the setup",
     [](InstallScene& scene) {
       const fs::path d = AsFault(scene).Install();
       EXPECT_EQ(ReadBytes(d / "data/damaged.bin"), "the user's old file");
       EXPECT_EQ(ReadBytes(d / "data/after.txt"), "after");
     }},
    {"TargetHeldOpen", "ZarvoF.exe||#|Program\r\nbin\\lite.dll||#|Held\r\nbin\\next.dll||#|After it\r\n",
     [](ArchiveBuilder& archive) {
       AddProgram(archive);
       archive.Entry("bin\\lite.dll", "fresh lite module", EntryDosTime());
       archive.Entry("bin\\next.dll", "next", EntryDosTime());
     },
     [](InstallScene& scene) {
       const fs::path target = AsFault(scene).Install() / "bin/lite.dll";
       WriteBytes(target, "held old content");
       std::vector<std::unique_ptr<HeldFile>> held;
       held.push_back(std::make_unique<HeldFile>(target));
       return held;
     },
     L"\r\n\r\nFiles not installed:\r\nbin\\lite.dll - in use by another program",
     [](InstallScene& scene) {
       const fs::path d = AsFault(scene).Install();
       EXPECT_EQ(ReadBytes(d / "bin/lite.dll"), "held old content");
       EXPECT_EQ(ReadBytes(d / "bin/next.dll"), "next");
     }},
    {"PathsWithDotDot",
     "..\\escaped.txt||#|Above\r\nsub\\..\\..\\escaped2.txt||#|Above through a folder\r\n"
     "..\\*.txt|K|\r\nZarvoF.exe||#|Program\r\n",
     [](ArchiveBuilder& archive) {
       archive.Entry("..\\escaped.txt", "escaped", EntryDosTime());
       archive.Entry("sub\\..\\..\\escaped2.txt", "escaped", EntryDosTime());
       AddProgram(archive);
     },
     [](InstallScene& scene) {
       WriteBytes(AsFault(scene).Parent() / "victim.txt", "victim");
       return std::vector<std::unique_ptr<HeldFile>>{};
     },
     L"\r\n\r\nFiles not installed:\r\n..\\escaped.txt - outside the install folder\r\n"
     L"sub\\..\\..\\escaped2.txt - outside the install folder"
     L"\r\n\r\nDeletions refused:\r\n..\\*.txt - outside the install folder",
     [](InstallScene& scene) {
       Fault& f = AsFault(scene);
       EXPECT_EQ(Tree(f.Parent()), (std::vector<std::wstring>{L"Zarvo\\", L"Zarvo\\ZarvoF.exe", L"victim.txt"}));
       EXPECT_EQ(ReadBytes(f.Parent() / "victim.txt"), "victim");
     }},
    {"TopLevelWildcard", "*|K|\r\nZarvoF.exe||#|Program\r\n", [](ArchiveBuilder& archive) { AddProgram(archive); },
     [](InstallScene& scene) {
       Fault& f = AsFault(scene);
       WriteBytes(f.Install() / "stale.txt", "stale");
       fs::create_directories(f.Install() / "empty");
       WriteBytes(f.Parent() / "outside.txt", "outside");
       return std::vector<std::unique_ptr<HeldFile>>{};
     },
     L"\r\n\r\nDeletions refused:\r\n* - outside the install folder",
     [](InstallScene& scene) {
       Fault& f = AsFault(scene);
       EXPECT_EQ(Tree(f.Parent()), (std::vector<std::wstring>{L"Zarvo\\", L"Zarvo\\ZarvoF.exe", L"outside.txt"}));
     }},
    {"DesktopValueOfTheWrongType", "ZarvoF.exe||#|Program\r\n", [](ArchiveBuilder& archive) { AddProgram(archive); },
     [](InstallScene& scene) {
       AsFault(scene).DesktopValue().SetNumber(1);
       return std::vector<std::unique_ptr<HeldFile>>{};
     },
     L"\r\n\r\nLinks not made:\r\nZarvo Lite.lnk - the user's folder is unknown",
     [](InstallScene& scene) {
       Fault& f = AsFault(scene);
       EXPECT_TRUE(fs::is_empty(f.Desktop()));
       ExpectLinkTo(f.Programs() / LinkName, f.InstallDir());
     }},
    {"ProgramsValueOfTheWrongType", "ZarvoF.exe||#|Program\r\n", [](ArchiveBuilder& archive) { AddProgram(archive); },
     [](InstallScene& scene) {
       AsFault(scene).ProgramsValue().SetNumber(1);
       return std::vector<std::unique_ptr<HeldFile>>{};
     },
     L"\r\n\r\nLinks not made:\r\nZarvo Lite.lnk - the user's folder is unknown",
     [](InstallScene& scene) {
       Fault& f = AsFault(scene);
       EXPECT_TRUE(fs::is_empty(f.Programs()));
       ExpectLinkTo(f.Desktop() / LinkName, f.InstallDir());
     }},
};

INSTANTIATE_TEST_SUITE_P(Mended, Fault, ::testing::ValuesIn(FaultCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// ---- the folder box

// A drive letter this prefix does not have.
std::wstring MissingDrive() {
  const DWORD drives = ::GetLogicalDrives();
  for (wchar_t letter = L'Q'; letter <= L'Y'; ++letter)
    if (!(drives & (1u << (letter - L'A')))) return std::wstring(1, letter) + L":";
  return L"";
}

struct FolderBoxCase {
  const char* Name;
  std::wstring (*Text)(InstallScene& scene);
};
void PrintTo(const FolderBoxCase& c, std::ostream* out) { *out << c.Name; }

class WrongFolderBox : public InstallScene, public ::testing::WithParamInterface<FolderBoxCase> {
public:
  using InstallScene::Parent;
};

WrongFolderBox& AsBox(InstallScene& scene) { return static_cast<WrongFolderBox&>(scene); }

constexpr char SmallManifest[] = "ZarvoF.exe||#|Program\r\ndocs\\readme.txt||#|Read me\r\n";
const std::vector<Entry> SmallEntries = {{"ZarvoF.exe", "MZ the program"}, {"docs\\readme.txt", "read me"}};

TEST_P(WrongFolderBox, ShowsTheMessageAndTheWindowStaysReadyToInstall) {
  const FolderBoxCase& c = GetParam();
  WriteBytes(Parent() / "blocker", "a file where a folder would be");
  const std::wstring text = c.Text(*this);
  SetupCopy copy(root_.Path() / L"exe", BuildPayload(SmallManifest, SmallEntries));
  SetupProcess process(L"/update " + Quoted(L"placeholder"), Temp(), copy.Path());
  SetupWindow setup;
  ASSERT_NO_FATAL_FAILURE(StartAndFind(process, setup));
  const std::vector<std::wstring> before = Tree(root_.Path());
  ::SendMessageW(setup.Edit1, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  ASSERT_EQ(TextOf(setup.Edit1), text);

  PostKey(KeyTarget(process, setup), VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return process.VisibleMessageBox() != nullptr; }, ReactionLimit));
  EXPECT_EQ(process.MessageBoxTexts(), std::vector<std::wstring>{WrongFolderText});
  ::PostMessageW(process.VisibleMessageBox(), WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return process.VisibleMessageBox() == nullptr; }, ReactionLimit));
  EXPECT_TRUE(process.WaitForFocus(setup.Edit1)) << "focus is on " << Describe(process.Focus());
  ExpectReady(process, setup);
  EXPECT_EQ(Tree(root_.Path()), before);

  // Still ready: a good folder in the same box installs.
  const std::wstring good = InstallDir();
  ::SendMessageW(setup.Edit1, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(good.c_str()));
  const std::optional<std::wstring> note = InstallWithEnter(process, setup);
  ASSERT_TRUE(note.has_value());
  EXPECT_EQ(*note, EnglishNote);
  EXPECT_EQ(CloseWithEnter(process, setup), std::optional<DWORD>(0));
  EXPECT_EQ(ReadBytes(Install() / "docs/readme.txt"), "read me");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, WrongFolderBox,
    ::testing::Values(FolderBoxCase{"Empty", [](InstallScene&) { return std::wstring(); }},
                      FolderBoxCase{"Relative", [](InstallScene&) { return std::wstring(L"made\\here\\"); }},
                      FolderBoxCase{"UnderAFile",
                                    [](InstallScene& scene) {
                                      return (AsBox(scene).Parent() / L"blocker" / L"sub").wstring() + L"\\";
                                    }},
                      FolderBoxCase{"OnAMissingDrive",
                                    [](InstallScene&) {
                                      const std::wstring drive = MissingDrive();
                                      EXPECT_FALSE(drive.empty()) << "every drive letter is taken";
                                      return drive + L"\\Zarvo\\";
                                    }}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(InstallScene, AFolderSeveralLevelsDeepIsMadeAndInstalled) {
  SetupCopy copy(root_.Path() / L"exe", BuildPayload(SmallManifest, SmallEntries));
  const fs::path deep = Parent() / L"one" / L"two" / L"three" / L"Zarvo";
  ASSERT_FALSE(fs::exists(Parent() / L"one"));
  SetupProcess process = Start(copy, deep.wstring() + L"\\");
  SetupWindow setup;
  ASSERT_NO_FATAL_FAILURE(StartAndFind(process, setup));
  const std::optional<std::wstring> note = InstallWithEnter(process, setup);
  ASSERT_TRUE(note.has_value());
  EXPECT_EQ(*note, EnglishNote);
  EXPECT_EQ(CloseWithEnter(process, setup), std::optional<DWORD>(0));
  EXPECT_EQ(Tree(deep), (std::vector<std::wstring>{L"ZarvoF.exe", L"docs\\", L"docs\\readme.txt"}));
  EXPECT_EQ(ReadBytes(deep / "docs/readme.txt"), "read me");
  ExpectLinkTo(Desktop() / LinkName, deep.wstring() + L"\\");
}

// ---- a full disk: a drive of 1 MB the full-disk wrapper mounts and names

class FullDisk : public InstallScene {};

TEST_F(FullDisk, AFileTooLargeForTheDriveLeavesTheOldOneAndNoTemporaryFile) {
  const char* drive = std::getenv("ZARVO_FULL_DISK_DRIVE");
  if (!drive || !*drive) GTEST_SKIP() << "no small drive: run through tests/process/full-disk-test.sh as root";
  const fs::path install = fs::path(std::wstring(drive, drive + std::strlen(drive)) + L"\\Zarvo");
  std::error_code ignored;
  fs::remove_all(install, ignored);
  const std::string old(10'000, 'o');
  ASSERT_NO_FATAL_FAILURE(WriteBytes(install / "big.bin", old));
  // Not much to compress away; the payload stays small while the file is 3 MB.
  std::string big(3u << 20, '\0');
  std::uint32_t state = 12345;
  for (char& c : big) c = static_cast<char>((state = state * 1103515245u + 12345u) >> 24);
  SetupCopy copy(root_.Path() / L"exe",
                 BuildPayload("ZarvoF.exe||#|Program\r\nbig.bin||#|Too large\r\nsmall.txt||#|After it\r\n",
                              {{"ZarvoF.exe", "MZ the program"}, {"big.bin", big}, {"small.txt", "small"}}));

  SetupProcess process = Start(copy, install.wstring() + L"\\");
  SetupWindow setup;
  ASSERT_NO_FATAL_FAILURE(StartAndFind(process, setup));
  const std::optional<std::wstring> note = InstallWithEnter(process, setup);
  ASSERT_TRUE(note.has_value());
  EXPECT_EQ(*note, EnglishNote + L"\r\n\r\nFiles not installed:\r\nbig.bin - disk full");
  EXPECT_EQ(CloseWithEnter(process, setup), std::optional<DWORD>(0));
  EXPECT_EQ(ReadBytes(install / "big.bin"), old);
  EXPECT_EQ(ReadBytes(install / "small.txt"), "small");
  EXPECT_EQ(Tree(install), (std::vector<std::wstring>{L"ZarvoF.exe", L"big.bin", L"small.txt"}));
  fs::remove_all(install, ignored);
}

}  // namespace
}  // namespace zarvo::process
