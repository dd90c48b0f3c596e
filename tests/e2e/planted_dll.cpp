// A library the tests plant beside a program under a system library's name:
// loading it leaves "<its file name>.loaded" beside it.
#include <windows.h>

#include "platform/unique_handle.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t trace[MAX_PATH + 8] = {};
  const DWORD length = ::GetModuleFileNameW(instance, trace, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return TRUE;
  ::lstrcatW(trace, L".loaded");
  const veltra::UniqueFile file(::CreateFileW(trace, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  return TRUE;
}
