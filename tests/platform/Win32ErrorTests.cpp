// A failed call's exception: its code, its call name and the system's text in one UTF-8 line.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <ostream>
#include <string>

#include "platform/Text.h"
#include "platform/Win32Error.h"

namespace zarvo::platform {
namespace {

std::wstring TempPath() {
  wchar_t temp[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH + 1, temp);
  return temp;
}

std::wstring Missing() {
  return TempPath() + L"zarvo-missing-" + std::to_wstring(::GetCurrentProcessId());
}

struct FailingCall {
  const char* label;
  const char* call;
  std::function<bool()> run;  // false when the call failed
  DWORD code;
};

void PrintTo(const FailingCall& c, std::ostream* out) { *out << c.label; }

class ThrowLastErrorTest : public ::testing::TestWithParam<FailingCall> {};

TEST_P(ThrowLastErrorTest, CarriesTheCallTheCodeAndTheSystemText) {
  const FailingCall& c = GetParam();
  try {
    if (!c.run()) ThrowLastError(c.call);
    FAIL() << "the call succeeded";
  } catch (const Win32Error& error) {
    EXPECT_EQ(error.Code(), c.code);
    const std::wstring system = SystemMessage(c.code);
    EXPECT_NE(system, L"unknown error");
    EXPECT_EQ(std::string(error.what()),
              std::string(c.call) + ": " + ToUtf8(system) + " (error " + std::to_string(c.code) +
                  ")");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ThrowLastErrorTest,
    ::testing::Values(
        FailingCall{"missing_file", "CreateFileW",
                    [] {
                      const HANDLE file =
                          ::CreateFileW(Missing().c_str(), GENERIC_READ, 0, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
                      if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
                      return file != INVALID_HANDLE_VALUE;
                    },
                    ERROR_FILE_NOT_FOUND},
        FailingCall{"missing_folder", "CreateFileW",
                    [] {
                      const HANDLE file = ::CreateFileW(
                          (Missing() + L"\\file.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
                      if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
                      return file != INVALID_HANDLE_VALUE;
                    },
                    ERROR_PATH_NOT_FOUND},
        FailingCall{"delete_missing_file", "DeleteFileW",
                    [] { return ::DeleteFileW(Missing().c_str()) != FALSE; },
                    ERROR_FILE_NOT_FOUND},
        FailingCall{"folder_exists", "CreateDirectoryW",
                    [] { return ::CreateDirectoryW(TempPath().c_str(), nullptr) != FALSE; },
                    ERROR_ALREADY_EXISTS}),
    [](const ::testing::TestParamInfo<FailingCall>& info) { return std::string(info.param.label); });

TEST(Win32ErrorTest, KeepsAUtf8CallNameAsItIs) {
  const Win32Error error("CreateFileW(\"C:\\Программы\\Файл 😀.txt\")", ERROR_ACCESS_DENIED);
  EXPECT_EQ(error.Code(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(std::string(error.what()).rfind("CreateFileW(\"C:\\Программы\\Файл 😀.txt\"): ", 0),
            0u)
      << error.what();
  EXPECT_TRUE(std::string(error.what()).ends_with(" (error 5)")) << error.what();
}

// FormatMessageW's own text, untrimmed.
std::wstring RawSystemText(DWORD code) {
  wchar_t buffer[1024] = {};
  const DWORD length =
      ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                       0, buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
  return std::wstring(buffer, length);
}

class SystemMessageTest : public ::testing::TestWithParam<DWORD> {};

TEST_P(SystemMessageTest, IsTheSystemTextWithoutItsLineBreakAndPeriod) {
  const std::wstring raw = RawSystemText(GetParam());
  const std::wstring text = SystemMessage(GetParam());
  ASSERT_FALSE(text.empty());
  ASSERT_LT(text.size(), raw.size()) << "nothing was trimmed from " << ToUtf8(raw);
  EXPECT_EQ(raw.substr(0, text.size()), text);
  EXPECT_EQ(raw.substr(text.size()).find_first_not_of(L"\r\n ."), std::wstring::npos)
      << "more than the end was cut from " << ToUtf8(raw);
  EXPECT_EQ(std::wstring(L"\r\n .").find(text.back()), std::wstring::npos) << ToUtf8(text);
}

INSTANTIATE_TEST_SUITE_P(Codes, SystemMessageTest,
                         ::testing::Values(ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND,
                                           ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION,
                                           ERROR_ALREADY_EXISTS, ERROR_DISK_FULL));

TEST(SystemMessageFallbackTest, SaysUnknownErrorForACodeTheSystemHasNoTextFor) {
  // Bit 29 marks application codes: the system has no text for any of them.
  EXPECT_EQ(SystemMessage(0x2000ABCD), L"unknown error");
  EXPECT_EQ(std::string(Win32Error("Call", 0x2000ABCD).what()),
            "Call: unknown error (error " + std::to_string(0x2000ABCD) + ")");
}

}  // namespace
}  // namespace zarvo::platform
