// The status window's notification icon: adding it, its clicks and its menu.
#include "window/status_tray.h"

#include <string>

#include "base/decimal.h"
#include "platform/strings.h"
#include "resources/resource.h"
#include "ui/file_icons.h"
#include "ui/monitor_dpi.h"
#include "window/messages.h"
#include "window/panel_switch.h"

namespace veltra {
namespace {

// A state icon from the user's file, or the built-in one at the size the
// taskbar shows at its DPI.
UniqueHicon LoadStateIcon(HINSTANCE instance, const std::wstring& file, std::int32_t index, UINT fallback_id) {
  if (UniqueHicon icon = ui::ExtractFileIcon(instance, file, index)) return icon;
  const SIZE size = ui::SmallIconSize(ui::TaskbarDpi());
  return UniqueHicon(
      static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(fallback_id), IMAGE_ICON, size.cx, size.cy, 0)));
}

}  // namespace

bool StatusTray::enabled() const { return host_.panel().enabled(); }

namespace {

std::wstring IconSources(const Settings& s) {
  return s.enable_icon + L'\n' + base::DecimalText(s.enable_icon_idx) + L'\n' + s.disable_icon + L'\n' +
         base::DecimalText(s.disable_icon_idx);
}

}  // namespace

void StatusTray::SettingsChanged() {
  if (IconSources(host_.settings()) != loaded_icons_) LoadStateIcons();
}

void StatusTray::LoadStateIcons() {
  const Settings& s = host_.settings();
  loaded_icons_ = IconSources(s);
  const HINSTANCE instance = host_.app().instance();
  tray_.SetStateIcons(LoadStateIcon(instance, s.enable_icon, s.enable_icon_idx, IDI_TOUCH_ENABLED),
                      LoadStateIcon(instance, s.disable_icon, s.disable_icon_idx, IDI_TOUCH_DISABLED));
}

void StatusTray::Shown() {
  tray_.Attach(host_.window());
  LoadStateIcons();
  DWORD last_error = 0;
  if (!tray_.Add(enabled(), host_.StateText(true), last_error)) TellTrayIconMissing(last_error);
}

// Before the icon was added there is nothing to bring up to date: it is
// added with the state it must show.
void StatusTray::StateShown(ShowReason) {
  if (tray_.attached()) tray_.Modify(enabled(), host_.StateText(true));
}

void StatusTray::Exit() {
  tray_.Delete();
  tray_.DestroyStateIcons();
}

void StatusTray::TellTrayIconMissing(DWORD last_error) {
  // Without its icon the program must stay reachable through its window.
  ::ShowWindow(host_.window(), SW_SHOW);
  const std::wstring format = LoadLocalizedText(host_.app().instance(), IDS_TRAY_ERROR);
  host_.app().ShowMessage(FormatNumber(format, static_cast<int>(last_error)), MB_ICONEXCLAMATION, host_.window());
}

std::optional<LRESULT> StatusTray::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (tray_.IsTaskbarCreated(message)) {
    // Also sent when the taskbar's DPI changed: the icons are loaded again
    // at its size.
    if (host_.running()) {
      LoadStateIcons();
      tray_.Return(enabled(), host_.StateText(true));
    }
    return std::nullopt;
  }
  switch (message) {
    case WM_TRAY_NOTIFY: {
      const UINT mouse = LOWORD(lparam);
      if (mouse >= WM_LBUTTONDOWN && mouse <= WM_RBUTTONDBLCLK) {
        CarryOut(click_.OnMouse(mouse, host_.settings().lbutton_mode != 0));
      }
      return 0;
    }
    case WM_TIMER:
      if (wparam == TIMER_TRAY_RETURN) {
        DWORD last_error = 0;
        if (!tray_.OnReturnTimer(enabled(), host_.StateText(true), last_error)) TellTrayIconMissing(last_error);
        return 0;
      }
      if (wparam != kTimerLeftClick && wparam != kTimerRightClick) return std::nullopt;
      CarryOut(click_.OnTimer(static_cast<unsigned>(wparam), host_.settings().lbutton_mode != 0));
      return 0;
    case WM_RBUTTONUP:
      TrayAction(TrayActionKind::ShowTrayMenu);
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

void StatusTray::CarryOut(const TrayClickResult& result) {
  const HWND window = host_.window();
  if (result.stop_timer != 0) ::KillTimer(window, result.stop_timer);
  if (result.start_timer != 0) ::SetTimer(window, result.start_timer, ::GetDoubleClickTime(), nullptr);
  if (result.act) TrayAction(result.action);
}

void StatusTray::TrayAction(TrayActionKind action) {
  Settings& s = host_.settings();
  switch (action) {
    case TrayActionKind::ShowHideWindow:
      s.window_status = s.window_status ? 0 : 1;
      ::ShowWindow(host_.window(), s.window_status && s.window_enable ? SW_SHOW : SW_HIDE);
      host_.ApplyLayout(true);
      ::SetForegroundWindow(host_.window());
      break;
    case TrayActionKind::ToggleTouch:
      host_.panel().Toggle(Asker::Hand);
      break;
    case TrayActionKind::ShowTrayMenu:
      ShowTrayMenu();
      break;
  }
}

void StatusTray::PrepareMenu(HMENU popup) {
  PrepareTrayMenu(popup, enabled(), host_.settings().fixed_pos != 0);
}

void StatusTray::ShowTrayMenu() {
  const HWND window = host_.window();
  POINT cursor{};
  ::GetCursorPos(&cursor);
  // The window must be in the foreground before the menu is tracked, or the
  // menu will not close when the user clicks elsewhere.
  ::SetForegroundWindow(window);
  const UniqueHmenu menu(::LoadMenuW(host_.app().instance(), MAKEINTRESOURCEW(IDR_TRAY_MENU)));
  if (!menu) return;
  const HMENU popup = ::GetSubMenu(menu.get(), 0);
  for (std::size_t i = 0; i < part_count_; ++i) parts_[i]->PrepareMenu(popup);
  ::TrackPopupMenu(popup, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, window, nullptr);
  ::PostMessageW(window, WM_NULL, 0, 0);
}

}  // namespace veltra
