// The running processes of our programs, found through a process snapshot
// and told apart by their image path, never by a name any program could
// take: the installer's removal ends them, and a start tells a copy of
// itself from another program that holds its single-instance name.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/unique_handle.h"

namespace veltra {

struct RunningProcess {
  UniqueHandle process;
  DWORD id = 0;
  std::wstring file_name;  // as the snapshot lists it
  std::wstring image;      // the full path of its program file
};

// Every process but this one whose file name is one of `file_names`,
// opened with `access` (and PROCESS_QUERY_LIMITED_INFORMATION); those that
// cannot be opened or whose image cannot be read are left out.
std::vector<RunningProcess> FindRunningProcesses(std::initializer_list<std::wstring_view> file_names, DWORD access);

// The other live processes of this session that run `program_path`
// (SameFile), opened with SYNCHRONIZE.
std::vector<RunningProcess> OtherInstancesOf(const std::wstring& program_path);

}  // namespace veltra
