// Registering, adjusting and deleting the three scheduled tasks through
// schtasks.exe and the task service, and the start-up refresh's thread.
#include "startup/scheduled_tasks.h"

#include <taskschd.h>

#include "platform/com.h"
#include "platform/paths.h"
#include "platform/simulated_crash.h"
#include "platform/strings.h"
#include "platform/trace.h"
#include "platform/unique_handle.h"
#include "resources/resource.h"
#include "startup/task_commands.h"

namespace veltra {
namespace {

// Long enough for a slow logon; the user-interface thread waits either way,
// and a creation counted as failed would turn the user's setting off.
constexpr DWORD kCommandWaitMs = 10000;

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

bool AdjustTaskSettings(const wchar_t* task_name, int logon_type) {
  const ComApartment apartment;
  ComPtr<ITaskService> service;
  if (FAILED(::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                reinterpret_cast<void**>(service.GetAddressOf())))) {
    return false;
  }
  const UniqueVariant none;
  if (FAILED(service->Connect(none.value(), none.value(), none.value(), none.value()))) return false;
  ComPtr<ITaskFolder> root;
  const UniqueBstr root_path = MakeBstr(L"\\");
  if (FAILED(service->GetFolder(root_path.get(), &root))) return false;
  const UniqueBstr name = MakeBstr(task_name);
  ComPtr<ITaskDefinition> definition;
  {
    ComPtr<IRegisteredTask> registered;
    if (FAILED(root->GetTask(name.get(), &registered))) return false;
    if (FAILED(registered->get_Definition(&definition))) return false;
  }
  ComPtr<ITaskSettings> settings;
  definition->get_Settings(&settings);
  if (settings) {
    settings->put_DisallowStartIfOnBatteries(VARIANT_FALSE);
    settings->put_StopIfGoingOnBatteries(VARIANT_FALSE);
    settings->put_Priority(5);
    // A task stops after 72 hours by default, which would end the resident
    // program without its exit sequence.
    const UniqueBstr unlimited = MakeBstr(L"PT0S");
    settings->put_ExecutionTimeLimit(unlimited.get());
  }
  UniqueVariant sddl;
  sddl.SetString(MakeBstr(L""));
  ComPtr<IRegisteredTask> updated;
  return SUCCEEDED(root->RegisterTaskDefinition(name.get(), definition.Get(), TASK_CREATE_OR_UPDATE, none.value(),
                                                none.value(), static_cast<TASK_LOGON_TYPE>(logon_type),
                                                sddl.value(), &updated));
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

int CreateBootTask() {
  RunHiddenCommand(CreateBootTaskCommand(ModuleFileName(nullptr)));
  return AdjustTaskSettings(kBootTaskName, TASK_LOGON_SERVICE_ACCOUNT) ? 1 : 0;
}

int CreateLogonTask(const Settings& settings) {
  RunHiddenCommand(CreateLogonTaskCommand(ModuleFileName(nullptr), settings.window_enable != 0));
  return AdjustTaskSettings(kLogonTaskName, TASK_LOGON_INTERACTIVE_TOKEN) ? 1 : 0;
}

int CreateLockTask(const std::function<void()>& definition_failed) {
  const std::wstring program = ModuleFileName(nullptr);
  const std::wstring xml_path = TaskXmlPath(program);
  if (!WriteNewFile(xml_path, Utf16LeTextFile(LockTaskXml(program)))) {
    // A file cut short would only make schtasks fail where nobody sees it.
    ::DeleteFileW(xml_path.c_str());
    definition_failed();
    return 0;
  }
  RunHiddenCommand(CreateLockTaskCommand(xml_path));
  const bool adjusted = AdjustTaskSettings(kLockTaskName, TASK_LOGON_SERVICE_ACCOUNT);
  ::DeleteFileW(xml_path.c_str());
  return adjusted ? 1 : 0;
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

// A task that is on is created over the one registered (every creation
// replaces, /f), never removed first: a process ended between a removal and
// its creation would leave the task gone while the settings still tick it.
// One that is off, or whose creation failed, is removed.
void RefreshTaskReporting(ScheduledTask task, Settings& settings, const std::function<void()>& definition_failed) {
  std::uint8_t& flag = TaskFlag(settings, task);
  if (flag != 0) {
    int created = 0;
    switch (task) {
      case ScheduledTask::Boot: created = CreateBootTask(); break;
      case ScheduledTask::Logon: created = CreateLogonTask(settings); break;
      case ScheduledTask::Lock: created = CreateLockTask(definition_failed); break;
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
  RefreshTaskReporting(task, settings, [&] { TellTaskDefinitionFailed(app, owner); });
}

void RefreshScheduledTasks(Settings& settings, const ui::WinApp& app) {
  for (const ScheduledTask task : kAllTasks) RefreshTask(task, settings, app);
}

TaskRefresh::~TaskRefresh() { worker_.Join(); }

void TaskRefresh::Start(const Settings& settings) {
  worker_.Join();
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
    Run();
  }
}

void TaskRefresh::Run() noexcept {
  // No apartment here: the task service is reached over COM only to adjust
  // a task just created, which opens its own, so a start that wants no task
  // never loads COM. Nothing thrown may leave a thread: a failure counts as
  // a failed creation, which turns the settings off as any other failure
  // would.
  try {
    for (const ScheduledTask task : kAllTasks) {
      RefreshTaskReporting(task, wanted_, [this] { definition_failed_ = true; });
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
