// Driving the built setup program from outside its process: its windows read across processes,
// keys posted to it, a temporary folder of its own for each run, and registry values put back.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cwchar>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>


namespace zarvo::process {


using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A cold start under Wine can take seconds; these are limits, not expected times.
inline constexpr milliseconds WindowLimit = 20s;
inline constexpr milliseconds ReactionLimit = 5s;
inline constexpr milliseconds ExitLimit = 15s;

inline constexpr wchar_t DefaultFolder[] = L"C:\\!ZarvoNew\\";
inline constexpr wchar_t WrongFolderText[] = L"Не правильно имя папки!";

// The build passes host paths; Wine shows the host's root as drive Z:.
inline std::wstring WindowsPath(std::string_view hostPath) {
  std::wstring path = hostPath.starts_with('/') ? L"Z:" : L"";
  for (const char c : hostPath) path.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(c));
  return path;
}

inline const std::wstring& SetupExe() {
  static const std::wstring path = WindowsPath(ZARVO_SETUP_EXE);
  return path;
}

// One argument as CommandLineToArgvW reads it back: backslashes double only before a quote.
inline std::wstring Quoted(const std::wstring& argument) {
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"') backslashes = backslashes * 2 + 1;
    quoted.append(backslashes, L'\\');
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(backslashes * 2, L'\\');
  quoted.push_back(L'"');
  return quoted;
}

// Messages of this thread's own windows keep flowing while a test waits: another process that
// activates a window sends to the one it deactivates and would block on a thread that sleeps.
inline void PumpMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

inline bool WaitUntil(const std::function<bool()>& ready, milliseconds limit) {
  const auto end = Clock::now() + limit;
  for (;;) {
    PumpMessages();
    if (ready()) return true;
    if (Clock::now() >= end) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

inline void PumpFor(milliseconds time) { WaitUntil([] { return false; }, time); }

inline std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  ::GetClassNameW(window, name, 256);
  return name;
}

// The text as the window's own procedure reports it.
inline std::wstring TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return L"<no answer>";
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, 5000, &copied))
    return L"<no answer>";
  text.resize(copied);
  return text;
}

// A window in a failure message: its class and text.
inline std::string Describe(HWND window) {
  if (!window) return "no window";
  return ::testing::PrintToString(ClassOf(window) + L" \"" + TextOf(window) + L"\"");
}

inline DWORD ProcessOf(HWND window) {
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  return process;
}

inline BOOL CALLBACK CollectWindow(HWND window, LPARAM found) {
  reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  return TRUE;
}

inline std::vector<HWND> TopLevelWindows(DWORD process, std::wstring_view className) {
  std::vector<HWND> windows;
  ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
  std::erase_if(windows, [&](HWND window) {
    return ProcessOf(window) != process || (!className.empty() && ClassOf(window) != className);
  });
  return windows;
}

inline std::vector<HWND> VisibleTopLevelWindows(DWORD process) {
  std::vector<HWND> windows = TopLevelWindows(process, L"");
  std::erase_if(windows, [](HWND window) { return !::IsWindowVisible(window); });
  return windows;
}

// Children whose parent is `parent` itself, in the system's order.
inline std::vector<HWND> DirectChildren(HWND parent, std::wstring_view className) {
  std::vector<HWND> windows;
  ::EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&windows));
  std::erase_if(windows, [&](HWND window) { return ::GetParent(window) != parent || ClassOf(window) != className; });
  return windows;
}

struct Box {
  int Left, Top, Width, Height;
  bool operator==(const Box&) const = default;
};

inline void PrintTo(const Box& box, std::ostream* out) {
  *out << "{" << box.Left << ", " << box.Top << ", " << box.Width << ", " << box.Height << "}";
}

