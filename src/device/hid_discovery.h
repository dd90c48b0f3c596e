// The disableable HID devices of the machine, found through the
// device-installer table (so the simulated build and the tests see the
// simulated tree): first by the HID device interface, then by the HID setup
// class.
#pragma once

#include <functional>
#include <string>

#include "device/device_selection.h"

namespace veltra {

// Appends every disableable HID device to `list` (it never clears it): the
// interface pass in enumeration order, then the class pass without the
// identifiers already listed. A device set that cannot be queried is
// reported through `report_failure` with its message, and the rest goes on.
void EnumerateHidDevices(DeviceList& list, const std::function<void(const std::wstring&)>& report_failure);

}  // namespace veltra
