// The production program switches the real device.
#include "device/device_api.h"

namespace veltra {

const DeviceApi& DefaultDeviceApi() { return RealDeviceApi(); }

}  // namespace veltra
