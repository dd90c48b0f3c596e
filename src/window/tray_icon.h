// The notification-area icon of the status window, and the sweep that
// clears icons left behind by ended programs.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string_view>

namespace veltra {

// The full icon record for a state: message, icon and tip, the tip cut to
// the record's 127 characters.
NOTIFYICONDATAW NotifyIconData(HWND window, HICON icon, std::wstring_view tip);

// Checks and grays the items of the icon's menu for the current state.
void PrepareTrayMenu(HMENU popup, bool touch_enabled, bool fixed_position);

// Adds the icon, retrying while the taskbar is not ready (at logon it may
// start after the program). False after every attempt failed; `last_error`
// then holds the last failure's code.
bool AddNotifyIcon(HWND window, HICON icon, std::wstring_view tip, DWORD& last_error);
void ModifyNotifyIcon(HWND window, HICON icon, std::wstring_view tip);
void DeleteNotifyIcon(HWND window);

void SweepNotificationArea();

}  // namespace veltra
