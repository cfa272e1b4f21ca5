// The built setup program carries the packed payload, byte for byte, as "MAIN"/"EXEFILE".
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "install/LocaleNameComparer.h"
#include "install/PayloadResource.h"
#include "payload/Archive.h"
#include "payload/Manifest.h"
#include "platform/Win32Error.h"

namespace zarvo::install {
namespace {

// The build passes host paths; Wine shows the host's root as drive Z:.
std::wstring WindowsPath(std::string_view hostPath) {
  std::wstring path = hostPath.starts_with('/') ? L"Z:" : L"";
  for (const char c : hostPath) path.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(c));
  return path;
}

class DataFileModule {
 public:
  explicit DataFileModule(const std::wstring& path)
      : module_(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
  ~DataFileModule() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  DataFileModule(DataFileModule&& other) noexcept : module_(std::exchange(other.module_, nullptr)) {}
  DataFileModule& operator=(DataFileModule&&) = delete;
  DataFileModule(const DataFileModule&) = delete;
  DataFileModule& operator=(const DataFileModule&) = delete;
  HMODULE Get() const { return module_; }

 private:
  HMODULE module_;
};

std::vector<std::uint8_t> ReadFile(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  EXPECT_TRUE(in.good());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(PayloadResourceTest, SetupCarriesThePackedPayloadByteForByte) {
  const DataFileModule setup(WindowsPath(ZARVO_SETUP_EXE));
  ASSERT_NE(setup.Get(), nullptr) << GetLastError();
  const std::vector<std::uint8_t> packed = ReadFile(WindowsPath(ZARVO_PAYLOAD_FILE));
  ASSERT_FALSE(packed.empty());
  const PayloadResource resource(setup.Get());
  EXPECT_TRUE(std::ranges::equal(resource.Bytes(), packed));
}

TEST(PayloadResourceTest, ItsDirectoryAndManifestReadInPlace) {
  const DataFileModule setup(WindowsPath(ZARVO_SETUP_EXE));
  ASSERT_NE(setup.Get(), nullptr);
  const PayloadResource resource(setup.Get());
  payload::ArchiveStream stream(resource.Bytes());
  payload::ArchiveNames names;
  payload::ArchiveItemList items;
  payload::LoadArchiveIndex(stream, names, items);
  ASSERT_FALSE(names.empty());
  // The directory points into the resource itself: nothing was copied.
  EXPECT_EQ(stream.Bytes().data(), resource.Bytes().data());
  payload::MemoryOutputStream manifest;
  payload::ExtractArchiveItem(stream, names, items, LocaleNameComparer(), u"LIST", manifest);
  EXPECT_FALSE(payload::LoadManifestLines(manifest.Remaining()).empty());
}

TEST(PayloadResourceTest, MissingResourceThrowsWithTheSystemError) {
  const DataFileModule setup(WindowsPath(ZARVO_SETUP_EXE));
  ASSERT_NE(setup.Get(), nullptr);
  try {
    PayloadResource missing(setup.Get(), L"NOPE");
    FAIL() << "no error";
  } catch (const platform::Win32Error& error) {
    EXPECT_EQ(error.Code(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(std::string(error.what()).rfind("FindResourceW: ", 0), 0u) << error.what();
  }
}

}  // namespace
}  // namespace zarvo::install
