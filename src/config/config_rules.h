// The configuration dialog's arithmetic, apart from the platform: the hot
// key as the hot-key control holds it and as it is registered, the steps of
// its scroll bars and the response-time label. Portable: no platform header.
#pragma once

#include <cstdint>
#include <string>

namespace veltra {

// The hot-key control's value: its modifier flags (Shift 0x01, Control
// 0x02, Alt 0x04, extended 0x08) in the high byte, the key in the low byte.
// The stored fsModifiers uses the registration's flags (Alt 0x1, Control
// 0x2, Shift 0x4); other bits, the Windows key's among them, are not shown.
std::uint16_t HotKeyControlValue(std::int32_t fsModifiers, std::int32_t virtkey);

struct StoredHotKey {
  std::int32_t fsModifiers;
  std::int32_t virtkey;
};
// The control's value as it is stored; the extended-key flag is dropped.
StoredHotKey StoredHotKeyOf(std::uint16_t control_value);

// Scroll-bar requests, numbered as the platform numbers them (SB_LINELEFT
// and on).
enum class ScrollRequest : int {
  LineLeft = 0,
  LineRight = 1,
  PageLeft = 2,
  PageRight = 3,
  ThumbPosition = 4,
  ThumbTrack = 5,
  Left = 6,
  Right = 7,
  EndScroll = 8,
};

// The bar's new position for a request, from its position `position`
// within [min, max]; `thumb` is the position a thumb request carries.
std::int32_t ScrolledPosition(int request, std::int32_t position, std::int32_t min, std::int32_t max,
                              std::int32_t thumb);

// What the response-time label shows for an up-down position: "%dms" of
// (position + 1) x 50.
std::wstring ResponseTimeText(std::int32_t override_winkey_resp);

}  // namespace veltra
