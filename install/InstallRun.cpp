// The per-line work of the install run: safe file replacement, deletion by mask, file stamps.
#include "install/InstallRun.h"

#include <atomic>
#include <exception>

#include "install/InstallFolder.h"
#include "install/LocaleNameComparer.h"
#include "payload/Manifest.h"
#include "platform/Handles.h"
#include "platform/Text.h"

namespace zarvo::install {
namespace {

using platform::ToWide;
using TKind = TInstallFailure::TKind;


TFailureReason ReasonFor(DWORD code) {
  switch (code) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
      return TFailureReason::InUse;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return TFailureReason::AccessDenied;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return TFailureReason::DiskFull;
    default:
      return TFailureReason::CannotWrite;
  }
}

TInstallFailure FileFailure(std::u16string_view path, TFailureReason reason, DWORD code = 0) {
  return {TKind::File, ToWide(path), reason, code};
}

// A name beside the target that no other run of this process or another will pick.
std::wstring TemporaryNameBeside(const std::wstring& target) {
  static std::atomic<unsigned> counter{0};
  std::size_t slash = target.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? std::wstring() : target.substr(0, slash + 1);
  return folder + L"~zarvo" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++counter) + L".tmp";
}

// Writes `content` whole to a new file at `path`; the code of the failure, or 0. A file that
// could not be written whole is removed again.
DWORD WriteNewFile(const std::wstring& path, const std::vector<std::uint8_t>& content) {
  DWORD failure = 0;
  {
    platform::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return ::GetLastError();
    DWORD written = 0;
    // One write; its count and then the file's size must both be the content's length.
    if (!content.empty() &&
        !::WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr))
      failure = ::GetLastError();
    else if (written != content.size())
      failure = ERROR_DISK_FULL;
    LARGE_INTEGER size{};
    if (failure == 0 && (!::GetFileSizeEx(file.get(), &size) || size.QuadPart != static_cast<LONGLONG>(content.size())))
      failure = ERROR_DISK_FULL;
  }
  if (failure != 0) ::DeleteFileW(path.c_str());
  return failure;
}

// True when another program has the file open in a way that keeps others out.
bool IsHeldOpen(const std::wstring& path) {
  platform::UniqueFile probe(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return !probe && ::GetLastError() == ERROR_SHARING_VIOLATION;
}

}  // namespace

bool DateTimeToFileTime(payload::TDateTime time, FILETIME& fileTime) {
  // 0 is an entry without a date, not 1899-12-30.
  if (time == 0) return false;
  payload::DateTimeFields fields;
  try {
    fields = payload::DecodeDateTime(time);
  } catch (const std::exception&) {
    return false;
  }
  if (fields.Year < 1601 || fields.Year > 30827) return false;
  SYSTEMTIME system{};
  system.wYear = static_cast<WORD>(fields.Year);
  system.wMonth = static_cast<WORD>(fields.Month);
  system.wDay = static_cast<WORD>(fields.Day);
  system.wHour = static_cast<WORD>(fields.Hour);
  system.wMinute = static_cast<WORD>(fields.Minute);
  system.wSecond = static_cast<WORD>(fields.Second);
  system.wMilliseconds = static_cast<WORD>(fields.Millisecond);
  return ::SystemTimeToFileTime(&system, &fileTime) != FALSE;
}

