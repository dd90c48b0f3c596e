// Entry point of Veltrawatch.exe.
#include <windows.h>

#include "watch/tray_icon_app.h"

namespace {

veltra::watch::CTrayIconApp theApp;

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int) {
  return theApp.Run(instance, command_line);
}
