// The configuration dialog's arithmetic.
#include "config/config_rules.h"

#include <algorithm>

#include "base/decimal.h"
#include "window/key_triggers.h"

namespace veltra {
namespace {

// Registration flag, hot-key control flag.
constexpr std::pair<std::int32_t, std::uint16_t> kModifierPairs[] = {{0x1, 0x04}, {0x2, 0x02}, {0x4, 0x01}};

}  // namespace

std::uint16_t HotKeyControlValue(std::int32_t fsModifiers, std::int32_t virtkey) {
  std::uint16_t flags = 0;
  for (const auto& [stored, control] : kModifierPairs) {
    if ((fsModifiers & stored) != 0) flags = static_cast<std::uint16_t>(flags | control);
  }
  return static_cast<std::uint16_t>((flags << 8) | (virtkey & 0xFF));
}

StoredHotKey StoredHotKeyOf(std::uint16_t control_value) {
  const std::uint16_t flags = static_cast<std::uint16_t>(control_value >> 8);
  std::int32_t stored = 0;
  for (const auto& [registration, control] : kModifierPairs) {
    if ((flags & control) != 0) stored |= registration;
  }
  return StoredHotKey{stored, control_value & 0xFF};
}

std::int32_t ScrolledPosition(int request, std::int32_t position, std::int32_t min, std::int32_t max,
                              std::int32_t thumb) {
  switch (static_cast<ScrollRequest>(request)) {
    case ScrollRequest::LineLeft: return position > min ? position - 1 : position;
    case ScrollRequest::LineRight: return position < max ? position + 1 : position;
    case ScrollRequest::PageLeft: return std::max(position - 10, min);
    case ScrollRequest::PageRight: return std::min(position + 10, max);
    case ScrollRequest::ThumbPosition:
    case ScrollRequest::ThumbTrack: return thumb;
    case ScrollRequest::Left: return min;
    case ScrollRequest::Right: return max;
    default: return position;
  }
}

std::wstring ResponseTimeText(std::int32_t override_winkey_resp) {
  return base::DecimalText(WinKeyResponseMs(override_winkey_resp)) + L"ms";
}

}  // namespace veltra
