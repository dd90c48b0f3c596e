// Comparing a registered task with Veltra's own, and the refresh's step.
#include "startup/task_match.h"

#include "base/ascii.h"

namespace veltra {
namespace {

std::wstring_view TrimBlanks(std::wstring_view text) {
  while (!text.empty() && text.front() == L' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == L' ') text.remove_suffix(1);
  return text;
}

// The program an action starts and what follows it on its command line.
struct Command {
  std::wstring_view program;
  std::wstring arguments;
};

// The service may keep the program in quotes (schtasks turns the command
// lines' single quotes into double ones, the lock task's definition quotes
// a path with a blank) and may keep a whole command line in the path with
// no arguments of its own: both forms are read as the program it starts
// and what follows it.
Command SplitCommand(const TaskAction& action) {
  std::wstring_view path = TrimBlanks(action.path);
  const std::wstring_view arguments = TrimBlanks(action.arguments);
  std::wstring_view rest;
  if (path.size() >= 2 && path.front() == L'"') {
    const std::size_t close = path.find(L'"', 1);
    if (close != std::wstring_view::npos) {
      rest = TrimBlanks(path.substr(close + 1));
      path = path.substr(1, close - 1);
    }
  } else if (arguments.empty()) {
    const std::size_t blank = path.find(L' ');
    if (blank != std::wstring_view::npos) {
      rest = TrimBlanks(path.substr(blank + 1));
      path = path.substr(0, blank);
    }
  }
  if (rest.empty()) return {path, std::wstring(arguments)};
  if (arguments.empty()) return {path, std::wstring(rest)};
  return {path, std::wstring(rest) + L' ' + std::wstring(arguments)};
}

bool SameAction(const TaskAction& action, const WantedTask& wanted) {
  if (!action.exec) return false;
  const Command command = SplitCommand(action);
  return base::UpperCaseAscii(command.program) == base::UpperCaseAscii(wanted.program) &&
         command.arguments == wanted.arguments;
}

}  // namespace

WantedTask WantedBootTask(std::wstring_view program) {
  return {std::wstring(program), kOneShotArguments, TaskTrigger::Boot};
}

WantedTask WantedLogonTask(std::wstring_view program, bool window_enable) {
  return {std::wstring(program), LogonTaskArguments(window_enable), TaskTrigger::Logon};
}

WantedTask WantedLockTask(std::wstring_view program) {
  return {std::wstring(program), kOneShotArguments, TaskTrigger::SessionLock};
}

bool IsWantedTask(const RegisteredTask& registered, const WantedTask& wanted) {
  const bool adjusted = !registered.disallow_start_on_batteries && !registered.stop_on_batteries &&
                        registered.priority == kTaskPriority && registered.time_limit == kTaskTimeLimit;
  if (!adjusted) return false;
  if (const auto& actions = registered.actions;
      actions && (actions->size() != 1 || !SameAction(actions->front(), wanted))) {
    return false;
  }
  if (const auto& triggers = registered.triggers;
      triggers && (triggers->size() != 1 || triggers->front() != wanted.trigger)) {
    return false;
  }
  return true;
}

TaskStep DecideTaskStep(bool ticked, const TaskLookup& found, const WantedTask& wanted) {
  switch (found.presence) {
    case TaskPresence::Unknown: return ticked ? TaskStep::Create : TaskStep::Delete;
    case TaskPresence::Missing: return ticked ? TaskStep::Create : TaskStep::Nothing;
    case TaskPresence::Registered: break;
  }
  if (!ticked) return TaskStep::Delete;
  return IsWantedTask(found.task, wanted) ? TaskStep::Nothing : TaskStep::Create;
}

}  // namespace veltra
