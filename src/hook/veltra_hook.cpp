// VeltraHook.dll: the session-wide low-level keyboard hook. A thin shell over
// WinKeyFilter: this file only moves events in and carries decisions out.
// It runs on every key press in the session, so it does constant work and
// allocates nothing.
#include <windows.h>

#include <atomic>
#include <cstdint>

#include "hook/shared_section.h"
#include "hook/veltra_hook.h"
#include "hook/winkey_filter.h"
#include "protocol/veltra_protocol.h"

namespace {

struct SharedHookData {
  HHOOK hook;
  HWND target;
};
static_assert(sizeof(SharedHookData) == 16);

// Published for other processes to read, never read back to decide anything:
// every process that loads this library can write it, so a window or hook
// handle found here may be anyone's.
VELTRA_SHARED_SECTION SharedHookData shared = {nullptr, nullptr};

// Per process. A low-level hook procedure runs in the process that installed
// the hook, so this record, which no other process can reach, is all the hook
// needs: the window it reports to and the handle it passes events on with.
// Atomic because SetLowKeyboardHook, ResetLowKeyboardHook and
// SetLowKeyboardLock may be called from another thread than the one the
// hook procedure runs on.
struct OwnHook {
  std::atomic<HHOOK> hook{nullptr};
  std::atomic<HWND> target{nullptr};
  // The thread that installed the hook: the hook procedure runs there, and
  // only there is the lock's own record touched.
  std::atomic<DWORD> thread{0};
  // A new hook, whose first event forgets what an earlier one saw.
  std::atomic<bool> fresh{false};
  // The keyboard lock asked for: its deadline on GetTickCount64's clock, 0
  // when none; and a new lock not yet taken up on the hook's thread. The
  // hook's thread sets the deadline back to 0 when it ends the lock itself.
  std::atomic<std::uint64_t> lock_until{0};
  std::atomic<bool> lock_begun{false};
};
constinit OwnHook own;

HINSTANCE module_handle = nullptr;
UINT winkey_message = 0;
// Touched only on the hook's thread.
constinit veltra::WinKeyFilter filter;
constinit veltra::KeyLock lock;

// The shared fields may be written by another process at any moment, so they
// are only ever touched atomically.
void Publish(HHOOK hook, HWND target) noexcept {
  std::atomic_ref<HHOOK>(shared.hook).store(hook);
  std::atomic_ref<HWND>(shared.target).store(target);
}

// Clears what this process published, each field only if it still holds our
// value: whatever someone else wrote there since is not ours to erase.
void Unpublish(HHOOK hook, HWND target) noexcept {
  std::atomic_ref<HHOOK>(shared.hook).compare_exchange_strong(hook, nullptr);
  std::atomic_ref<HWND>(shared.target).compare_exchange_strong(target, nullptr);
}

void Inject(veltra::InjectedKey key) noexcept {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key.vk;
  input.ki.wScan = 0;
  input.ki.dwFlags = key.up ? KEYEVENTF_KEYUP : 0;
  input.ki.time = 0;
  input.ki.dwExtraInfo = 0;
  ::SendInput(1, &input, sizeof(input));
}

// On the hook's thread, before anything is decided: what the other threads
// asked for since.
void TakeRequests() noexcept {
  if (own.fresh.exchange(false, std::memory_order_acq_rel)) {
    lock = veltra::KeyLock{};
    filter = veltra::WinKeyFilter{};
  }
  const bool begun = own.lock_begun.exchange(false, std::memory_order_acq_rel);
  const std::uint64_t until = own.lock_until.load(std::memory_order_acquire);
  if (until == 0) {
    lock.End();
  } else if (begun) {
    lock.Begin(until);
    // A Windows key pressed before the lock is no lone press after it.
    filter = veltra::WinKeyFilter{};
  }
}

// The hook's thread ended the lock: the window is told, unless it asked for
// something else meanwhile (it unlocked, or locked anew, which the next
// event takes up).
void ReportLockEnded() noexcept {
  std::uint64_t until = lock.until();
  if (!own.lock_until.compare_exchange_strong(until, 0, std::memory_order_acq_rel)) return;
  const HWND target = own.target.load(std::memory_order_relaxed);
  // A null window would make PostMessageW post to this thread instead.
  if (target != nullptr) {
    ::PostMessageW(target, winkey_message, 0, veltra::kVkEscape);
  }
}

LRESULT CALLBACK LowKeyboardProc(int code, WPARAM wparam, LPARAM lparam) noexcept {
  const HHOOK hook = own.hook.load(std::memory_order_acquire);
  const HWND target = own.target.load(std::memory_order_relaxed);
  // HC_NOREMOVE (3) is a peek, not an event. With no hook on record (an
  // older hook of a repeated install outliving the reset of the newer one)
  // the events pass untouched: a reset hook stops acting.
  if (code < 0 || code == 3 || hook == nullptr) return ::CallNextHookEx(hook, code, wparam, lparam);
  const auto* record = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lparam);
  TakeRequests();
  // The tick when the hook sees the event, not the event's own 32-bit stamp:
  // the deadline was set on this clock, which does not wrap.
  const std::uint64_t now = ::GetTickCount64();
  const veltra::KeyLockDecision held = lock.OnEvent(wparam, record->vkCode, now);
  if (held.ended) ReportLockEnded();
  if (held.swallow) return 1;
  // A key-up let through during the lock, of a key down before it: the
  // Windows-key filter sees nothing of a lock.
  if (lock.locked()) return ::CallNextHookEx(hook, code, wparam, lparam);
  // A copy: the injected events re-enter this procedure before SendInput
  // returns on some systems.
  const veltra::WinKeyDecision decision = filter.OnEvent(wparam, record->vkCode, record->time);
  if (decision.post && target != nullptr) {
    ::PostMessageW(target, winkey_message, decision.post_wparam, decision.post_lparam_vk);
  }
  for (std::uint8_t i = 0; i < decision.inject_count; ++i) Inject(decision.inject[i]);
  if (decision.swallow) return 1;
  return ::CallNextHookEx(hook, code, wparam, lparam);
}

}  // namespace

