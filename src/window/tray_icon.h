// The notification-area icon of the status window, as an object that owns
// what it puts into the shell: the icon record, the two state icons and the
// number of the shell's "TaskbarCreated" broadcast. And the sweep that
// clears icons left behind by ended programs.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/unique_handle.h"
#include "ui/notify_icon.h"

namespace veltra {

// The full icon record for a state: message, icon and tip, the tip cut to
// the record's 127 characters without splitting a character in two.
NOTIFYICONDATAW NotifyIconData(HWND window, HICON icon, std::wstring_view tip);

// Checks and grays the items of the icon's menu that belong to no part of
// their own: the two states, "&Move to Center", the configuration and the exit.
void PrepareTrayMenu(HMENU popup, bool touch_enabled, bool fixed_position);
// An item of the icon's menu with its text in the user's language (the
// menu's template is English only), ticked or not when `checked` says.
void PrepareMenuItem(HMENU popup, UINT command, const std::wstring& text, std::optional<bool> checked = {});

class TrayIcon {
 public:
  // Binds the icon to its window, and lets the shell's broadcast after a
  // restart of the taskbar through to it (see ui::NotifyIcon).
  void Attach(HWND window);
  bool attached() const noexcept { return icon_.window() != nullptr; }
  bool IsTaskbarCreated(UINT message) const noexcept { return icon_.IsTaskbarCreated(message); }

  // The icons of the two states, owned from now on.
  void SetStateIcons(UniqueHicon enabled, UniqueHicon disabled) noexcept;
  void DestroyStateIcons() noexcept;
  HICON StateIcon(bool enabled) const noexcept { return enabled ? enabled_icon_.get() : disabled_icon_.get(); }

  // Adds the icon, retrying while the taskbar is not ready (at logon it may
  // start after the program), or modifies one the shell kept. False after
  // every attempt failed; `last_error` then holds the last failure's code.
  bool Add(bool enabled, std::wstring_view tip, DWORD& last_error);
  void Modify(bool enabled, std::wstring_view tip);
  // Stops any return in progress and removes the icon.
  void Delete() noexcept;

  // After the shell's "TaskbarCreated", which any program may send and
  // Windows sends on a change of DPI too: an icon the shell still holds is
  // only brought up to date; a missing one is added again by one attempt
  // now and then one per tick of TIMER_TRAY_RETURN, never by a loop that
  // holds the window's thread.
  void Return(bool enabled, std::wstring_view tip);
  // A tick of TIMER_TRAY_RETURN. False once the last attempt has failed
  // (the timer is stopped then); `last_error` holds its code.
  bool OnReturnTimer(bool enabled, std::wstring_view tip, DWORD& last_error);

 private:
  // One attempt at bringing the icon back; true when the shell has it.
  bool TryReturn(bool enabled, std::wstring_view tip, DWORD& last_error);
  void StopReturn() noexcept;

  int return_ticks_ = 0;  // ticks of TIMER_TRAY_RETURN so far; 0 while it is not running
  UniqueHicon enabled_icon_, disabled_icon_;
  ui::NotifyIcon icon_;  // last, so the icon leaves the shell before its pictures go
};

void SweepNotificationArea();

}  // namespace veltra
