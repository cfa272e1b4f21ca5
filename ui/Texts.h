// The setup window's two text sets, English and Russian.
#pragma once

#include <string_view>

namespace zarvo::ui {

struct TSetupTexts {
  std::wstring_view InstallButton;   // SB1's caption before the run
  std::wstring_view SelectFolder;    // SB2's hint
  std::wstring_view InstallFolder;   // Label3
  std::wstring_view CreatingIcons;   // Label7
  std::wstring_view DesktopIcon;     // cbDesktop
  std::wstring_view StartMenuIcon;   // cbStart
  std::wstring_view ForcedInstall;   // cbForce
  std::wstring_view CopyingFiles;    // Label13
  std::wstring_view WebSite;         // Link1
  std::wstring_view FolderAdvice;    // Label4: two lines joined by a carriage return
  std::wstring_view DamagedSetup;    // the main button's answer when the payload did not open
};

const TSetupTexts& EnglishTexts();
const TSetupTexts& RussianTexts();
inline const TSetupTexts& SetupTexts(bool russian) { return russian ? RussianTexts() : EnglishTexts(); }

// The folder browser's title, the same in both languages.
inline constexpr std::wstring_view BrowseTitle = L"Выберите каталог";
// The wrong-folder message, the same in both languages.
inline constexpr std::wstring_view WrongFolderMessage = L"Не правильно имя папки!";

}  // namespace zarvo::ui
