// When the machine's posture switches the panel: enabled in the tablet
// posture, disabled in the laptop posture, and only when the posture
// changes. Portable, so every rule is tested natively; the status window
// reads the posture (device/posture.h) and carries out the switch.
#pragma once

#include <cstdint>
#include <optional>

namespace veltra {

class PostureFollower {
 public:
  // At start, with GetSystemMetrics(SM_CONVERTIBLESLATEMODE): 0 is the
  // tablet posture, anything else the laptop posture. The posture decides
  // the state only where an indicator keeps the value current: without
  // one, Windows reports the same value for good, which says nothing about
  // how the machine is held.
  std::optional<std::uint8_t> Start(bool has_indicator, std::int32_t slate_mode, bool follow);
  // At each announcement of a posture change. Only a posture other than
  // the last one seen switches, so a repeated announcement (another
  // program may send one) cannot undo a switch by hand. The posture is
  // kept whether or not the panel follows it at the moment.
  std::optional<std::uint8_t> Announced(std::int32_t slate_mode, bool follow);

 private:
  std::optional<bool> tablet_;  // the last posture seen
};

}  // namespace veltra
