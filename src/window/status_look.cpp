// The status window's look: the state icons, colours, fonts and opacity
// taken from the settings, and its painting.
#include <windows.h>

#include "resources/resource.h"
#include "ui/file_icons.h"
#include "window/log_font.h"
#include "ui/monitor_dpi.h"
#include "window/placement.h"
#include "window/veltra_dlg.h"

namespace veltra {
namespace {

COLORREF Rgb(std::int32_t r, std::int32_t g, std::int32_t b) {
  return RGB(static_cast<BYTE>(r), static_cast<BYTE>(g), static_cast<BYTE>(b));
}

// A state icon from the user's file, or the built-in one at the size the
// taskbar shows at its DPI.
UniqueHicon LoadStateIcon(HINSTANCE instance, const std::wstring& file, std::int32_t index, UINT fallback_id) {
  if (UniqueHicon icon = ui::ExtractFileIcon(instance, file, index)) return icon;
  const SIZE size = ui::SmallIconSize(ui::TaskbarDpi());
  return UniqueHicon(
      static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(fallback_id), IMAGE_ICON, size.cx, size.cy, 0)));
}

}  // namespace

void CVeltraDlg::LoadStateIcons() {
  tray_.SetStateIcons(
      LoadStateIcon(app_.instance(), settings_.enable_icon, settings_.enable_icon_idx, IDI_TOUCH_ENABLED),
      LoadStateIcon(app_.instance(), settings_.disable_icon, settings_.disable_icon_idx, IDI_TOUCH_DISABLED));
}

void CVeltraDlg::SetOpacity(bool startup_floor) {
  layered_.SetAlpha(hwnd(), StatusWindowAlpha(settings_.transparent, startup_floor));
}

void CVeltraDlg::CreateLookObjects() {
  const Settings& s = settings_;
  enable_brush_.reset(::CreateSolidBrush(Rgb(s.enable_dlg_col_r, s.enable_dlg_col_g, s.enable_dlg_col_b)));
  disable_brush_.reset(::CreateSolidBrush(Rgb(s.disable_dlg_col_r, s.disable_dlg_col_g, s.disable_dlg_col_b)));
  enable_font_ = CreateFontAtDpi(s.enable_font);
  disable_font_ = CreateFontAtDpi(s.disable_font);
}

// The record's heights are meant at the system DPI, as the font chooser
// gives them.
UniqueHfont CVeltraDlg::CreateFontAtDpi(const FontRecord& font) const {
  LOGFONTW log = ToLogFont(font);
  log.lfHeight = AtWindowDpi(log.lfHeight);
  log.lfWidth = AtWindowDpi(log.lfWidth);
  return UniqueHfont(::CreateFontIndirectW(&log));
}

void CVeltraDlg::PaintMinimised() {
  PAINTSTRUCT paint;
  const HDC dc = ::BeginPaint(hwnd(), &paint);
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  const int x = (client.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
  ::DrawIcon(dc, x, y, program_icon_.get());
  ::EndPaint(hwnd(), &paint);
}

LRESULT CVeltraDlg::PaintBackground(HDC dc) {
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  ::FillRect(dc, &client, enabled_state() ? enable_brush_.get() : disable_brush_.get());
  return TRUE;
}

LRESULT CVeltraDlg::ColourStatic(HDC dc) {
  const Settings& s = settings_;
  const bool enable = enabled_state();
  ::SetTextColor(dc, enable ? Rgb(s.enable_txt_col_r, s.enable_txt_col_g, s.enable_txt_col_b)
                            : Rgb(s.disable_txt_col_r, s.disable_txt_col_g, s.disable_txt_col_b));
  ::SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<LRESULT>(enable ? enable_brush_.get() : disable_brush_.get());
}

}  // namespace veltra
