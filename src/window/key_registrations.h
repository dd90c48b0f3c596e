// The two keyboard triggers as the status window puts them into the
// system: the toggle hot key's registration and the Windows-key hook. Each
// object is the only code that registers, installs or removes its trigger,
// and lets it go at its own end, so no path can leave one behind.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <optional>

#include "hook/veltra_hook.h"
#include "platform/unique_handle.h"

namespace veltra {

class HotKeyRegistration {
 public:
  HotKeyRegistration() = default;
  ~HotKeyRegistration() { Unregister(); }
  HotKeyRegistration(const HotKeyRegistration&) = delete;
  HotKeyRegistration& operator=(const HotKeyRegistration&) = delete;

  // The window the hot key is posted to; nothing is registered before.
  void Attach(HWND window) noexcept { window_ = window; }
  // Registers the stored combination, letting go of another one first. A
  // combination another program holds stays unregistered (traced only).
  void Register(std::int32_t fsModifiers, std::int32_t virtkey);
  void Unregister() noexcept;

 private:
  HWND window_ = nullptr;
  std::optional<int> id_;  // the registered identifier
};

// The hook runs on a thread of its own that does nothing but wait for
// messages: a low-level hook is called on the thread that installed it, and
// every key press in the session waits for it. On the status window's
// thread it would wait out each device switch and schtasks run, and Windows
// silently removes a hook that keeps it waiting longer than
// LowLevelHooksTimeout.
class WinKeyHook {
 public:
  WinKeyHook() = default;
  ~WinKeyHook() { Remove(); }
  WinKeyHook(const WinKeyHook&) = delete;
  WinKeyHook& operator=(const WinKeyHook&) = delete;

  // Starts the hook's thread, on the calling thread's desktop, which
  // installs the hook reporting to `target`, and waits for its outcome; a
  // hook this object holds is kept (installing again would add a second
  // one). False when the platform refuses it, the thread cannot start or
  // the hook library cannot be loaded.
  bool Install(HWND target);
  // Ends the hook's thread, which removes the hook before it ends.
  void Remove() noexcept;
  bool installed() const noexcept { return static_cast<bool>(thread_); }
  // Locks the keyboard through the installed hook for `milliseconds` (see
  // SetLowKeyboardLock): the hook's thread ends the lock at that time, or
  // at Escape held, however long this thread is held up, and tells the
  // target window. Without a hook nothing happens.
  void Lock(std::uint32_t milliseconds) noexcept;
  void Unlock() noexcept;

 private:
  bool LoadLibraryBesideProgram();

  // VeltraHook.dll, from the program's own folder and nowhere else: as a
  // load-time import, a missing one would be looked for in the current
  // folder and on PATH, with administrator rights. Loaded at the first
  // installation and kept while this object lives, after the thread.
  UniqueModule library_;
  decltype(&::SetLowKeyboardHook) set_hook_ = nullptr;
  decltype(&::ResetLowKeyboardHook) reset_hook_ = nullptr;
  decltype(&::SetLowKeyboardLock) set_lock_ = nullptr;
  decltype(&::PollLowKeyboardLock) poll_lock_ = nullptr;
  // The hook's thread while a hook is installed, and what tells it to end:
  // a WM_QUIT anyone else posts to it is ignored.
  UniqueHandle thread_;
  DWORD thread_id_ = 0;
  std::atomic<bool> stopping_{false};
};

// For the last-chance handler of a crash, which cannot reach the status
// window's objects: unlocks the keyboard through the hook library if this
// process has it loaded, and touches nothing else.
void DropKeyboardLock() noexcept;

}  // namespace veltra
