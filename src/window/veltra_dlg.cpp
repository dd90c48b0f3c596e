// The status window's registration, its start and its exit, and the
// dispatch of its messages to its parts.
#include "window/veltra_dlg.h"

#include "device/os_version.h"
#include "device/taskbar_refresh.h"
#include "platform/simulated_crash.h"
#include "platform/trace.h"
#include "resources/resource.h"
#include "startup/scheduled_tasks.h"
#include "window/messages.h"

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
      appearance_(*this, app.instance()),
      tray_(*this, parts_.data(), parts_.size()) {}

BOOL CVeltraDlg::OnInitDialog() {
  if (task_refresh_ != nullptr) task_refresh_->ReportTo(hwnd(), WM_TASKS_REFRESHED);
  for (StatusPart* part : parts_) {
    part->Start();
    // A box's own loop dispatches a WM_CLOSE or the end of the session:
    // once that exit has run (panel enabled, icon and hot key gone),
    // nothing of the start-up may follow it, or a hot key, a hook or a
    // switch would outlive the window's end.
    if (exiting_) return TRUE;
  }
  switch (panel_.DriveAtStart()) {
    case PanelSwitch::StartOutcome::Running:
      break;
    case PanelSwitch::StartOutcome::Aborted:
      ExitSequence();
      return TRUE;
    case PanelSwitch::StartOutcome::Ended:
      return TRUE;
  }
  for (StatusPart* part : parts_) part->Started();
  // A timer's message comes after the window's first WM_PAINT, and only
  // once the thread has waited for it: by then the picture is on the
  // screen (Wine hands a window's drawing to the X server when its thread
  // waits), and a posted message would come before the paint.
  ::SetTimer(hwnd(), TIMER_STATUS_SHOWN, USER_TIMER_MINIMUM, nullptr);
  return TRUE;
}

void CVeltraDlg::OnShown() {
  ::KillTimer(hwnd(), TIMER_STATUS_SHOWN);
  if (shown_) return;
  shown_ = true;
  // The start-up refresh waited for the first picture (it costs more than
  // the window).
  if (task_refresh_ != nullptr) task_refresh_->Release();
  for (StatusPart* part : parts_) {
    // As at the start: an exit that ran in a box's loop has the last word.
    if (exiting_) return;
    part->Shown();
  }
}

void CVeltraDlg::ShowState(ShowReason reason) {
  if (exiting_) return;
  for (StatusPart* part : parts_) part->StateShown(reason);
}

std::wstring CVeltraDlg::StateText(bool tooltip) const {
  for (const StatusPart* part : parts_) {
    if (auto text = part->StateText(tooltip)) return *std::move(text);
  }
  if (tooltip) return panel_.enabled() ? settings_.tooltip_enable_txt : settings_.tooltip_disable_txt;
  return panel_.enabled() ? settings_.dialog_enable_txt : settings_.dialog_disable_txt;
}

void CVeltraDlg::ShowSetting(int control_id) {
  if (config_dialog_ != nullptr) config_dialog_->ShowSetting(control_id);
}

HWND CVeltraDlg::BoxOwner() const {
  const HWND dialog = config_dialog_ != nullptr ? config_dialog_->hwnd() : nullptr;
  return dialog != nullptr && ::IsWindowVisible(dialog) ? dialog : hwnd();
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

// After the configuration dialog changed the record: each part takes what
// it owns from it again, and the panel is put right only if the device is
// not where the door wants it: a new text or colour drives nothing.
void CVeltraDlg::RefreshAppearance() {
  for (StatusPart* part : parts_) part->SettingsChanged();
  panel_.Reassert();
  ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void CVeltraDlg::ExitSequence() {
  // Removing the icon lets pending sent messages in; nothing of theirs may
  // switch the panel off again, nor run this twice.
  if (exiting_) return;
  exiting_ = true;
  // The cleaning first: the keyboard's lock is let go before anything else.
  for (StatusPart* part : parts_) part->Exit();
  if (config_dialog_ != nullptr) config_dialog_->Destroy();
  RefreshTaskbarTabletMode(QueryOsVersion());
  EndDialog(IDOK);
}

// Windows may end the process at any moment once this returns, so all that
// must last is done here: the panel enabled, the settings saved (the
// record holds the user's choice, never what held the panel off). The
// tasks are left as the start-up and the user's boxes registered them: a
// refresh ended between a task's removal and its creation would lose it.
void CVeltraDlg::EndOfSession() {
  ExitSequence();
  session_ended_ = true;
  if (!SaveSettings(settings_, store_)) TraceFailure(L"saving the settings", ERROR_WRITE_FAULT);
}

// Offered only the messages of this window and its text control: the keys
// of another of the program's dialogs are that dialog's own.
bool CVeltraDlg::PreTranslateMessage(MSG& message) {
  for (StatusPart* part : parts_) {
    if (part->PreTranslate(message)) return true;
  }
  // Neither may press the hidden default button and end the program.
  return message.message == WM_KEYDOWN && (message.wParam == VK_SPACE || message.wParam == VK_RETURN);
}

std::optional<LRESULT> CVeltraDlg::OnCommand(WORD command) {
  switch (command) {
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
}

std::optional<LRESULT> CVeltraDlg::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  // Checked first: other programs send it many times a second, and an
  // unchanged state must cost nothing beyond this comparison.
  if (message == WM_SET_TOUCH_STATE) {
    // Told apart from "taken", so a second start does not count its request
    // as handled by an instance that is going away.
    if (exiting_) return protocol::kTouchStateEnding;
    if (lparam == 0 && (wparam != 0) == (settings_.touch_status != 0)) return 0;
    panel_.OnRequest(wparam, lparam);
    return 0;
  }
  CrashIfRequested(message);
  // Once the exit has begun the parts have let go of what they put into
  // the system; what comes now gets the dialog's default handling.
  if (!exiting_) {
    for (StatusPart* part : parts_) {
      if (auto answer = part->OnMessage(message, wparam, lparam)) return answer;
    }
  }
  switch (message) {
    case WM_SETTINGS_CHANGED:
      if (!exiting_) RefreshAppearance();
      return 0;
    case WM_TASKS_REFRESHED:
      OnTasksRefreshed();
      return 0;
    case WM_TIMER:
      if (wparam != TIMER_STATUS_SHOWN) return std::nullopt;
      OnShown();
      return 0;
    case WM_CLOSE:
      ExitSequence();
      return 0;
    case WM_QUERYENDSESSION:
      if (!SaveSettings(settings_, store_)) TraceFailure(L"saving the settings", ERROR_WRITE_FAULT);
      return std::nullopt;
    case WM_ENDSESSION:
      if (wparam != 0) EndOfSession();
      return std::nullopt;
    case WM_COMMAND:
      return OnCommand(LOWORD(wparam));
    default:
      return std::nullopt;
  }
}

}  // namespace veltra
