// Start-up sequence of the main program.
#include "app/veltra_app.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>

#include "app/command_line.h"
#include "app/ini_store.h"
#include "app/installer_options.h"
#include "base/ascii.h"
#include "base/program_paths.h"
#include "config/config_dlg.h"
#include "device/device_control.h"
#include "device/device_selection_dlg.h"
#include "device/hid_discovery.h"
#include "device/known_devices.h"
#include "device/os_version.h"
#include "platform/exit_request.h"
#include "platform/paths.h"
#include "platform/peer_window.h"
#include "platform/running_processes.h"
#include "platform/strings.h"
#include "platform/trace.h"
#include "protocol/instance_names.h"
#include "protocol/veltra_protocol.h"
#include "resources/resource.h"
#include "startup/scheduled_tasks.h"
#include "window/key_registrations.h"
#include "window/messages.h"
#include "window/tray_icon.h"
#include "window/veltra_dlg.h"

namespace veltra {

ScreenMetrics QueryScreenMetrics() {
  ScreenMetrics metrics;
  if (UniqueScreenDc screen(::GetDC(nullptr)); screen) {
    metrics.dpi_x = ::GetDeviceCaps(screen.get(), LOGPIXELSX);
    metrics.dpi_y = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
  }
  RECT work{};
  if (::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) {
    metrics.work_left = work.left;
    metrics.work_top = work.top;
  }
  return metrics;
}

std::wstring ReachableIniPath(const base::ProgramPaths& paths) {
  if (paths.ini_path.size() < MAX_PATH) return paths.ini_path;
  // The profile functions cannot reach a file whose path is MAX_PATH or
  // longer; the folder's short name brings it back within reach.
  std::wstring short_dir = ShortPathName(paths.program_dir);
  if (short_dir.empty()) return paths.ini_path;
  if (short_dir.back() != L'\\') short_dir += L'\\';
  return short_dir + paths.app_name + L".ini";
}

CVeltraApp& TheApp() { return static_cast<CVeltraApp&>(*ui::WinApp::Current()); }

bool CVeltraApp::InitInstance() {
  if (!IsWindows8OrLater()) {
    if (!IsUnattendedCommandLine(command_line())) {
      ShowMessage(LoadLocalizedText(instance(), IDS_NEED_WINDOWS8), MB_ICONEXCLAMATION | MB_OK);
    }
    return false;
  }

  if (RunInstallerOption(command_line(), module_path())) return false;

  // A one-shot run (the boot and lock tasks) only enables the panel, and
  // that must not depend on the mutex or on a window: it runs as the system
  // account in session 0, whose local names are the global ones, so any
  // user could hold the mutex or make a window of our class first.
  Settings request;
  ParseCommandLine(request, command_line());
  std::optional<ExitRequestListener> exit_request;
  if (request.one_shot == 0) {
    if (!ClaimSingleInstance()) return false;
    RegisterStatusWindowClass(instance());
    // For the installer's removal, from whatever session it runs in (a
    // one-shot run ends by itself in a moment).
    // The first start's device selection comes before the status window.
    exit_request.emplace(exit_request_name_, protocol::kWindowClass, L"#32770");
  }

  const base::ProgramPaths paths = base::SplitProgramPath(module_path());
  program_dir = paths.program_dir;
  ini_path = ReachableIniPath(paths);
  // A one-shot run (a scheduled task's, often as the system account)
  // leaves the user's settings file exactly as it is.
  IniFileStore store(ini_path, IsUnattendedCommandLine(command_line()) ? IniAccess::ReadOnly : IniAccess::ReadWrite);
  LoadSettings(*this, store, QueryScreenMetrics());
  LoadDeviceUnderTest(*this, store);
  device_instance_path = base::UpperCaseAscii(device_instance_path);

  one_shot = 0;
  ParseCommandLine(*this, command_line());

  if (one_shot != 0) {
    // The panel first: at the lock screen someone is waiting for it. The
    // tasks are left alone: run as the system account, a refresh would
    // register the user's logon task under that account.
    if (GetDeviceState(device_instance_path) != 1) {
      SwitchDevice(*this, true);
    }
    EnableDeviceUnderTest(nullptr);
    return false;
  }

  // The refresh needs nothing from the window and takes three schtasks
  // runs: the window comes up beside it and takes its outcome when it
  // ends. Whatever reads or changes a task flag before waits for it first
  // (Apply).
  TaskRefresh task_refresh;
  task_refresh.Start(*this);

  if (const std::int32_t pause = StartupWaitMs(wait); pause > 0) ::Sleep(static_cast<DWORD>(pause));

  // From here on the panel may be disabled: whatever ends the process, it
  // must not leave the user without touch.
  ::SetUnhandledExceptionFilter(&EnablePanelBeforeDying);
  bool session_ended = false;
  EnableDeviceUnderTest(&store);
  if (ResolveTargetDevice(store)) {
    CVeltraDlg dialog(*this, *this, store);
    CConfigDlg configuration(*this, *this, dialog);
    configuration.set_task_refresh(&task_refresh);
    dialog.set_config_dialog(&configuration);
    dialog.set_task_refresh(&task_refresh);
    if (dialog.DoModal(nullptr) < 0) TraceFailure(L"the status window", ERROR_INVALID_WINDOW_HANDLE);
    task_refresh.ReportTo(nullptr, 0);
    session_ended = dialog.session_ended();
  }

  LetGoOfSingleInstance();
  // The window saved what the end of the logon leaves to save; Windows
  // ends the process any moment now.
  if (session_ended) return false;
  // A message of the start-up refresh nobody saw is dropped: the refresh
  // below tries again and tells its own.
  task_refresh.Apply(*this);
  RefreshScheduledTasks(*this, *this);
  const bool saved = SaveSettings(*this, store);
  SweepNotificationArea();
  if (!saved) {
    // Nothing is left to do that a new start could disturb, so it need not
    // wait for the user to read this.
    app_mutex.reset();
    std::wstring text = LoadLocalizedText(instance(), IDS_SETTINGS_NOT_SAVED);
    if (const std::size_t at = text.find(L"%s"); at != std::wstring::npos) text.replace(at, 2, ini_path);
    ShowMessage(text, MB_ICONWARNING | MB_OK);
  }
  return false;
}

bool CVeltraApp::ClaimSingleInstance() {
  private_names_.emplace(protocol::kPrivateNamespace, true);
  const protocol::InstanceNames names =
      protocol::ChooseInstanceNames(private_names_->held(), CurrentSessionId(), ::GetCurrentProcessId());
  exit_request_name_ = names.exit_request;
  // Owned by this instance until its closing steps begin: a second start
  // that finds no status window can tell an instance still starting (it
  // owns the mutex) from one that is ending (it let go). No handle at all:
  // another program made the name with an access list that shuts us out.
  app_mutex.reset(::CreateMutexW(nullptr, TRUE, names.app_mutex.c_str()));
  if (app_mutex && ::GetLastError() != ERROR_ALREADY_EXISTS) return owns_app_mutex_ = true;

  UniqueHandle window_process;
  const Forwarding forwarding = ForwardToRunningInstance(window_process);
  if (forwarding == Forwarding::Delivered) return false;

  // A window that answered that it is ending, or did not answer, belongs
  // to an instance in its closing steps: it lets go of the mutex once its
  // window is gone, and its settings are saved only when it ends. This one
  // starts in its place once it has ended, or at the latest at the
  // deadline.
  const ULONGLONG deadline = ::GetTickCount64() + kEndingInstanceWaitMs;
  if (forwarding == Forwarding::NotTaken) AwaitEndingInstances(window_process.get(), deadline);
  if (OwnsAppMutex(0)) {
    AwaitEndingInstances(nullptr, deadline);
    return true;
  }
  // Held by an instance of this program file still starting (it has no
  // window yet): this start ends. Held by any other program: this one runs
  // without the name, and a later start finds it by its window.
  if (!OtherInstancesOf(module_path()).empty()) return false;
  app_mutex.reset();
  return true;
}

bool CVeltraApp::OwnsAppMutex(DWORD wait_ms) {
  if (owns_app_mutex_ || !app_mutex) return owns_app_mutex_;
  const DWORD waited = ::WaitForSingleObject(app_mutex.get(), wait_ms);
  owns_app_mutex_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
  return owns_app_mutex_;
}

void CVeltraApp::AwaitEndingInstances(HANDLE ending, ULONGLONG deadline) {
  const auto remaining = [deadline] {
    const ULONGLONG now = ::GetTickCount64();
    return now < deadline ? static_cast<DWORD>(deadline - now) : 0;
  };
  if (ending != nullptr) {
    // Until it ends or lets go of the mutex, whichever comes first.
    HANDLE waits[] = {ending, app_mutex.get()};
    const DWORD count = app_mutex && !owns_app_mutex_ ? 2 : 1;
    const DWORD waited = ::WaitForMultipleObjects(count, waits, FALSE, remaining());
    owns_app_mutex_ = owns_app_mutex_ || waited == WAIT_OBJECT_0 + 1 || waited == WAIT_ABANDONED_0 + 1;
    return;
  }
  for (const RunningProcess& other : OtherInstancesOf(module_path())) {
    ::WaitForSingleObject(other.process.get(), remaining());
  }
}

void CVeltraApp::LetGoOfSingleInstance() {
  if (app_mutex) ::ReleaseMutex(app_mutex.get());
  owns_app_mutex_ = false;
}

void CVeltraApp::EnableDeviceUnderTest(ProfileStore* store) {
  if (device_under_test.empty()) return;
  if (GetDeviceState(device_under_test) != 1) SwitchDevice(*this, device_under_test, true);
  if (store == nullptr) return;
  device_under_test.clear();
  if (!SaveDeviceUnderTest(L"", *store)) TraceLastError(L"writing the device under test");
}

bool CVeltraApp::ResolveTargetDevice(ProfileStore& store) {
  DeviceList devices;
  EnumerateHidDevices(devices, [this](const std::wstring& text) { ShowMessage(text, MB_OK); });
  const std::wstring known_list = program_dir + kKnownDeviceListName;
  const TargetSource source = veltra::ResolveTargetDevice(device_instance_path, devices,
                                                          [&known_list] { return ReadFileBytes(known_list); });
  if (source == TargetSource::Selection) {
    // Only OK takes the device; any other end leaves the configured one.
    CInitDlg selection(*this, *this, std::wstring());
    selection.set_store(&store);
    if (selection.DoModal(nullptr) != IDOK) return false;
  }
  // A device taken from the list or the dialog is in the file before the
  // status window may disable it: a process ended right after that switch
  // must leave the boot and lock tasks enabling this device, not the one
  // the file named before.
  if (source != TargetSource::Configured && !SaveDevicePath(device_instance_path, store)) {
    TraceLastError(L"writing the device path");
  }
  return true;
}

LONG WINAPI CVeltraApp::EnablePanelBeforeDying(EXCEPTION_POINTERS*) {
  // The keyboard first: enabling the panel may take seconds, and a lock
  // held meanwhile would keep every key of the session.
  DropKeyboardLock();
  const CVeltraApp& app = TheApp();
  SwitchDevice(app, true);
  return EXCEPTION_EXECUTE_HANDLER;
}

CVeltraApp::Forwarding CVeltraApp::ForwardToRunningInstance(UniqueHandle& window_process) {
  // Only a window of this very program file, run elevated as ours is,
  // counts: any process may make a window of the class, and one that is
  // not ours must not swallow the start.
  const HWND running = FindPeerWindow(protocol::kWindowClass, module_path());
  if (running == nullptr) return Forwarding::NoWindow;
  DWORD process_id = 0;
  ::GetWindowThreadProcessId(running, &process_id);
  window_process.reset(::OpenProcess(SYNCHRONIZE, FALSE, process_id));
  // The settings are not read here, so the state starts at 0: /W alone
  // sends 0.
  const bool set = ParseCommandLine(*this, command_line());
  const std::optional<LRESULT> answer =
      SendToPeer(running, WM_SET_TOUCH_STATE, set ? touch_status : 0, set ? 0 : 1);
  return answer && *answer != protocol::kTouchStateEnding ? Forwarding::Delivered : Forwarding::NotTaken;
}

}  // namespace veltra
