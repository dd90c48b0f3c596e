// Selection of the active device-installer table.
#include "device/device_api.h"

namespace veltra {
namespace {

const DeviceApi* g_active = nullptr;

}  // namespace

const DeviceApi& ActiveDeviceApi() { return g_active != nullptr ? *g_active : DefaultDeviceApi(); }

ScopedDeviceApi::ScopedDeviceApi(const DeviceApi& api) : previous_(g_active) { g_active = &api; }

ScopedDeviceApi::~ScopedDeviceApi() { g_active = previous_; }

}  // namespace veltra
