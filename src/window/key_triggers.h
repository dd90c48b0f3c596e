// The rules of the two keyboard triggers: the hot key's modes and its
// single-use registration, and the Windows key's response interval. Portable.
#pragma once

#include <cstdint>

namespace veltra {

// Both triggers' modes: 1 enable only, 2 disable only, anything else toggle.
// The state the panel should take for a press, or the current one if the
// press does nothing.
std::uint8_t StateAfterTrigger(std::int32_t mode, std::uint8_t touch_status);

// The modifiers the hot key is registered with: the stored mask, without
// auto-repeat (0x4000), so holding the keys switches once.
inline constexpr std::uint32_t kModNoRepeat = 0x4000;
std::uint32_t HotKeyModifiers(std::int32_t fsModifiers);

// Whether the hot key should be registered under the single-use rule: only
// while pressing it could change something.
bool HotKeyWanted(bool enable_hotkey, std::int32_t mode, std::uint8_t touch_status);

// The Windows key's response interval in milliseconds, as the configuration
// dialog shows it: (setting + 1) x 50.
std::int64_t WinKeyResponseMs(std::int32_t override_winkey_resp);

// Ignores a Windows-key press that follows the previous one within the
// response interval; every press, acted on or not, becomes the previous one.
class WinKeyDebounce {
 public:
  bool Accept(std::int32_t time_stamp, std::int32_t override_winkey_resp);
  std::int32_t last_time() const { return last_winkey_time_; }

 private:
  std::int32_t last_winkey_time_ = 0;
};

}  // namespace veltra
