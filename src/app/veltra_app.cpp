// Start-up sequence of the main program.
#include "app/veltra_app.h"

#include <algorithm>
#include <memory>

#include "app/command_line.h"
#include "app/ini_store.h"
#include "base/ascii.h"
#include "base/program_paths.h"
#include "config/config_dlg.h"
#include "device/device_control.h"
#include "device/device_selection_dlg.h"
#include "device/hid_discovery.h"
#include "device/known_devices.h"
#include "protocol/veltra_protocol.h"
#include "resources/resource.h"
#include "startup/scheduled_tasks.h"
#include "ui/paths.h"
#include "ui/strings.h"
#include "ui/trace.h"
#include "window/messages.h"
#include "window/tray_icon.h"
#include "window/veltra_dlg.h"

namespace veltra {

bool IsWindows8OrLater() {
  OSVERSIONINFOEXW wanted{};
  wanted.dwOSVersionInfoSize = sizeof(wanted);
  wanted.dwMajorVersion = 6;
  wanted.dwMinorVersion = 2;
  wanted.wServicePackMajor = 0;
  ULONGLONG conditions = 0;
  conditions = ::VerSetConditionMask(conditions, VER_MAJORVERSION, VER_GREATER_EQUAL);
  conditions = ::VerSetConditionMask(conditions, VER_MINORVERSION, VER_GREATER_EQUAL);
  conditions = ::VerSetConditionMask(conditions, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
  return ::VerifyVersionInfoW(&wanted, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR, conditions) != FALSE;
}

ScreenMetrics QueryScreenMetrics() {
  ScreenMetrics metrics;
  if (ui::UniqueScreenDc screen(::GetDC(nullptr)); screen) {
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
  std::wstring short_dir = ui::ShortPathName(paths.program_dir);
  if (short_dir.empty()) return paths.ini_path;
  if (short_dir.back() != L'\\') short_dir += L'\\';
  return short_dir + paths.app_name + L".ini";
}

namespace {

// Long enough for the exit sequence, which switches the panel on, saves the
// settings and refreshes the scheduled tasks.
constexpr DWORD kProgramEndWaitMs = 30000;

// Closes every top-level window of `window_class` in turn and waits for its
// process to end (bounded). A window of a process that cannot be opened to
// wait on is closed all the same.
void CloseProgramsByWindowClass(const wchar_t* window_class) {
  HWND previous = nullptr;
  for (HWND window = ::FindWindowW(window_class, nullptr); window != nullptr && window != previous;
       window = ::FindWindowW(window_class, nullptr)) {
    previous = window;
    DWORD process_id = 0;
    ::GetWindowThreadProcessId(window, &process_id);
    const ui::UniqueHandle process(::OpenProcess(SYNCHRONIZE, FALSE, process_id));
    if (!::PostMessageW(window, WM_CLOSE, 0, 0)) {
      ui::TraceLastError(L"PostMessageW");
      return;
    }
    if (!process || ::WaitForSingleObject(process.get(), kProgramEndWaitMs) != WAIT_OBJECT_0) {
      ui::TraceFailure(L"waiting for a program to end", ERROR_TIMEOUT);
      return;
    }
  }
}

// /X, for an uninstaller or an upgrade: the watcher goes first, so it
// cannot switch the panel while Veltra ends; Veltra ends through its own
// exit sequence (panel on, settings saved); the tasks go last, since that
// sequence registers them again. Shows nothing and writes no settings.
void EndForRemoval() {
  CloseProgramsByWindowClass(protocol::kWatchWindowClass);
  CloseProgramsByWindowClass(protocol::kWindowClass);
  DeleteBootTask();
  DeleteLogonTask();
  DeleteLockTask();
}

// The installer's options, /X and /P; true when the command line is one of
// them and the program is to end. Neither shows anything. /P writes the
// given settings, and nothing else, into the settings file beside the
// program; a request the installer got wrong writes nothing and ends the
// process with exit code 1, which fails the installation that ran it.
bool RunInstallerOption(const std::wstring& command_line, const std::wstring& module_path) {
  if (IsRemovalCommandLine(command_line)) {
    EndForRemoval();
    return true;
  }
  std::vector<Preset> presets;
  const PresetRequest request = ParsePresets(command_line, presets);
  if (request == PresetRequest::None) return false;
  bool written = request == PresetRequest::Valid;
  if (written) {
    IniFileStore store(ReachableIniPath(base::SplitProgramPath(module_path)));
    for (const Preset& preset : presets) written = store.WriteString(preset.section, preset.key, preset.value) && written;
  }
  if (!written) ::ExitProcess(1);
  return true;
}

}  // namespace

CVeltraApp& TheApp() { return static_cast<CVeltraApp&>(*ui::WinApp::Current()); }

bool CVeltraApp::InitInstance() {
  if (!IsWindows8OrLater()) {
    if (!IsUnattendedCommandLine(command_line())) {
      ShowMessage(ui::LoadLocalizedText(instance(), IDS_NEED_WINDOWS8), MB_ICONEXCLAMATION | MB_OK);
    }
    return false;
  }

  if (RunInstallerOption(command_line(), module_path())) return false;

  if (!ClaimSingleInstance()) return false;

  RegisterStatusWindowClass(instance());

  const base::ProgramPaths paths = base::SplitProgramPath(module_path());
  program_dir = paths.program_dir;
  ini_path = ReachableIniPath(paths);
  // A one-shot run (a scheduled task's, often as the system account)
  // leaves the user's settings file exactly as it is.
  IniFileStore store(ini_path, IsUnattendedCommandLine(command_line()) ? IniAccess::ReadOnly : IniAccess::ReadWrite);
  LoadSettings(*this, store, QueryScreenMetrics());
  device_instance_path = base::UpperCaseAscii(device_instance_path);

  one_shot = 0;
  ParseCommandLine(*this, command_line());

  if (one_shot != 0) {
    // The panel first: at the lock screen someone is waiting for it. The
    // tasks are left alone: run as the system account, a refresh would
    // register the user's logon task under that account.
    LetGoOfSingleInstance();
    if (GetDeviceState(device_instance_path) != 1) {
      SwitchDevice(*this, true);
    }
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
  if (ResolveTargetDevice()) {
    CVeltraDlg dialog(*this, *this, store);
    CConfigDlg configuration(*this, *this, dialog);
    configuration.set_task_refresh(&task_refresh);
    dialog.set_config_dialog(&configuration);
    dialog.set_task_refresh(&task_refresh);
    if (dialog.DoModal(nullptr) < 0) ui::TraceFailure(L"the status window", ERROR_INVALID_WINDOW_HANDLE);
    task_refresh.ReportTo(nullptr, 0);
  }

  LetGoOfSingleInstance();
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
    std::wstring text = ui::LoadLocalizedText(instance(), IDS_SETTINGS_NOT_SAVED);
    if (const std::size_t at = text.find(L"%s"); at != std::wstring::npos) text.replace(at, 2, ini_path);
    ShowMessage(text, MB_ICONWARNING | MB_OK);
  }
  return false;
}

bool CVeltraApp::ClaimSingleInstance() {
  // Owned by this instance until its closing steps begin: a second start
  // that finds no status window can tell an instance still starting (it
  // owns the mutex) from one that is ending (it let go).
  const auto create = [this] {
    const HANDLE mutex = ::CreateMutexW(nullptr, TRUE, protocol::kAppMutex);
    const bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
    app_mutex.reset(mutex);
    return existed;
  };
  if (!create()) return static_cast<bool>(app_mutex);
  if (!app_mutex || ForwardToRunningInstance()) return false;

  // The other instance is ending; once its mutex is gone (its settings
  // saved), this one starts in its place.
  const ULONGLONG deadline = ::GetTickCount64() + kEndingInstanceWaitMs;
  while (OtherInstanceIsEnding()) {
    app_mutex.reset();
    if (::GetTickCount64() >= deadline) return false;
    ::Sleep(100);
    if (!create()) return static_cast<bool>(app_mutex);
    if (!app_mutex) return false;
  }
  return false;
}

bool CVeltraApp::OtherInstanceIsEnding() {
  const DWORD waited = ::WaitForSingleObject(app_mutex.get(), 0);
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) return false;
  ::ReleaseMutex(app_mutex.get());
  return true;
}

void CVeltraApp::LetGoOfSingleInstance() {
  if (app_mutex) ::ReleaseMutex(app_mutex.get());
}

bool CVeltraApp::ResolveTargetDevice() {
  DeviceList devices;
  EnumerateHidDevices(devices, [this](const std::wstring& text) { ShowMessage(text, MB_OK); });
  const std::wstring known_list = program_dir + kKnownDeviceListName;
  const TargetSource source = veltra::ResolveTargetDevice(device_instance_path, devices,
                                                          [&known_list] { return ui::ReadFileBytes(known_list); });
  if (source != TargetSource::Selection) return true;
  // Only OK writes the path; any other end leaves the configured one.
  CInitDlg selection(*this, *this, std::wstring());
  return selection.DoModal(nullptr) == IDOK;
}

LONG WINAPI CVeltraApp::EnablePanelBeforeDying(EXCEPTION_POINTERS*) {
  const CVeltraApp& app = TheApp();
  SwitchDevice(app, true);
  return EXCEPTION_EXECUTE_HANDLER;
}

bool CVeltraApp::ForwardToRunningInstance() {
  const HWND running = ::FindWindowW(protocol::kWindowClass, nullptr);
  if (running == nullptr) return false;
  // The settings are not read here, so the state starts at 0: /W alone
  // sends 0.
  if (ParseCommandLine(*this, command_line())) {
    ::SendMessageW(running, WM_SET_TOUCH_STATE, touch_status, 0);
  } else {
    ::SendMessageW(running, WM_SET_TOUCH_STATE, 0, 1);
  }
  return true;
}

}  // namespace veltra
