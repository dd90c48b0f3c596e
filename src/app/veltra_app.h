// CVeltraApp: the main program's application object. Holds the settings
// record and runs the whole start-up, the one-shot mode and the forwarding
// of a second start.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "base/program_paths.h"
#include "core/settings.h"
#include "platform/private_namespace.h"
#include "platform/unique_handle.h"
#include "ui/win_app.h"

namespace veltra {

class CVeltraApp final : public ui::WinApp, public Settings {
 public:
  CVeltraApp() = default;
  ~CVeltraApp() override = default;

  std::wstring ini_path;
  std::wstring program_dir;
  // Owned until the closing steps begin; none where another program holds
  // the name (this instance then runs without it).
  UniqueHandle app_mutex;

  // The longest a start waits for an ending instance to go: its exit
  // switches the panel on (about a second; its window may not answer
  // meanwhile, for up to the peer time-out of five seconds), refreshes the
  // scheduled tasks (three schtasks runs of up to ten seconds each) and
  // saves the settings.
  static constexpr DWORD kEndingInstanceWaitMs = 45000;

 protected:
  bool InitInstance() override;

 private:
  // True when this is the one instance (it then owns app_mutex, unless
  // another program holds the name); false when another one runs or is
  // still starting (a running one got the command line) and this start
  // must end.
  bool ClaimSingleInstance();
  // Whether this instance owns app_mutex, trying to take it for up to
  // `wait_ms` where it does not yet.
  bool OwnsAppMutex(DWORD wait_ms);
  // Waits, at most until `deadline` (GetTickCount64): with `ending`, until
  // that process ends or the mutex becomes this one's; without, until the
  // other instances of this program file in this session have ended.
  void AwaitEndingInstances(HANDLE ending, ULONGLONG deadline);
  void LetGoOfSingleInstance();
  enum class Forwarding {
    Delivered,  // the running instance took the request
    NoWindow,   // no status window of this program file
    NotTaken,   // its window answered that it is ending, or did not answer
  };
  // Sends the command line to the running status window; `window_process`
  // is that window's process, opened to wait on (NotTaken only).
  Forwarding ForwardToRunningInstance(UniqueHandle& window_process);
  // The configured device if it is listed, else the first listed one of the
  // known list, else the user's choice in the selection dialog, which is
  // then written to the file at once. False when the user cancelled the
  // dialog: the status window is then skipped.
  bool ResolveTargetDevice(ProfileStore& store);
  // A device a selection's test left disabled (the process ended during
  // the test) works again; with a store, the record of it goes too.
  void EnableDeviceUnderTest(ProfileStore* store);
  // Where the names of the mutex and the exit request live, held as long
  // as they are used.
  std::optional<PrivateNamespace> private_names_;
  std::wstring exit_request_name_;
  bool owns_app_mutex_ = false;
  // The last-chance handler of an unexpected crash.
  static LONG WINAPI EnablePanelBeforeDying(EXCEPTION_POINTERS* exception);
};

// The screen values the settings defaults depend on, read from the primary
// monitor.
ScreenMetrics QueryScreenMetrics();

// The settings file's path in a form the profile functions can open: a
// path too long for them goes through the folder's short name.
std::wstring ReachableIniPath(const base::ProgramPaths& paths);

// The running application object.
CVeltraApp& TheApp();

}  // namespace veltra
