// Notification-area icon operations.
#include "window/tray_icon.h"

#include <shellapi.h>

#include <algorithm>
#include <utility>

#include "core/text_encoding.h"
#include "platform/trace.h"
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

// One addition, nothing waited for: a return tries again on the next tick.
constexpr ui::NotifyIconRetry kAddOnce{
    .attempts = 1, .wait_before_add_ms = 0, .modifies_after_timeout = 0, .wait_after_timeout_ms = 0,
    .modifies_after_failure = 0, .wait_before_modify_ms = 0, .wait_after_failure_ms = 0};

// About twenty seconds, as long as the start's patience, a tick at a time.
constexpr UINT kReturnTickMs = 500;
constexpr int kReturnTicks = 40;

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

void PrepareMenuItem(HMENU popup, UINT command, const std::wstring& text, std::optional<bool> checked) {
  MENUITEMINFOW item{};
  item.cbSize = sizeof(item);
  item.fMask = MIIM_STRING;
  item.dwTypeData = const_cast<wchar_t*>(text.c_str());  // only read
  ::SetMenuItemInfoW(popup, command, FALSE, &item);
  if (checked) ::CheckMenuItem(popup, command, MF_BYCOMMAND | (*checked ? MF_CHECKED : MF_UNCHECKED));
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

void TrayIcon::Attach(HWND window) { icon_.Attach(window, TRAY_ICON_ID); }

void TrayIcon::SetStateIcons(UniqueHicon enabled, UniqueHicon disabled) noexcept {
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

void TrayIcon::Delete() noexcept {
  StopReturn();
  icon_.Delete();
}

bool TrayIcon::TryReturn(bool enabled, std::wstring_view tip, DWORD& last_error) {
  NOTIFYICONDATAW data = NotifyIconData(icon_.window(), StateIcon(enabled), tip);
  // A modification the shell takes means it holds the icon: adding it
  // again would show it twice, or fail.
  return icon_.Modify(data) || icon_.Add(data, kAddOnce, last_error);
}

void TrayIcon::StopReturn() noexcept {
  if (return_ticks_ == 0) return;
  ::KillTimer(icon_.window(), TIMER_TRAY_RETURN);
  return_ticks_ = 0;
}

void TrayIcon::Return(bool enabled, std::wstring_view tip) {
  StopReturn();
  DWORD last_error = 0;
  if (TryReturn(enabled, tip, last_error)) return;
  if (::SetTimer(icon_.window(), TIMER_TRAY_RETURN, kReturnTickMs, nullptr) == 0) {
    TraceLastError(L"SetTimer(TIMER_TRAY_RETURN)");
    return;
  }
  return_ticks_ = 1;
}

bool TrayIcon::OnReturnTimer(bool enabled, std::wstring_view tip, DWORD& last_error) {
  last_error = 0;
  if (return_ticks_ == 0) return true;  // a tick queued before the timer stopped
  if (TryReturn(enabled, tip, last_error)) {
    StopReturn();
    return true;
  }
  if (++return_ticks_ <= kReturnTicks) return true;
  StopReturn();
  return false;
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
