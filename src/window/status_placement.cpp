// The status window's place and size: the rectangle of the current
// orientation, the visibility and topmost rules, dragging with snapping,
// and "Move to Center". The arithmetic is in placement.cpp.
#include <windows.h>
#include <windowsx.h>

#include <vector>

#include "resources/resource.h"
#include "window/veltra_dlg.h"

namespace veltra {
namespace {

Rect ToRect(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (::GetMonitorInfoW(monitor, &info)) {
    reinterpret_cast<std::vector<MonitorArea>*>(list)->push_back({ToRect(info.rcMonitor), ToRect(info.rcWork)});
  }
  return TRUE;
}

std::vector<MonitorArea> Monitors() {
  std::vector<MonitorArea> monitors;
  ::EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

// The primary monitor's work area, as the platform reports it now: from
// the monitor information rather than the system parameter: the same
// rectangle on Windows, but Wine keeps the system parameter's first answer
// for the life of the process, so a rotation would never be seen.
Rect PrimaryWorkArea() {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (::GetMonitorInfoW(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info)) return ToRect(info.rcWork);
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return ToRect(work);
}

}  // namespace

void CVeltraDlg::ApplyLayout(bool activate) {
  settings_.portrait = IsPortrait(PrimaryWorkArea()) ? 1 : 0;
  const Settings& s = settings_;
  const bool portrait = s.portrait != 0;
  const int x = portrait ? s.vertical_pos_x : s.horizontal_pos_x;
  const int y = portrait ? s.vertical_pos_y : s.horizontal_pos_y;
  // The size is stored at the system DPI; a move onto a monitor of
  // another DPI brings WM_DPICHANGED, which scales it from there.
  const int width = AtWindowDpi(portrait ? s.vertical_width : s.horizontal_width);
  const int height = AtWindowDpi(portrait ? s.vertical_height : s.horizontal_height);
  // The text fills the window whatever its size.
  ::SetWindowPos(::GetDlgItem(hwnd(), IDC_STATE_TEXT), nullptr, 0, 0, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  ::SetWindowPos(hwnd(), s.always_top ? HWND_TOPMOST : HWND_NOTOPMOST, x, y, width, height,
                 activate ? 0 : SWP_NOACTIVATE);
  // A click on the window must never take the activation from the user's
  // program; the style takes effect only through a frame change.
  const LONG_PTR style = ::GetWindowLongPtrW(hwnd(), GWL_EXSTYLE);
  if ((style & WS_EX_NOACTIVATE) == 0) {
    ::SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, style | WS_EX_NOACTIVATE);
    ::SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
  }
}

// Every change of place, size, order or visibility passes here: the window
// shows only while both window settings allow it, and then stays on top if
// asked to and never takes the activation.
void CVeltraDlg::OnWindowPosChanging(WINDOWPOS& change) const {
  if (!(settings_.window_status == 1 && settings_.window_enable == 1)) {
    change.flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
    return;
  }
  if (settings_.always_top) {
    change.hwndInsertAfter = HWND_TOPMOST;
    change.flags |= SWP_NOOWNERZORDER;
  }
  change.flags |= SWP_SHOWWINDOW | SWP_NOACTIVATE;
}

// The body drags the window as its caption would. The move itself is asked
// for directly: a caption press would also bring the window to the
// foreground, and the status window must never take the activation from
// the user's program.
void CVeltraDlg::StartDrag(LPARAM client_point) {
  POINT cursor{GET_X_LPARAM(client_point), GET_Y_LPARAM(client_point)};
  ::ClientToScreen(hwnd(), &cursor);
  ::ReleaseCapture();
  ::PostMessageW(hwnd(), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, MAKELPARAM(cursor.x, cursor.y));
}

void CVeltraDlg::RecordDragOffset(LPARAM screen_point) {
  RECT window{};
  ::GetWindowRect(hwnd(), &window);
  drag_offset_ = Point{GET_X_LPARAM(screen_point) - window.left, GET_Y_LPARAM(screen_point) - window.top};
}

void CVeltraDlg::SnapOnMoving(RECT& proposed) {
  if (settings_.snap_enable == 0) return;
  POINT cursor{};
  if (!::GetCursorPos(&cursor)) return;
  const std::vector<MonitorArea> monitors = Monitors();
  const Rect r = SnapWhileDragged(ToRect(proposed), Point{cursor.x, cursor.y}, drag_offset_, settings_.snap_width,
                                  monitors);
  proposed = RECT{r.left, r.top, r.right, r.bottom};
  ::MoveWindow(hwnd(), r.left, r.top, r.width(), r.height(), TRUE);
  StorePosition(Point{r.left, r.top});
}

void CVeltraDlg::MoveToCenter() {
  settings_.window_status = 1;
  RECT window{};
  ::GetWindowRect(hwnd(), &window);
  const Point corner = CenteredPosition(PrimaryWorkArea(), ToRect(window));
  if (settings_.fixed_pos == 0 && settings_.window_enable == 1) {
    ::MoveWindow(hwnd(), corner.x, corner.y, window.right - window.left, window.bottom - window.top, TRUE);
    StorePosition(corner);
  }
  ::SetForegroundWindow(hwnd());
}

// The window takes the rectangle offered, its fonts are made again for the
// DPI and its look is painted again. Nothing is stored: the settings keep
// their sizes at the system DPI, and the corner where it was put.
void CVeltraDlg::OnDpiChanged(UINT dpi, const RECT& suggested) {
  window_dpi_ = dpi != 0 ? dpi : system_dpi_;
  CreateLookObjects();
  ShowStateFont();
  const int width = suggested.right - suggested.left;
  const int height = suggested.bottom - suggested.top;
  ::SetWindowPos(::GetDlgItem(hwnd(), IDC_STATE_TEXT), nullptr, 0, 0, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  ::SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

std::optional<Point> CVeltraDlg::WindowCorner() const {
  RECT window{};
  if (hwnd() == nullptr || !::GetWindowRect(hwnd(), &window)) return std::nullopt;
  return Point{window.left, window.top};
}

// In memory only; the position reaches the settings file with the rest.
void CVeltraDlg::StorePosition(Point corner) {
  if (settings_.portrait == 1) {
    settings_.vertical_pos_x = corner.x;
    settings_.vertical_pos_y = corner.y;
  } else {
    settings_.horizontal_pos_x = corner.x;
    settings_.horizontal_pos_y = corner.y;
  }
}

}  // namespace veltra
