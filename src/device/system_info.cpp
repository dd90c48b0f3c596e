// The choice of the touch-input line.
#include "device/system_info.h"

#include "base/decimal.h"
#include "resources/resource.h"

namespace veltra {

TouchInfoText DescribeTouchInput(std::int32_t digitizer_flags, std::int32_t maximum_touches) {
  // Without NID_READY the other bits describe nothing the user can touch.
  if ((digitizer_flags & kDigitizerReady) == 0) return {IDS_SYSINFO_NO_TOUCH, std::nullopt};
  if ((digitizer_flags & kDigitizerMultiInput) != 0) return {IDS_SYSINFO_MULTI_TOUCH, maximum_touches};
  // A pen alone (the 0x04 and 0x08 bits) is no touch digitizer.
  if ((digitizer_flags & (kDigitizerIntegratedTouch | kDigitizerExternalTouch)) != 0) {
    return {IDS_SYSINFO_DIGITIZER, std::nullopt};
  }
  return {IDS_SYSINFO_NO_DIGITIZER, std::nullopt};
}

std::wstring TouchInfoLine(std::wstring_view prefix, std::wstring_view text, std::optional<std::int32_t> touch_points) {
  if (!touch_points) return std::wstring(prefix) + std::wstring(text);
  std::wstring line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::wstring_view rest = text.substr(i);
    if (rest.starts_with(L"%s")) {
      line += prefix;
      ++i;
    } else if (rest.starts_with(L"%d")) {
      line += base::DecimalText(*touch_points);
      ++i;
    } else {
      line += text[i];
    }
  }
  return line;
}

}  // namespace veltra
