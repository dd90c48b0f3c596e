// The exit request's event, its listener thread and its sender.
#include "platform/exit_request.h"

#include <sddl.h>

#include <cwchar>
#include <iterator>

#include "platform/private_namespace.h"
#include "platform/trace.h"

namespace veltra {
namespace {


// A request that arrives before the main window exists (the program still
// starting) is tried again at this pace until the window is there or the
// listener stops.
constexpr DWORD kWindowRetryMs = 200;

struct WindowSearch {
  const wchar_t* window_class;
  const wchar_t* fallback_class;
  HWND found;
  HWND fallback;
};

BOOL CALLBACK MatchWindowClass(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<WindowSearch*>(param);
  wchar_t name[64] = {};
  if (::GetClassNameW(window, name, static_cast<int>(std::size(name))) <= 0) return TRUE;
  if (std::wcscmp(name, search.window_class) == 0) {
    search.found = window;
    return FALSE;
  }
  // A box or tooltip of a dialog is owned by it; the dialog itself is not.
  if (search.fallback == nullptr && search.fallback_class != nullptr && std::wcscmp(name, search.fallback_class) == 0 &&
      ::GetWindow(window, GW_OWNER) == nullptr) {
    search.fallback = window;
  }
  return TRUE;
}

}  // namespace

ExitRequestListener::ExitRequestListener(const std::wstring& name, const wchar_t* window_class,
                                         const wchar_t* fallback_class)
    : window_class_(window_class), fallback_class_(fallback_class), owner_thread_(::GetCurrentThreadId()) {
  const UniqueLocal descriptor = AdministratorsOnlyDescriptor();
  if (!descriptor) return;
  SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor.get(), FALSE};
  request_.reset(::CreateEventW(&attributes, TRUE, FALSE, name.c_str()));
  if (!request_) {
    TraceLastError(L"CreateEventW(exit request)");
    return;
  }
  if (::GetLastError() == ERROR_ALREADY_EXISTS) {
    // Someone made the name first, with an access list of their own: a
    // signal on it proves nothing, so it is not listened to.
    TraceFailure(L"CreateEventW(exit request)", ERROR_ALREADY_EXISTS);
    request_.reset();
    return;
  }
  stop_.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!stop_) {
    TraceLastError(L"CreateEventW(listener stop)");
    request_.reset();
    return;
  }
  if (!worker_.Start<&ExitRequestListener::Run>(*this)) {
    TraceLastError(L"CreateThread(exit request listener)");
    request_.reset();
  }
}

ExitRequestListener::~ExitRequestListener() {
  if (!worker_.running()) return;
  ::SetEvent(stop_.get());
  worker_.Join();
}

void ExitRequestListener::Run() noexcept {
  const HANDLE waits[] = {stop_.get(), request_.get()};
  if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) return;
  // Only a window of the program's own thread: a window of that class
  // anywhere else may be anyone's.
  do {
    WindowSearch search{window_class_, fallback_class_, nullptr, nullptr};
    ::EnumThreadWindows(owner_thread_, &MatchWindowClass, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr && ::PostMessageW(search.found, WM_CLOSE, 0, 0)) return;
    // The dialog ends as its Cancel ends it; the main window may still come
    // (or a box shown before it took the message), so the search goes on.
    if (search.found == nullptr && search.fallback != nullptr) ::PostMessageW(search.fallback, WM_CLOSE, 0, 0);
  } while (::WaitForSingleObject(stop_.get(), kWindowRetryMs) == WAIT_TIMEOUT);
}

bool RequestExit(const std::vector<std::wstring>& names) {
  for (const std::wstring& name : names) {
    const UniqueHandle request(::OpenEventW(EVENT_MODIFY_STATE, FALSE, name.c_str()));
    if (request) return ::SetEvent(request.get()) != FALSE;
  }
  return false;
}

}  // namespace veltra
