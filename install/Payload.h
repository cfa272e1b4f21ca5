// The setup's payload as the setup window holds it: the archive read in place from the program's
// resource, its directory and the install manifest.
#pragma once

#include <windows.h>

#include <stdexcept>

#include "payload/Archive.h"
#include "payload/Manifest.h"

namespace zarvo::install {

// The payload holds no entry "list": there is nothing it could install.
class MissingManifestError : public std::runtime_error {
 public:
  MissingManifestError();
};

struct TPayload {
  payload::ArchiveStream ArchiveStream;
  payload::ArchiveNames ArchiveContent;
  payload::ArchiveItemList ArchiveItems;
  payload::ManifestLines FileList;
  // The manifest has been loaded; false until the opening has run to its end.
  bool Opened = false;
};

// Opens the resource "MAIN" of type "EXEFILE" of `module` (nullptr: the program's own), reads its
// directory and loads the manifest "list" into FileList. A missing resource, a malformed archive,
// a manifest that does not inflate or a payload without one throws std::runtime_error (or
// MissingManifestError) whose text is "Cannot open the setup's contents: " and the reason; what
// was built before the failing step stays.
void OpenPayload(TPayload& payload, HMODULE module = nullptr);

}  // namespace zarvo::install
