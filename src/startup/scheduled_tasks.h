// The program's three scheduled tasks: at boot and on the lock screen it
// enables the panel (/T 1 /O), at logon it starts resident. Each is
// registered by "schtasks.exe" and then adjusted through the Task
// Scheduler's COM interfaces; nothing ever reads a task back.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <thread>

#include "core/settings.h"
#include "ui/win_app.h"

namespace veltra {

// Runs `command_line` hidden and waits for it (at most ten seconds). The
// program is looked for in the system folder only.
void RunHiddenCommand(std::wstring command_line);

// Battery conditions off, priority 5, no time limit; re-registered with
// `logon_type`. True when every examined step succeeded.
bool AdjustTaskSettings(const wchar_t* task_name, int logon_type);

// Always 1.
int DeleteBootTask();
int DeleteLogonTask();
int DeleteLockTask();
// 1 when the task was registered and adjusted, else 0.
int CreateBootTask();
int CreateLogonTask(const Settings& settings);
int CreateLockTask(const ui::WinApp& app);

enum class ScheduledTask { Boot, Logon, Lock };

// The task's setting: task_boot, task_startup or task_lock.
std::uint8_t& TaskFlag(Settings& settings, ScheduledTask task);

// Deletes the task, then creates it if its setting is on; the setting keeps
// whether the creation succeeded.
void RefreshTask(ScheduledTask task, Settings& settings, const ui::WinApp& app);

// RefreshTask for boot, logon and lock, in that order.
void RefreshScheduledTasks(Settings& settings, const ui::WinApp& app);

// The start-up refresh run on a thread of its own, so the status window
// need not wait for three schtasks runs. The thread works on a copy of the
// few settings it needs and never touches the record; its outcome reaches
// the record only through Apply, on the thread that owns this object. Its
// one message (the lock task's definition could not be written) comes from
// that thread, with no owner window, as it did before the window existed.
class TaskRefresh {
 public:
  TaskRefresh() = default;
  ~TaskRefresh();  // waits for the thread; the outcome is then dropped
  TaskRefresh(const TaskRefresh&) = delete;
  TaskRefresh& operator=(const TaskRefresh&) = delete;

  // Starts the refresh of the tasks `settings` ask for. Where no thread can
  // be started, it runs here and now instead, as at any earlier time.
  void Start(const Settings& settings, const ui::WinApp& app);
  // Waits for a started refresh and gives each task flag it examined
  // whether the creation succeeded. Only the first call after Start does
  // anything.
  void Apply(Settings& settings);

 private:
  void Run(const ui::WinApp& app) noexcept;

  struct Flags {
    std::uint8_t boot = 0, startup = 0, lock = 0;
  };
  Flags asked_;
  Settings wanted_;  // the copy the thread works on and fills
  std::thread worker_;
  bool pending_ = false;
};

}  // namespace veltra
