// The status window's registration, its start and its exit, and the
// dispatch of its messages to the jobs of the other status_*.cpp files.
#include "window/veltra_dlg.h"

#include <dbt.h>

#include <cwchar>

#include "device/device_control.h"
#include "device/os_version.h"
#include "device/panel_screen.h"
#include "device/posture.h"
#include "device/taskbar_refresh.h"
#include "platform/simulated_crash.h"
#include "platform/trace.h"
#include "resources/resource.h"
#include "startup/scheduled_tasks.h"
#include "window/messages.h"
#include "ui/monitor_dpi.h"
#include "window/wallpaper.h"

namespace veltra {
namespace {

// GUID_LIDSWITCH_STATE_CHANGE, whose definition the import libraries lack.
constexpr GUID kLidSwitchStateChange = {0xba3e0f4d, 0xb817, 0x4094, {0xa2, 0xd1, 0xd5, 0x63, 0x79, 0xe6, 0xa0, 0xf3}};

}  // namespace

bool RegisterStatusWindowClass(HINSTANCE instance) {
  // The status window is a dialog whose template names this class, so it
  // takes the standard dialog class's attributes under our own name.
  WNDCLASSEXW window_class_info{};
  window_class_info.cbSize = sizeof(window_class_info);
  if (!::GetClassInfoExW(nullptr, L"#32770", &window_class_info)) {
    TraceLastError(L"GetClassInfoExW");
    return false;
  }
  window_class_info.hInstance = instance;
  window_class_info.lpszClassName = protocol::kWindowClass;
  if (::RegisterClassExW(&window_class_info) == 0) {
    TraceLastError(L"RegisterClassExW");
    return false;
  }
  return true;
}

CVeltraDlg::CVeltraDlg(const ui::WinApp& app, Settings& settings, ProfileStore& store)
    : ui::Dialog(IDD_VELTRA_DIALOG),
      app_(app),
      settings_(settings),
      store_(store),
      program_icon_(static_cast<HICON>(::LoadImageW(app.instance(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 0, 0,
                                                    LR_DEFAULTSIZE))) {}

BOOL CVeltraDlg::OnInitDialog() {
  const HWND window = hwnd();
  system_dpi_ = ui::SystemDpi();
  window_dpi_ = ui::WindowDpi(window);
  // Before anything shows the state: where the machine reports its
  // posture, the posture decides it over the saved state and /T.
  const bool follow = settings_.follow_posture != 0;
  if (const auto state = posture_.Start(follow && HasPostureIndicator(), ReadSlateMode(), follow)) {
    settings_.touch_status = *state;
  }
  // Then the screen: a panel whose screen is dark starts disabled.
  if (const auto state = screen_.Start(PanelScreenActive(settings_.device_instance_path), settings_.touch_status,
                                       settings_.follow_display != 0)) {
    settings_.touch_status = *state;
  }
  tray_.Attach(window);
  announcer_.Attach(window);
  hot_key_.Attach(window);
  suspend_resume_registration_.Register(window);
  lid_registration_.reset(
      ::RegisterPowerSettingNotification(window, &kLidSwitchStateChange, DEVICE_NOTIFY_WINDOW_HANDLE));
  if (task_refresh_ != nullptr) task_refresh_->ReportTo(window, WM_TASKS_REFRESHED);

  ::SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(program_icon_.get()));
  ::SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(program_icon_.get()));
  UpdateHotKeyRegistration(HotKeyRule::WhileOn);

  ::SetWindowLongPtrW(window, GWL_EXSTYLE, ::GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_LAYERED);
  SetOpacity(true);

  LoadStateIcons();
  ApplyLayout(true);
  ApplyOrientationWallpaper(settings_);
  ::SetWindowLongPtrW(window, GWL_EXSTYLE, ::GetWindowLongPtrW(window, GWL_EXSTYLE) & ~WS_EX_APPWINDOW);
  AddTrayIcon();
  // A box's own loop dispatches a WM_CLOSE or the end of the session: once
  // that exit has run (panel enabled, icon and hot key gone), nothing of the
  // start-up may follow it, or a hot key, a hook or a switch would outlive
  // the window's end.
  if (exiting_) return TRUE;
  CreateLookObjects();

  if (!DriveDeviceAndVerify()) RecoverFromDeviceError();
  if (exiting_) return TRUE;

