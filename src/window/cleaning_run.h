// A cleaning of the screen: the panel held off for a number of seconds so a
// wipe taps nothing. It counts time, not timer messages: a stalled window
// thread or a sleep does not stretch it, and after a resume past its end the
// next look ends it. Portable; the status window's cleaning part starts it,
// looks at it once a second and holds the panel off while it runs.
#pragma once

#include <cstdint>

namespace veltra {

class CleaningRun {
 public:
  // Begins a run of `seconds` (at least one) at `now_ms`, a monotonic clock
  // in milliseconds. A run already going is begun again from the start.
  void Start(std::uint64_t now_ms, std::int32_t seconds) noexcept;
  bool running() const noexcept { return running_; }
  // The whole seconds left at `now_ms`, rounded up; 0 once the time is up
  // or when no run is going.
  std::int32_t Remaining(std::uint64_t now_ms) const noexcept;
  // True once, at the first look at or after the end: the run is over.
  bool Expired(std::uint64_t now_ms) noexcept;
  // Ended early: from the menu, by Escape, by a switch by hand, the exit.
  void Stop() noexcept { running_ = false; }

 private:
  bool running_ = false;
  std::uint64_t ends_at_ = 0;
};

}  // namespace veltra
