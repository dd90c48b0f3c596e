// One notification-area icon of a window, as an object that owns what it
// puts into the shell: the icon, removed when the object goes, and the
// number of the shell's "TaskbarCreated" broadcast. Shared by the status
// window and the watcher, each with its own patience for a shell that is
// not ready.
#pragma once

#include <windows.h>
#include <shellapi.h>

namespace veltra::ui {

// How Add retries. At logon the taskbar may start after the program, and a
// busy shell answers with a time-out although it may have taken the icon.
struct NotifyIconRetry {
  int attempts;                // additions tried; 0: no limit
  DWORD wait_before_add_ms;    // before each addition
  int modifies_after_timeout;  // modifications tried after an addition timed out
  DWORD wait_after_timeout_ms;
  // Modifications tried after any other failure (the icon may be there
  // already); 0: such a failure ends the attempts.
  int modifies_after_failure;
  DWORD wait_before_modify_ms;  // before each of those modifications
  DWORD wait_after_failure_ms;
};

class NotifyIcon {
 public:
  NotifyIcon() = default;
  ~NotifyIcon() { Delete(); }
  NotifyIcon(const NotifyIcon&) = delete;
  NotifyIcon& operator=(const NotifyIcon&) = delete;

  // Binds the icon to its window and identifier, and lets the shell's
  // broadcast after a restart of the taskbar through to the window: an
  // elevated program receives it only when it allows it.
  void Attach(HWND window, UINT id);
  HWND window() const noexcept { return window_; }
  bool IsTaskbarCreated(UINT message) const noexcept { return taskbar_created_ != 0 && message == taskbar_created_; }

  // Adds the icon `data` describes (the window and identifier of Attach),
  // as `retry` says, or modifies one the shell kept. False after every
  // attempt failed; `last_error` then holds the code of the last addition
  // that failed, or of the modification after it.
  bool Add(NOTIFYICONDATAW& data, const NotifyIconRetry& retry, DWORD& last_error);
  // False when the shell refused it (it has no such icon, say).
  bool Modify(NOTIFYICONDATAW& data) const;
  // Removes the icon once after each Add, whatever Add answered.
  void Delete() noexcept;

 private:
  HWND window_ = nullptr;
  UINT id_ = 0;
  UINT taskbar_created_ = 0;
  // An addition was tried since the last removal: a shell that answered
  // with a time-out may hold the icon all the same.
  bool maybe_shown_ = false;
};

}  // namespace veltra::ui
