// A refresh's one connection to the Task Scheduler, in process over COM:
// what a registered task is, and the adjustments made to one just created.
#pragma once

#include <windows.h>
#include <taskschd.h>

#include "platform/com.h"
#include "startup/task_match.h"

namespace veltra {

// Enters an apartment on the thread that makes it and leaves it when it
// goes, after its interfaces are released: made and dropped on one thread,
// as a local of the refresh that uses it.
class TaskService {
 public:
  // Connects to the service's root folder; where that fails, every lookup
  // is Unknown.
  TaskService();
  TaskService(const TaskService&) = delete;
  TaskService& operator=(const TaskService&) = delete;

  bool connected() const noexcept { return root_ != nullptr; }

  // The task of that name in the root folder and what the service reports
  // of it.
  TaskLookup Find(const wchar_t* name) const;

  // Battery conditions off, priority 5, no time limit; re-registered with
  // `logon_type`. True when every examined step succeeded. Without a
  // connection it tries once more to connect, as each adjustment did on
  // its own before the refresh asked first.
  bool Adjust(const wchar_t* name, TASK_LOGON_TYPE logon_type);

 private:
  void Connect();

  ComApartment apartment_;  // first, so the pointers below go before it
  ComPtr<ITaskService> service_;
  ComPtr<ITaskFolder> root_;
};

}  // namespace veltra
