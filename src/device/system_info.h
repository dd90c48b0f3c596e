// The device selection dialog's line about the machine's touch input: which
// text the digitizer flags (GetSystemMetrics(SM_DIGITIZER)) call for, whether
// it shows the number of touch points, and the line itself. Portable, so
// every row is tested natively; the dialog reads the metrics and the texts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace veltra {

// The SM_DIGITIZER bits the choice looks at, as the platform defines them.
inline constexpr std::int32_t kDigitizerIntegratedTouch = 0x01;  // NID_INTEGRATED_TOUCH
inline constexpr std::int32_t kDigitizerExternalTouch = 0x02;    // NID_EXTERNAL_TOUCH
inline constexpr std::int32_t kDigitizerMultiInput = 0x40;       // NID_MULTI_INPUT
inline constexpr std::int32_t kDigitizerReady = 0x80;            // NID_READY

struct TouchInfoText {
  std::uint32_t string_id = 0;  // one of IDS_SYSINFO_* (resources/resource.h)
  // Only the multi-touch text shows a number: the maximum of touch points.
  std::optional<std::int32_t> touch_points;

  bool operator==(const TouchInfoText&) const = default;
};

TouchInfoText DescribeTouchInput(std::int32_t digitizer_flags, std::int32_t maximum_touches);

// The line shown: `prefix` and `text` for a plain row; for the multi-touch
// row `text` is a format whose "%s" takes the prefix and "%d" the count.
// Substituted here rather than by printf, whose "%s" in a wide format means
// a narrow string on one C runtime and a wide one on another.
std::wstring TouchInfoLine(std::wstring_view prefix, std::wstring_view text, std::optional<std::int32_t> touch_points);

}  // namespace veltra
