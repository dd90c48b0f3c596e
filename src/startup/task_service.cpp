// Reading a registered task back from the task service, and adjusting one.
#include "startup/task_service.h"

#include <utility>

namespace veltra {
namespace {

// MinGW's taskschd.h declares the session-state trigger's type number but
// not its interface; this is the Windows SDK's layout of it.
constexpr IID kIidSessionStateChangeTrigger = {
    0x754DA71B, 0x4385, 0x4475, {0x9D, 0xD9, 0x59, 0x82, 0x94, 0xFA, 0x36, 0x41}};
constexpr int kSessionLock = 7;  // TASK_SESSION_LOCK

struct SessionStateChangeTrigger : ITrigger {
  virtual HRESULT STDMETHODCALLTYPE get_Delay(BSTR* delay) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Delay(BSTR delay) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_UserId(BSTR* user) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_UserId(BSTR user) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_StateChange(int* change) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_StateChange(int change) = 0;
};

TaskTrigger ReadTrigger(ITrigger& trigger) {
  TASK_TRIGGER_TYPE2 type = TASK_TRIGGER_EVENT;
  if (FAILED(trigger.get_Type(&type))) return TaskTrigger::Other;
  switch (type) {
    case TASK_TRIGGER_BOOT: return TaskTrigger::Boot;
    case TASK_TRIGGER_LOGON: return TaskTrigger::Logon;
    case TASK_TRIGGER_SESSION_STATE_CHANGE: {
      ComPtr<SessionStateChangeTrigger> session;
      void** const into = reinterpret_cast<void**>(session.GetAddressOf());
      int change = 0;
      const bool lock = SUCCEEDED(trigger.QueryInterface(kIidSessionStateChangeTrigger, into)) &&
                        SUCCEEDED(session->get_StateChange(&change)) && change == kSessionLock;
      return lock ? TaskTrigger::SessionLock : TaskTrigger::Other;
    }
    default: return TaskTrigger::Other;
  }
}

// Absent when the service cannot count them (Wine's answers E_NOTIMPL); a
// trigger that cannot be read counts as one of another kind.
std::optional<std::vector<TaskTrigger>> ReadTriggers(ITaskDefinition& definition) {
  ComPtr<ITriggerCollection> triggers;
  LONG count = 0;
  if (FAILED(definition.get_Triggers(&triggers)) || !triggers || FAILED(triggers->get_Count(&count))) {
    return std::nullopt;
  }
  std::vector<TaskTrigger> read;
  for (LONG index = 1; index <= count; ++index) {
    ComPtr<ITrigger> trigger;
    read.push_back(SUCCEEDED(triggers->get_Item(index, &trigger)) && trigger ? ReadTrigger(*trigger.Get())
                                                                             : TaskTrigger::Other);
  }
  return read;
}

// As the triggers; an action that cannot be read counts as one that runs
// no program.
std::optional<std::vector<TaskAction>> ReadActions(ITaskDefinition& definition) {
  ComPtr<IActionCollection> actions;
  LONG count = 0;
  if (FAILED(definition.get_Actions(&actions)) || !actions || FAILED(actions->get_Count(&count))) {
    return std::nullopt;
  }
  std::vector<TaskAction> read;
  for (LONG index = 1; index <= count; ++index) {
    TaskAction& into = read.emplace_back();
    ComPtr<IAction> action;
    ComPtr<IExecAction> exec;
    if (FAILED(actions->get_Item(index, &action)) || !action || FAILED(action.As(&exec))) continue;
    UniqueBstr path, arguments;
    into.exec = SUCCEEDED(exec->get_Path(path.put())) && SUCCEEDED(exec->get_Arguments(arguments.put()));
    if (path) into.path = path.get();
    if (arguments) into.arguments = arguments.get();
  }
  return read;
}

void ReadSettings(ITaskDefinition& definition, RegisteredTask& task) {
  ComPtr<ITaskSettings> settings;
  if (FAILED(definition.get_Settings(&settings)) || !settings) return;
  VARIANT_BOOL flag = VARIANT_TRUE;
  if (SUCCEEDED(settings->get_DisallowStartIfOnBatteries(&flag))) {
    task.disallow_start_on_batteries = flag != VARIANT_FALSE;
  }
  flag = VARIANT_TRUE;
  if (SUCCEEDED(settings->get_StopIfGoingOnBatteries(&flag))) task.stop_on_batteries = flag != VARIANT_FALSE;
  int priority = -1;
  if (SUCCEEDED(settings->get_Priority(&priority))) task.priority = priority;
  UniqueBstr limit;
  if (SUCCEEDED(settings->get_ExecutionTimeLimit(limit.put())) && limit) task.time_limit = limit.get();
}

}  // namespace

TaskService::TaskService() { Connect(); }

void TaskService::Connect() {
  ComPtr<ITaskService> service;
  if (FAILED(::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                reinterpret_cast<void**>(service.GetAddressOf())))) {
    return;
  }
  const UniqueVariant none;
  if (FAILED(service->Connect(none.value(), none.value(), none.value(), none.value()))) return;
  ComPtr<ITaskFolder> root;
  const UniqueBstr root_path = MakeBstr(L"\\");
  if (FAILED(service->GetFolder(root_path.get(), &root)) || !root) return;
  service_ = std::move(service);
  root_ = std::move(root);
}

TaskLookup TaskService::Find(const wchar_t* name) const {
  TaskLookup found;
  if (!root_) return found;
  const UniqueBstr task_name = MakeBstr(name);
  ComPtr<IRegisteredTask> registered;
  const HRESULT result = root_->GetTask(task_name.get(), &registered);
  if (result == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)) {
    found.presence = TaskPresence::Missing;
    return found;
  }
  ComPtr<ITaskDefinition> definition;
  if (FAILED(result) || !registered || FAILED(registered->get_Definition(&definition)) || !definition) return found;
  found.presence = TaskPresence::Registered;
  ReadSettings(*definition.Get(), found.task);
  found.task.actions = ReadActions(*definition.Get());
  found.task.triggers = ReadTriggers(*definition.Get());
  return found;
}

bool TaskService::Adjust(const wchar_t* name, TASK_LOGON_TYPE logon_type) {
  if (!root_) Connect();
  if (!root_) return false;
  const UniqueBstr task_name = MakeBstr(name);
  ComPtr<ITaskDefinition> definition;
  {
    ComPtr<IRegisteredTask> registered;
    if (FAILED(root_->GetTask(task_name.get(), &registered))) return false;
    if (FAILED(registered->get_Definition(&definition))) return false;
  }
  ComPtr<ITaskSettings> settings;
  definition->get_Settings(&settings);
  if (settings) {
    settings->put_DisallowStartIfOnBatteries(VARIANT_FALSE);
    settings->put_StopIfGoingOnBatteries(VARIANT_FALSE);
    settings->put_Priority(kTaskPriority);
    // A task stops after 72 hours by default, which would end the resident
    // program without its exit sequence.
    const UniqueBstr unlimited = MakeBstr(kTaskTimeLimit);
    settings->put_ExecutionTimeLimit(unlimited.get());
  }
  const UniqueVariant none;
  UniqueVariant sddl;
  sddl.SetString(MakeBstr(L""));
  ComPtr<IRegisteredTask> updated;
  return SUCCEEDED(root_->RegisterTaskDefinition(task_name.get(), definition.Get(), TASK_CREATE_OR_UPDATE, none.value(),
                                                 none.value(), logon_type, sddl.value(), &updated));
}

}  // namespace veltra
