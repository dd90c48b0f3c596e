// Failures that need no message box go to the debugger's output, so a
// user's machine stays quiet and a developer can still see them.
#include "platform/trace.h"

// The system's bounded print (the C runtime DLL's), not the static
// runtime's own formatted print, which would be linked in whole.
#define STRSAFE_NO_DEPRECATE
#include <strsafe.h>

#include <iterator>

namespace veltra {

void TraceFailure(const wchar_t* what, DWORD error) noexcept {
  wchar_t line[256];
  ::StringCchPrintfW(line, std::size(line), L"Veltra: %ls failed (error %lu)\r\n", what != nullptr ? what : L"?",
                     static_cast<unsigned long>(error));
  ::OutputDebugStringW(line);
}

void TraceException(const wchar_t* where) noexcept {
  wchar_t line[256];
  ::StringCchPrintfW(line, std::size(line), L"Veltra: exception caught in %ls\r\n", where != nullptr ? where : L"?");
  ::OutputDebugStringW(line);
}

}  // namespace veltra
