// Touch-screen recognition and the selection dialog's first entry.
#include "device/device_selection.h"

#include <algorithm>
#include <optional>

#include "base/ascii.h"

namespace veltra {
namespace {

// Usage page 0x0D (digitizers), usage 0x04 (touch screen), as the HID class
// driver names a collection among its compatible identifiers.
constexpr std::wstring_view kTouchScreenCollection = L"HID_DEVICE_UP:000D_U:0004";

// The descriptions the touch-screen collection has on English and Japanese
// systems.
constexpr std::wstring_view kTouchScreenNames[] = {L"HID 準拠タッチ スクリーン", L"HID-compliant touch screen"};

// The last index for which `matches` holds.
template <class Predicate>
std::optional<std::size_t> LastMatch(std::size_t count, Predicate matches) {
  for (std::size_t i = count; i-- > 0;) {
    if (matches(i)) return i;
  }
  return std::nullopt;
}

}  // namespace

bool HasTouchScreenCollection(std::wstring_view compatible_ids) {
  // Each string ends at its NUL or at the end of what was read.
  std::wstring_view rest = compatible_ids;
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find(L'\0'), rest.size());
    if (end == 0) break;
    if (base::UpperCaseAscii(rest.substr(0, end)) == kTouchScreenCollection) return true;
    rest.remove_prefix(std::min(end + 1, rest.size()));
  }
  return false;
}

bool IsTouchScreenName(std::wstring_view description) {
  for (std::wstring_view name : kTouchScreenNames) {
    if (description.find(name) != std::wstring_view::npos) return true;
  }
  return false;
}

std::size_t InitialSelection(const DeviceList& list, const std::wstring& preset_path) {
  std::optional<std::size_t> found;
  if (preset_path.empty()) {
    found = LastMatch(list.size(), [&](std::size_t i) { return IsTouchScreenName(list[i].description); });
    if (!found) found = LastMatch(list.size(), [&](std::size_t i) { return list[i].touch_screen; });
  } else {
    found = LastMatch(list.size(), [&](std::size_t i) { return list[i].id == preset_path; });
  }
  return found.value_or(0);
}

}  // namespace veltra
