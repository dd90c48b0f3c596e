// The program's three scheduled tasks: at boot and on the lock screen it
// enables the panel (/T 1 /O), at logon it starts resident. Each refresh
// first asks the Task Scheduler's COM interfaces what is registered; a
// task is registered by "schtasks.exe" and then adjusted over COM, or
// deleted by "schtasks.exe", only where that changes something.
#pragma once

#include <windows.h>

#include <cstdint>
#include <mutex>
#include <string>

#include "core/settings.h"
#include "platform/unique_handle.h"
#include "platform/worker_thread.h"
#include "ui/win_app.h"

namespace veltra {

// Runs `command_line` hidden and waits for it (at most ten seconds). The
// program is looked for in the system folder only.
void RunHiddenCommand(std::wstring command_line);

// Each runs schtasks whether the task is registered or not (the removal
// deletes every task); always 1.
int DeleteBootTask();
int DeleteLogonTask();
int DeleteLockTask();

// Tells the user, in a box owned by `owner`, that the lock task's
// definition file could not be written.
void TellTaskDefinitionFailed(const ui::WinApp& app, HWND owner);

enum class ScheduledTask { Boot, Logon, Lock };

// The task's setting: task_boot, task_startup or task_lock.
std::uint8_t& TaskFlag(Settings& settings, ScheduledTask task);

// If its setting is on, creates the task over the registered one unless
// that is registered as wanted already (which counts as created); else,
// or when the creation failed, deletes it unless it is known to be
// missing. The setting keeps whether the task is there. A failure to write
// the lock task's definition is told in a box owned by `owner`.
void RefreshTask(ScheduledTask task, Settings& settings, const ui::WinApp& app, HWND owner = nullptr);

// RefreshTask for boot, logon and lock, in that order, over one connection
// to the task service.
void RefreshScheduledTasks(Settings& settings, const ui::WinApp& app);

// The start-up refresh run on a thread of its own, so the status window
// need not wait for the task service or a schtasks run. The thread enters
// a COM apartment of its own and leaves it before it ends. It works on a
// copy of the few settings it needs and never touches the record, and it
// never shows anything: a box of a thread without a window would have no
// owner, and whoever waited for the thread would hang until someone
// answered it. Its outcome reaches the record, and its one message the
// user, only through Apply on the thread that owns this object, which
// learns of the end from a message posted to its window (ReportTo).
class TaskRefresh {
 public:
  TaskRefresh() = default;
  ~TaskRefresh();  // waits for the thread; the outcome is then dropped
  TaskRefresh(const TaskRefresh&) = delete;
  TaskRefresh& operator=(const TaskRefresh&) = delete;

  // Starts the refresh of the tasks `settings` ask for. The thread holds
  // its work until Release, or for a few seconds at most: the task
  // service's start costs more than the status window's, and on a machine
  // with few cores both at once would delay the window's first picture.
  // Where no thread can be started, it runs here and now instead, as at
  // any earlier time.
  void Start(const Settings& settings);
  // Lets a held refresh go on (the status window has been shown, or
  // someone is about to wait for it).
  void Release();
  // From now on the refresh's end is posted to `window` as `message`; at
  // once when it has ended already. Null: to nobody.
  void ReportTo(HWND window, UINT message);
  // Whether the thread has done its work, so Apply will not wait.
  bool Finished();
  // Waits for a started refresh (a bounded wait: the thread shows nothing
  // and waits for each schtasks run ten seconds at most), gives each task
  // flag it examined whether the task is there, and returns whether
  // the lock task's definition could not be written, which the caller
  // tells the user. Only the first call after Start does anything.
  bool Apply(Settings& settings);

 private:
  void Run() noexcept;

  struct Flags {
    std::uint8_t boot = 0, startup = 0, lock = 0;
  };
  Flags asked_;
  Settings wanted_;  // the copy the thread works on and fills
  bool definition_failed_ = false;  // written by the thread before finished_
  WorkerThread worker_;
  UniqueHandle release_;  // set: the thread may do its work
  bool pending_ = false;
  Lock lock_;  // guards what follows, shared with the thread
  bool finished_ = false;
  HWND report_window_ = nullptr;
  UINT report_message_ = 0;
};

}  // namespace veltra
