// A cleaning of the screen: the panel off for a number of seconds so a
// wipe taps nothing, then back as it was. Portable, so every rule is tested
// natively; the status window starts it, ticks it once a second and carries
// out the switches it answers.
#pragma once

#include <cstdint>
#include <optional>

namespace veltra {

class CleaningRun {
 public:
  // Begins a run of `seconds` (already within the settings' bounds) over
  // the panel's state `before`, which the end returns to. A run already
  // going is begun again from the start.
  void Start(std::uint8_t before, std::int32_t seconds) noexcept;
  bool running() const noexcept { return remaining_ > 0; }
  // The whole seconds left; 0 when no run is going.
  std::int32_t remaining() const noexcept { return remaining_; }
  // The state the panel had when the run began; what the settings keep
  // while it runs, so that whatever ends the process saves the user's state.
  std::uint8_t before() const noexcept { return before_; }

  // One second has passed. When that was the last one, the state the
  // panel returns to: the last automatic request that waited, or else the
  // state before. Nothing while the run goes on or when none is going.
  std::optional<std::uint8_t> Tick() noexcept;
  // Ended early from the menu: as the last tick, whatever the time left.
  std::optional<std::uint8_t> End() noexcept;
  // A switch by hand ends the run and stands; what waited is dropped.
  void Abandon() noexcept;

  // An automatic request (the watcher, the posture): while a run goes it
  // waits, the last one replacing any before it, and true is answered;
  // without a run false, and the caller switches at once. A toggle turns
  // the state the run would return to.
  bool Defer(std::uint8_t wanted) noexcept;
  bool DeferToggle() noexcept;

 private:
  std::uint8_t ReturnState() const noexcept { return waiting_.value_or(before_); }

  std::int32_t remaining_ = 0;
  std::uint8_t before_ = 1;
  std::optional<std::uint8_t> waiting_;
};

}  // namespace veltra
