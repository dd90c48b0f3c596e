// The installer's options. Whatever runs them, they must reach every
// running Veltra.exe and Veltrawatch.exe of this folder, in any session, and
// leave the panel enabled: the removal enables it itself before and after
// it ends the programs, asks them to end through their exit request (see
// platform/exit_request.h), and ends what is left after a bounded wait.
#include "app/installer_options.h"

#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/ini_store.h"
#include "app/veltra_app.h"
#include "base/ascii.h"
#include "base/decimal.h"
#include "base/program_paths.h"
#include "device/device_control.h"
#include "platform/exit_request.h"
#include "platform/paths.h"
#include "platform/peer_window.h"
#include "platform/private_namespace.h"
#include "platform/running_processes.h"
#include "platform/trace.h"
#include "protocol/instance_names.h"
#include "protocol/veltra_protocol.h"
#include "startup/scheduled_tasks.h"
#include "startup/task_commands.h"

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
// The same for the watchers it ended: a section per session, whose
// `elevated` says whether the watcher ran with its user's full rights.
constexpr wchar_t kWatcherMarkerName[] = L"Veltrawatch.resume";

// Where a watcher ran, to start it there again: no task starts it, so it
// comes back in its session as its user, with the rights it had.
struct WatcherSeat {
  DWORD session = 0;
  bool elevated = false;
};

struct RunningProgram {
  UniqueHandle process;
  DWORD id = 0;
  bool watcher = false;
  WatcherSeat seat;
};

// What a removal ended, for what comes after it to bring back.
struct EndedPrograms {
  bool veltra = false;
  std::vector<WatcherSeat> watchers;
};

WatcherSeat SeatOf(HANDLE process, DWORD id) {
  WatcherSeat seat;
  if (!::ProcessIdToSessionId(id, &seat.session)) TraceLastError(L"ProcessIdToSessionId");
  UniqueHandle token;
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  if (::OpenProcessToken(process, TOKEN_QUERY, token.put()) &&
      ::GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof(elevation), &size)) {
    seat.elevated = elevation.TokenIsElevated != 0;
  } else {
    TraceLastError(L"reading the watcher's elevation");
  }
  return seat;
}

// Every Veltra.exe and Veltrawatch.exe of `program_dir` still running, this
// process aside: a copy elsewhere belongs to another installation.
std::vector<RunningProgram> FindRunningPrograms(const std::wstring& program_dir) {
  std::vector<RunningProgram> found;
  for (RunningProcess& running : FindRunningProcesses(
           {program_dir + L"Veltra.exe", program_dir + L"Veltrawatch.exe"}, SYNCHRONIZE | PROCESS_TERMINATE)) {
    const bool watcher = running.program == 1;
    const WatcherSeat seat = watcher ? SeatOf(running.process.get(), running.id) : WatcherSeat{};
    found.push_back({std::move(running.process), running.id, watcher, seat});
  }
  return found;
}

