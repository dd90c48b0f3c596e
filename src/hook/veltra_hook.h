// The exports of VeltraHook.dll, the low-level keyboard hook that reports a
// lone Windows-key press to the status window. Link with the veltra_hook
// target; the library posts the message registered under
// protocol::kWinKeyMessageName (protocol/veltra_protocol.h) with wParam the key-up's time stamp
// and lParam the key (0x5B left, 0x5C right). While the keyboard is locked
// it takes every key from the system instead, ends the lock by itself (its
// deadline, or Escape held two seconds) and then reports the end with the
// same message, lParam 0x1B.
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

// Locks (non-zero) the keyboard for `milliseconds` from now, or unlocks it
// (0; `milliseconds` is then ignored), for the hook this process installs.
// While locked no key event reaches the rest of the system but
// Ctrl+Alt+Del, which the system keeps for itself. The hook ends the lock
// by itself, whatever the caller's thread is doing, once the time has
// passed or Escape has been held for two seconds, and then posts the end
// to the target window (wParam 0, lParam 0x1B); a lock the caller ended
// itself is not reported. A key press the lock took is kept from the
// system up to its key-up, even after the lock's end. Any thread of the
// process may call it at any time, a crash handler included: it only
// stores the request. The reset unlocks too.
VELTRA_HOOK_API void WINAPI SetLowKeyboardLock(BOOL locked, DWORD milliseconds);

// For the thread that installed the hook, whose wait for messages no key
// event ends (the hook is called inside it): ends a lock whose time has
// passed (reported as above) and returns the milliseconds left until the
// lock's deadline, INFINITE while the keyboard is not locked. On any other
// thread it does nothing and returns INFINITE.
VELTRA_HOOK_API DWORD WINAPI PollLowKeyboardLock();

}
