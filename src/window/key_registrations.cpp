// The hot key's registration and the Windows-key hook, each with one owner.
#include "window/key_registrations.h"

#include <utility>

#include "base/program_paths.h"
#include "platform/paths.h"
#include "platform/trace.h"
#include "window/key_triggers.h"
#include "window/messages.h"

namespace veltra {

void HotKeyRegistration::Register(std::int32_t fsModifiers, std::int32_t virtkey) {
  if (window_ == nullptr) return;
  const int id = HotKeyId(fsModifiers, virtkey);
  if (id_ == id) return;
  Unregister();
  if (!::RegisterHotKey(window_, id, HotKeyModifiers(fsModifiers), static_cast<UINT>(virtkey))) {
    TraceLastError(L"RegisterHotKey");
    return;
  }
  id_ = id;
}

void HotKeyRegistration::Unregister() noexcept {
  if (!id_) return;
  ::UnregisterHotKey(window_, *id_);
  id_.reset();
}

bool WinKeyHook::LoadLibraryBesideProgram() {
  if (library_) return true;
  const std::wstring program = ModuleFileName(nullptr);
  if (program.empty()) return false;
  // A full path: the loader looks nowhere else.
  const std::wstring path = base::SplitProgramPath(program).program_dir + L"VeltraHook.dll";
  UniqueModule library(::LoadLibraryExW(path.c_str(), nullptr, 0));
  if (!library) {
    TraceLastError(L"LoadLibraryExW(VeltraHook.dll)");
    return false;
  }
  const auto set_hook = ProcAddress<decltype(set_hook_)>(library.get(), "SetLowKeyboardHook");
  const auto reset_hook = ProcAddress<decltype(reset_hook_)>(library.get(), "ResetLowKeyboardHook");
  const auto set_lock = ProcAddress<decltype(set_lock_)>(library.get(), "SetLowKeyboardLock");
  const auto poll_lock = ProcAddress<decltype(poll_lock_)>(library.get(), "PollLowKeyboardLock");
  if (set_hook == nullptr || reset_hook == nullptr || set_lock == nullptr || poll_lock == nullptr) {
    TraceFailure(L"VeltraHook.dll without its exports", ERROR_PROC_NOT_FOUND);
    return false;
  }
  library_ = std::move(library);
  set_hook_ = set_hook;
  reset_hook_ = reset_hook;
  set_lock_ = set_lock;
  poll_lock_ = poll_lock;
  return true;
}

namespace {

// What the hook's thread is handed. It lives on the installing thread's
// stack until `ready` is set, so the thread copies what it keeps first.
struct HookStart {
  HDESK desktop;
  HWND target;
  decltype(&::SetLowKeyboardHook) set_hook;
  decltype(&::ResetLowKeyboardHook) reset_hook;
  decltype(&::PollLowKeyboardLock) poll_lock;
  const std::atomic<bool>* stopping;
  HANDLE ready;
  bool installed;
};

// Installs the hook, reports the outcome, then only waits: the hook
// procedure is called from inside GetMessageW. A keyboard lock must end at
// its deadline even when no key comes, so while one is on a timer wakes the
// loop then. The library removes a hook only from the thread that installed
// it while that thread lives, so the removal happens here, after the loop.
DWORD WINAPI RunHookThread(void* parameter) noexcept {
  HookStart& start = *static_cast<HookStart*>(parameter);
  const auto reset_hook = start.reset_hook;
  const auto poll_lock = start.poll_lock;
  const std::atomic<bool>& stopping = *start.stopping;
  // A new thread starts on the process's first desktop; the hook belongs
  // on the status window's.
  bool installed = ::SetThreadDesktop(start.desktop) != FALSE;
  if (!installed) TraceLastError(L"SetThreadDesktop");
  MSG message;
  // The queue, before anyone learns that WM_QUIT may be posted to it.
  ::PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
  installed = installed && start.set_hook(start.target) != 0;
  start.installed = installed;
  ::SetEvent(start.ready);
  if (!installed) return 1;
  UINT_PTR timer = 0;
  for (;;) {
    // After every message: a new lock's wake-up, the timer, or anything.
    const DWORD left = poll_lock();
    if (left != INFINITE) {
      // A thread timer (no window): the same identifier is set again.
      timer = ::SetTimer(nullptr, timer, left < USER_TIMER_MINIMUM ? USER_TIMER_MINIMUM : left, nullptr);
      if (timer == 0) TraceLastError(L"SetTimer(keyboard lock)");
    } else if (timer != 0) {
      ::KillTimer(nullptr, timer);
      timer = 0;
    }
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == -1 || (got == 0 && stopping.load())) break;
  }
  if (timer != 0) ::KillTimer(nullptr, timer);
  reset_hook();
  return 0;
}

}  // namespace

bool WinKeyHook::Install(HWND target) {
  if (thread_) return true;
  if (!LoadLibraryBesideProgram()) return false;
  const UniqueHandle ready(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!ready) {
    TraceLastError(L"CreateEventW");
    return false;
  }
  stopping_.store(false);
  HookStart start{::GetThreadDesktop(::GetCurrentThreadId()), target, set_hook_, reset_hook_, poll_lock_, &stopping_,
                  ready.get(), false};
  DWORD thread_id = 0;
  UniqueHandle thread(::CreateThread(nullptr, 0, &RunHookThread, &start, 0, &thread_id));
  if (!thread) {
    TraceLastError(L"CreateThread");
    return false;
  }
  // Short: the thread does nothing else before it answers.
  const HANDLE answered[] = {ready.get(), thread.get()};
  ::WaitForMultipleObjects(2, answered, FALSE, INFINITE);
  if (!start.installed) {
    TraceFailure(L"SetLowKeyboardHook", ERROR_HOOK_NOT_INSTALLED);
    ::WaitForSingleObject(thread.get(), INFINITE);
    return false;
  }
  thread_ = std::move(thread);
  thread_id_ = thread_id;
  return true;
}

void WinKeyHook::Remove() noexcept {
  if (!thread_) return;
  stopping_.store(true);
  // Posted again until the thread takes it or has ended: only a full queue
  // refuses a live thread.
  while (!::PostThreadMessageW(thread_id_, WM_QUIT, 0, 0) && ::WaitForSingleObject(thread_.get(), 10) == WAIT_TIMEOUT) {
  }
  ::WaitForSingleObject(thread_.get(), INFINITE);
  thread_.reset();
  thread_id_ = 0;
}

void WinKeyHook::Lock(std::uint32_t milliseconds) noexcept {
  if (!thread_) return;
  set_lock_(TRUE, milliseconds);
  // Wakes the hook's thread to set its timer for the deadline; a full queue
  // leaves that to the first key event, which checks the deadline too.
  if (!::PostThreadMessageW(thread_id_, WM_NULL, 0, 0)) TraceLastError(L"PostThreadMessageW(keyboard lock)");
}

void WinKeyHook::Unlock() noexcept {
  if (thread_) set_lock_(FALSE, 0);
}

void DropKeyboardLock() noexcept {
  // Looked up, not loaded: a library this process does not hold has no lock.
  const HMODULE library = ::GetModuleHandleW(L"VeltraHook.dll");
  if (library == nullptr) return;
  const auto set_lock = ProcAddress<decltype(&::SetLowKeyboardLock)>(library, "SetLowKeyboardLock");
  if (set_lock != nullptr) set_lock(FALSE, 0);
}

}  // namespace veltra
