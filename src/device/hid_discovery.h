// The disableable HID devices of the machine, found through the
// device-installer table (so the simulated build and the tests see the
// simulated tree): first by the HID device interface, then by the HID setup
// class.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace veltra {

// Parallel lists, element i of each describing the same device.
struct DeviceList {
  std::vector<std::wstring> ids;           // instance identifiers, upper case
  std::vector<std::wstring> descriptions;  // "description (friendly name)", or the description alone
  // Whether the device's compatible identifiers include the touch-screen
  // collection "HID_DEVICE_UP:000D_U:0004": a language-independent hint
  // where the translated descriptions say nothing.
  std::vector<bool> touch_screen;

  std::size_t size() const { return ids.size(); }
  bool empty() const { return ids.empty(); }
};

// Appends every disableable HID device to `list` (it never clears it): the
// interface pass in enumeration order, then the class pass without the
// identifiers already listed. A device set that cannot be queried is
// reported through `report_failure` with its message, and the rest goes on.
void EnumerateHidDevices(DeviceList& list, const std::function<void(const std::wstring&)>& report_failure);

}  // namespace veltra