// Asks the programs of one kind to end and waits for them, together, at
// most `wait_ms`.
void EndThroughExitRequest(const std::vector<RunningProgram>& programs, bool watchers, DWORD wait_ms) {
  // Our programs' requests are in the private namespace wherever they could
  // enter it; the namespace spans the sessions, so this reaches a user's
  // programs from session 0.
  const PrivateNamespace names(protocol::kPrivateNamespace, false);
  bool asked = false;
  for (const RunningProgram& program : programs) {
    if (program.watcher != watchers) continue;
    // A program without its request (an older version, or a shared name
    // someone else took first) is ended below all the same.
    asked = RequestExit(protocol::ExitRequestNamesToTry(names.held(), program.id)) || asked;
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
      TraceFailure(L"enabling the panel for the removal", ERROR_GEN_FAILURE);
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
// the panel and saves the user's choice instead.
EndedPrograms EndRunningPrograms(const base::ProgramPaths& paths, const std::wstring& ini_path, bool enable_first) {
  if (enable_first) EnableConfiguredPanel(ini_path);
  const std::vector<RunningProgram> programs = FindRunningPrograms(paths.program_dir);
  EndThroughExitRequest(programs, true, kWatcherEndWaitMs);
  EndThroughExitRequest(programs, false, kProgramEndWaitMs);
  EndedPrograms ended;
  for (const RunningProgram& program : programs) {
    if (program.watcher) {
      ended.watchers.push_back(program.seat);
    } else {
      ended.veltra = true;
    }
    if (::WaitForSingleObject(program.process.get(), 0) == WAIT_OBJECT_0) continue;
    if (!::TerminateProcess(program.process.get(), 1)) TraceLastError(L"TerminateProcess");
    ::WaitForSingleObject(program.process.get(), kTerminatedEndWaitMs);
  }
  EnableConfiguredPanel(ini_path);
  return ended;
}

// Starts Veltra again where its logon task would: the task runs it in its
// user's session, which this process (the system account, session 0)
// cannot reach otherwise. Where there is no logon task, nothing starts.
void ResumeVeltra() {
  RunHiddenCommand(L"schtasks.exe /Run /tn " + std::wstring(kLogonTaskName));
}

// The user's environment block, for a program started as that user.
class UserEnvironment {
 public:
  explicit UserEnvironment(HANDLE token) : library_(LoadSystemLibrary(L"userenv.dll")) {
    using Create = BOOL(WINAPI*)(void**, HANDLE, BOOL);
    const auto create = ProcAddress<Create>(library_.get(), "CreateEnvironmentBlock");
    destroy_ = ProcAddress<Destroy>(library_.get(), "DestroyEnvironmentBlock");
    if (create == nullptr || destroy_ == nullptr || !create(&block_, token, FALSE)) {
      TraceLastError(L"CreateEnvironmentBlock");
      block_ = nullptr;
    }
  }
  UserEnvironment(const UserEnvironment&) = delete;
  UserEnvironment& operator=(const UserEnvironment&) = delete;
  ~UserEnvironment() {
    if (block_ != nullptr) destroy_(block_);
  }
  // Null where it could not be made: the child then gets this process's.
  void* get() const { return block_; }

 private:
  using Destroy = BOOL(WINAPI*)(void*);
  UniqueModule library_;
  Destroy destroy_ = nullptr;
  void* block_ = nullptr;
};

// Starts the watcher beside this program again in the session it ran in,
// as that session's user: with the user's full rights (the linked token of
// a limited one) where it ran elevated. This process runs as the system
// account, which may take a session's token and start a program with it.
void StartWatcher(const WatcherSeat& seat, const base::ProgramPaths& paths) {
  using QueryUserToken = BOOL(WINAPI*)(ULONG, HANDLE*);
  const UniqueModule wts = LoadSystemLibrary(L"wtsapi32.dll");
  const auto query = ProcAddress<QueryUserToken>(wts.get(), "WTSQueryUserToken");
  UniqueHandle token;
  if (query == nullptr || !query(seat.session, token.put())) {
    TraceLastError(L"WTSQueryUserToken");
    return;
  }
  TOKEN_ELEVATION_TYPE type{};
  DWORD size = 0;
  if (seat.elevated && ::GetTokenInformation(token.get(), TokenElevationType, &type, sizeof(type), &size) &&
      type == TokenElevationTypeLimited) {
    TOKEN_LINKED_TOKEN linked{};
    if (!::GetTokenInformation(token.get(), TokenLinkedToken, &linked, sizeof(linked), &size)) {
      TraceLastError(L"GetTokenInformation(TokenLinkedToken)");
      return;
    }
    token.reset(linked.LinkedToken);
  }
  const UserEnvironment environment(token.get());
  const std::wstring program = paths.program_dir + L"Veltrawatch.exe";
  std::wstring command_line = L"\"" + program + L"\"";
  std::wstring desktop = L"winsta0\\default";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.lpDesktop = desktop.data();
  PROCESS_INFORMATION info{};
  // Out of any job the installer runs its actions in, which may end with
  // them; where the job allows no breakaway, inside it.
  const auto start = [&](DWORD flags) {
    return ::CreateProcessAsUserW(token.get(), program.c_str(), command_line.data(), nullptr, nullptr, FALSE,
                                  flags | CREATE_UNICODE_ENVIRONMENT, environment.get(), paths.program_dir.c_str(),
                                  &startup, &info) != FALSE;
  };
  if (!start(CREATE_BREAKAWAY_FROM_JOB) && (::GetLastError() != ERROR_ACCESS_DENIED || !start(0))) {
    TraceLastError(L"CreateProcessAsUserW(Veltrawatch.exe)");
    return;
  }
  const UniqueHandle process(info.hProcess);
  const UniqueHandle thread(info.hThread);
}

// Notes what a removal ended beside the program, for the next installation
// to bring back (ResumeVeltra, StartWatcher).
void NoteEnded(const EndedPrograms& ended, const std::wstring& marker, const std::wstring& watcher_marker) {
  if (ended.veltra) {
    const UniqueFile file(
        ::CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) TraceLastError(L"CreateFileW(resume marker)");
  }
  for (const WatcherSeat& seat : ended.watchers) {
    if (!::WritePrivateProfileStringW(base::DecimalText(seat.session).c_str(), L"elevated", seat.elevated ? L"1" : L"0",
                                      watcher_marker.c_str())) {
      TraceLastError(L"WritePrivateProfileStringW(watcher marker)");
    }
  }
}

// The watchers an upgrade's removal noted, added to `watchers` unless
// their session is there already (one watcher runs per session); the note
// is taken away.
void TakeNotedWatchers(const std::wstring& marker, std::vector<WatcherSeat>& watchers) {
  std::wstring sections(4096, L'\0');
  const DWORD length = ::GetPrivateProfileSectionNamesW(sections.data(), static_cast<DWORD>(sections.size()),
                                                        marker.c_str());
  sections.resize(length);
  for (std::size_t at = 0, stop; (stop = sections.find(L'\0', at)) != std::wstring::npos; at = stop + 1) {
    const std::wstring name = sections.substr(at, stop - at);
    wchar_t* end = nullptr;
    const unsigned long session = std::wcstoul(name.c_str(), &end, 10);
    if (name.empty() || *end != L'\0') continue;
    const WatcherSeat seat{static_cast<DWORD>(session),
                           ::GetPrivateProfileIntW(name.c_str(), L"elevated", 0, marker.c_str()) == 1};
    bool known = false;
    for (const WatcherSeat& other : watchers) known = known || other.session == seat.session;
    if (!known) watchers.push_back(seat);
  }
  ::DeleteFileW(marker.c_str());
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
  const std::wstring watcher_marker = paths.program_dir + kWatcherMarkerName;
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
      NoteEnded(EndRunningPrograms(paths, ini_path, false), marker, watcher_marker);
      return true;
    case Removal::None:
      break;
  }
  std::vector<Preset> presets;
  const PresetRequest request = ParsePresets(command_line, presets);
  if (request == PresetRequest::None) return false;
  if (request == PresetRequest::Invalid) ::ExitProcess(1);
  // Nothing given (every installation runs /P) writes nothing, so a
  // settings file nobody may write cannot fail a repair or an upgrade.
  EndedPrograms ended;
  if (!presets.empty()) {
    // A file that cannot take the presets fails the installation while
    // everything still runs as it ran.
    if (!IniFileStore(ini_path).Writable()) ::ExitProcess(1);
    // A running Veltra saves its record at its exit and would write over
    // the presets: it ends first and comes back with them, its watchers
    // too.
    ended = EndRunningPrograms(paths, ini_path, false);
    if (!WritePresets(presets, ini_path)) {
      // The installation fails and rolls back: nothing may start from the
      // files it takes away. What this run ended is noted as an upgrade's
      // removal notes it, and the next run of the package brings it back.
      NoteEnded(ended, marker, watcher_marker);
      ::ExitProcess(1);
    }
  }
  if (::DeleteFileW(marker.c_str())) ended.veltra = true;
  TakeNotedWatchers(watcher_marker, ended.watchers);
  if (ended.veltra) ResumeVeltra();
  for (const WatcherSeat& seat : ended.watchers) StartWatcher(seat, paths);
  return true;
}

}  // namespace veltra
