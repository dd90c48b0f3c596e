// The process snapshot and the instances of one program file.
#include "platform/running_processes.h"

#include <tlhelp32.h>

#include <utility>

#include "platform/peer_window.h"
#include "platform/trace.h"

namespace veltra {

std::vector<RunningProcess> FindRunningProcesses(std::initializer_list<std::wstring_view> file_names, DWORD access) {
  std::vector<RunningProcess> found;
  const UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) {
    TraceLastError(L"CreateToolhelp32Snapshot");
    return found;
  }
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
    const std::wstring_view name = entry.szExeFile;
    bool listed = false;
    for (const std::wstring_view wanted : file_names) listed = listed || SamePath(name, wanted);
    if (!listed || entry.th32ProcessID == ::GetCurrentProcessId()) continue;
    UniqueHandle process(::OpenProcess(access | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
    if (!process) continue;
    std::wstring image = ProcessImagePath(process.get());
    if (image.empty()) continue;
    found.push_back({std::move(process), entry.th32ProcessID, std::wstring(name), std::move(image)});
  }
  return found;
}

std::vector<RunningProcess> OtherInstancesOf(const std::wstring& program_path) {
  // The snapshot lists the file name of the image, which a start through
  // an 8.3 path spells the same way for our names (they fit 8.3).
  const std::size_t slash = program_path.find_last_of(L"\\/");
  const std::wstring_view file_name =
      std::wstring_view(program_path).substr(slash == std::wstring::npos ? 0 : slash + 1);
  DWORD own_session = 0;
  ::ProcessIdToSessionId(::GetCurrentProcessId(), &own_session);
  std::vector<RunningProcess> others;
  for (RunningProcess& running : FindRunningProcesses({file_name}, SYNCHRONIZE)) {
    DWORD session = 0;
    if (!::ProcessIdToSessionId(running.id, &session) || session != own_session) continue;
    // One that has ended may still be listed while someone holds it open.
    if (::WaitForSingleObject(running.process.get(), 0) != WAIT_TIMEOUT) continue;
    if (SameFile(running.image, program_path)) others.push_back(std::move(running));
  }
  return others;
}

}  // namespace veltra
