// The install run's work on the file system: each selected manifest line in order, a file
// written safely into the install folder or a deletion by mask, and what could not be done.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "install/Payload.h"
#include "payload/DateTime.h"

namespace zarvo::install {

// Why a file was not installed or a link not made; the window words it in its language.
enum class TFailureReason {
  MissingEntry,   // the payload has no entry of that name
  DamagedEntry,   // the entry does not inflate to its size
  OutsideFolder,  // the path or mask reaches outside the install folder
  InUse,          // another program holds the file
  AccessDenied,
  DiskFull,
  CannotWrite,    // any other failure; Code says which
  NoShellFolder,  // the user's desktop or start-menu folder is not known
  NoProgram,      // the program a link would open is not installed
  LinkNotSaved,
};

struct TInstallFailure {
  enum class TKind { File, Deletion, Link };
  TKind Kind = TKind::File;
  std::wstring Name;  // the manifest path or mask, or the link's file
  TFailureReason Reason = TFailureReason::CannotWrite;
  DWORD Code = 0;     // the system's error code where there is one
};

using TInstallFailures = std::vector<TInstallFailure>;

struct TLineObserver {
  // Line `index` of `count` is next (the progress bar follows it).
  std::function<void(int Index, int Count)> LineStarted;
  // A file is about to be written: its manifest path (the window shows it and handles its
  // pending messages).
  std::function<void(const std::wstring& Path)> FileStarting;
};

// Processes `lines` in order into `installDir` (which ends with "\"): a line holding "|K|"
// deletes by mask, any other writes the entry its path names. Empty lines and lines with an
// empty path are passed over. Nothing is ever written, deleted or removed outside installDir.
// Returns what failed, in manifest order; a failure never stops the run.
TInstallFailures ProcessLines(TPayload& payload, const std::wstring& installDir,
                              const payload::ManifestLines& lines, const TLineObserver& observer = {});

// Writes the entry `path` to installDir + path: inflated and checked first, written to a
// temporary file beside the target and verified, then put in place of the target, whose
// attributes are cleared; its creation time is the entry's date. On any failure the target is as
// it was and no temporary file stays. Returns the failure, or nothing on success.
std::optional<TInstallFailure> InstallFile(TPayload& payload, const std::wstring& installDir, std::u16string_view path);

// Deletes what `folder` + `mask` matches: files (a read-only one stays), and folders that are
// empty. "." and ".." are never taken; a ".." that names the folder above the install folder is
// reported. Other failures are not.
void DeleteByMask(const std::wstring& folder, std::u16string_view mask, TInstallFailures& failures);

// The date-time's fields taken as they are (no time-zone conversion) as a file time; false for 0
// (no date), before 1601, or for fields that name no moment.
bool DateTimeToFileTime(payload::TDateTime time, FILETIME& fileTime);

// Sets the creation time of the existing file `path` to `time` (fields as they are); the other
// times stay. Does nothing when the file cannot be opened or the time converted.
void SetFileStamp(const std::wstring& path, payload::TDateTime time);

}  // namespace zarvo::install
