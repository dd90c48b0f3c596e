// Finding and messaging another of our programs' windows.
#include "platform/peer_window.h"

#include <vector>

#include "platform/paths.h"
#include "platform/trace.h"
#include "platform/unique_handle.h"

namespace veltra {
std::wstring ProcessImagePath(HANDLE process) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD size = static_cast<DWORD>(buffer.size());
    if (::QueryFullProcessImageNameW(process, 0, buffer.data(), &size)) return std::wstring(buffer.data(), size);
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
}

bool SamePath(std::wstring_view a, std::wstring_view b) {
  return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

bool SameFile(const std::wstring& a, const std::wstring& b) {
  return SamePath(a, b) || SamePath(LongPathName(a), LongPathName(b));
}

base::Elevation ProcessElevation(HANDLE process) {
  UniqueHandle token;
  if (!::OpenProcessToken(process, TOKEN_QUERY, token.put())) return base::Elevation::Unknown;
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  if (!::GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof(elevation), &size)) {
    return base::Elevation::Unknown;
  }
  return elevation.TokenIsElevated != 0 ? base::Elevation::Elevated : base::Elevation::Limited;
}

bool WindowBelongsTo(HWND window, const std::wstring& program_path) {
  DWORD process_id = 0;
  ::GetWindowThreadProcessId(window, &process_id);
  if (process_id == 0 || program_path.empty()) return false;
  const UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id));
  if (!process) return false;
  const std::wstring image = ProcessImagePath(process.get());
  const bool runs_our_file = !image.empty() && SameFile(image, program_path);
  // This process's own elevation does not change while it runs.
  static const base::Elevation self = ProcessElevation(::GetCurrentProcess());
  return base::PeerCounts(runs_our_file, self,
                          runs_our_file ? ProcessElevation(process.get()) : base::Elevation::Unknown);
}

HWND FindPeerWindow(const wchar_t* window_class, const std::wstring& program_path) {
  for (HWND window = nullptr; (window = ::FindWindowExW(nullptr, window, window_class, nullptr)) != nullptr;) {
    if (WindowBelongsTo(window, program_path)) return window;
  }
  return nullptr;
}

std::optional<LRESULT> SendToPeer(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  DWORD_PTR answer = 0;
  if (::SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG, kPeerSendTimeoutMs, &answer) == 0) {
    TraceLastError(L"SendMessageTimeoutW");
    return std::nullopt;
  }
  return static_cast<LRESULT>(answer);
}

}  // namespace veltra
