// The status window's registration for suspend and resume notifications.
// The two functions came with Windows 8: imported, they would keep an older
// Windows from loading the program at all, so it could never say that it
// needs Windows 8. They are looked up in USER32.DLL at run time instead.
#pragma once

#include <windows.h>

namespace veltra {

class SuspendResumeRegistration {
 public:
  SuspendResumeRegistration() noexcept = default;
  ~SuspendResumeRegistration() { reset(); }
  SuspendResumeRegistration(const SuspendResumeRegistration&) = delete;
  SuspendResumeRegistration& operator=(const SuspendResumeRegistration&) = delete;

  // Registers `window` for WM_POWERBROADCAST's suspend and resume, in place
  // of any earlier registration; false (holding nothing) when the platform
  // lacks the functions or refuses.
  bool Register(HWND window) noexcept;
  // Ends the registration, if any (as the other owners' reset does).
  void reset() noexcept;
  explicit operator bool() const noexcept { return handle_ != nullptr; }

 private:
  using UnregisterFn = BOOL(WINAPI*)(HPOWERNOTIFY);
  HPOWERNOTIFY handle_ = nullptr;
  UnregisterFn unregister_ = nullptr;
};

}  // namespace veltra
