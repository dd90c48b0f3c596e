// The status window's message handling, switch sequence and exit sequence.
#include "window/veltra_dlg.h"

#include <setupapi.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdio>

#include "app/ini_store.h"
#include "device/device_control.h"
#include "hook/veltra_hook.h"
#include "resources/resource.h"
#include "window/messages.h"
#include "window/simulated_crash.h"
#include "window/taskbar_refresh.h"
#include "window/tray_icon.h"

namespace veltra {
namespace {

constexpr wchar_t kDeviceErrorText[] =
    L"Device control error.\nPlease check the device status \nand device instance path in device manager.";

COLORREF Rgb(std::int32_t r, std::int32_t g, std::int32_t b) {
  return RGB(static_cast<BYTE>(r), static_cast<BYTE>(g), static_cast<BYTE>(b));
}

LOGFONTW ToLogFont(const FontRecord& font) {
  LOGFONTW log{};
  log.lfHeight = font.lfHeight;
  log.lfWidth = font.lfWidth;
  log.lfEscapement = font.lfEscapement;
  log.lfOrientation = font.lfOrientation;
  log.lfWeight = font.lfWeight;
  log.lfItalic = font.lfItalic;
  log.lfUnderline = font.lfUnderline;
  log.lfStrikeOut = font.lfStrikeOut;
  log.lfCharSet = font.lfCharSet;
  log.lfOutPrecision = font.lfOutPrecision;
  log.lfClipPrecision = font.lfClipPrecision;
  log.lfQuality = font.lfQuality;
  log.lfPitchAndFamily = font.lfPitchAndFamily;
  // The record never holds more than the field takes, but the copy must
  // not rely on that.
  const std::size_t length = std::min(font.lfFaceName.size(), std::size(log.lfFaceName) - 1);
  std::copy_n(font.lfFaceName.data(), length, log.lfFaceName);
  return log;
}

// A state icon from the user's file, or the built-in one. ExtractIconW
// answers 1 for a file that holds no icons at all.
HICON LoadStateIcon(HINSTANCE instance, const std::wstring& file, std::int32_t index, UINT fallback_id) {
  if (!file.empty() && index >= 0) {
    HICON icon = ::ExtractIconW(instance, file.c_str(), static_cast<UINT>(index));
    if (reinterpret_cast<UINT_PTR>(icon) > 1) return icon;
  }
  return static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(fallback_id), IMAGE_ICON,
                                         ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0));
}

}  // namespace

BYTE StartupAlpha(std::int32_t transparent) {
  if (transparent > 30) return static_cast<BYTE>(std::min<unsigned>(static_cast<BYTE>(transparent), 100u) * 255u / 100u);
  return 76;
}

CVeltraDlg::CVeltraDlg(CVeltraApp& app)
    : ui::Dialog(IDD_VELTRA_DIALOG),
      settings_(app),
      program_icon_(static_cast<HICON>(::LoadImageW(app.instance(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 0, 0,
                                                    LR_DEFAULTSIZE))) {}

BOOL CVeltraDlg::OnInitDialog() {
  const HWND window = hwnd();
  // The shell's broadcast after a restart of the taskbar; an elevated
  // program only receives it when it lets it through.
  WM_TASKBAR_CREATED = ::RegisterWindowMessageW(L"TaskbarCreated");
  ::ChangeWindowMessageFilterEx(window, WM_TASKBAR_CREATED, MSGFLT_ALLOW, nullptr);
  suspend_resume_registration_.reset(::RegisterSuspendResumeNotification(window, DEVICE_NOTIFY_WINDOW_HANDLE));

  ::SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(program_icon_.get()));
  ::SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(program_icon_.get()));
  settings_.status_window = window;
  if (settings_.enable_hotkey) RegisterToggleHotKey();

  ::SetWindowLongPtrW(window, GWL_EXSTYLE, ::GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_LAYERED);
  ::SetLayeredWindowAttributes(window, 0, StartupAlpha(settings_.transparent), LWA_ALPHA);

  LoadStateIcons();
  ApplyLayout(true);
  ::SetWindowLongPtrW(window, GWL_EXSTYLE, ::GetWindowLongPtrW(window, GWL_EXSTYLE) & ~WS_EX_APPWINDOW);
  AddTrayIcon(true);
  CreateLookObjects();
  os_version_ = QueryOsVersion();

  if (!DriveDeviceAndVerify()) {
    ::ShellExecuteW(nullptr, L"open", L"mmc", L"devmgmt.msc", L"", SW_SHOWNORMAL);
    for (;;) {
      const int answer = settings_.ShowMessage(kDeviceErrorText, MB_ICONWARNING | MB_ABORTRETRYIGNORE, window);
      if (answer == IDRETRY) {
        if (DriveDeviceAndVerify()) break;
        continue;
      }
      if (answer == IDABORT) AbortStart();
      break;
    }
  }

  IniFileStore(settings_.ini_path).WriteString(L"hardware", L"device_instance_path", settings_.device_instance_path);
  if (settings_.debug_mode) ::SetTimer(window, TIMER_STATUS_POLL, 1000, nullptr);
  initialised_ = true;
  if (settings_.hotkey_single_use) UpdateHotKeyRegistration();
  if (settings_.override_winkey) InstallWinKeyHook();
  return TRUE;
}

