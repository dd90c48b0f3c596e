// Entry point of Veltra.exe.
#include <windows.h>

#include <cstdlib>

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

// The C++ library's default answer to an exception nothing caught prints its
// demangled type on standard error, which a windowed program does not have,
// and then aborts; the demangler behind it is about a tenth of the program
// (59 KB). This one only aborts. Every entry point catches what it calls
// (the application object, the window and dialog procedures, threads), so
// it is reached only where the language itself calls terminate.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
