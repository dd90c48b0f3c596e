// The exports of VeltraHook.dll, the low-level keyboard hook that reports a
// lone Windows-key press to the status window. Link with the veltra_hook
// target; the library posts the message registered under
// protocol::kWinKeyMessageName (protocol/veltra_protocol.h) with wParam the key-up's time stamp
// and lParam the key (0x5B left, 0x5C right). While the keyboard is locked
// it takes every key from the system instead, and reports Escape held for
// two seconds with the same message, lParam 0x1B.
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

// Locks (non-zero) or unlocks the keyboard for the hook this process
// installs: while locked no key event reaches the rest of the system but
// Ctrl+Alt+Del, which the system keeps for itself, and Escape held for two
// seconds is reported to the target window, which unlocks. The reset
// unlocks too.
VELTRA_HOOK_API void WINAPI SetLowKeyboardLock(BOOL locked);

}