void CVeltraDlg::InstallWinKeyHook() {
  if (SetLowKeyboardHook(hwnd()) != 0) return;
  // Saved off with the rest, so the next start does not fail the same way.
  settings_.override_winkey = 0;
  settings_.ShowMessage(L"Fail to Install Hook for override Windows Key.", MB_ICONWARNING | MB_ABORTRETRYIGNORE,
                        hwnd());
}

void CVeltraDlg::RegisterToggleHotKey() {
  if (settings_.status_window == nullptr) return;
  ::RegisterHotKey(settings_.status_window, HotKeyId(settings_.fsModifiers, settings_.virtkey),
                   HotKeyModifiers(settings_.fsModifiers), static_cast<UINT>(settings_.virtkey));
}

void CVeltraDlg::UnregisterToggleHotKey() {
  if (settings_.status_window == nullptr) return;
  ::UnregisterHotKey(settings_.status_window, HotKeyId(settings_.fsModifiers, settings_.virtkey));
}

void CVeltraDlg::UpdateHotKeyRegistration() {
  if (HotKeyWanted(settings_.enable_hotkey != 0, settings_.hotkey_toggle_mode, settings_.touch_status)) {
    RegisterToggleHotKey();
  } else {
    UnregisterToggleHotKey();
  }
}

void CVeltraDlg::SwitchTo(std::uint8_t state) {
  if (state == settings_.touch_status) return;
  settings_.touch_status = state;
  ApplyTouchState();
}

void CVeltraDlg::OnHotKey() { SwitchTo(StateAfterTrigger(settings_.hotkey_toggle_mode, settings_.touch_status)); }

void CVeltraDlg::OnWinKeyTrigger(WPARAM time_stamp) {
  const auto stamp = static_cast<std::int32_t>(static_cast<std::uint32_t>(time_stamp));
  if (winkey_.Accept(stamp, settings_.override_winkey_resp)) {
    SwitchTo(StateAfterTrigger(settings_.override_winkey_mode, settings_.touch_status));
  }
}

bool CVeltraDlg::DriveDeviceAndVerify() {
  const bool enable = enabled_state();
  const bool ok = SetDeviceState(QueryOsVersion(), settings_.device_instance_path,
                                 enable ? DICS_ENABLE : DICS_DISABLE, settings_.redraw_traynotifywnd) != 0;
  ShowStateText();
  // A device that cannot be queried (-1) counts as failing either way.
  return ok && GetDeviceState(settings_.device_instance_path) == (enable ? 1 : 0);
}

void CVeltraDlg::AbortStart() {
  SetDeviceState(QueryOsVersion(), settings_.device_instance_path, DICS_ENABLE, settings_.redraw_traynotifywnd);
  EndOfUse();
  EndDialog(IDOK);
}

void CVeltraDlg::EndOfUse() {
  DeleteNotifyIcon(hwnd());
  UnregisterToggleHotKey();
  settings_.enable_icon_handle = nullptr;
  settings_.disable_icon_handle = nullptr;
  enable_icon_.reset();
  disable_icon_.reset();
}

void CVeltraDlg::ExitSequence() {
  initialised_ = false;
  const OsVersion version = QueryOsVersion();
  // Whatever the user chose, the panel is left working; the saved state
  // keeps the choice for the next start.
  SetDeviceState(version, settings_.device_instance_path, DICS_ENABLE, settings_.redraw_traynotifywnd);
  EndOfUse();
  suspend_resume_registration_.reset();
  RefreshTaskbarTabletMode(version);
  EndDialog(IDOK);
}

void CVeltraDlg::ApplyTouchState() {
  os_version_ = QueryOsVersion();
  SetDeviceState(os_version_, settings_.device_instance_path, enabled_state() ? DICS_ENABLE : DICS_DISABLE,
                 settings_.redraw_traynotifywnd);
  ShowStateIndicators();
  if (settings_.hotkey_single_use) UpdateHotKeyRegistration();
}

void CVeltraDlg::ToggleTouchState() {
  settings_.touch_status = settings_.touch_status ? 0 : 1;
  ApplyTouchState();
}

