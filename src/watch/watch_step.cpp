// The watch step.
#include "watch/watch_step.h"

#include <windows.h>

#include "base/program_paths.h"
#include "platform/paths.h"
#include "platform/peer_window.h"
#include "platform/unique_handle.h"
#include "protocol/veltra_protocol.h"

namespace veltra::watch {
namespace {

// The one Veltra the watcher steers: the one beside it.
const std::wstring& VeltraBesideUs() {
  static const std::wstring path = base::SplitProgramPath(ModuleFileName(nullptr)).program_dir + L"Veltra.exe";
  return path;
}

}  // namespace

void UpperCaseAnsi(std::string& text) {
  if (!text.empty()) ::CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
}

TouchRequest WatchStep(const ProcessLists& lists, std::int32_t default_status) {
  return WatchStep(lists, default_status, VeltraBesideUs());
}

TouchRequest WatchStep(const ProcessLists& lists, std::int32_t default_status, const std::wstring& veltra_path) {
  const HWND foreground = ::GetForegroundWindow();
  if (foreground == nullptr) return TouchRequest::None;
  DWORD process_id = 0;
  ::GetWindowThreadProcessId(foreground, &process_id);
  if (process_id == 0) return TouchRequest::None;

  std::optional<std::string> path;
  {
    const UniqueHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, process_id));
    if (!process) return TouchRequest::None;
    char buffer[1000] = {};
    DWORD size = sizeof(buffer);
    if (::QueryFullProcessImageNameA(process.get(), 0, buffer, &size)) path.emplace(buffer, size);
  }
  if (path) UpperCaseAnsi(*path);

  const HWND veltra = FindPeerWindow(protocol::kWindowClass, veltra_path);
  if (veltra == nullptr) return TouchRequest::None;
  const TouchRequest request = DecideRequest(lists, path, default_status);
  if (request != TouchRequest::None) {
    // The answer does not matter: an ending Veltra is asked again next tick.
    SendToPeer(veltra, protocol::WM_SET_TOUCH_STATE, request == TouchRequest::Enable ? 1 : 0, 0);
  }
  return request;
}

}  // namespace veltra::watch