// Where the window lies in its parent's client area.
inline Box BoxInParent(HWND window) {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

inline void PostKey(HWND window, WORD key) {
  const LPARAM scan = static_cast<LPARAM>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
  ::PostMessageW(window, WM_KEYDOWN, key, scan | 1);
  ::PostMessageW(window, WM_KEYUP, key, scan | 1 | 0xC0000000);
}

// A fresh folder under this program's own temporary folder, removed with its contents at the end.
class TemporaryFolder {
public:
  TemporaryFolder() {
    static int made = 0;
    wchar_t base[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, base);
    path_ = std::filesystem::path(base) /
            (L"zarvo-process-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++made));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path LockFile() const { return path_ / L"zarvo.tmp"; }

private:
  std::filesystem::path path_;
};

// This environment with TMP and TEMP replaced, as a block for CreateProcessW.
inline std::wstring EnvironmentWithTemp(const std::wstring& temp) {
  std::wstring block;
  wchar_t* strings = ::GetEnvironmentStringsW();
  for (const wchar_t* entry = strings; *entry; entry += std::wcslen(entry) + 1) {
    // A name may start with "=" (the per-drive folders), so the separator is searched after it.
    const std::wstring_view text(entry);
    std::wstring name(text.substr(0, text.find(L'=', 1)));
    ::CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
    if (name == L"TMP" || name == L"TEMP") continue;
    block.append(text).push_back(L'\0');
  }
  ::FreeEnvironmentStringsW(strings);
  for (const wchar_t* name : {L"TMP=", L"TEMP="}) block.append(name).append(temp).push_back(L'\0');
  block.push_back(L'\0');
  return block;
}

// One run of the setup program; a run the test has not ended is terminated with it.
class SetupProcess {
public:
  // `exe` is the built setup unless a test runs a copy of it.
  SetupProcess(const std::wstring& arguments, const std::filesystem::path& temp, const std::wstring& exe = SetupExe()) {
    std::wstring commandLine = Quoted(exe) + L" " + arguments;
    std::wstring environment = EnvironmentWithTemp(temp.wstring());
    // The folder itself may be missing on purpose; the process then starts in ours.
    const std::wstring directory = std::filesystem::is_directory(temp) ? temp.wstring() : std::wstring();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                          CREATE_UNICODE_ENVIRONMENT, environment.data(),
                          directory.empty() ? nullptr : directory.c_str(), &startup, &info_)) {
      ADD_FAILURE() << "CreateProcessW failed: " << ::GetLastError();
      info_ = {};
    }
    started_ = Clock::now();
  }
  ~SetupProcess() {
    if (!info_.hProcess) return;
    if (::WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
      ::TerminateProcess(info_.hProcess, 99);
      ::WaitForSingleObject(info_.hProcess, 10000);
    }
    ::CloseHandle(info_.hThread);
    ::CloseHandle(info_.hProcess);
  }
  SetupProcess(const SetupProcess&) = delete;
  SetupProcess& operator=(const SetupProcess&) = delete;

  DWORD Id() const { return info_.dwProcessId; }
  bool Running() const { return info_.hProcess && ::WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
  milliseconds SinceStart() const { return std::chrono::duration_cast<milliseconds>(Clock::now() - started_); }

  // The setup window once it is shown; null when none is within the limit.
  HWND WaitForWindow(milliseconds limit = WindowLimit) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
          for (HWND window : TopLevelWindows(Id(), L"TZarSetup"))
            if (::IsWindowVisible(window)) found = window;
          return found != nullptr || !Running();
        },
        limit);
    return found;
  }

  // The exit code when the process ends within the limit; whether it ever showed a window on the
  // way is remembered for ShowedWindow.
  std::optional<DWORD> WaitForExit(milliseconds limit = ExitLimit) {
    const bool ended = WaitUntil(
        [&] {
          if (!VisibleTopLevelWindows(Id()).empty()) showedWindow_ = true;
          return !Running();
        },
        limit);
    if (!ended) return std::nullopt;
    DWORD code = 0;
    ::GetExitCodeProcess(info_.hProcess, &code);
    return code;
  }
  bool ShowedWindow() const { return showedWindow_; }

  // Closes the setup window as its close box does and gives the exit code.
  std::optional<DWORD> Close(HWND window) {
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    return WaitForExit();
  }

  HWND Focus() const {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof(thread);
    if (!::GetGUIThreadInfo(info_.dwThreadId, &thread)) return nullptr;
    return thread.hwndFocus;
  }
  bool WaitForFocus(HWND window, milliseconds limit = ReactionLimit) const {
    return WaitUntil([&] { return Focus() == window; }, limit);
  }

  // The texts of the message boxes this process shows.
  std::vector<std::wstring> MessageBoxTexts() const {
    std::vector<std::wstring> texts;
    for (HWND box : TopLevelWindows(Id(), L"#32770")) {
      if (!::IsWindowVisible(box)) continue;
      std::wstring text;
      for (HWND part : DirectChildren(box, L"Static")) text += TextOf(part);
      texts.push_back(text);
    }
    return texts;
  }
  HWND VisibleMessageBox() const {
    for (HWND box : TopLevelWindows(Id(), L"#32770"))
      if (::IsWindowVisible(box)) return box;
    return nullptr;
  }

private:
  PROCESS_INFORMATION info_{};
  Clock::time_point started_;
  bool showedWindow_ = false;
};

