// The decision the keyboard hook makes for each key event: a Windows key
// pressed and released with no other key in between is taken from the system
// (so the Start menu does not open) and reported to the status window
// instead. Portable: the hook procedure feeds it the events and carries out
// what it answers, so the rules are tested without a hook or a desktop.
#pragma once

#include <cstdint>

namespace veltra {

// The key-message kinds a low-level keyboard hook is told about that matter
// here; the system-key kinds (Alt held) and any others pass untouched.
inline constexpr std::uintptr_t kKeyDownEvent = 0x100;
inline constexpr std::uintptr_t kKeyUpEvent = 0x101;

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

// While a cleaning of the screen locks the keyboard every key event is kept
// from the system, and the Windows-key filter sees none. Holding Escape
// ends the lock: the key's auto-repeat brings key-downs while it is held,
// and the one that comes kEscapeHoldMs or more after the first press is
// reported (post, with post_lparam_vk Escape) once per hold.
inline constexpr std::uint8_t kVkEscape = 0x1B;
inline constexpr std::uint32_t kEscapeHoldMs = 2000;

class KeyLock {
 public:
  constexpr KeyLock() = default;

  // A new lock: an Escape held since before counts only from its next press.
  void Reset() noexcept { holding_ = false; }
  WinKeyDecision OnEvent(std::uintptr_t kind, std::uint32_t vk, std::uint32_t time) noexcept;

 private:
  bool holding_ = false;   // Escape down, and no other key since
  bool reported_ = false;  // this hold has been reported
  std::uint32_t since_ = 0;
};

}  // namespace veltra
