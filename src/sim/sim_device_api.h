// The simulated build's device installer: the device-installer table over
// the file-backed device tree beside the program (sim_devices.ini). Only
// the simulated programs and the tests link this folder; the production
// program is built without it.
#pragma once

#include "device/device_api.h"

namespace veltra {

const DeviceApi& SimDeviceApi();

}  // namespace veltra