  SaveDevicePath();
  if (settings_.debug_mode) ::SetTimer(window, TIMER_STATUS_POLL, 1000, nullptr);
  initialised_ = true;
  if (settings_.hotkey_single_use) UpdateHotKeyRegistration(HotKeyRule::WhileItCanAct);
  if (settings_.override_winkey) InstallWinKeyHook(window);
  return TRUE;
}

void CVeltraDlg::OnTasksRefreshed() {
  // Posted by the refresh's thread as its last step: one that came before
  // is not waited for. Once the exit has begun no box is shown; the exit
  // refreshes the tasks again and tells its own failure.
  if (task_refresh_ == nullptr || exiting_ || !task_refresh_->Finished()) return;
  if (task_refresh_->Apply(settings_)) TellTaskDefinitionFailed(app_, hwnd());
}

void CVeltraDlg::SettingsChanged() {
  if (hwnd() != nullptr) ::SendMessageW(hwnd(), WM_SETTINGS_CHANGED, 0, 0);
}

void CVeltraDlg::AbortStart() {
  SwitchDevice(settings_, true);
  EndOfUse();
  EndDialog(IDOK);
}

void CVeltraDlg::EndOfUse() {
  if (config_dialog_ != nullptr) config_dialog_->Destroy();
  tray_.Delete();
  hot_key_.Unregister();
  winkey_hook_.Remove();
  tray_.DestroyStateIcons();
}

void CVeltraDlg::ExitSequence() {
  // Removing the icon lets pending sent messages in; nothing of theirs may
  // switch the panel off again, nor run this twice.
  if (exiting_) return;
  exiting_ = true;
  initialised_ = false;
  // A cleaning ends with the rest; the saved state is the one before it.
  if (cleaning_.running()) {
    StopCleaning();
    settings_.touch_status = cleaning_.before();
    cleaning_.Abandon();
  }
  // The window goes at once: enabling the panel and removing the icon wait
  // on the device and the shell, which may be slow to answer.
  ::ShowWindow(hwnd(), SW_HIDE);
  // Whatever the user chose, the panel is left working; the saved state
  // keeps the choice for the next start.
  SwitchDevice(settings_, true);
  EndOfUse();
  suspend_resume_registration_.reset();
  lid_registration_.reset();
  RefreshTaskbarTabletMode(QueryOsVersion());
  EndDialog(IDOK);
}

// Windows may end the process at any moment once this returns, so all that
// must last is done here: the panel enabled, the settings saved. The tasks
// are left as the start-up and the user's boxes registered them: a refresh
// ended between a task's removal and its creation would lose the task.
void CVeltraDlg::EndOfSession() {
  ExitSequence();
  session_ended_ = true;
  if (!SaveChosenSettings()) TraceFailure(L"saving the settings", ERROR_WRITE_FAULT);
}

