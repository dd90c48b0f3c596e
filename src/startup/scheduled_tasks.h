// The program's three scheduled tasks: at boot and on the lock screen it
// enables the panel (/T 1 /O), at logon it starts resident. Each is
// registered by "schtasks.exe" and then adjusted through the Task
// Scheduler's COM interfaces; nothing ever reads a task back.
#pragma once

#include <windows.h>

#include <string>

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

// Boot, logon, lock: each deleted, then created if its setting is on, the
// setting keeping whether the creation succeeded.
void RefreshScheduledTasks(Settings& settings, const ui::WinApp& app);

}  // namespace veltra
