// When a pen near the panel holds the touch off: from the moment a pen of
// the built-in digitizer comes into range until the release time after it
// last left, so a hand resting on the screen while the pen is lifted for a
// moment does not touch anything. Portable, so every rule is tested
// natively; the status window learns where the pen is
// (device/pen_presence.h), runs the release timer and sets the hold.
#pragma once

#include <cstdint>
#include <optional>

namespace veltra {

class PenFollower {
 public:
  // What the window does after an event: the hold to set (true: on) or
  // nothing, and the release timer to start (true), to stop (false) or to
  // leave as it is (nothing).
  struct Answer {
    std::optional<bool> hold;
    std::optional<bool> timer;
    bool operator==(const Answer&) const = default;
  };

  // A report of the pen: `in_range` while it is in range. `follow` is the
  // setting; `held` whether the panel's door still holds for the pen, since
  // a switch by hand ends every hold and then stands until the pen's next
  // approach. Only a change of the pen's state counts, so the stream of
  // reports a hovering pen sends drives the device once.
  Answer Reported(bool in_range, bool follow, bool held) noexcept;
  // The release time after the pen left has passed.
  Answer Elapsed(bool held) noexcept;
  // The setting was turned off: the hold ends at once.
  Answer Off() noexcept;

 private:
  enum class State : std::uint8_t {
    Away,       // no pen in range, nothing held
    Near,       // the pen is in range and holds the panel off
    Lifted,     // the pen left; the panel stays off until the release time
    Overruled,  // the pen is in range, but a switch by hand ended its hold
  };
  // A hold the door no longer has was ended by hand.
  Answer Reconcile(bool held) noexcept;

  State state_ = State::Away;
};

}  // namespace veltra