void CVeltraDlg::ShowTouchState() {
  ShowStateIndicators();
  if (settings_.hotkey_single_use) UpdateHotKeyRegistration();
}

void CVeltraDlg::ShowStateText() {
  const bool enable = enabled_state();
  ::SendDlgItemMessageW(hwnd(), IDC_STATE_TEXT, WM_SETFONT,
                        reinterpret_cast<WPARAM>(enable ? enable_font_.get() : disable_font_.get()), TRUE);
  ::SetDlgItemTextW(hwnd(), IDC_STATE_TEXT,
                    (enable ? settings_.dialog_enable_txt : settings_.dialog_disable_txt).c_str());
}

void CVeltraDlg::ShowStateIndicators() {
  ShowStateText();
  const bool enable = enabled_state();
  ModifyNotifyIcon(hwnd(), enable ? settings_.enable_icon_handle : settings_.disable_icon_handle,
                   enable ? settings_.tooltip_enable_txt : settings_.tooltip_disable_txt);
  // The window's own colours depend on the state too.
  ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void CVeltraDlg::AddTrayIcon(bool add) {
  if (!add) {
    DeleteNotifyIcon(hwnd());
    return;
  }
  const bool enable = enabled_state();
  DWORD last_error = 0;
  if (AddNotifyIcon(hwnd(), enable ? settings_.enable_icon_handle : settings_.disable_icon_handle,
                    enable ? settings_.tooltip_enable_txt : settings_.tooltip_disable_txt, last_error)) {
    return;
  }
  // Without its icon the program must stay reachable through its window.
  ::ShowWindow(hwnd(), SW_SHOW);
  wchar_t text[64];
  std::swprintf(text, std::size(text), L"Set Tasktray err %d", static_cast<int>(last_error));
  settings_.ShowMessage(text, MB_ICONEXCLAMATION, hwnd());
}

void CVeltraDlg::LoadStateIcons() {
  enable_icon_.reset(LoadStateIcon(settings_.instance(), settings_.enable_icon, settings_.enable_icon_idx,
                                   IDI_TOUCH_ENABLED));
  disable_icon_.reset(LoadStateIcon(settings_.instance(), settings_.disable_icon, settings_.disable_icon_idx,
                                    IDI_TOUCH_DISABLED));
  settings_.enable_icon_handle = enable_icon_.get();
  settings_.disable_icon_handle = disable_icon_.get();
}

void CVeltraDlg::CreateLookObjects() {
  const Settings& s = settings_;
  enable_brush_.reset(::CreateSolidBrush(Rgb(s.enable_dlg_col_r, s.enable_dlg_col_g, s.enable_dlg_col_b)));
  disable_brush_.reset(::CreateSolidBrush(Rgb(s.disable_dlg_col_r, s.disable_dlg_col_g, s.disable_dlg_col_b)));
  const LOGFONTW enable_font = ToLogFont(s.enable_font);
  const LOGFONTW disable_font = ToLogFont(s.disable_font);
  enable_font_.reset(::CreateFontIndirectW(&enable_font));
  disable_font_.reset(::CreateFontIndirectW(&disable_font));
}

void CVeltraDlg::ApplyLayout(bool activate) {
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  settings_.portrait = (work.bottom - work.top) > (work.right - work.left) ? 1 : 0;
  const Settings& s = settings_;
  const bool portrait = s.portrait != 0;
  const int x = portrait ? s.vertical_pos_x : s.horizontal_pos_x;
  const int y = portrait ? s.vertical_pos_y : s.horizontal_pos_y;
  const int width = portrait ? s.vertical_width : s.horizontal_width;
  const int height = portrait ? s.vertical_height : s.horizontal_height;
  const bool visible = s.window_status && s.window_enable;
  UINT flags = visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
  if (!activate) flags |= SWP_NOACTIVATE;
  ::SetWindowPos(hwnd(), s.always_top ? HWND_TOPMOST : HWND_NOTOPMOST, x, y, width, height, flags);
  // The text fills the window whatever its size.
  ::SetWindowPos(::GetDlgItem(hwnd(), IDC_STATE_TEXT), nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CVeltraDlg::PreTranslateMessage(MSG& message) {
  if (message.message == WM_HOTKEY) {
    OnHotKey();
    return true;
  }
  // Neither may press the hidden default button and end the program.
  return message.message == WM_KEYDOWN && (message.wParam == VK_SPACE || message.wParam == VK_RETURN);
}

void CVeltraDlg::OnSetTouchState(WPARAM wanted, LPARAM toggle) {
  if (toggle != 0) {
    ToggleTouchState();
    return;
  }
  // Sent on every tick of the watcher: the unchanged state must cost
  // nothing beyond this comparison.
  SwitchTo(wanted != 0 ? 1 : 0);
}

void CVeltraDlg::Resynchronise() {
  os_version_ = QueryOsVersion();
  const std::uint8_t observed = GetDeviceState(settings_.device_instance_path) == 1 ? 1 : 0;
  if (observed != settings_.touch_status) {
    settings_.touch_status = observed;
    ShowTouchState();
  }
  if (settings_.redraw_traynotifywnd) RefreshTaskbarTabletMode(os_version_);
  if (settings_.hotkey_single_use) UpdateHotKeyRegistration();
}

void CVeltraDlg::OnTrayNotify(UINT mouse_message) {
  if (mouse_message < WM_LBUTTONDOWN || mouse_message > WM_RBUTTONDBLCLK) return;
  CarryOut(click_.OnMouse(mouse_message, settings_.lbutton_mode != 0));
}

void CVeltraDlg::OnTimer(UINT_PTR timer_id) {
  if (timer_id == TIMER_STATUS_POLL) {
    settings_.touch_status = GetDeviceState(settings_.device_instance_path) == 1 ? 1 : 0;
    ApplyLayout(true);
    ShowTouchState();
    return;
  }
  CarryOut(click_.OnTimer(static_cast<unsigned>(timer_id), settings_.lbutton_mode != 0));
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
  const ui::UniqueHmenu menu(::LoadMenuW(settings_.instance(), MAKEINTRESOURCEW(IDR_TRAY_MENU)));
  if (!menu) return;
  const HMENU popup = ::GetSubMenu(menu.get(), 0);
  PrepareTrayMenu(popup, enabled_state(), settings_.fixed_pos != 0);
  ::TrackPopupMenu(popup, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, hwnd(), nullptr);
  ::PostMessageW(hwnd(), WM_NULL, 0, 0);
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
  ::SetBkColor(dc, enable ? Rgb(s.enable_dlg_col_r, s.enable_dlg_col_g, s.enable_dlg_col_b)
                          : Rgb(s.disable_dlg_col_r, s.disable_dlg_col_g, s.disable_dlg_col_b));
  return reinterpret_cast<LRESULT>(enable ? enable_brush_.get() : disable_brush_.get());
}

std::optional<LRESULT> CVeltraDlg::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  // Checked first: other programs send it many times a second.
  if (message == WM_SET_TOUCH_STATE) {
    OnSetTouchState(wparam, lparam);
    return 0;
  }
  CrashIfRequested(message);
  if (message == WM_TASKBAR_CREATED && message != 0) {
    AddTrayIcon(true);
    return std::nullopt;
  }
  if (message == WM_WINKEY_TRIGGER) {
    OnWinKeyTrigger(wparam);
    return 0;
  }
  switch (message) {
    case WM_TRAY_NOTIFY:
      OnTrayNotify(LOWORD(lparam));
      return 0;
    case WM_SETTINGS_CHANGED:
      CreateLookObjects();
      ApplyLayout(false);
      ShowStateIndicators();
      return 0;
    case WM_DEVICECHANGE:
      if (wparam == 0x0007 /* DBT_DEVNODES_CHANGED */ && initialised_) Resynchronise();
      return 0;
    case WM_POWERBROADCAST:
      if (wparam == PBT_APMRESUMEAUTOMATIC && settings_.detect_resume) {
        settings_.touch_status = 1;
        ApplyTouchState();
      }
      return std::nullopt;
    case WM_TIMER:
      OnTimer(wparam);
      return std::nullopt;
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
    case WM_LBUTTONDOWN:
      if (!settings_.fixed_pos) {
        ::ReleaseCapture();
        ::PostMessageW(hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, lparam);
      }
      return std::nullopt;
    case WM_LBUTTONDBLCLK:
      ToggleTouchState();
      return std::nullopt;
    case WM_RBUTTONUP:
      TrayAction(TrayActionKind::ShowTrayMenu);
      return std::nullopt;
    case WM_DISPLAYCHANGE:
      ApplyLayout(true);
      ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
      return 0;
    case WM_CLOSE:
      ExitSequence();
      return 0;
    case WM_QUERYENDSESSION: {
      IniFileStore store(settings_.ini_path);
      SaveSettings(settings_, store);
      return std::nullopt;
    }
    case WM_ENDSESSION:
      if (wparam != 0) ExitSequence();
      return std::nullopt;
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case ID_TOUCH_ENABLE:
          settings_.touch_status = 1;
          ApplyTouchState();
          return 0;
        case ID_TOUCH_DISABLE:
          settings_.touch_status = 0;
          ApplyTouchState();
          return 0;
        case ID_APP_EXIT:
        case IDOK:
        case IDCANCEL:
          ExitSequence();
          return 0;
        default:
          return std::nullopt;
      }
    default:
      return std::nullopt;
  }
}

}  // namespace veltra
