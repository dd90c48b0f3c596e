// Refreshing the three scheduled tasks: registering and deleting them
// through schtasks.exe where the task service shows a change is due, and
// the start-up refresh's thread.
#include "startup/scheduled_tasks.h"

#include <functional>

#include "platform/paths.h"
#include "platform/simulated_crash.h"
#include "platform/strings.h"
#include "platform/trace.h"
#include "platform/unique_handle.h"
#include "resources/resource.h"
#include "startup/task_commands.h"
#include "startup/task_match.h"
#include "startup/task_service.h"

namespace veltra {
namespace {

// Long enough for a slow logon; the user-interface thread waits either way,
// and a creation counted as failed would turn the user's setting off.
constexpr DWORD kCommandWaitMs = 10000;
// How long the start-up refresh waits for the status window at most: a
// window that never shows (a selection dialog left open, say) must not
// leave the tasks unregistered.
constexpr DWORD kRefreshHoldMs = 5000;

// `bytes` as the whole of a new file (or one made anew); false when it
// cannot be created or fully written.
bool WriteNewFile(const std::wstring& path, const std::string& bytes) {
  const UniqueFile file(
      ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != FALSE &&
         written == bytes.size();
}

}  // namespace

void RunHiddenCommand(std::wstring command_line) {
  const std::wstring program = SystemProgramPath(L"schtasks.exe");
  if (program.empty()) {
    TraceLastError(L"GetSystemDirectoryW");
    return;
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
    TraceLastError(L"CreateProcessW(schtasks.exe)");
    return;
  }
  const UniqueHandle process(info.hProcess);
  const UniqueHandle thread(info.hThread);
  if (::WaitForSingleObject(process.get(), kCommandWaitMs) != WAIT_OBJECT_0) {
    TraceFailure(L"waiting for schtasks.exe", WAIT_TIMEOUT);
  }
  StepDone(L"schtasks");
}

int DeleteBootTask() {
  RunHiddenCommand(DeleteTaskCommand(kBootTaskName));
  return 1;
}

int DeleteLogonTask() {
  RunHiddenCommand(DeleteTaskCommand(kLogonTaskName));
  return 1;
}

int DeleteLockTask() {
  RunHiddenCommand(DeleteTaskCommand(kLockTaskName));
  return 1;
}

void TellTaskDefinitionFailed(const ui::WinApp& app, HWND owner) {
  app.ShowMessage(LoadLocalizedText(app.instance(), IDS_TASK_XML_FAILED), MB_ICONEXCLAMATION, owner);
}

std::uint8_t& TaskFlag(Settings& settings, ScheduledTask task) {
  switch (task) {
    case ScheduledTask::Boot: return settings.task_boot;
    case ScheduledTask::Logon: return settings.task_startup;
    case ScheduledTask::Lock: break;
  }
  return settings.task_lock;
}

namespace {

// 1 when the task was registered and adjusted, else 0.
int CreateBootTask(TaskService& service, const std::wstring& program) {
  RunHiddenCommand(CreateBootTaskCommand(program));
  return service.Adjust(kBootTaskName, TASK_LOGON_SERVICE_ACCOUNT) ? 1 : 0;
}

int CreateLogonTask(TaskService& service, const std::wstring& program, const Settings& settings) {
  RunHiddenCommand(CreateLogonTaskCommand(program, settings.window_enable != 0));
  return service.Adjust(kLogonTaskName, TASK_LOGON_INTERACTIVE_TOKEN) ? 1 : 0;
}

// `definition_failed` is called when the task's definition file could not
// be written, the one failure the user is told of.
int CreateLockTask(TaskService& service, const std::wstring& program, const std::function<void()>& definition_failed) {
  const std::wstring xml_path = TaskXmlPath(program);
  if (!WriteNewFile(xml_path, Utf16LeTextFile(LockTaskXml(program)))) {
    // A file cut short would only make schtasks fail where nobody sees it.
    ::DeleteFileW(xml_path.c_str());
    definition_failed();
    return 0;
  }
  RunHiddenCommand(CreateLockTaskCommand(xml_path));
  const bool adjusted = service.Adjust(kLockTaskName, TASK_LOGON_SERVICE_ACCOUNT);
  ::DeleteFileW(xml_path.c_str());
  return adjusted ? 1 : 0;
}

const wchar_t* TaskName(ScheduledTask task) {
  switch (task) {
    case ScheduledTask::Boot: return kBootTaskName;
    case ScheduledTask::Logon: return kLogonTaskName;
    case ScheduledTask::Lock: break;
  }
  return kLockTaskName;
}

WantedTask Wanted(ScheduledTask task, const std::wstring& program, const Settings& settings) {
  switch (task) {
    case ScheduledTask::Boot: return WantedBootTask(program);
    case ScheduledTask::Logon: return WantedLogonTask(program, settings.window_enable != 0);
    case ScheduledTask::Lock: break;
  }
  return WantedLockTask(program);
}

// A task that is on is created over the registered one (every creation
// replaces, /f), never removed first: a process ended between a removal and
// its creation would leave the task gone while the settings still tick it.
// One that is off, or whose creation failed, is removed. A task already
// registered as wanted, or known to be missing and not wanted, is left
// alone: a schtasks run that changes nothing is only another moment in
// which an ending could cut a creation short.
void RefreshTaskReporting(ScheduledTask task, Settings& settings, TaskService& service,
                          const std::function<void()>& definition_failed) {
  std::uint8_t& flag = TaskFlag(settings, task);
  const std::wstring program = ModuleFileName(nullptr);
  const TaskStep step = DecideTaskStep(flag != 0, service.Find(TaskName(task)), Wanted(task, program, settings));
  if (step == TaskStep::Nothing) {
    if (flag != 0) flag = 1;
    return;
  }
  if (step == TaskStep::Create) {
    int created = 0;
    switch (task) {
      case ScheduledTask::Boot: created = CreateBootTask(service, program); break;
      case ScheduledTask::Logon: created = CreateLogonTask(service, program, settings); break;
      case ScheduledTask::Lock: created = CreateLockTask(service, program, definition_failed); break;
    }
    flag = created != 0 ? 1 : 0;
    if (created != 0) return;
  }
  switch (task) {
    case ScheduledTask::Boot: DeleteBootTask(); break;
    case ScheduledTask::Logon: DeleteLogonTask(); break;
    case ScheduledTask::Lock: DeleteLockTask(); break;
  }
}

constexpr ScheduledTask kAllTasks[] = {ScheduledTask::Boot, ScheduledTask::Logon, ScheduledTask::Lock};

}  // namespace

void RefreshTask(ScheduledTask task, Settings& settings, const ui::WinApp& app, HWND owner) {
  TaskService service;
  RefreshTaskReporting(task, settings, service, [&] { TellTaskDefinitionFailed(app, owner); });
}

void RefreshScheduledTasks(Settings& settings, const ui::WinApp& app) {
  TaskService service;
  for (const ScheduledTask task : kAllTasks) {
    RefreshTaskReporting(task, settings, service, [&] { TellTaskDefinitionFailed(app, nullptr); });
  }
}

TaskRefresh::~TaskRefresh() {
  Release();
  worker_.Join();
}

void TaskRefresh::Start(const Settings& settings) {
  Release();
  worker_.Join();
  // Without the event the thread has nothing to wait for and starts at
  // once, as it did before it was held.
  release_.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  asked_ = {settings.task_boot, settings.task_startup, settings.task_lock};
  wanted_ = Settings();
  wanted_.task_boot = asked_.boot;
  wanted_.task_startup = asked_.startup;
  wanted_.task_lock = asked_.lock;
  wanted_.window_enable = settings.window_enable;  // the logon task's command line depends on it
  definition_failed_ = false;
  pending_ = true;
  {
    const std::lock_guard hold(lock_);
    finished_ = false;
  }
  if (!worker_.Start<&TaskRefresh::Run>(*this)) {
    TraceLastError(L"CreateThread(task refresh)");
    Release();
    Run();
  }
}

void TaskRefresh::Release() {
  if (release_) ::SetEvent(release_.get());
}

void TaskRefresh::Run() noexcept {
  if (release_) ::WaitForSingleObject(release_.get(), kRefreshHoldMs);
  // The service's apartment is entered here, on this thread, and left here
  // when the service goes at the end of the block, thrown through or not.
  // Nothing thrown may leave a thread: a failure counts as a failed
  // creation, which turns the settings off as any other failure would.
  try {
    TaskService service;
    for (const ScheduledTask task : kAllTasks) {
      RefreshTaskReporting(task, wanted_, service, [this] { definition_failed_ = true; });
    }
  } catch (...) {
    TraceFailure(L"refreshing the scheduled tasks", ERROR_INTERNAL_ERROR);
    wanted_.task_boot = wanted_.task_startup = wanted_.task_lock = 0;
  }
  const std::lock_guard hold(lock_);
  finished_ = true;
  if (report_window_ != nullptr) ::PostMessageW(report_window_, report_message_, 0, 0);
}

void TaskRefresh::ReportTo(HWND window, UINT message) {
  const std::lock_guard hold(lock_);
  report_window_ = window;
  report_message_ = message;
  if (window != nullptr && finished_ && pending_) ::PostMessageW(window, message, 0, 0);
}

bool TaskRefresh::Finished() {
  const std::lock_guard hold(lock_);
  return finished_;
}

bool TaskRefresh::Apply(Settings& settings) {
  if (!pending_) return false;
  Release();
  worker_.Join();
  pending_ = false;
  // A setting that was off stays as it is; only a creation's outcome is
  // written.
  if (asked_.boot != 0) settings.task_boot = wanted_.task_boot;
  if (asked_.startup != 0) settings.task_startup = wanted_.task_startup;
  if (asked_.lock != 0) settings.task_lock = wanted_.task_lock;
  return definition_failed_;
}

}  // namespace veltra
