// The watcher's hidden window and its notification icon.
#include "watch/main_wnd.h"

#include <shellapi.h>

#include <algorithm>
#include <iterator>

#include "platform/trace.h"
#include "protocol/veltra_protocol.h"
#include "watch/tray_icon_app.h"
#include "watch/watch_resource.h"
#include "watch/watch_rules.h"
#include "watch/watch_step.h"

namespace veltra::watch {
namespace {

constexpr const wchar_t* kWindowClass = protocol::kWatchWindowClass;
constexpr wchar_t kWindowTitle[] = L"Veltra Control App Main Window";
constexpr char kTrayError[] = "Veltra Control App Set TaskTray err!";
// While the shell times out, the watcher waits for it as long as it takes,
// a second at a time, first trying whether it took the icon all the same;
// any other failure ends the program.
constexpr ui::NotifyIconRetry kAddRetry{
    .attempts = 0, .wait_before_add_ms = 0, .modifies_after_timeout = 1, .wait_after_timeout_ms = 1000,
    .modifies_after_failure = 0, .wait_before_modify_ms = 0, .wait_after_failure_ms = 0};
// After the shell's "TaskbarCreated" an addition is tried once (see
// ReshowIcon): nobody waits for the icon then.
constexpr ui::NotifyIconRetry kAddOnce{
    .attempts = 1, .wait_before_add_ms = 0, .modifies_after_timeout = 0, .wait_after_timeout_ms = 0,
    .modifies_after_failure = 0, .wait_before_modify_ms = 0, .wait_after_failure_ms = 0};

UniqueHicon LoadIconResource(int id) {
  return UniqueHicon(static_cast<HICON>(
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

NOTIFYICONDATAW CMainWnd::IconData() const {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = icon_.window();
  data.uID = 0;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = WM_WATCH_NOTIFY;
  data.hIcon = watching_ ? watching_icon_.get() : paused_icon_.get();
  std::copy(std::begin(kTip), std::end(kTip), data.szTip);
  return data;
}

bool CMainWnd::AddNotifyIcon() {
  NOTIFYICONDATAW data = IconData();
  DWORD last_error = 0;
  if (icon_.Add(data, kAddRetry, last_error)) return true;
  ::MessageBoxA(hwnd(), kTrayError, app_.program_name().c_str(), MB_OK | MB_ICONEXCLAMATION);
  ::SendMessageW(hwnd(), WM_CLOSE, 0, 0);
  return false;
}

void CMainWnd::ReshowNotifyIcon() {
  NOTIFYICONDATAW data = IconData();
  const bool shown = ReshowIcon([&](IconCall call) {
    DWORD last_error = 0;
    return call == IconCall::Modify ? icon_.Modify(data) : icon_.Add(data, kAddOnce, last_error);
  });
  if (!shown) TraceLastError(L"Shell_NotifyIconW after TaskbarCreated");
}

void CMainWnd::StartWatching() { ::SetTimer(hwnd(), kWatchTimerId, app_.interval(), nullptr); }

std::optional<LRESULT> CMainWnd::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      icon_.Attach(hwnd(), 0);
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
      if (icon_.IsTaskbarCreated(message)) {
        ReshowNotifyIcon();
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
    NOTIFYICONDATAW data = IconData();
    icon_.Modify(data);
  } else if (mouse_message == WM_RBUTTONDOWN) {
    ShowMenu();
  }
}

void CMainWnd::ShowMenu() {
  ::SetForegroundWindow(hwnd());
  const UniqueHmenu menu(::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_WATCH_MENU)));
  if (!menu) {
    TraceLastError(L"LoadMenuW");
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
  icon_.Delete();
  watching_icon_.reset();
  paused_icon_.reset();
  ::PostQuitMessage(0);
}

}  // namespace veltra::watch
