// The exports of VeltraHook.dll, the low-level keyboard hook that reports a
// lone Windows-key press to the status window. Link with the veltra_hook
// target; the library posts the message registered under
// protocol::kWinKeyMessageName (protocol/veltra_protocol.h) with wParam the key-up's time stamp
// and lParam the key (0x5B left, 0x5C right).
#pragma once

#include <windows.h>

#ifdef VELTRA_HOOK_BUILD
#define VELTRA_HOOK_API
#else
#define VELTRA_HOOK_API __declspec(dllimport)
#endif

extern "C" {

// Installs the session-wide hook reporting to `target`. Returns 1 if it was
// installed, else 0 (and nothing changes). A hook installed before is not
// removed: reset first. The hook reports only to the window its own process
// gave here, whatever any other process loading the library does.
VELTRA_HOOK_API int WINAPI SetLowKeyboardHook(HWND target);

// Removes the hook this process installed; another process's hook is out of
// its reach. Returns non-zero if the hook was removed, 0 if this process had
// none or the removal failed. The hook is removed too when the library is
// unloaded from the process that installed it.
VELTRA_HOOK_API BOOL WINAPI ResetLowKeyboardHook();

}
