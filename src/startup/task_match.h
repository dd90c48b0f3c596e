// Whether a registered task is the one Veltra would register, and the one
// step of a refresh that follows from it: create, delete or leave it. Every
// schtasks run is a process and a moment in which an ending could lose a
// task, so a refresh runs one only where it changes something. Portable.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "startup/task_commands.h"

namespace veltra {

enum class TaskTrigger { Other, Boot, Logon, SessionLock };

struct TaskAction {
  bool exec = false;  // any other kind is not one Veltra registers
  std::wstring path;  // as the service stores it, quotes and all
  std::wstring arguments;
};

// A registered task as the task service reported it. A collection the
// service could not count is absent: Wine's stores neither actions nor
// triggers it could read back, and a start must not register the task
// again for what cannot be known. A setting that could not be read keeps
// its default here, which no task of Veltra's has.
struct RegisteredTask {
  std::optional<std::vector<TaskAction>> actions;
  std::optional<std::vector<TaskTrigger>> triggers;
  bool disallow_start_on_batteries = true;
  bool stop_on_batteries = true;
  int priority = -1;
  std::wstring time_limit;
};

// The task Veltra registers: one program action and one trigger.
struct WantedTask {
  std::wstring program;  // the module's path, without quotes
  std::wstring arguments;
  TaskTrigger trigger = TaskTrigger::Other;
};
WantedTask WantedBootTask(std::wstring_view program);
WantedTask WantedLogonTask(std::wstring_view program, bool window_enable);
WantedTask WantedLockTask(std::wstring_view program);

// Unknown: the service could not be asked (no service, no connection, no
// root folder, or a failure other than "no such task").
enum class TaskPresence { Unknown, Missing, Registered };
struct TaskLookup {
  TaskPresence presence = TaskPresence::Unknown;
  RegisteredTask task;  // only when Registered
};

// Whether the registered task's command, trigger and adjustments are the
// wanted ones, as far as the service reported them. The program path is
// compared without its quotes and without regard to ASCII case, as the
// file system compares it (letters beyond ASCII must match exactly: at
// worst the task is registered again); the arguments as they are.
bool IsWantedTask(const RegisteredTask& registered, const WantedTask& wanted);

enum class TaskStep { Nothing, Create, Delete };

// A ticked task is created unless it is registered as wanted; an unticked
// one is deleted unless it is known to be missing. Where the service could
// not be asked, each is created or deleted as if nothing were known.
TaskStep DecideTaskStep(bool ticked, const TaskLookup& found, const WantedTask& wanted);

}  // namespace veltra
