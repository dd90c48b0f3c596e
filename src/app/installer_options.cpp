// The installer's options. Whatever runs them, they must reach every
// running Veltra.exe and Veltrawatch.exe of this folder, in any session, and
// leave the panel enabled: the removal enables it itself before and after
// it ends the programs, asks them to end through their exit request (see
// ui/exit_request.h), and ends what is left after a bounded wait.
#include "app/installer_options.h"

#include <windows.h>

#include <vector>

#include "app/command_line.h"
#include "app/ini_store.h"
#include "app/veltra_app.h"
#include "base/ascii.h"
#include "base/program_paths.h"
#include "device/device_control.h"
#include "protocol/instance_names.h"
#include "protocol/veltra_protocol.h"
#include "startup/scheduled_tasks.h"
#include "startup/task_commands.h"
#include "ui/exit_request.h"
#include "ui/paths.h"
#include "ui/peer_window.h"
#include "ui/private_namespace.h"
#include "ui/running_processes.h"
#include "ui/trace.h"

namespace veltra {
namespace {

// The watcher has nothing to save; Veltra's exit switches the panel on,
// refreshes the scheduled tasks (three schtasks runs) and saves.
constexpr DWORD kWatcherEndWaitMs = 5000;
constexpr DWORD kProgramEndWaitMs = 30000;
// What a terminated process is given to be gone, so its files are free.
constexpr DWORD kTerminatedEndWaitMs = 5000;

// Left beside the program by the removal of an upgrade that ended a
// running Veltra; the new version's installation takes it away and starts
// Veltra again (ResumeVeltra).
constexpr wchar_t kResumeMarkerName[] = L"Veltra.resume";

struct RunningProgram {
  ui::UniqueHandle process;
  DWORD id = 0;
  bool watcher = false;
};

// Every Veltra.exe and Veltrawatch.exe whose image lies in `program_dir`,
// this process aside: a copy elsewhere belongs to another installation.
std::vector<RunningProgram> FindRunningPrograms(const std::wstring& program_dir) {
  std::vector<RunningProgram> found;
  for (ui::RunningProcess& running :
       ui::FindRunningProcesses({L"Veltra.exe", L"Veltrawatch.exe"}, SYNCHRONIZE | PROCESS_TERMINATE)) {
    if (!ui::SameFile(base::SplitProgramPath(running.image).program_dir, program_dir)) continue;
    const bool watcher = ui::SamePath(running.file_name, L"Veltrawatch.exe");
    found.push_back({std::move(running.process), running.id, watcher});
  }
  return found;
}

// Asks the programs of one kind to end and waits for them, together, at
// most `wait_ms`.
void EndThroughExitRequest(const std::vector<RunningProgram>& programs, bool watchers, DWORD wait_ms) {
  // Our programs' requests are in the private namespace wherever they could
  // enter it; the namespace spans the sessions, so this reaches a user's
  // programs from session 0.
  const ui::PrivateNamespace names(protocol::kPrivateNamespace, false);
  bool asked = false;
  for (const RunningProgram& program : programs) {
    if (program.watcher != watchers) continue;
    // A program without its request (an older version, or a shared name
    // someone else took first) is ended below all the same.
    asked = ui::RequestExit(protocol::ExitRequestNamesToTry(names.held(), program.id)) || asked;
  }
  if (!asked) return;
  const ULONGLONG deadline = ::GetTickCount64() + wait_ms;
  for (const RunningProgram& program : programs) {
    if (program.watcher != watchers) continue;
    const ULONGLONG now = ::GetTickCount64();
    ::WaitForSingleObject(program.process.get(), now < deadline ? static_cast<DWORD>(deadline - now) : 0);
  }
}

void EnableConfiguredPanel(const std::wstring& ini_path) {
  IniFileStore store(ini_path);
  Settings settings;
  LoadSettings(settings, store, QueryScreenMetrics());
  LoadDeviceUnderTest(settings, store);
  settings.device_instance_path = base::UpperCaseAscii(settings.device_instance_path);
  // A device a selection's test left disabled is a panel to enable too.
  for (const std::wstring& device : {settings.device_instance_path, settings.device_under_test}) {
    if (device.empty() || GetDeviceState(device) == 1) continue;
    if (SwitchDevice(settings, device, true) != 1) {
      ui::TraceFailure(L"enabling the panel for the removal", ERROR_GEN_FAILURE);
    }
  }
}

// Ends every running Veltra and Veltrawatch of the program's folder, the
// watchers first, so none can switch the panel while Veltra ends: through
// their exit sequence where they answer in time, else by termination. The
// panel is enabled at the end, whatever ran (a terminated Veltra may have
// left it disabled). With `enable_first` also before anything is asked, for a
// removal that must not wait for anyone to leave the panel working; a
// Veltra that sees the switch then saves the enabled state, so where
// Veltra comes back afterwards (an upgrade, presets) its own exit enables
// the panel and saves the user's choice instead. True when a Veltra.exe
// was running.
bool EndRunningPrograms(const base::ProgramPaths& paths, const std::wstring& ini_path, bool enable_first) {
  if (enable_first) EnableConfiguredPanel(ini_path);
  const std::vector<RunningProgram> programs = FindRunningPrograms(paths.program_dir);
  EndThroughExitRequest(programs, true, kWatcherEndWaitMs);
  EndThroughExitRequest(programs, false, kProgramEndWaitMs);
  bool veltra_ran = false;
  for (const RunningProgram& program : programs) {
    veltra_ran = veltra_ran || !program.watcher;
    if (::WaitForSingleObject(program.process.get(), 0) == WAIT_OBJECT_0) continue;
    if (!::TerminateProcess(program.process.get(), 1)) ui::TraceLastError(L"TerminateProcess");
    ::WaitForSingleObject(program.process.get(), kTerminatedEndWaitMs);
  }
  EnableConfiguredPanel(ini_path);
  return veltra_ran;
}

// Starts Veltra again where its logon task would: the task runs it in its
// user's session, which this process (the system account, session 0)
// cannot reach otherwise. Where there is no logon task, nothing starts.
void ResumeVeltra() {
  RunHiddenCommand(L"schtasks.exe /Run /tn " + std::wstring(kLogonTaskName));
}

bool WritePresets(const std::vector<Preset>& presets, const std::wstring& ini_path) {
  IniFileStore store(ini_path);
  store.BeginSave();
  bool written = true;
  for (const Preset& preset : presets) written = store.WriteString(preset.section, preset.key, preset.value) && written;
  return store.CommitSave() && written;
}

}  // namespace

bool RunInstallerOption(const std::wstring& command_line, const std::wstring& module_path) {
  const base::ProgramPaths paths = base::SplitProgramPath(module_path);
  const std::wstring ini_path = ReachableIniPath(paths);
  const std::wstring marker = paths.program_dir + kResumeMarkerName;
  switch (ParseRemoval(command_line)) {
    case Removal::Uninstall:
      // Veltra's exit registers the tasks again: they go after it ended.
      EndRunningPrograms(paths, ini_path, true);
      DeleteBootTask();
      DeleteLogonTask();
      DeleteLockTask();
      return true;
    case Removal::Upgrade:
      // The program's path stays, so the tasks stay with it.
      if (EndRunningPrograms(paths, ini_path, false)) {
        const ui::UniqueFile file(::CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) ui::TraceLastError(L"CreateFileW(resume marker)");
      }
      return true;
    case Removal::None:
      break;
  }
  std::vector<Preset> presets;
  const PresetRequest request = ParsePresets(command_line, presets);
  if (request == PresetRequest::None) return false;
  if (request == PresetRequest::Invalid) ::ExitProcess(1);
  // A running Veltra saves its record at its exit and would write over
  // the presets: it ends first and comes back with them.
  bool resume = !presets.empty() && EndRunningPrograms(paths, ini_path, false);
  const bool written = WritePresets(presets, ini_path);
  if (::DeleteFileW(marker.c_str())) resume = true;
  if (resume) ResumeVeltra();
  if (!written) ::ExitProcess(1);
  return true;
}

}  // namespace veltra
