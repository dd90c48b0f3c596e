// Start-up sequence of the main program.
#include "app/veltra_app.h"

#include <setupapi.h>

#include <algorithm>

#include "app/command_line.h"
#include "app/ini_store.h"
#include "app/program_paths.h"
#include "device/device_control.h"
#include "device/os_version.h"
#include "hook/veltra_hook.h"
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

std::wstring ReachableIniPath(const ProgramPaths& paths) {
  if (paths.ini_path.size() < MAX_PATH) return paths.ini_path;
  // The profile functions cannot reach a file whose path is MAX_PATH or
  // longer; the folder's short name brings it back within reach.
  std::wstring short_dir(32768, L'\0');
  const DWORD length = ::GetShortPathNameW(paths.program_dir.c_str(), short_dir.data(), static_cast<DWORD>(short_dir.size()));
  if (length == 0 || length >= short_dir.size()) return paths.ini_path;
  short_dir.resize(length);
  if (short_dir.back() != L'\\') short_dir += L'\\';
  return short_dir + paths.app_name + L".ini";
}

CVeltraApp& TheApp() { return static_cast<CVeltraApp&>(*ui::WinApp::Current()); }

bool CVeltraApp::InitInstance() {
  if (!IsWindows8OrLater()) {
    ShowMessage(L"You need at least Windows 8\nVersion Not Supported.", MB_ICONEXCLAMATION | MB_OK);
    return false;
  }

  window_class = kWindowClass;
  app_mutex.reset(::CreateMutexW(nullptr, FALSE, window_class.c_str()));
  const DWORD mutex_error = ::GetLastError();
  if (!app_mutex) return false;
  if (mutex_error == ERROR_ALREADY_EXISTS) {
    ForwardToRunningInstance();
    return false;
  }

  RegisterStatusWindowClass();

  const ProgramPaths paths = SplitProgramPath(module_path());
  program_dir = paths.program_dir;
  ini_path = ReachableIniPath(paths);
  IniFileStore store(ini_path);
  LoadSettings(*this, store, QueryScreenMetrics());
  device_instance_path = UpperCaseAscii(device_instance_path);

  one_shot = 0;
  ParseCommandLine(*this, command_line());

  const OsVersion os_version = QueryOsVersion();
  if (one_shot != 0) {
    if (GetDeviceState(device_instance_path) != 1) {
      SetDeviceState(os_version, device_instance_path, DICS_ENABLE, redraw_traynotifywnd);
    }
    return false;
  }

  // A negative pause would be taken as an unsigned count and stall the
  // start for weeks.
  if (wait > 0) ::Sleep(static_cast<DWORD>(wait));

  // From here on the panel may be disabled: whatever ends the process, it
  // must not leave the user without touch.
  ::SetUnhandledExceptionFilter(&EnablePanelBeforeDying);
  status_window = nullptr;
  {
    CVeltraDlg dialog(*this);
    dialog.DoModal(nullptr);
  }

  SaveSettings(*this, store);
  ResetLowKeyboardHook();
  SweepNotificationArea();
  return false;
}

LONG WINAPI CVeltraApp::EnablePanelBeforeDying(EXCEPTION_POINTERS*) {
  const CVeltraApp& app = TheApp();
  SetDeviceState(QueryOsVersion(), app.device_instance_path, DICS_ENABLE, app.redraw_traynotifywnd);
  return EXCEPTION_EXECUTE_HANDLER;
}

void CVeltraApp::ForwardToRunningInstance() {
  const HWND running = ::FindWindowW(kWindowClass, nullptr);
  if (running == nullptr) return;
  // The settings are not read here, so the state starts at 0: /W alone
  // sends 0.
  if (ParseCommandLine(*this, command_line())) {
    ::SendMessageW(running, WM_SET_TOUCH_STATE, touch_status, 0);
  } else {
    ::SendMessageW(running, WM_SET_TOUCH_STATE, 0, 1);
  }
}

void CVeltraApp::RegisterStatusWindowClass() {
  // The status window is a dialog whose template names this class, so it
  // takes the standard dialog class's attributes under our own name.
  WNDCLASSEXW window_class_info{};
  window_class_info.cbSize = sizeof(window_class_info);
  if (!::GetClassInfoExW(nullptr, L"#32770", &window_class_info)) return;
  window_class_info.hInstance = instance();
  window_class_info.lpszClassName = kWindowClass;
  ::RegisterClassExW(&window_class_info);
}

}  // namespace veltra
