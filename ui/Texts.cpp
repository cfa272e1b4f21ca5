// The texts themselves. The leading blanks of the two section titles, the trailing blank of the
// link and the lone carriage return of the advice are part of them.
#include "ui/Texts.h"

namespace zarvo::ui {

const TSetupTexts& EnglishTexts() {
  static constexpr TSetupTexts texts{
      .InstallButton = L"Install >>",
      .SelectFolder = L"Select folder",
      .InstallFolder = L" Install folder",
      .CreatingIcons = L" Creating icons",
      .DesktopIcon = L"Create desktop icon",
      .StartMenuIcon = L"Create an icon in the start menu",
      .ForcedInstall = L"Forced installation (all settings will be lost!)",
      .CopyingFiles = L"Copy new files",
      .WebSite = L"Official website of the program ",
      .FolderAdvice = L"directory name, it is desirable to leave unchanged,\r"
                      L"this will save your settings and make it easier to install updates",
      .DamagedSetup = L"This setup program is damaged and cannot install anything. "
                      L"Please download it again.",
  };
  return texts;
}

const TSetupTexts& RussianTexts() {
  static constexpr TSetupTexts texts{
      .InstallButton = L"Установить >>",
      .SelectFolder = L"Выбрать каталог",
      .InstallFolder = L" Каталог установки",
      .CreatingIcons = L" Создание иконок",
      .DesktopIcon = L"Создать иконку на рабочем столе",
      .StartMenuIcon = L"Создать иконку в меню \"Пуск\"",
      .ForcedInstall = L"Принудительная установка (все настройки будут утеряны!)",
      .CopyingFiles = L"Копирование файлов",
      .WebSite = L"Официальный сайт программы ",
      .FolderAdvice = L"имя каталога, желательно оставить без изменений,\r"
                      L"это позволит сохранить Ваши настройки и облегчит установку обновлений",
      .DamagedSetup = L"Программа установки повреждена и ничего не может установить. "
                      L"Загрузите её заново.",
  };
  return texts;
}

}  // namespace zarvo::ui
