// Keyboard trigger rules.
#include "window/key_triggers.h"

namespace veltra {

std::uint8_t StateAfterTrigger(std::int32_t mode, std::uint8_t touch_status) {
  switch (mode) {
    case 1: return 1;
    case 2: return 0;
    default: return touch_status != 0 ? 0 : 1;
  }
}

std::uint32_t HotKeyModifiers(std::int32_t fsModifiers) {
  return static_cast<std::uint32_t>(fsModifiers) | kModNoRepeat;
}

bool HotKeyWanted(bool enable_hotkey, std::int32_t mode, std::uint8_t touch_status) {
  if (!enable_hotkey) return false;
  if (mode == 1) return touch_status != 1;
  if (mode == 2) return touch_status == 1;
  return true;
}

std::int64_t WinKeyResponseMs(std::int32_t override_winkey_resp) {
  // The setting is not range-checked in the file; 64 bits keep any value
  // from overflowing.
  return (static_cast<std::int64_t>(override_winkey_resp) + 1) * 50;
}

bool WinKeyDebounce::Accept(std::int32_t time_stamp, std::int32_t override_winkey_resp) {
  const bool accept = static_cast<std::int64_t>(time_stamp) >
                      WinKeyResponseMs(override_winkey_resp) + static_cast<std::int64_t>(last_winkey_time_);
  last_winkey_time_ = time_stamp;
  return accept;
}

}  // namespace veltra