// The setup window's windowed controls, found by their classes and what they hold.
struct SetupWindow {
  HWND Form = nullptr, GP = nullptr, Panel1 = nullptr, cbLang = nullptr, Panel6 = nullptr, cbDesktop = nullptr,
       cbStart = nullptr, cbForce = nullptr, Panel4 = nullptr, Edit1 = nullptr, Panel3 = nullptr, PB = nullptr;
  std::array<HWND, 3> CheckBoxes() const { return {cbDesktop, cbStart, cbForce}; }
};

inline HWND OnlyChild(HWND parent, std::wstring_view className) {
  const std::vector<HWND> children = DirectChildren(parent, className);
  EXPECT_EQ(children.size(), 1u) << ::testing::PrintToString(std::wstring(className));
  return children.size() == 1 ? children.front() : nullptr;
}

inline void FindControls(HWND form, SetupWindow& setup) {
  setup.Form = form;
  ASSERT_EQ(ClassOf(form), L"TZarSetup");
  setup.GP = OnlyChild(form, L"TGroupPanel");
  ASSERT_NE(setup.GP, nullptr);
  const std::vector<HWND> panels = DirectChildren(setup.GP, L"TPanel");
  ASSERT_EQ(panels.size(), 3u);
  for (HWND panel : panels) {
    if (!DirectChildren(panel, L"ComboBox").empty()) setup.Panel1 = panel;
    if (!DirectChildren(panel, L"TEwCheckBox").empty()) setup.Panel6 = panel;
    if (!DirectChildren(panel, L"Edit").empty()) setup.Panel4 = panel;
  }
  ASSERT_TRUE(setup.Panel1 && setup.Panel6 && setup.Panel4);
  setup.cbLang = OnlyChild(setup.Panel1, L"ComboBox");
  setup.Edit1 = OnlyChild(setup.Panel4, L"Edit");
  std::vector<HWND> boxes = DirectChildren(setup.Panel6, L"TEwCheckBox");
  ASSERT_EQ(boxes.size(), 3u);
  std::ranges::sort(boxes, {}, [](HWND box) { return BoxInParent(box).Top; });
  setup.cbDesktop = boxes[0];
  setup.cbStart = boxes[1];
  setup.cbForce = boxes[2];
  setup.Panel3 = OnlyChild(form, L"TPanel");
  ASSERT_NE(setup.Panel3, nullptr);
  setup.PB = OnlyChild(setup.Panel3, L"msctls_progress32");
  ASSERT_TRUE(setup.cbLang && setup.Edit1 && setup.PB);
}

// Starts the setup, waits for its window and for the first focus, and finds its controls.
inline void StartAndFind(SetupProcess& process, SetupWindow& setup) {
  HWND form = process.WaitForWindow();
  ASSERT_NE(form, nullptr) << "no setup window; still running: " << process.Running();
  ASSERT_NO_FATAL_FAILURE(FindControls(form, setup));
  ASSERT_TRUE(process.WaitForFocus(setup.cbLang, WindowLimit)) << "focus is on " << Describe(process.Focus());
}

// A registry value as the test found it, put back when the test ends (deleted if it was missing).
class SavedRegistryValue {
public:
  SavedRegistryValue(HKEY root, std::wstring key, std::wstring name)
      : root_(root), key_(std::move(key)), name_(std::move(name)) {
    DWORD bytes = 0;
    if (::RegGetValueW(root_, key_.c_str(), name_.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type_, nullptr, &bytes) !=
        ERROR_SUCCESS)
      return;
    data_.resize(bytes);
    existed_ = ::RegGetValueW(root_, key_.c_str(), name_.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type_, data_.data(),
                              &bytes) == ERROR_SUCCESS;
    data_.resize(bytes);
  }
  ~SavedRegistryValue() {
    if (existed_)
      Write(type_, data_.data(), static_cast<DWORD>(data_.size()));
    else
      Delete();
  }
  SavedRegistryValue(const SavedRegistryValue&) = delete;
  SavedRegistryValue& operator=(const SavedRegistryValue&) = delete;

  void SetText(const std::wstring& text) {
    Write(REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  void SetNumber(DWORD number) { Write(REG_DWORD, &number, sizeof(number)); }
  void Delete() {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root_, key_.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    ::RegDeleteValueW(key, name_.c_str());
    ::RegCloseKey(key);
  }

private:
  void Write(DWORD type, const void* data, DWORD bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(root_, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(::RegSetValueExW(key, name_.c_str(), 0, type, static_cast<const BYTE*>(data), bytes), ERROR_SUCCESS);
    ::RegCloseKey(key);
  }

  HKEY root_;
  std::wstring key_, name_;
  bool existed_ = false;
  DWORD type_ = 0;
  std::vector<BYTE> data_;
};

}  // namespace zarvo::process
