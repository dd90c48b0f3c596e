// Status window arithmetic.
#include "window/placement.h"

#include <algorithm>

namespace veltra {

std::uint8_t AlphaForPercent(std::uint8_t percent) {
  return static_cast<std::uint8_t>(std::min<unsigned>(percent, 100u) * 255u / 100u);
}

std::uint8_t StatusWindowAlpha(std::int32_t transparent, bool startup_floor) {
  if (startup_floor && transparent <= 30) return 76;
  return AlphaForPercent(static_cast<std::uint8_t>(transparent & 0xFF));
}

}  // namespace veltra
