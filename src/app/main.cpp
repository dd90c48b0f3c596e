// Entry point of Veltra.exe.
#include <windows.h>

#include "app/veltra_app.h"

namespace {

veltra::CVeltraApp theApp;

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int) {
  return theApp.Run(instance, command_line);
}
