// Notification-area icon operations.
#include "window/tray_icon.h"

#include <shellapi.h>

#include <algorithm>
#include <utility>

#include "resources/resource.h"
#include "ui/trace.h"
#include "window/messages.h"

namespace veltra {
namespace {

static_assert(sizeof(NOTIFYICONDATAW) == 976, "the full icon record of Windows Vista and later");

constexpr int kAddAttempts = 201;
constexpr int kModifyTries = 5;

NOTIFYICONDATAW IconData(HWND window) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = window;
  data.uID = TRAY_ICON_ID;
  return data;
}

void SweepToolbar(HWND toolbar);

}  // namespace

NOTIFYICONDATAW NotifyIconData(HWND window, HICON icon, std::wstring_view tip) {
  NOTIFYICONDATAW data = IconData(window);
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = WM_TRAY_NOTIFY;
  data.hIcon = icon;
  const std::size_t length = std::min(tip.size(), std::size(data.szTip) - 1);
  std::copy_n(tip.data(), length, data.szTip);
  data.szTip[length] = L'\0';
  return data;
}

void PrepareTrayMenu(HMENU popup, bool touch_enabled, bool fixed_position) {
  ::CheckMenuItem(popup, ID_TOUCH_ENABLE, MF_BYCOMMAND | (touch_enabled ? MF_CHECKED : MF_UNCHECKED));
  ::CheckMenuItem(popup, ID_TOUCH_DISABLE, MF_BYCOMMAND | (touch_enabled ? MF_UNCHECKED : MF_CHECKED));
  ::EnableMenuItem(popup, ID_MOVE_TO_CENTER, MF_BYCOMMAND | (fixed_position ? MF_GRAYED : MF_ENABLED));
  ::EnableMenuItem(popup, ID_CONFIGURATION, MF_BYCOMMAND | MF_ENABLED);
  ::EnableMenuItem(popup, ID_APP_EXIT, MF_BYCOMMAND | MF_ENABLED);
}

namespace {

void SweepToolbar(HWND toolbar) {
  RECT client{};
  if (toolbar == nullptr || !::GetClientRect(toolbar, &client)) return;
  // The shell drops an icon whose program has ended when the mouse passes
  // over it; a pass over the whole toolbar clears them all.
  for (LONG x = 0; x < client.right; x += 10) {
    for (LONG y = 0; y < client.bottom; y += 10) {
      ::SendMessageW(toolbar, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    }
  }
}

}  // namespace

void TrayIcon::Attach(HWND window) {
  window_ = window;
  taskbar_created_ = ::RegisterWindowMessageW(L"TaskbarCreated");
  if (taskbar_created_ == 0) {
    ui::TraceLastError(L"RegisterWindowMessageW(TaskbarCreated)");
    return;
  }
  if (!::ChangeWindowMessageFilterEx(window, taskbar_created_, MSGFLT_ALLOW, nullptr)) {
    ui::TraceLastError(L"ChangeWindowMessageFilterEx");
  }
}

void TrayIcon::SetStateIcons(ui::UniqueHicon enabled, ui::UniqueHicon disabled) noexcept {
  enabled_icon_ = std::move(enabled);
  disabled_icon_ = std::move(disabled);
}

void TrayIcon::DestroyStateIcons() noexcept {
  enabled_icon_.reset();
  disabled_icon_.reset();
}

bool TrayIcon::Add(bool enabled, std::wstring_view tip, DWORD& last_error) {
  NOTIFYICONDATAW data = NotifyIconData(window_, StateIcon(enabled), tip);
  last_error = 0;
  for (int attempt = 0; attempt < kAddAttempts; ++attempt) {
    ::Sleep(10);
    if (::Shell_NotifyIconW(NIM_ADD, &data)) return true;
    last_error = ::GetLastError();
    if (last_error == ERROR_TIMEOUT) {
      ::Sleep(30);
      continue;
    }
    // The icon may be there already (a taskbar that kept it): modify it.
    for (int i = 0; i < kModifyTries; ++i) {
      ::Sleep(10);
      if (::Shell_NotifyIconW(NIM_MODIFY, &data)) return true;
    }
    last_error = ::GetLastError();
    ::Sleep(10);
    ::Sleep(30);
  }
  return false;
}

void TrayIcon::Modify(bool enabled, std::wstring_view tip) {
  NOTIFYICONDATAW data = NotifyIconData(window_, StateIcon(enabled), tip);
  ::Shell_NotifyIconW(NIM_MODIFY, &data);
}

void TrayIcon::Delete() noexcept {
  if (window_ == nullptr) return;
  NOTIFYICONDATAW data = IconData(window_);
  ::Shell_NotifyIconW(NIM_DELETE, &data);
}

void SweepNotificationArea() {
  HWND tray = ::FindWindowW(L"Shell_TrayWnd", nullptr);
  if (tray != nullptr) tray = ::FindWindowExW(tray, nullptr, L"TrayNotifyWnd", nullptr);
  if (tray != nullptr) tray = ::FindWindowExW(tray, nullptr, L"SysPager", nullptr);
  if (tray != nullptr) SweepToolbar(::FindWindowExW(tray, nullptr, L"ToolbarWindow32", nullptr));

  if (HWND overflow = ::FindWindowW(L"NotifyIconOverflowWindow", nullptr); overflow != nullptr) {
    SweepToolbar(::FindWindowExW(overflow, nullptr, L"ToolbarWindow32", nullptr));
  }
}

}  // namespace veltra
