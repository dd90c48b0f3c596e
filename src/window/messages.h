// The status window's messages as this program's code names them, and the
// identifiers of its timers, notification icon and hot key. The numbers
// that other programs rely on come from the protocol header.
#pragma once

#include <windows.h>

#include "protocol/veltra_protocol.h"

namespace veltra {

inline constexpr UINT WM_TRAY_NOTIFY = protocol::WM_TRAY_NOTIFY;
inline constexpr UINT WM_SETTINGS_CHANGED = protocol::WM_SETTINGS_CHANGED;
inline constexpr UINT WM_SET_TOUCH_STATE = protocol::WM_SET_TOUCH_STATE;
// Posted by the start-up task refresh's thread when it has ended; no other
// program's business.
inline constexpr UINT WM_TASKS_REFRESHED = protocol::kAppMessageBase + 0x6B;

// Registered while the program's static objects are initialised, so the
// number is known before any window exists.
extern const UINT WM_WINKEY_TRIGGER;

inline constexpr UINT_PTR TIMER_STATUS_POLL = 206;
// The notification icon's return after "TaskbarCreated", one attempt a tick.
inline constexpr UINT_PTR TIMER_TRAY_RETURN = 207;
// The countdown of a cleaning of the screen, once a second.
inline constexpr UINT_PTR TIMER_CLEANING = 208;
// Once, at the end of the start: the parts' steps after the first paint.
inline constexpr UINT_PTR TIMER_STATUS_SHOWN = 209;
// Once, the release time after the pen left the panel. (211 is the
// simulated program's poll of the pen, device/pen_presence.h.)
inline constexpr UINT_PTR TIMER_PEN_RELEASE = 210;
inline constexpr UINT TRAY_ICON_ID = 128;

// The hot key's identifier: modifiers in the high byte, key in the low one.
constexpr int HotKeyId(int modifiers, int virtual_key) { return ((modifiers & 0xFF) << 8) | (virtual_key & 0xFF); }

}  // namespace veltra
