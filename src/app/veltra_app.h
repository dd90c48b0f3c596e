// CVeltraApp: the main program's application object. Holds the settings
// record and runs the whole start-up, the one-shot mode and the forwarding
// of a second start.
#pragma once

#include <windows.h>

#include <string>

#include "base/program_paths.h"
#include "core/settings.h"
#include "ui/unique_handle.h"
#include "ui/win_app.h"

namespace veltra {

class CVeltraApp final : public ui::WinApp, public Settings {
 public:
  CVeltraApp() = default;
  ~CVeltraApp() override = default;

  std::wstring ini_path;
  std::wstring program_dir;
  ui::UniqueHandle app_mutex;  // held until the process ends

  // How long a start waits for an ending instance to go.
  static constexpr ULONGLONG kEndingInstanceWaitMs = 10000;

 protected:
  bool InitInstance() override;

 private:
  // True when this is the one instance (it then owns app_mutex); false when
  // another one runs or is still starting (a running one got the command
  // line) and this start must end.
  bool ClaimSingleInstance();
  // Whether the instance holding the mutex has let go of it, waiting for
  // that up to `wait_ms`.
  bool OtherInstanceIsEnding(DWORD wait_ms);
  void LetGoOfSingleInstance();
  enum class Forwarding {
    Delivered,  // the running instance took the request
    NoWindow,   // no status window of this program file
    NotTaken,   // its window answered that it is ending, or did not answer
  };
  // Sends the command line to the running status window.
  Forwarding ForwardToRunningInstance();
  // The configured device if it is listed, else the first listed one of the
  // known list, else the user's choice in the selection dialog. False when
  // the user cancelled it: the status window is then skipped.
  bool ResolveTargetDevice(ProfileStore& store);
  // A device a selection's test left disabled (the process ended during
  // the test) works again; with a store, the record of it goes too.
  void EnableDeviceUnderTest(ProfileStore* store);
  // The last-chance handler of an unexpected crash.
  static LONG WINAPI EnablePanelBeforeDying(EXCEPTION_POINTERS* exception);
};

bool IsWindows8OrLater();

// The screen values the settings defaults depend on, read from the primary
// monitor.
ScreenMetrics QueryScreenMetrics();

// The settings file's path in a form the profile functions can open: a
// path too long for them goes through the folder's short name.
std::wstring ReachableIniPath(const base::ProgramPaths& paths);

// The running application object.
CVeltraApp& TheApp();

}  // namespace veltra
