// The status window's arithmetic that needs no platform: its opacity.
// Portable.
#pragma once

#include <cstdint>

namespace veltra {

// Alpha (0-255) of an opacity percentage: min(percent, 100) x 255 / 100.
std::uint8_t AlphaForPercent(std::uint8_t percent);

// The status window's alpha for `color`/`transparent`, of which only the
// low 8 bits count. At start-up a value of 30 or less gives 76 (30 %), so a
// bad value cannot make the window vanish; after a change in the
// configuration dialog the value is taken as it is.
std::uint8_t StatusWindowAlpha(std::int32_t transparent, bool startup_floor);

}  // namespace veltra
