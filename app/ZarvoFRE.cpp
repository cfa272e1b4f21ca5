// Program entry of the setup: the edition, the application object, the setup window and the
// message loop.
#include <windows.h>

#include "app/DllSearch.h"
#include "app/Startup.h"
#include "toolkit/Application.h"
#include "ui/SetupState.h"
#include "ui/Unit1.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace zarvo;
  // Before anything can load a library: never one from the program's own (downloads) folder.
  app::RestrictDllSearchOrder();
  ui::Edition = u'F';
  toolkit::TApplication& application = toolkit::Application();
  application.Initialize();
  application.SetTitle(L"Zarvo LITE");
  app::TProgramStartup startup;
  // The window's creation takes the lock or hands over to the running setup and ends there.
  return application.Execute([&] { application.CreateForm<ui::TZarSetup>(startup); });
}
