// The built setup program carries the packed payload, byte for byte, as "MAIN"/"EXEFILE".
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "install/LocaleNameComparer.h"
#include "install/PayloadResource.h"
#include "payload/Archive.h"
#include "payload/Manifest.h"
#include "platform/Win32Error.h"
#include "tests/support/DataFileModule.h"

namespace zarvo::install {
namespace {

using zarvo::testing::DataFileModule;
using zarvo::testing::WindowsPath;

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
