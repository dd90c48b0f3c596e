// The simulated program switches the file-backed device tree.
#include "device/device_api.h"

namespace veltra {

const DeviceApi& DefaultDeviceApi() { return SimDeviceApi(); }

}  // namespace veltra
