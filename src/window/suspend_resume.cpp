// Suspend and resume registration through run-time lookups.
#include "window/suspend_resume.h"

#include "platform/paths.h"

namespace veltra {

bool SuspendResumeRegistration::Register(HWND window) noexcept {
  using RegisterFn = HPOWERNOTIFY(WINAPI*)(HANDLE, DWORD);
  reset();
  // USER32.DLL is loaded with the program; nothing to load or let go here.
  const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
  const auto register_window = ProcAddress<RegisterFn>(user32, "RegisterSuspendResumeNotification");
  const auto unregister = ProcAddress<UnregisterFn>(user32, "UnregisterSuspendResumeNotification");
  if (register_window == nullptr || unregister == nullptr) return false;
  handle_ = register_window(window, DEVICE_NOTIFY_WINDOW_HANDLE);
  if (handle_ != nullptr) unregister_ = unregister;
  return handle_ != nullptr;
}

void SuspendResumeRegistration::reset() noexcept {
  if (handle_ != nullptr) unregister_(handle_);
  handle_ = nullptr;
  unregister_ = nullptr;
}

}  // namespace veltra