void SetFileStamp(const std::wstring& path, payload::TDateTime time) {
  platform::UniqueFile file(::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  FILETIME creation;
  if (!DateTimeToFileTime(time, creation)) return;
  ::SetFileTime(file.get(), &creation, nullptr, nullptr);
}

std::optional<TInstallFailure> InstallFile(TPayload& payload, const std::wstring& installDir, std::u16string_view path) {
  if (!payload::UnsafePathProblem(path).empty()) return FileFailure(path, TFailureReason::OutsideFolder);
  const LocaleNameComparer comparer;
  const payload::ArchiveItemLookup entry =
      payload::FindArchiveItem(payload.ArchiveContent, payload.ArchiveItems, comparer, path);
  // A line without its entry would only empty the user's file.
  if (!entry.Found) return FileFailure(path, TFailureReason::MissingEntry);
  std::vector<std::uint8_t> content;
  try {
    content = payload::InflateArchiveItem(payload.ArchiveStream, entry.Item);
  } catch (const std::exception&) {
    return FileFailure(path, TFailureReason::DamagedEntry);
  }

  const std::wstring target = installDir + ToWide(path);
  // A failure here is the file's creation's to report.
  CreateFolders(target.substr(0, target.find_last_of(L"\\/")));
  const std::wstring temporary = TemporaryNameBeside(target);
  if (const DWORD code = WriteNewFile(temporary, content); code != 0)
    return FileFailure(path, ReasonFor(code), code);

  // Read-only, hidden and system would keep the replacement out; they come back if it fails.
  const DWORD oldAttributes = ::GetFileAttributesW(target.c_str());
  if (oldAttributes != INVALID_FILE_ATTRIBUTES && (oldAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
    ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DWORD code = ::GetLastError();
    // A file another program holds open refuses the move as "access denied"; say which it is.
    if (code == ERROR_ACCESS_DENIED && IsHeldOpen(target)) code = ERROR_SHARING_VIOLATION;
    ::DeleteFileW(temporary.c_str());
    if (oldAttributes != INVALID_FILE_ATTRIBUTES && (oldAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
      ::SetFileAttributesW(target.c_str(), oldAttributes);
    return FileFailure(path, ReasonFor(code), code);
  }
  // After the move: a name just replaced may otherwise hand its old creation time on.
  SetFileStamp(target, entry.Item.FDate);
  return std::nullopt;
}

void DeleteByMask(const std::wstring& folder, std::u16string_view mask, TInstallFailures& failures) {
  if (mask.empty()) return;
  if (!payload::UnsafePathProblem(mask).empty()) {
    failures.push_back({TKind::Deletion, ToWide(mask), TFailureReason::OutsideFolder, 0});
    return;
  }
  const std::wstring pattern = folder + ToWide(mask);
  const std::size_t slash = pattern.find_last_of(L"\\/");
  const std::wstring searched = slash == std::wstring::npos ? std::wstring() : pattern.substr(0, slash + 1);
  // The mask's own folder is the install folder itself: its ".." is the folder above.
  const bool atTop = searched.size() == folder.size();
  WIN32_FIND_DATAW found{};
  platform::UniqueFind search(::FindFirstFileW(pattern.c_str(), &found));
  if (!search) return;
  bool reportedParent = false;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") {
      if (name == L".." && atTop && !reportedParent) {
        failures.push_back({TKind::Deletion, ToWide(mask), TFailureReason::OutsideFolder, 0});
        reportedParent = true;
      }
      continue;
    }
    const std::wstring path = searched + name;
    // A link to a folder elsewhere is not followed: removing it removes only the link.
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      ::RemoveDirectoryW(path.c_str());
    else
      ::DeleteFileW(path.c_str());
  } while (::FindNextFileW(search.get(), &found));
}

TInstallFailures ProcessLines(TPayload& payload, const std::wstring& installDir, const payload::ManifestLines& lines,
                              const TLineObserver& observer) {
  TInstallFailures failures;
  const int count = static_cast<int>(lines.size());
  for (int i = 0; i < count; ++i) {
    if (observer.LineStarted) observer.LineStarted(i, count);
    const std::u16string& line = lines[static_cast<std::size_t>(i)];
    const std::u16string_view path = payload::CutManifestLine(line).Path;
    if (path.empty()) continue;
    if (payload::IsDeletionLine(line)) {
      DeleteByMask(installDir, path, failures);
      continue;
    }
    if (observer.FileStarting) observer.FileStarting(ToWide(path));
    if (auto failure = InstallFile(payload, installDir, path)) failures.push_back(std::move(*failure));
  }
  return failures;
}

}  // namespace zarvo::install
