// Program entry for now: opens its own payload and shows what it holds, until the setup window
// takes over.
#include <windows.h>

#include <exception>
#include <string>

#include "app/DllSearch.h"
#include "install/LocaleNameComparer.h"
#include "install/PayloadResource.h"
#include "install/WideText.h"
#include "payload/Archive.h"
#include "payload/Manifest.h"
#include "payload/Utf.h"

namespace {

using namespace zarvo;

constexpr wchar_t Title[] = L"Zarvo LITE";

std::wstring DescribePayload() {
  const install::PayloadResource resource;
  payload::ArchiveStream archiveStream(resource.Bytes());
  payload::ArchiveNames archiveContent;
  payload::ArchiveItemList archiveItems;
  payload::LoadArchiveIndex(archiveStream, archiveContent, archiveItems);

  payload::MemoryOutputStream manifest;
  payload::ExtractArchiveItem(archiveStream, archiveContent, archiveItems,
                              install::LocaleNameComparer(), u"list", manifest);
  const payload::ManifestLines fileList = payload::LoadManifestLines(manifest.Remaining());

  std::wstring text;
  for (std::size_t k = 0; k < archiveContent.size(); ++k) {
    text += install::ToWide(archiveContent[k]) + L"\t" + std::to_wstring(archiveItems[k].Size) +
            L"\n";
  }
  text += L"\n" + std::to_wstring(archiveContent.size()) + L" entries, " +
          std::to_wstring(fileList.size()) + L" manifest lines";
  return text;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  zarvo::app::RestrictDllSearchOrder();
  try {
    const std::wstring text = DescribePayload();
    MessageBoxW(nullptr, text.c_str(), Title, MB_OK | MB_ICONINFORMATION);
  } catch (const std::exception& error) {
    const std::wstring text = install::ToWide(payload::Utf8ToUtf16(error.what()));
    MessageBoxW(nullptr, text.c_str(), Title, MB_OK | MB_ICONERROR);
  }
  return 0;
}