extern "C" int WINAPI SetLowKeyboardHook(HWND target) {
  const HHOOK hook = ::SetWindowsHookExW(WH_KEYBOARD_LL, &LowKeyboardProc, module_handle, 0);
  // A failed install changes nothing: a hook this process installed before
  // stays on record, reporting where it did, and can still be reset.
  if (hook == nullptr) return 0;
  // The window first: the hook procedure reads the handle, then the window.
  own.target.store(target, std::memory_order_relaxed);
  own.thread.store(::GetCurrentThreadId(), std::memory_order_relaxed);
  own.fresh.store(true, std::memory_order_relaxed);
  own.hook.store(hook, std::memory_order_release);
  Publish(hook, target);
  return 1;
}

extern "C" BOOL WINAPI ResetLowKeyboardHook() {
  // Only a hook this process installed: a handle read from the shared data
  // could be another process's hook, or whatever someone wrote there.
  // The next hook starts unlocked, whatever this one was told.
  own.lock_until.store(0, std::memory_order_release);
  const HHOOK hook = own.hook.exchange(nullptr, std::memory_order_acq_rel);
  if (hook == nullptr) return 0;
  const HWND target = own.target.exchange(nullptr, std::memory_order_relaxed);
  // Forgotten even if the removal fails: the only handle it can fail for is
  // one whose installing thread has ended and taken the hook with it.
  const BOOL removed = ::UnhookWindowsHookEx(hook);
  Unpublish(hook, target);
  return removed;
}

extern "C" void WINAPI SetLowKeyboardLock(BOOL locked, DWORD milliseconds) {
  if (!locked) {
    own.lock_until.store(0, std::memory_order_release);
    return;
  }
  // The deadline before the flag: the hook's thread reads them the other way.
  own.lock_until.store(::GetTickCount64() + milliseconds, std::memory_order_release);
  own.lock_begun.store(true, std::memory_order_release);
}

extern "C" DWORD WINAPI PollLowKeyboardLock() {
  // Only the hook's thread touches the lock's record. After the reset the
  // request is gone, and with it the lock.
  if (::GetCurrentThreadId() != own.thread.load(std::memory_order_relaxed)) return INFINITE;
  TakeRequests();
  const std::uint64_t now = ::GetTickCount64();
  if (lock.Expire(now)) ReportLockEnded();
  if (!lock.locked()) return INFINITE;
  // INFINITE would read as no lock at all.
  const std::uint64_t left = lock.until() - now;
  return left < INFINITE ? static_cast<DWORD>(left) : INFINITE - 1;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    module_handle = instance;
    winkey_message = ::RegisterWindowMessageW(veltra::protocol::kWinKeyMessageName);
  } else if (reason == DLL_PROCESS_DETACH) {
    // The hook procedure lives in this module: a main program that ends,
    // however it ends, must not leave a hook behind that points at nothing.
    // Only this process's own hook is at stake; a process that merely loaded
    // the library (a second start of the main program, forwarding its
    // command line) has none and leaves the running instance's hook alone.
    ::ResetLowKeyboardHook();
  }
  return TRUE;
}
