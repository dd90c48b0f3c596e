// The running processes of our programs, found through a process snapshot
// and told apart by their image path, never by a name any program could
// take: the installer's removal ends them, and a start tells a copy of
// itself from another program that holds its single-instance name.
#pragma once

#include <windows.h>

#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/unique_handle.h"

namespace veltra {

struct RunningProcess {
  UniqueHandle process;
  DWORD id = 0;
  std::size_t program = 0;  // which of the programs looked for it runs
  std::wstring image;       // the full path of its program file
};

// Every process but this one that runs one of `programs` (full paths of
// existing files, compared by SameFile, whichever spelling either side
// has) and has not ended, opened with `access` (and SYNCHRONIZE |
// PROCESS_QUERY_LIMITED_INFORMATION); those that cannot be opened or whose
// image cannot be read are left out.
std::vector<RunningProcess> FindRunningProcesses(std::initializer_list<std::wstring> programs, DWORD access);

// The process `id`, opened as above; null when it cannot be opened or has
// ended: a process that ended stays listed, and can be opened, while
// anyone holds a handle to it.
UniqueHandle OpenLiveProcess(DWORD id, DWORD access);

// The other live processes of this session that run `program_path`,
// opened with SYNCHRONIZE.
std::vector<RunningProcess> OtherInstancesOf(const std::wstring& program_path);

}  // namespace veltra
