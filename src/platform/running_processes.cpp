// The process snapshot and the instances of one program file.
#include "platform/running_processes.h"

#include <tlhelp32.h>

#include <string_view>
#include <utility>

#include "platform/paths.h"
#include "platform/peer_window.h"
#include "platform/trace.h"

namespace veltra {
namespace {

std::wstring_view FileNamePart(std::wstring_view path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

// The names the snapshot may list a process of `program` by: the file name
// it was started through, which is the short (8.3) one for a start through
// a short path (a program whose name does not fit 8.3 has one of its own),
// else the long one.
struct ProgramNames {
  std::wstring given, spelt_out, short_form;
  explicit ProgramNames(const std::wstring& program)
      : given(FileNamePart(program)),
        spelt_out(FileNamePart(LongPathName(program))),
        short_form(FileNamePart(ShortPathName(program))) {}
  bool Lists(std::wstring_view name) const {
    return SamePath(name, given) || SamePath(name, spelt_out) || (!short_form.empty() && SamePath(name, short_form));
  }
};

}  // namespace

UniqueHandle OpenLiveProcess(DWORD id, DWORD access) {
  UniqueHandle process(::OpenProcess(access | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
  if (process && ::WaitForSingleObject(process.get(), 0) != WAIT_TIMEOUT) process.reset();
  return process;
}

std::vector<RunningProcess> FindRunningProcesses(std::initializer_list<std::wstring> programs, DWORD access) {
  std::vector<RunningProcess> found;
  const UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) {
    TraceLastError(L"CreateToolhelp32Snapshot");
    return found;
  }
  std::vector<ProgramNames> names;
  for (const std::wstring& program : programs) names.emplace_back(program);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
    if (entry.th32ProcessID == ::GetCurrentProcessId()) continue;
    UniqueHandle process;
    std::wstring image;
    bool opened = false;
    for (std::size_t index = 0; index < names.size(); ++index) {
      if (!names[index].Lists(entry.szExeFile)) continue;
      if (!opened) {
        opened = true;
        process = OpenLiveProcess(entry.th32ProcessID, access);
        if (process) image = ProcessImagePath(process.get());
      }
      if (!image.empty() && SameFile(image, programs.begin()[index])) {
        found.push_back({std::move(process), entry.th32ProcessID, index, std::move(image)});
        break;
      }
    }
  }
  return found;
}

std::vector<RunningProcess> OtherInstancesOf(const std::wstring& program_path) {
  DWORD own_session = 0;
  ::ProcessIdToSessionId(::GetCurrentProcessId(), &own_session);
  std::vector<RunningProcess> others;
  for (RunningProcess& running : FindRunningProcesses({program_path}, SYNCHRONIZE)) {
    DWORD session = 0;
    if (::ProcessIdToSessionId(running.id, &session) && session == own_session) others.push_back(std::move(running));
  }
  return others;
}

}  // namespace veltra
