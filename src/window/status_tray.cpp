// The status window's notification icon: adding it, its clicks and its menu.
#include <windows.h>

#include <string>

#include "platform/strings.h"
#include "resources/resource.h"
#include "window/veltra_dlg.h"

namespace veltra {

void CVeltraDlg::AddTrayIcon() {
  DWORD last_error = 0;
  if (!tray_.Add(enabled_state(), tooltip(), last_error)) TellTrayIconMissing(last_error);
}

void CVeltraDlg::TellTrayIconMissing(DWORD last_error) {
  // Without its icon the program must stay reachable through its window.
  ::ShowWindow(hwnd(), SW_SHOW);
  const std::wstring format = LoadLocalizedText(app_.instance(), IDS_TRAY_ERROR);
  app_.ShowMessage(FormatNumber(format, static_cast<int>(last_error)), MB_ICONEXCLAMATION, hwnd());
}

void CVeltraDlg::OnTrayNotify(UINT mouse_message) {
  if (mouse_message < WM_LBUTTONDOWN || mouse_message > WM_RBUTTONDBLCLK) return;
  CarryOut(click_.OnMouse(mouse_message, settings_.lbutton_mode != 0));
}

void CVeltraDlg::CarryOut(const TrayClickResult& result) {
  if (result.stop_timer != 0) ::KillTimer(hwnd(), result.stop_timer);
  if (result.start_timer != 0) ::SetTimer(hwnd(), result.start_timer, ::GetDoubleClickTime(), nullptr);
  if (result.act) TrayAction(result.action);
}

void CVeltraDlg::TrayAction(TrayActionKind action) {
  switch (action) {
    case TrayActionKind::ShowHideWindow:
      settings_.window_status = settings_.window_status ? 0 : 1;
      ::ShowWindow(hwnd(), settings_.window_status && settings_.window_enable ? SW_SHOW : SW_HIDE);
      ApplyLayout(true);
      ::SetForegroundWindow(hwnd());
      break;
    case TrayActionKind::ToggleTouch:
      ToggleTouchState();
      break;
    case TrayActionKind::ShowTrayMenu:
      ShowTrayMenu();
      break;
  }
}

void CVeltraDlg::ShowTrayMenu() {
  POINT cursor{};
  ::GetCursorPos(&cursor);
  // The window must be in the foreground before the menu is tracked, or the
  // menu will not close when the user clicks elsewhere.
  ::SetForegroundWindow(hwnd());
  const UniqueHmenu menu(::LoadMenuW(app_.instance(), MAKEINTRESOURCEW(IDR_TRAY_MENU)));
  if (!menu) return;
  const HMENU popup = ::GetSubMenu(menu.get(), 0);
  const UINT clean_text = cleaning_.running() ? IDS_MENU_END_CLEANING : IDS_MENU_CLEAN_SCREEN;
  PrepareTrayMenu(popup, enabled_state(), settings_.fixed_pos != 0,
                  {settings_.follow_posture != 0, LoadLocalizedText(app_.instance(), IDS_MENU_FOLLOW_POSTURE)},
                  {settings_.follow_display != 0, LoadLocalizedText(app_.instance(), IDS_MENU_FOLLOW_DISPLAY)},
                  LoadLocalizedText(app_.instance(), clean_text));
  ::TrackPopupMenu(popup, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, hwnd(), nullptr);
  ::PostMessageW(hwnd(), WM_NULL, 0, 0);
}

}  // namespace veltra