// After the configuration dialog changed the record: everything the window
// shows is taken from it again, in this order.
void CVeltraDlg::RefreshAppearance() {
  CreateLookObjects();
  SetOpacity(false);
  ApplyTouchState();
  ::ShowWindow(hwnd(), settings_.window_status && settings_.window_enable ? SW_SHOW : SW_HIDE);
  ApplyLayout(false);
  ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// Offered only the messages of this window and its text control: the keys
// of another of the program's dialogs are that dialog's own.
bool CVeltraDlg::PreTranslateMessage(MSG& message) {
  if (message.message == WM_HOTKEY) {
    OnHotKey();
    return true;
  }
  // Neither may press the hidden default button and end the program.
  return message.message == WM_KEYDOWN && (message.wParam == VK_SPACE || message.wParam == VK_RETURN);
}

void CVeltraDlg::OnTimer(UINT_PTR timer_id) {
  if (timer_id == TIMER_STATUS_POLL) {
    const std::uint8_t observed = GetDeviceState(settings_.device_instance_path) == 1 ? 1 : 0;
    ApplyLayout(true);
    SetTouchState(observed, false);
    return;
  }
  if (timer_id == TIMER_CLEANING) {
    OnCleaningTick();
    return;
  }
  if (timer_id == TIMER_TRAY_RETURN) {
    DWORD last_error = 0;
    if (!tray_.OnReturnTimer(enabled_state(), tooltip(), last_error)) TellTrayIconMissing(last_error);
    return;
  }
  CarryOut(click_.OnTimer(static_cast<unsigned>(timer_id), settings_.lbutton_mode != 0));
}

std::optional<LRESULT> CVeltraDlg::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  // Checked first: other programs send it many times a second.
  if (message == WM_SET_TOUCH_STATE) {
    // Told apart from "taken", so a second start does not count its request
    // as handled by an instance that is going away.
    if (exiting_) return protocol::kTouchStateEnding;
    OnSetTouchState(wparam, lparam);
    return 0;
  }
  CrashIfRequested(message);
  if (tray_.IsTaskbarCreated(message)) {
    // Also sent when the taskbar's DPI changed: the icons are loaded again
    // at its size.
    if (!exiting_) {
      LoadStateIcons();
      tray_.Return(enabled_state(), tooltip());
    }
    return std::nullopt;
  }
  if (message == WM_WINKEY_TRIGGER) {
    OnWinKeyTrigger(wparam, lparam);
    return 0;
  }
  switch (message) {
    case WM_TRAY_NOTIFY:
      OnTrayNotify(LOWORD(lparam));
      return 0;
    case WM_SETTINGS_CHANGED:
      RefreshAppearance();
      return 0;
    case WM_TASKS_REFRESHED:
      OnTasksRefreshed();
      return 0;
    case WM_HOTKEY:
      // Normally taken before dispatch; this serves the loops of the
      // platform's own modal windows (message boxes, colour and font
      // choosers), which know nothing of the pre-translation.
      OnHotKey();
      return 0;
    case WM_DEVICECHANGE:
      if (wparam == DBT_DEVNODES_CHANGED && initialised_) Resynchronise();
      return 0;
    case WM_POWERBROADCAST:
      if (wparam == PBT_APMRESUMEAUTOMATIC && settings_.detect_resume) SetTouchState(1);
      // The lid is the window's only power setting. Its report is not read:
      // any program may send this message with any pointer, and whether the
      // screen left the desktop is the seam's to say; a report that changes
      // nothing switches nothing.
      if (wparam == PBT_POWERSETTINGCHANGE) {
        OnScreenChange();
        return TRUE;
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
    case WM_WINDOWPOSCHANGING:
      OnWindowPosChanging(*reinterpret_cast<WINDOWPOS*>(lparam));
      return std::nullopt;
    case WM_NCHITTEST:
      if (settings_.snap_enable != 0) RecordDragOffset(lparam);
      return std::nullopt;
    case WM_MOVING:
      SnapOnMoving(*reinterpret_cast<RECT*>(lparam));
      return TRUE;
    case WM_LBUTTONDOWN:
      if (!settings_.fixed_pos) StartDrag(lparam);
      return std::nullopt;
    case WM_LBUTTONDBLCLK:
      ToggleTouchState();
      return std::nullopt;
    case WM_RBUTTONUP:
      TrayAction(TrayActionKind::ShowTrayMenu);
      return std::nullopt;
    case WM_SETTINGCHANGE:
      // Windows announces a new posture to every top-level window by name;
      // other announcements may carry no text at all.
      if (lparam != 0 && std::wcscmp(reinterpret_cast<const wchar_t*>(lparam), L"ConvertibleSlateMode") == 0) {
        OnPostureChange();
      }
      return std::nullopt;
    case WM_DISPLAYCHANGE:
      ApplyLayout(true);
      ApplyOrientationWallpaper(settings_);
      ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
      OnScreenChange();
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_CLOSE:
      ExitSequence();
      return 0;
    case WM_DESTROY:
      announcer_.Detach();
      return std::nullopt;
    case WM_QUERYENDSESSION:
      if (!SaveChosenSettings()) TraceFailure(L"saving the settings", ERROR_WRITE_FAULT);
      return std::nullopt;
    case WM_ENDSESSION:
      if (wparam != 0) EndOfSession();
      return std::nullopt;
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case ID_TOUCH_ENABLE:
          SetTouchState(1);
          return 0;
        case ID_TOUCH_DISABLE:
          SetTouchState(0);
          return 0;
        case ID_MOVE_TO_CENTER:
          MoveToCenter();
          return 0;
        case ID_CLEAN_SCREEN:
          ToggleCleaning();
          return 0;
        case ID_FOLLOW_POSTURE:
          ToggleFollow(settings_.follow_posture, L"follow_posture", IDC_CFG_FOLLOW_POSTURE);
          return 0;
        case ID_FOLLOW_DISPLAY:
          // Not in the configuration dialog: its "Tablet" group has no room.
          ToggleFollow(settings_.follow_display, L"follow_display", 0);
          return 0;
        case ID_CONFIGURATION:
          if (config_dialog_ != nullptr && config_dialog_->Create(hwnd())) config_dialog_->Show(true);
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
