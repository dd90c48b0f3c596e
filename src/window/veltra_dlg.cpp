// The status window's message handling, switch sequence and exit sequence.
#include "window/veltra_dlg.h"

#include <dbt.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>

#include "device/device_control.h"
#include "device/device_selection_dlg.h"
#include "device/os_version.h"
#include "device/posture.h"
#include "device/taskbar_refresh.h"
#include "platform/paths.h"
#include "platform/simulated_crash.h"
#include "platform/strings.h"
#include "platform/trace.h"
#include "resources/resource.h"
#include "startup/scheduled_tasks.h"
#include "window/messages.h"
#include "window/placement.h"
#include "window/wallpaper.h"

namespace veltra {

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
  // Before anything shows the state: where the machine reports its
  // posture, the posture decides it over the saved state and /T.
  const bool follow = settings_.follow_posture != 0;
  if (const auto state = posture_.Start(follow && HasPostureIndicator(), ReadSlateMode(), follow)) {
    settings_.touch_status = *state;
  }
  tray_.Attach(window);
  announcer_.Attach(window);
  hot_key_.Attach(window);
  suspend_resume_registration_.Register(window);
  if (task_refresh_ != nullptr) task_refresh_->ReportTo(window, WM_TASKS_REFRESHED);

  ::SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(program_icon_.get()));
  ::SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(program_icon_.get()));
  if (settings_.enable_hotkey) hot_key_.Register(settings_.fsModifiers, settings_.virtkey);

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
  if (settings_.hotkey_single_use) UpdateHotKeyRegistration();
  if (settings_.override_winkey) InstallWinKeyHook(window);
  return TRUE;
}

void CVeltraDlg::RecoverFromDeviceError() {
  OpenDeviceManager();
  const std::wstring text = LoadLocalizedText(app_.instance(), IDS_DEVICE_ERROR);
  for (;;) {
    const int answer = app_.ShowMessage(text, MB_ICONWARNING | MB_ABORTRETRYIGNORE, hwnd());
    // Whatever the answer, an exit that ran while the box was up has the
    // last word: the panel stays enabled.
    if (exiting_) return;
    if (answer == IDRETRY) {
      if (DriveDeviceAndVerify()) return;
      continue;
    }
    if (answer == IDABORT) AbortStart();
    return;
  }
}

void CVeltraDlg::OpenDeviceManager() {
  // The console file by its full path too: the console looks for a bare
  // name in the current folder first, which anyone may have written.
  const std::wstring mmc = SystemProgramPath(L"mmc.exe");
  const std::wstring console = SystemProgramPath(L"devmgmt.msc");
  if (mmc.empty() || console.empty()) {
    TraceLastError(L"GetSystemDirectoryW");
    return;
  }
  const std::wstring parameters = L"\"" + console + L"\"";
  const auto started = reinterpret_cast<INT_PTR>(
      ::ShellExecuteW(nullptr, L"open", mmc.c_str(), parameters.c_str(), L"", SW_SHOWNORMAL));
  if (started <= 32) TraceFailure(L"starting the Device Manager", static_cast<DWORD>(started));
}

void CVeltraDlg::OnTasksRefreshed() {
  // Posted by the refresh's thread as its last step: one that came before
  // is not waited for. Once the exit has begun no box is shown; the exit
  // refreshes the tasks again and tells its own failure.
  if (task_refresh_ == nullptr || exiting_ || !task_refresh_->Finished()) return;
  if (task_refresh_->Apply(settings_)) TellTaskDefinitionFailed(app_, hwnd());
}

void CVeltraDlg::InstallWinKeyHook(HWND owner) {
  if (winkey_hook_.Install(hwnd())) return;
  // Saved off with the rest, so the next start does not fail the same way.
  // Every answer has the same effect.
  settings_.override_winkey = 0;
  app_.ShowMessage(LoadLocalizedText(app_.instance(), IDS_HOOK_FAILED), MB_ICONWARNING | MB_ABORTRETRYIGNORE,
                   owner);
}

void CVeltraDlg::ApplyWinKeyOverride(HWND owner) {
  if (settings_.override_winkey != 0) {
    InstallWinKeyHook(owner);
  } else {
    winkey_hook_.Remove();
  }
}

