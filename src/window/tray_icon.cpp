// Notification-area icon operations.
#include "window/tray_icon.h"

#include <shellapi.h>

#include <algorithm>
#include <utility>

#include "core/text_encoding.h"
#include "resources/resource.h"
#include "window/messages.h"

namespace veltra {
namespace {

// Some eight seconds while the shell times out: 10 ms before each addition,
// 30 ms after a time-out; after any other failure five modifications 10 ms
// apart, then 40 ms.
constexpr ui::NotifyIconRetry kAddRetry{
    .attempts = 201, .wait_before_add_ms = 10, .modifies_after_timeout = 0, .wait_after_timeout_ms = 30,
    .modifies_after_failure = 5, .wait_before_modify_ms = 10, .wait_after_failure_ms = 40};

void SweepToolbar(HWND toolbar);

}  // namespace

NOTIFYICONDATAW NotifyIconData(HWND window, HICON icon, std::wstring_view tip) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = window;
  data.uID = TRAY_ICON_ID;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = WM_TRAY_NOTIFY;
  data.hIcon = icon;
  const std::size_t length = Utf16FitLength(tip, std::size(data.szTip) - 1);
  std::copy_n(tip.data(), length, data.szTip);
  data.szTip[length] = L'\0';
  return data;
}

void PrepareTrayMenu(HMENU popup, bool touch_enabled, bool fixed_position, bool follow_posture,
                     const std::wstring& follow_text) {
  ::CheckMenuItem(popup, ID_TOUCH_ENABLE, MF_BYCOMMAND | (touch_enabled ? MF_CHECKED : MF_UNCHECKED));
  ::CheckMenuItem(popup, ID_TOUCH_DISABLE, MF_BYCOMMAND | (touch_enabled ? MF_UNCHECKED : MF_CHECKED));
  MENUITEMINFOW item{};
  item.cbSize = sizeof(item);
  item.fMask = MIIM_STRING;
  item.dwTypeData = const_cast<wchar_t*>(follow_text.c_str());  // only read
  ::SetMenuItemInfoW(popup, ID_FOLLOW_POSTURE, FALSE, &item);
  ::CheckMenuItem(popup, ID_FOLLOW_POSTURE, MF_BYCOMMAND | (follow_posture ? MF_CHECKED : MF_UNCHECKED));
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

void TrayIcon::Attach(HWND window) { icon_.Attach(window, TRAY_ICON_ID); }

void TrayIcon::SetStateIcons(ui::UniqueHicon enabled, ui::UniqueHicon disabled) noexcept {
  enabled_icon_ = std::move(enabled);
  disabled_icon_ = std::move(disabled);
}

void TrayIcon::DestroyStateIcons() noexcept {
  enabled_icon_.reset();
  disabled_icon_.reset();
}

bool TrayIcon::Add(bool enabled, std::wstring_view tip, DWORD& last_error) {
  NOTIFYICONDATAW data = NotifyIconData(icon_.window(), StateIcon(enabled), tip);
  return icon_.Add(data, kAddRetry, last_error);
}

void TrayIcon::Modify(bool enabled, std::wstring_view tip) {
  NOTIFYICONDATAW data = NotifyIconData(icon_.window(), StateIcon(enabled), tip);
  icon_.Modify(data);
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
