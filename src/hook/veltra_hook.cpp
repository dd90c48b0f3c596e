// VeltraHook.dll: the session-wide low-level keyboard hook. A thin shell over
// WinKeyFilter: this file only moves events in and carries decisions out.
// It runs on every key press in the session, so it does constant work and
// allocates nothing.
#include <windows.h>

#include "hook/shared_section.h"
#include "hook/veltra_hook.h"
#include "hook/winkey_filter.h"
#include "window/messages.h"

namespace {

struct SharedHookData {
  HHOOK hook;
  HWND target;
};
static_assert(sizeof(SharedHookData) == 16);

VELTRA_SHARED_SECTION SharedHookData shared = {nullptr, nullptr};

// Per process.
HINSTANCE module_handle = nullptr;
UINT winkey_message = 0;
constinit veltra::WinKeyFilter filter;

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

LRESULT CALLBACK LowKeyboardProc(int code, WPARAM wparam, LPARAM lparam) {
  // HC_NOREMOVE (3) is a peek, not an event.
  if (code < 0 || code == 3) return ::CallNextHookEx(shared.hook, code, wparam, lparam);
  const auto* record = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lparam);
  // A copy: the injected events re-enter this procedure before SendInput
  // returns on some systems.
  const veltra::WinKeyDecision decision = filter.OnEvent(wparam, record->vkCode, record->time);
  if (decision.post) {
    ::PostMessageW(shared.target, winkey_message, decision.post_wparam, decision.post_lparam_vk);
  }
  for (std::uint8_t i = 0; i < decision.inject_count; ++i) Inject(decision.inject[i]);
  if (decision.swallow) return 1;
  return ::CallNextHookEx(shared.hook, code, wparam, lparam);
}

}  // namespace

// Whether the stored hook was installed by this process. A second start of
// the main program loads the library too, only to forward its command line;
// its unloading must not take down the running instance's hook.
bool installed_here = false;

extern "C" int WINAPI SetLowKeyboardHook(HWND target) {
  shared.target = target;
  shared.hook = ::SetWindowsHookExW(WH_KEYBOARD_LL, &LowKeyboardProc, module_handle, 0);
  installed_here = shared.hook != nullptr;
  return shared.hook != nullptr ? 1 : 0;
}

extern "C" BOOL WINAPI ResetLowKeyboardHook() {
  if (shared.hook == nullptr) return 0;
  const BOOL removed = ::UnhookWindowsHookEx(shared.hook);
  shared.hook = nullptr;
  return removed;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    module_handle = instance;
    winkey_message = ::RegisterWindowMessageW(veltra::kWinKeyMessageName);
  } else if (reason == DLL_PROCESS_DETACH) {
    // The hook procedure lives in this module: a main program that ends,
    // however it ends, must not leave a hook behind that points at nothing.
    // Only the installing process's hook is at stake; other processes that
    // merely loaded the library leave it alone.
    if (installed_here && shared.hook != nullptr) {
      ::UnhookWindowsHookEx(shared.hook);
      shared.hook = nullptr;
    }
  }
  return TRUE;
}