void CVeltraDlg::UpdateHotKeyRegistration() {
  if (HotKeyWanted(settings_.enable_hotkey != 0, settings_.hotkey_toggle_mode, settings_.touch_status)) {
    hot_key_.Register(settings_.fsModifiers, settings_.virtkey);
  } else {
    hot_key_.Unregister();
  }
}

// The configuration dialog's rule, unlike the single-use one: a stored
// combination is registered whenever the hot key is on.
void CVeltraDlg::ReregisterHotKey() {
  if (settings_.enable_hotkey != 0) {
    hot_key_.Register(settings_.fsModifiers, settings_.virtkey);
  } else {
    hot_key_.Unregister();
  }
}

void CVeltraDlg::SettingsChanged() {
  if (hwnd() != nullptr) ::SendMessageW(hwnd(), WM_SETTINGS_CHANGED, 0, 0);
}

void CVeltraDlg::SetTouchState(std::uint8_t state, bool drive_device) {
  if (drive_device && !AcceptsSwitches()) return;
  settings_.touch_status = state != 0 ? 1 : 0;
  if (drive_device) {
    ApplyTouchState();
  } else {
    ShowTouchState();
  }
}

void CVeltraDlg::SwitchTo(std::uint8_t state) {
  if (state == settings_.touch_status) return;
  SetTouchState(state);
}

// A switch like any other: during the exit or a device selection it does
// nothing, and the posture it missed is not applied afterwards.
void CVeltraDlg::OnPostureChange() {
  const auto state = posture_.Announced(ReadSlateMode(), settings_.follow_posture != 0);
  if (state) SwitchTo(*state);
}

void CVeltraDlg::ToggleFollowPosture() {
  settings_.follow_posture = settings_.follow_posture != 0 ? 0 : 1;
  // Saved at once, unlike the rest of the record (saved at the end): an
  // automatic switch the user turned off must stay off even if this run
  // never ends normally.
  if (!WriteIniInt(store_, L"config", L"follow_posture", settings_.follow_posture)) {
    TraceLastError(L"writing follow_posture");
  }
  if (config_dialog_ != nullptr && config_dialog_->hwnd() != nullptr) {
    ::CheckDlgButton(config_dialog_->hwnd(), IDC_CFG_FOLLOW_POSTURE,
                     settings_.follow_posture != 0 ? BST_CHECKED : BST_UNCHECKED);
  }
}

void CVeltraDlg::OnHotKey() { SwitchTo(StateAfterTrigger(settings_.hotkey_toggle_mode, settings_.touch_status)); }

void CVeltraDlg::OnWinKeyTrigger(WPARAM time_stamp) {
  const auto stamp = static_cast<std::int32_t>(static_cast<std::uint32_t>(time_stamp));
  if (winkey_.Accept(stamp, settings_.override_winkey_resp)) {
    SwitchTo(StateAfterTrigger(settings_.override_winkey_mode, settings_.touch_status));
  }
}

bool CVeltraDlg::DriveDeviceAndVerify() {
  if (exiting_) return false;
  const bool enable = enabled_state();
  const bool ok = SwitchDevice(settings_, enable) != 0;
  ShowStateText();
  // A device that cannot be queried (-1) counts as failing either way.
  return ok && GetDeviceState(settings_.device_instance_path) == (enable ? 1 : 0);
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
  // The window goes at once: enabling the panel and removing the icon wait
  // on the device and the shell, which may be slow to answer.
  ::ShowWindow(hwnd(), SW_HIDE);
  // Whatever the user chose, the panel is left working; the saved state
  // keeps the choice for the next start.
  SwitchDevice(settings_, true);
  EndOfUse();
  suspend_resume_registration_.reset();
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
  if (!SaveSettings(settings_, store_)) TraceFailure(L"saving the settings", ERROR_WRITE_FAULT);
}

void CVeltraDlg::ApplyTouchState() {
  if (!AcceptsSwitches()) return;
  SwitchDevice(settings_, enabled_state());
  ShowTouchState();
  if (settings_.hotkey_single_use) UpdateHotKeyRegistration();
}

INT_PTR CVeltraDlg::SelectDevice(HWND owner) {
  struct Selecting {
    bool& flag;
    explicit Selecting(bool& f) : flag(f) { flag = true; }
    ~Selecting() { flag = false; }
  } selecting(selecting_);
  const INT_PTR result = RunDeviceSelection(app_, settings_, &store_, owner);
  if (result == IDOK) SaveDevicePath();
  return result;
}

