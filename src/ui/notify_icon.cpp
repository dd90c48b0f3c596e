// Notification-area icon: add with retries, modify, delete.
#include "ui/notify_icon.h"

#include "platform/trace.h"

namespace veltra::ui {
namespace {

static_assert(sizeof(NOTIFYICONDATAW) == 976, "the full icon record of Windows Vista and later");

void Wait(DWORD ms) {
  if (ms != 0) ::Sleep(ms);
}

}  // namespace

void NotifyIcon::Attach(HWND window, UINT id) {
  window_ = window;
  id_ = id;
  taskbar_created_ = ::RegisterWindowMessageW(L"TaskbarCreated");
  if (taskbar_created_ == 0) {
    TraceLastError(L"RegisterWindowMessageW(TaskbarCreated)");
    return;
  }
  if (!::ChangeWindowMessageFilterEx(window, taskbar_created_, MSGFLT_ALLOW, nullptr)) {
    TraceLastError(L"ChangeWindowMessageFilterEx");
  }
}

bool NotifyIcon::Add(NOTIFYICONDATAW& data, const NotifyIconRetry& retry, DWORD& last_error) {
  last_error = 0;
  maybe_shown_ = true;
  for (int attempt = 0; retry.attempts == 0 || attempt < retry.attempts; ++attempt) {
    Wait(retry.wait_before_add_ms);
    if (::Shell_NotifyIconW(NIM_ADD, &data)) return true;
    last_error = ::GetLastError();
    const bool timed_out = last_error == ERROR_TIMEOUT;
    if (!timed_out && retry.modifies_after_failure == 0) return false;
    const int modifies = timed_out ? retry.modifies_after_timeout : retry.modifies_after_failure;
    for (int i = 0; i < modifies; ++i) {
      Wait(retry.wait_before_modify_ms);
      if (::Shell_NotifyIconW(NIM_MODIFY, &data)) return true;
    }
    if (!timed_out) last_error = ::GetLastError();
    Wait(timed_out ? retry.wait_after_timeout_ms : retry.wait_after_failure_ms);
  }
  return false;
}

bool NotifyIcon::Modify(NOTIFYICONDATAW& data) const { return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE; }

void NotifyIcon::Delete() noexcept {
  if (window_ == nullptr || !maybe_shown_) return;
  maybe_shown_ = false;
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = window_;
  data.uID = id_;
  ::Shell_NotifyIconW(NIM_DELETE, &data);
}

}  // namespace veltra::ui
