// The machine's HID devices as the program lists them, and the rules that
// pick among them: which ones count as touch screens and which one the
// selection dialog offers first. Portable.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace veltra {

struct HidDevice {
  std::wstring id;           // instance identifier, upper case
  std::wstring description;  // "description (friendly name)", or the description alone
  // Whether the device's compatible identifiers include the touch-screen
  // collection: a language-independent hint where the translated
  // descriptions say nothing.
  bool touch_screen = false;
};
using DeviceList = std::vector<HidDevice>;

// Whether a device's compatible identifiers, as the installer reads them
// (each ended by a NUL, an empty one ending the list), name the touch-screen
// collection "HID_DEVICE_UP:000D_U:0004", in any case.
bool HasTouchScreenCollection(std::wstring_view compatible_ids);

// Whether a description holds the name the touch-screen collection has on
// English or Japanese systems (the case must match).
bool IsTouchScreenName(std::wstring_view description);

// The entry offered first: the last one with `preset_path` as its
// identifier, or, without a preset, the last touch screen by its
// description, else by its compatible identifiers; entry 0 when none is.
std::size_t InitialSelection(const DeviceList& list, const std::wstring& preset_path);

}  // namespace veltra
