// The simulated program switches the file-backed device tree.
#include "sim/sim_device_api.h"

namespace veltra {

const DeviceApi& DefaultDeviceApi() { return SimDeviceApi(); }

}  // namespace veltra
