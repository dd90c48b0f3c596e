// CVeltraApp: the main program's application object. Holds the settings
// record and runs the whole start-up, the one-shot mode and the forwarding
// of a second start.
#pragma once

#include <windows.h>

#include <string>

#include "app/program_paths.h"
#include "app/settings.h"
#include "ui/unique_handle.h"
#include "ui/win_app.h"
#include "window/messages.h"

namespace veltra {

inline constexpr wchar_t kWindowClass[] = L"VeltraAppMain";

class CVeltraApp final : public ui::WinApp, public Settings {
 public:
  CVeltraApp() = default;
  ~CVeltraApp() override = default;

  HWND status_window = nullptr;
  HICON enable_icon_handle = nullptr;   // owned by the status window
  HICON disable_icon_handle = nullptr;  // owned by the status window
  std::wstring ini_path;
  std::wstring program_dir;
  ui::UniqueHandle app_mutex;  // held until the process ends
  std::wstring window_class;

 protected:
  bool InitInstance() override;

 private:
  void ForwardToRunningInstance();
  void RegisterStatusWindowClass();
  // The last-chance handler of an unexpected crash.
  static LONG WINAPI EnablePanelBeforeDying(EXCEPTION_POINTERS* exception);
};

bool IsWindows8OrLater();

// The screen values the settings defaults depend on, read from the primary
// monitor.
ScreenMetrics QueryScreenMetrics();

// The settings file's path in a form the profile functions can open: a
// path too long for them goes through the folder's short name.
std::wstring ReachableIniPath(const ProgramPaths& paths);

// The running application object.
CVeltraApp& TheApp();

}  // namespace veltra
