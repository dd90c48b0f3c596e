// Entry point of Veltrawatch.exe.
#include <windows.h>

#include "platform/paths.h"
#include "watch/tray_icon_app.h"

namespace {

veltra::watch::CTrayIconApp theApp;

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int) {
  // Before anything can load a library by name (see RestrictLibrarySearch).
  veltra::RestrictLibrarySearch();
  return theApp.Run(instance, command_line);
}
