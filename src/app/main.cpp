// Entry point of Veltra.exe.
#include <windows.h>

#include "app/veltra_app.h"
#include "platform/paths.h"

namespace {

veltra::CVeltraApp theApp;

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int) {
  // Before anything can load a library by name (see RestrictLibrarySearch).
  veltra::RestrictLibrarySearch();
  return theApp.Run(instance, command_line);
}
