// The production program reads the posture from the platform.
#include "device/posture.h"

#include <windows.h>

#include "device/device_api.h"

namespace veltra {
namespace {

// GUID_GPIOBUTTONS_LAPTOPSLATE_INTERFACE: the interface of the laptop/slate
// mode indicator that a convertible's firmware and drivers provide. Only
// its presence makes SM_CONVERTIBLESLATEMODE follow the hardware; without
// it the metric keeps its default (the tablet posture) or whatever the
// maker set once for the model.
constexpr GUID kLaptopSlateIndicator = {0x317fc439, 0x3f77, 0x41c8, {0xb0, 0x9e, 0x08, 0xad, 0x63, 0x27, 0x2a, 0xa3}};

}  // namespace

bool HasPostureIndicator() {
  const DeviceApi& api = RealDeviceApi();
  const DeviceInfoSet set(api, api.get_class_devs(&kLaptopSlateIndicator, nullptr, nullptr,
                                                  DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof(device);
  return set.valid() && api.enum_device_info(set.get(), 0, &device) != FALSE;
}

std::int32_t ReadSlateMode() { return ::GetSystemMetrics(SM_CONVERTIBLESLATEMODE); }

}  // namespace veltra
