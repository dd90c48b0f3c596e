// The status window's look and place. The arithmetic is in placement.cpp.
#include "window/status_appearance.h"

#include <windowsx.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "ui/monitor_dpi.h"
#include "window/log_font.h"
#include "window/panel_switch.h"
#include "window/wallpaper.h"

namespace veltra {
namespace {

COLORREF Rgb(std::int32_t r, std::int32_t g, std::int32_t b) {
  return RGB(static_cast<BYTE>(r), static_cast<BYTE>(g), static_cast<BYTE>(b));
}

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

void RedrawAll(HWND window) {
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

}  // namespace

StatusAppearance::StatusAppearance(StatusHost& host, HINSTANCE instance)
    : StatusPart(host),
      program_icon_(static_cast<HICON>(
          ::LoadImageW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE))) {}

bool StatusAppearance::enabled() const { return host_.panel().enabled(); }

void StatusAppearance::Start() {
  const HWND window = hwnd();
  system_dpi_ = ui::SystemDpi();
  window_dpi_ = ui::WindowDpi(window);
  announcer_.Attach(window);
  ::SetWindowLongPtrW(window, GWL_EXSTYLE, ::GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_LAYERED);
  SetOpacity(true);
  ApplyLayout(true);
  ApplyOrientationWallpaper(host_.settings());
  ::SetWindowLongPtrW(window, GWL_EXSTYLE, ::GetWindowLongPtrW(window, GWL_EXSTYLE) & ~WS_EX_APPWINDOW);
  CreateLookObjects();
}

// Neither is part of the first picture. The window's icons serve only lists
// of windows (the window has no caption), and under Wine each one set costs
// some 3 ms, handed to the X server. The annotation service comes through
// COM (four libraries to load, some 20 ms under Wine).
void StatusAppearance::Shown() {
  ::SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(program_icon_.get()));
  ::SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(program_icon_.get()));
  announcer_.MarkLiveRegion();
}

// Everything it shows is taken from the record again, in this order.
void StatusAppearance::SettingsChanged() {
  const Settings& s = host_.settings();
  CreateLookObjects();
  SetOpacity(false);
  ::ShowWindow(hwnd(), s.window_status && s.window_enable ? SW_SHOW : SW_HIDE);
  ApplyLayout(false);
}

// The window goes at once: enabling the panel and removing the icon wait on
// the device and the shell, which may be slow to answer. Screen readers are
// let go while the window still exists.
void StatusAppearance::Exit() {
  ::ShowWindow(hwnd(), SW_HIDE);
  announcer_.Detach();
}

