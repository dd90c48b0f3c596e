// The messages the status window accepts from outside its own code, and the
// identifiers of its timers and hot key.
#pragma once

#include <windows.h>

namespace veltra {

inline constexpr UINT WM_TRAY_NOTIFY = WM_APP + 0x69;
inline constexpr UINT WM_SETTINGS_CHANGED = WM_APP + 0x6A;
inline constexpr UINT WM_SET_TOUCH_STATE = WM_APP + 300;

inline constexpr wchar_t kWinKeyMessageName[] = L"UWM_VELTRA-3AB6C4C3-6882-42DF-AB2F-ADB5D8731F8F";

// Registered while the program's static objects are initialised, so the
// number is known before any window exists.
extern const UINT WM_WINKEY_TRIGGER;
// Registered when the status window is created.
extern UINT WM_TASKBAR_CREATED;

inline constexpr UINT_PTR TIMER_STATUS_POLL = 206;
inline constexpr UINT TRAY_ICON_ID = 128;

// The hot key's identifier: modifiers in the high byte, key in the low one.
constexpr int HotKeyId(int modifiers, int virtual_key) { return ((modifiers & 0xFF) << 8) | (virtual_key & 0xFF); }

}  // namespace veltra
