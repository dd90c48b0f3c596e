// The exit request of an elevated remover (the installer's removal, run as
// the system account or an administrator, in any session). Each running
// Veltra.exe and Veltrawatch.exe holds an event named for its process that
// only administrators and the system account may open; a thread of its own
// waits on it and then closes the program's main window, so the program's
// own exit sequence runs on that window's thread. A window message would
// not do: the remover may run where no user's window can be found, and any
// process may send one.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/unique_handle.h"
#include "platform/worker_thread.h"

namespace veltra {

class ExitRequestListener {
 public:
  // Created on the thread that owns the program's main window (of class
  // `window_class`; it may come later), with the event's full `name`. Where
  // the event cannot be made ours (someone else created the name first, or
  // it cannot be created), the listener does nothing: the remover then ends
  // the process itself. While the thread has no window of that class, an
  // unowned window of `fallback_class` (if given: a dialog the program
  // shows before its main window, such as a first start's device
  // selection) is sent WM_CLOSE instead, again each time it is looked for,
  // until the main window comes or the program ends.
  ExitRequestListener(const std::wstring& name, const wchar_t* window_class, const wchar_t* fallback_class = nullptr);
  ~ExitRequestListener();  // stops the thread and waits for it
  ExitRequestListener(const ExitRequestListener&) = delete;
  ExitRequestListener& operator=(const ExitRequestListener&) = delete;

 private:
  void Run() noexcept;

  const wchar_t* window_class_;
  const wchar_t* fallback_class_;
  DWORD owner_thread_;
  UniqueHandle request_;
  UniqueHandle stop_;
  WorkerThread worker_;
};

// Signals the first of `names` (one process's exit request under each name
// it may have) that can be opened; false when none can.
bool RequestExit(const std::vector<std::wstring>& names);

}  // namespace veltra