void StatusAppearance::StateShown(ShowReason reason) {
  const std::wstring text = host_.StateText(false);
  ShowStateFont();
  ::SetDlgItemTextW(hwnd(), IDC_STATE_TEXT, text.c_str());
  if (reason != ShowReason::Countdown) {
    announcer_.Show(text, enabled());
  } else {
    announcer_.Rename(text);
  }
  // The window's own colours depend on the state too.
  ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void StatusAppearance::ShowStateFont() {
  ::SendDlgItemMessageW(hwnd(), IDC_STATE_TEXT, WM_SETFONT,
                        reinterpret_cast<WPARAM>(enabled() ? enable_font_.get() : disable_font_.get()), TRUE);
}

void StatusAppearance::SetOpacity(bool startup_floor) {
  layered_.SetAlpha(hwnd(), StatusWindowAlpha(host_.settings().transparent, startup_floor));
}

void StatusAppearance::CreateLookObjects() {
  const Settings& s = host_.settings();
  enable_brush_.reset(::CreateSolidBrush(Rgb(s.enable_dlg_col_r, s.enable_dlg_col_g, s.enable_dlg_col_b)));
  disable_brush_.reset(::CreateSolidBrush(Rgb(s.disable_dlg_col_r, s.disable_dlg_col_g, s.disable_dlg_col_b)));
  enable_font_ = CreateFontAtDpi(s.enable_font);
  disable_font_ = CreateFontAtDpi(s.disable_font);
}

// The record's heights are meant at the system DPI, as the font chooser
// gives them.
UniqueHfont StatusAppearance::CreateFontAtDpi(const FontRecord& font) const {
  LOGFONTW log = ToLogFont(font);
  log.lfHeight = AtWindowDpi(log.lfHeight);
  log.lfWidth = AtWindowDpi(log.lfWidth);
  return UniqueHfont(::CreateFontIndirectW(&log));
}

void StatusAppearance::PaintMinimised() {
  PAINTSTRUCT paint;
  const HDC dc = ::BeginPaint(hwnd(), &paint);
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  const int x = (client.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
  ::DrawIcon(dc, x, y, program_icon_.get());
  ::EndPaint(hwnd(), &paint);
}

LRESULT StatusAppearance::PaintBackground(HDC dc) {
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  ::FillRect(dc, &client, enabled() ? enable_brush_.get() : disable_brush_.get());
  return TRUE;
}

LRESULT StatusAppearance::ColourStatic(HDC dc) {
  const Settings& s = host_.settings();
  const bool enable = enabled();
  ::SetTextColor(dc, enable ? Rgb(s.enable_txt_col_r, s.enable_txt_col_g, s.enable_txt_col_b)
                            : Rgb(s.disable_txt_col_r, s.disable_txt_col_g, s.disable_txt_col_b));
  ::SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<LRESULT>(enable ? enable_brush_.get() : disable_brush_.get());
}

std::optional<LRESULT> StatusAppearance::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  Settings& s = host_.settings();
  switch (message) {
    case WM_ERASEBKGND:
      return PaintBackground(reinterpret_cast<HDC>(wparam));
    case WM_CTLCOLORSTATIC:
      return ColourStatic(reinterpret_cast<HDC>(wparam));
    case WM_PAINT:
      if (!::IsIconic(hwnd())) return std::nullopt;
      PaintMinimised();
      return 0;
    case WM_QUERYDRAGICON:
      return reinterpret_cast<LRESULT>(program_icon_.get());
    case WM_WINDOWPOSCHANGING:
      OnWindowPosChanging(*reinterpret_cast<WINDOWPOS*>(lparam));
      return std::nullopt;
    case WM_NCHITTEST:
      if (s.snap_enable != 0) RecordDragOffset(lparam);
      return std::nullopt;
    case WM_MOVING:
      SnapOnMoving(*reinterpret_cast<RECT*>(lparam));
      return TRUE;
    case WM_LBUTTONDOWN:
      if (!s.fixed_pos) StartDrag(lparam);
      return std::nullopt;
    case WM_DISPLAYCHANGE:
      ApplyLayout(true);
      ApplyOrientationWallpaper(s);
      RedrawAll(hwnd());
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_DESTROY:
      announcer_.Detach();
      return std::nullopt;
    case WM_COMMAND:
      if (LOWORD(wparam) != ID_MOVE_TO_CENTER) return std::nullopt;
      MoveToCenter();
      return 0;
    default:
      return std::nullopt;
  }
}

void StatusAppearance::ApplyLayout(bool activate) {
  Settings& settings = host_.settings();
  settings.portrait = IsPortrait(PrimaryWorkArea()) ? 1 : 0;
  const Settings& s = settings;
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
void StatusAppearance::OnWindowPosChanging(WINDOWPOS& change) const {
  const Settings& s = host_.settings();
  if (!(s.window_status == 1 && s.window_enable == 1)) {
    change.flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
    return;
  }
  if (s.always_top) {
    change.hwndInsertAfter = HWND_TOPMOST;
    change.flags |= SWP_NOOWNERZORDER;
  }
  change.flags |= SWP_SHOWWINDOW | SWP_NOACTIVATE;
}

// The body drags the window as its caption would. The move itself is asked
// for directly: a caption press would also bring the window to the
// foreground, and the status window must never take the activation from
// the user's program.
void StatusAppearance::StartDrag(LPARAM client_point) {
  POINT cursor{GET_X_LPARAM(client_point), GET_Y_LPARAM(client_point)};
  ::ClientToScreen(hwnd(), &cursor);
  ::ReleaseCapture();
  ::PostMessageW(hwnd(), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, MAKELPARAM(cursor.x, cursor.y));
}

void StatusAppearance::RecordDragOffset(LPARAM screen_point) {
  RECT window{};
  ::GetWindowRect(hwnd(), &window);
  drag_offset_ = Point{GET_X_LPARAM(screen_point) - window.left, GET_Y_LPARAM(screen_point) - window.top};
}

void StatusAppearance::SnapOnMoving(RECT& proposed) {
  const Settings& s = host_.settings();
  if (s.snap_enable == 0) return;
  POINT cursor{};
  if (!::GetCursorPos(&cursor)) return;
  const std::vector<MonitorArea> monitors = Monitors();
  const Rect r = SnapWhileDragged(ToRect(proposed), Point{cursor.x, cursor.y}, drag_offset_, s.snap_width, monitors);
  proposed = RECT{r.left, r.top, r.right, r.bottom};
  ::MoveWindow(hwnd(), r.left, r.top, r.width(), r.height(), TRUE);
  StorePosition(Point{r.left, r.top});
}

void StatusAppearance::MoveToCenter() {
  Settings& s = host_.settings();
  s.window_status = 1;
  RECT window{};
  ::GetWindowRect(hwnd(), &window);
  const Point corner = CenteredPosition(PrimaryWorkArea(), ToRect(window));
  if (s.fixed_pos == 0 && s.window_enable == 1) {
    ::MoveWindow(hwnd(), corner.x, corner.y, window.right - window.left, window.bottom - window.top, TRUE);
    StorePosition(corner);
  }
  ::SetForegroundWindow(hwnd());
}

// The window takes the rectangle offered, its fonts are made again for the
// DPI and its look is painted again. Nothing is stored: the settings keep
// their sizes at the system DPI, and the corner where it was put.
void StatusAppearance::OnDpiChanged(UINT dpi, const RECT& suggested) {
  window_dpi_ = dpi != 0 ? dpi : system_dpi_;
  CreateLookObjects();
  ShowStateFont();
  const int width = suggested.right - suggested.left;
  const int height = suggested.bottom - suggested.top;
  ::SetWindowPos(::GetDlgItem(hwnd(), IDC_STATE_TEXT), nullptr, 0, 0, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  ::SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  RedrawAll(hwnd());
}

std::optional<Point> StatusAppearance::WindowCorner() const {
  RECT window{};
  if (hwnd() == nullptr || !::GetWindowRect(hwnd(), &window)) return std::nullopt;
  return Point{window.left, window.top};
}

// In memory only; the position reaches the settings file with the rest.
void StatusAppearance::StorePosition(Point corner) {
  Settings& s = host_.settings();
  if (s.portrait == 1) {
    s.vertical_pos_x = corner.x;
    s.vertical_pos_y = corner.y;
  } else {
    s.horizontal_pos_x = corner.x;
    s.horizontal_pos_y = corner.y;
  }
}

}  // namespace veltra
