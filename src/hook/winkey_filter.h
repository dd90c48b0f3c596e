// The decision the keyboard hook makes for each key event: a Windows key
// pressed and released with no other key in between is taken from the system
// (so the Start menu does not open) and reported to the status window
// instead. Portable: the hook procedure feeds it the events and carries out
// what it answers, so the rules are tested without a hook or a desktop.
#pragma once

#include <cstdint>

namespace veltra {

// The key-message kinds a low-level keyboard hook is told about. The
// Windows-key filter lets the system-key kinds (Alt held) pass untouched;
// the keyboard lock follows them too.
inline constexpr std::uintptr_t kKeyDownEvent = 0x100;
inline constexpr std::uintptr_t kKeyUpEvent = 0x101;
inline constexpr std::uintptr_t kSysKeyDownEvent = 0x104;
inline constexpr std::uintptr_t kSysKeyUpEvent = 0x105;

inline constexpr std::uint8_t kVkLeftWin = 0x5B;
inline constexpr std::uint8_t kVkRightWin = 0x5C;
// A virtual key no keyboard produces. Pressing it between the Windows key's
// down and up makes the system see a chord rather than a lone press.
inline constexpr std::uint8_t kVkNoKey = 0xFF;

struct InjectedKey {
  std::uint8_t vk = 0;
  bool up = false;

  friend bool operator==(const InjectedKey&, const InjectedKey&) = default;
};

// What to do with one event. Fixed size: the hook runs for every key press
// in the session and must neither allocate nor fail.
struct WinKeyDecision {
  bool post = false;                // report a lone Windows key to the target window
  std::uint32_t post_wparam = 0;    // the key-up's time stamp
  std::uint8_t post_lparam_vk = 0;  // which Windows key
  std::uint8_t inject_count = 0;    // events to send, in order, before returning
  InjectedKey inject[2] = {};
  bool swallow = false;             // keep the event from the rest of the system
};

class WinKeyFilter {
 public:
  constexpr WinKeyFilter() = default;

  WinKeyDecision OnEvent(std::uintptr_t kind, std::uint32_t vk, std::uint32_t time) noexcept;

  // 1 while that Windows key is down with no other key pressed since.
  std::uint32_t left_pending() const noexcept { return left_pending_; }
  std::uint32_t right_pending() const noexcept { return right_pending_; }

 private:
  std::uint32_t left_pending_ = 0;
  std::uint32_t right_pending_ = 0;
};

// The keyboard lock of a cleaning of the screen. It sees every key event,
// locked or not, since which keys are down is known only from them. While
// locked it keeps the events from the system (and the Windows-key filter
// sees none), and it ends by itself, with no help from the status window,
// whose thread may be held by a slow device: at its deadline, or when
// Escape has been held two seconds, counted at a repeated key-down or at
// the key-up, so a keyboard without auto-repeat ends it too. Either end
// stops the swallowing at that very event and is reported once.
//
// A press the lock took stays taken up to its key-up, even once the lock
// has ended: the program in front never saw it go down, and the auto-repeat
// of a cloth resting on a key must not type into it. A key that was down
// when the lock took hold gets its key-up through, to whoever saw it go
// down.
inline constexpr std::uint8_t kVkEscape = 0x1B;
inline constexpr std::uint32_t kEscapeHoldMs = 2000;

struct KeyLockDecision {
  bool swallow = false;  // keep the event from the rest of the system
  bool ended = false;    // the lock ended with this event: tell the window
};

class KeyLock {
 public:
  constexpr KeyLock() = default;

  // Locks until the tick `until`, in milliseconds of a clock that does not
  // wrap (the caller's deadline, so a lock taken up late keeps it). A lock
  // already on is begun again. An Escape down now does not count as held.
  void Begin(std::uint64_t until) noexcept;
  // Unlocked by whoever locked it: nothing to report.
  void End() noexcept;
  // The deadline without a key event: true when the lock ended now.
  bool Expire(std::uint64_t now) noexcept;
  bool locked() const noexcept { return locked_; }
  std::uint64_t until() const noexcept { return until_; }

  // `now` is on the clock of `until`.
  KeyLockDecision OnEvent(std::uintptr_t kind, std::uint32_t vk, std::uint64_t now) noexcept;

 private:
  // One byte per virtual key: fixed size, as everything the hook keeps.
  static constexpr std::uint8_t kIsDown = 1;   // down, as the events tell
  static constexpr std::uint8_t kPassing = 2;  // down when the lock took hold: its key-up goes through
  static constexpr std::uint8_t kTaken = 4;    // a press whose key-down the lock took: its rest is taken too

  std::uint8_t keys_[256] = {};
  std::uint64_t until_ = 0;
  std::uint64_t escape_since_ = 0;
  bool locked_ = false;
  bool holding_ = false;  // Escape pressed during the lock, and no other key since
};

}  // namespace veltra
