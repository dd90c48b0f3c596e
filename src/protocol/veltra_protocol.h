// What Veltra's separate programs agree on: the status window's class, the
// numbers and names of the messages that cross between processes, the
// names of the single-instance mutexes and of the exit request. Veltra.exe,
// VeltraHook.dll, Veltrawatch.exe, the tests and the benchmarks all take
// them from here. Portable: plain numbers and strings, no platform header.
#pragma once

namespace veltra::protocol {

// The status window is found by its class alone; the main program's
// single-instance mutex has the same name (see instance_names.h for where
// the mutexes live).
inline constexpr wchar_t kWindowClass[] = L"VeltraAppMain";
inline constexpr char kWindowClassA[] = "VeltraAppMain";
inline constexpr wchar_t kAppMutex[] = L"VeltraAppMain";
// The companion watcher's own single-instance mutex.
inline constexpr wchar_t kWatchMutex[] = L"VeltraPcocDetect";
inline constexpr char kWatchMutexA[] = "VeltraPcocDetect";
// The watcher's hidden window; closing it ends the watcher.
inline constexpr wchar_t kWatchWindowClass[] = L"VeltrawatchMainWnd";
// The exit request of the installer's removal: each running Veltra.exe and
// Veltrawatch.exe holds an event of this name followed by its process id in
// decimal, open to administrators and the system account only; signalled,
// the program closes its main window and runs its exit sequence. The first
// name is in the namespace every session shares, the second in Veltra's
// private one (see instance_names.h).
inline constexpr wchar_t kExitRequestPrefix[] = L"Global\\VeltraExitRequest-";
inline constexpr wchar_t kPrivateExitRequestPrefix[] = L"VeltraExitRequest-";

// Private messages of the status window (the application range starts at
// 0x8000).
inline constexpr unsigned kAppMessageBase = 0x8000;
// The notification icon's callback; wParam the icon, lParam's low word the
// mouse message.
inline constexpr unsigned WM_TRAY_NOTIFY = kAppMessageBase + 0x69;
// Sent by the configuration dialog after it changed the settings record.
inline constexpr unsigned WM_SETTINGS_CHANGED = kAppMessageBase + 0x6A;
// Sets (lParam 0; wParam non-zero enables) or toggles (lParam non-zero) the
// panel. Sent by the watcher and by a second start.
inline constexpr unsigned WM_SET_TOUCH_STATE = kAppMessageBase + 300;
// The status window's answer to it: 0 when it took the request, this once
// its exit has begun and it switches nothing any more (a second start then
// waits for that instance to end and starts in its place). Senders that
// ignore the answer lose nothing by it.
inline constexpr long kTouchStateEnding = 0x454E44;  // "END"

// Registered by name in every process that uses it. The hook posts it with
// wParam the key-up's time stamp and lParam the key (0x5B left, 0x5C right).
inline constexpr wchar_t kWinKeyMessageName[] = L"UWM_VELTRA-3AB6C4C3-6882-42DF-AB2F-ADB5D8731F8F";
// Only the simulated build acts on it: its status window raises an
// unhandled exception, so tests can see the last-chance handler work.
inline constexpr wchar_t kSimulatedCrashMessageName[] = L"VeltraSimulatedCrash";

}  // namespace veltra::protocol
