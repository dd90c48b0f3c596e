// The exports of VeltraHook.dll, the low-level keyboard hook that reports a
// lone Windows-key press to the status window. Link with the veltra_hook
// target; the library posts the message registered under
// kWinKeyMessageName (window/messages.h) with wParam the key-up's time stamp
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
// installed, else 0. A hook installed before is not removed: reset first.
VELTRA_HOOK_API int WINAPI SetLowKeyboardHook(HWND target);

// Removes the hook, whichever process installed it. Returns non-zero if a
// hook was removed, 0 if there was none or the removal failed.
VELTRA_HOOK_API BOOL WINAPI ResetLowKeyboardHook();

}
