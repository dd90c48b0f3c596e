// The posture rules of the status window.
#include "device/posture_rules.h"

namespace veltra {
namespace {

bool IsTablet(std::int32_t slate_mode) { return slate_mode == 0; }

std::uint8_t StateFor(bool tablet) { return tablet ? 1 : 0; }

}  // namespace

std::optional<std::uint8_t> PostureFollower::Start(bool has_indicator, std::int32_t slate_mode, bool follow) {
  tablet_ = IsTablet(slate_mode);
  if (!follow || !has_indicator) return std::nullopt;
  return StateFor(*tablet_);
}

std::optional<std::uint8_t> PostureFollower::Announced(std::int32_t slate_mode, bool follow) {
  const bool tablet = IsTablet(slate_mode);
  // Before the start there is nothing to compare with.
  const bool changed = tablet_.has_value() && *tablet_ != tablet;
  tablet_ = tablet;
  if (!follow || !changed) return std::nullopt;
  return StateFor(tablet);
}

}  // namespace veltra
