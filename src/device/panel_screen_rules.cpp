// The screen rules of the status window.
#include "device/panel_screen_rules.h"

namespace veltra {

std::optional<std::uint8_t> ScreenFollower::Start(std::optional<bool> active, std::uint8_t state, bool follow) {
  active_ = active;
  return_to_.reset();
  if (active.value_or(true)) return std::nullopt;
  return Left(state, follow);
}

std::optional<std::uint8_t> ScreenFollower::Reported(std::optional<bool> active, std::uint8_t state, bool follow) {
  if (!active) return std::nullopt;
  // Before the first report that could tell there is nothing to compare with.
  const bool changed = active_.has_value() && *active_ != *active;
  active_ = active;
  if (!changed) return std::nullopt;
  if (!*active) return Left(state, follow);
  const auto back = return_to_;
  return_to_.reset();
  // Enabled in the meantime (by hand or by the posture): that is the user's
  // state now, and it stands.
  if (!follow || !back || state != 0) return std::nullopt;
  return back;
}

// The panel's state as the screen leaves is the one it returns to.
std::optional<std::uint8_t> ScreenFollower::Left(std::uint8_t state, bool follow) {
  if (!follow) return std::nullopt;
  return_to_ = state != 0 ? 1 : 0;
  return std::uint8_t{0};
}

}  // namespace veltra
