// Opening the payload: resource, directory, manifest.
#include "install/Payload.h"

#include <exception>
#include <string>

#include "install/LocaleNameComparer.h"
#include "install/PayloadResource.h"

namespace zarvo::install {
namespace {

constexpr char OpenFailure[] = "Cannot open the setup's contents: ";

}  // namespace

MissingManifestError::MissingManifestError()
    : std::runtime_error(std::string(OpenFailure) + "it holds no install manifest (entry \"list\")") {}

void OpenPayload(TPayload& payload, HMODULE module) {
  payload.Opened = false;
  try {
    payload.ArchiveStream = payload::ArchiveStream(PayloadResource(module).Bytes());
    payload.ArchiveContent.clear();
    payload.ArchiveItems.clear();
    payload::LoadArchiveIndex(payload.ArchiveStream, payload.ArchiveContent, payload.ArchiveItems);

    const LocaleNameComparer comparer;
    if (!payload::FindArchiveItem(payload.ArchiveContent, payload.ArchiveItems, comparer, u"list").Found)
      throw MissingManifestError();
    payload::MemoryOutputStream manifest;
    payload::ExtractArchiveItem(payload.ArchiveStream, payload.ArchiveContent, payload.ArchiveItems,
                                comparer, u"list", manifest);
    payload.FileList = payload::LoadManifestLines(manifest.Remaining());
  } catch (const MissingManifestError&) {
    throw;
  } catch (const std::exception& error) {
    throw std::runtime_error(OpenFailure + std::string(error.what()));
  }
  payload.Opened = true;
}

}  // namespace zarvo::install
