// The watcher's hidden window and its notification icon.
#include "watch/main_wnd.h"

#include <shellapi.h>

#include <algorithm>
#include <iterator>

#include "protocol/veltra_protocol.h"
#include "ui/trace.h"
#include "watch/tray_icon_app.h"
#include "watch/watch_resource.h"
#include "watch/watch_step.h"

namespace veltra::watch {
namespace {

constexpr const wchar_t* kWindowClass = protocol::kWatchWindowClass;
constexpr wchar_t kWindowTitle[] = L"Veltra Control App Main Window";
constexpr char kTrayError[] = "Veltra Control App Set TaskTray err!";
constexpr DWORD kRetryWaitMs = 1000;

ui::UniqueHicon LoadIconResource(int id) {
  return ui::UniqueHicon(static_cast<HICON>(
      ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
}

}  // namespace

CMainWnd::CMainWnd(const CTrayIconApp& app)
    : app_(app), watching_icon_(LoadIconResource(IDI_WATCHING)), paused_icon_(LoadIconResource(IDI_PAUSED)) {}

CMainWnd::~CMainWnd() {
  // The window normally ends with the program's loop; if not, it goes now
  // and its clean-up runs while this object still stands.
  if (hwnd() != nullptr) ::DestroyWindow(hwnd());
}

bool CMainWnd::CreateHidden() {
  if (!Create(kWindowClass, CS_HREDRAW | CS_VREDRAW, kWindowTitle, WS_POPUP, 10, 10, 10, 10, nullptr)) return false;
  ::ShowWindow(hwnd(), SW_HIDE);
  return true;
}

NOTIFYICONDATAA CMainWnd::IconData() const {
  NOTIFYICONDATAA data{};
  data.cbSize = sizeof(data);
  data.hWnd = icon_window_;
  data.uID = 0;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = WM_WATCH_NOTIFY;
  data.hIcon = watching_ ? watching_icon_.get() : paused_icon_.get();
  std::copy(std::begin(kTip), std::end(kTip), data.szTip);
  return data;
}

bool CMainWnd::AddNotifyIcon() {
  icon_window_ = hwnd();
  NOTIFYICONDATAA data = IconData();
  for (;;) {
    if (::Shell_NotifyIconA(NIM_ADD, &data)) return true;
    if (::GetLastError() != ERROR_TIMEOUT) break;
    // A busy shell may have added it anyway.
    if (::Shell_NotifyIconA(NIM_MODIFY, &data)) return true;
    ::Sleep(kRetryWaitMs);
  }
  ::MessageBoxA(hwnd(), kTrayError, app_.program_name().c_str(), MB_OK | MB_ICONEXCLAMATION);
  ::SendMessageW(hwnd(), WM_CLOSE, 0, 0);
  return false;
}

void CMainWnd::StartWatching() { ::SetTimer(hwnd(), kWatchTimerId, app_.interval(), nullptr); }

std::optional<LRESULT> CMainWnd::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      taskbar_created_ = ::RegisterWindowMessageA("TaskbarCreated");
      // Elevated, the watcher hears the shell's restart only when it lets
      // that message through.
      if (taskbar_created_ != 0) ::ChangeWindowMessageFilterEx(hwnd(), taskbar_created_, MSGFLT_ALLOW, nullptr);
      return std::nullopt;
    case WM_WATCH_NOTIFY:
      OnNotifyIcon(static_cast<UINT>(lparam));
      return 0;
    case WM_TIMER:
      if (wparam == kWatchTimerId) WatchStep(app_.lists(), app_.default_status());
      return 0;
    case WM_COMMAND:
      if (LOWORD(wparam) == ID_WATCH_EXIT) {
        Exit();
        return 0;
      }
      return std::nullopt;
    default:
      if (taskbar_created_ != 0 && message == taskbar_created_) {
        AddNotifyIcon();
        return 0;
      }
      return std::nullopt;
  }
}

void CMainWnd::OnNotifyIcon(UINT mouse_message) {
  if (mouse_message == WM_LBUTTONDBLCLK) {
    watching_ = !watching_;
    if (watching_) {
      StartWatching();
    } else {
      ::KillTimer(hwnd(), kWatchTimerId);
    }
    NOTIFYICONDATAA data = IconData();
    ::Shell_NotifyIconA(NIM_MODIFY, &data);
  } else if (mouse_message == WM_RBUTTONDOWN) {
    ShowMenu();
  }
}

void CMainWnd::ShowMenu() {
  ::SetForegroundWindow(hwnd());
  const ui::UniqueHmenu menu(::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_WATCH_MENU)));
  if (!menu) {
    ui::TraceLastError(L"LoadMenuW");
    return;
  }
  POINT cursor{};
  ::GetCursorPos(&cursor);
  ::TrackPopupMenu(::GetSubMenu(menu.get(), 0), 0, cursor.x, cursor.y, 0, hwnd(), nullptr);
  // Lets the menu close properly when the user clicks elsewhere.
  ::PostMessageW(hwnd(), WM_NULL, 0, 0);
}

void CMainWnd::Exit() {
  ::KillTimer(hwnd(), kWatchTimerId);
  ::PostMessageW(hwnd(), WM_CLOSE, 0, 0);
}

void CMainWnd::PostNcDestroy() noexcept {
  NOTIFYICONDATAA data{};
  data.cbSize = sizeof(data);
  data.hWnd = icon_window_;
  data.uID = 0;
  ::Shell_NotifyIconA(NIM_DELETE, &data);
  watching_icon_.reset();
  paused_icon_.reset();
  ::PostQuitMessage(0);
}

}  // namespace veltra::watch
