// The screen rules of the status window.
#include "device/panel_screen_rules.h"

namespace veltra {

bool ScreenFollower::Start(std::optional<bool> active, bool follow) noexcept {
  active_ = active;
  return follow && !active.value_or(true);
}

std::optional<bool> ScreenFollower::Reported(std::optional<bool> active, bool follow) noexcept {
  if (!active) return std::nullopt;
  // Before the first report that could tell there is nothing to compare with.
  const bool changed = active_.has_value() && *active_ != *active;
  active_ = active;
  if (!changed) return std::nullopt;
  // Back: the hold ends, if a switch by hand has not ended it already.
  return follow && !*active;
}

}  // namespace veltra