// Written at once, unlike the rest of the record: the boot and lock tasks,
// the removal and the next start read the device from the file, and must
// enable the one this window may disable next, however the process ends.
void CVeltraDlg::SaveDevicePath() {
  if (!store_.WriteString(L"hardware", L"device_instance_path", settings_.device_instance_path)) {
    TraceLastError(L"writing the device path");
  }
}

void CVeltraDlg::ToggleTouchState() { SetTouchState(settings_.touch_status ? 0 : 1); }

void CVeltraDlg::ShowStateText() {
  const bool enable = enabled_state();
  const std::wstring& text = enable ? settings_.dialog_enable_txt : settings_.dialog_disable_txt;
  ::SendDlgItemMessageW(hwnd(), IDC_STATE_TEXT, WM_SETFONT,
                        reinterpret_cast<WPARAM>(enable ? enable_font_.get() : disable_font_.get()), TRUE);
  ::SetDlgItemTextW(hwnd(), IDC_STATE_TEXT, text.c_str());
  announcer_.Show(text, enable);
}

// Display only: the hot key's registration follows switches and device
// changes, not every repaint of the state (the debug poll calls this every
// second).
void CVeltraDlg::ShowTouchState() {
  ShowStateText();
  tray_.Modify(enabled_state(), tooltip());
  // The window's own colours depend on the state too.
  ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void CVeltraDlg::AddTrayIcon() {
  DWORD last_error = 0;
  if (!tray_.Add(enabled_state(), tooltip(), last_error)) TellTrayIconMissing(last_error);
}

void CVeltraDlg::TellTrayIconMissing(DWORD last_error) {
  // Without its icon the program must stay reachable through its window.
  ::ShowWindow(hwnd(), SW_SHOW);
  wchar_t text[128];
  std::swprintf(text, std::size(text), LoadLocalizedText(app_.instance(), IDS_TRAY_ERROR).c_str(),
                static_cast<int>(last_error));
  app_.ShowMessage(text, MB_ICONEXCLAMATION, hwnd());
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
  const std::uint8_t observed = GetDeviceState(settings_.device_instance_path) == 1 ? 1 : 0;
  if (observed != settings_.touch_status) SetTouchState(observed, false);
  if (settings_.redraw_traynotifywnd) RefreshTaskbarTabletMode(QueryOsVersion());
  if (settings_.hotkey_single_use) UpdateHotKeyRegistration();
}

void CVeltraDlg::OnTrayNotify(UINT mouse_message) {
  if (mouse_message < WM_LBUTTONDOWN || mouse_message > WM_RBUTTONDBLCLK) return;
  CarryOut(click_.OnMouse(mouse_message, settings_.lbutton_mode != 0));
}

void CVeltraDlg::OnTimer(UINT_PTR timer_id) {
  if (timer_id == TIMER_STATUS_POLL) {
    const std::uint8_t observed = GetDeviceState(settings_.device_instance_path) == 1 ? 1 : 0;
    ApplyLayout(true);
    SetTouchState(observed, false);
    return;
  }
  if (timer_id == TIMER_TRAY_RETURN) {
    DWORD last_error = 0;
    if (!tray_.OnReturnTimer(enabled_state(), tooltip(), last_error)) TellTrayIconMissing(last_error);
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
  const UniqueHmenu menu(::LoadMenuW(app_.instance(), MAKEINTRESOURCEW(IDR_TRAY_MENU)));
  if (!menu) return;
  const HMENU popup = ::GetSubMenu(menu.get(), 0);
  PrepareTrayMenu(popup, enabled_state(), settings_.fixed_pos != 0, settings_.follow_posture != 0,
                  LoadLocalizedText(app_.instance(), IDS_MENU_FOLLOW_POSTURE));
  ::TrackPopupMenu(popup, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, hwnd(), nullptr);
  ::PostMessageW(hwnd(), WM_NULL, 0, 0);
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
    if (!exiting_) tray_.Return(enabled_state(), tooltip());
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
      return 0;
    case WM_CLOSE:
      ExitSequence();
      return 0;
    case WM_DESTROY:
      announcer_.Detach();
      return std::nullopt;
    case WM_QUERYENDSESSION:
      if (!SaveSettings(settings_, store_)) TraceFailure(L"saving the settings", ERROR_WRITE_FAULT);
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
        case ID_FOLLOW_POSTURE:
          ToggleFollowPosture();
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
