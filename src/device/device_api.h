// The device-installer functions the device code calls, as one table of
// pointers with the platform's own signatures. The production program fills
// it with SetupAPI and the configuration manager, the simulated program with
// a file-backed device tree, and the tests with recording fakes; the
// algorithms above it are the same code in all three.
#pragma once

#include <windows.h>
#include <setupapi.h>
#include <cfgmgr32.h>

#include "device/os_version.h"

namespace veltra {

struct DeviceApi {
  decltype(&::SetupDiCreateDeviceInfoListExW) create_device_info_list_ex;
  decltype(&::SetupDiOpenDeviceInfoW) open_device_info;
  decltype(&::SetupDiGetDeviceInfoListDetailW) get_device_info_list_detail;
  decltype(&::SetupDiEnumDeviceInfo) enum_device_info;
  decltype(&::SetupDiSetClassInstallParamsW) set_class_install_params;
  decltype(&::SetupDiCallClassInstaller) call_class_installer;
  decltype(&::SetupDiGetDeviceInstallParamsW) get_device_install_params;
  decltype(&::SetupDiDestroyDeviceInfoList) destroy_device_info_list;
  decltype(&::CM_Get_DevNode_Status_Ex) get_devnode_status_ex;
  // Not a device-installer call, but the device code's only other way out:
  // kept here so tests can see when a switch asks the taskbar to redraw.
  int (*refresh_taskbar)(OsVersion version);
};

// The platform's own device installer.
const DeviceApi& RealDeviceApi();

// The table this program was linked with: the real one in the production
// program (device/default_device_api.cpp), the simulated one in the
// simulated program (sim/default_device_api.cpp).
const DeviceApi& DefaultDeviceApi();

// The table the device operations use now (the default unless a test
// replaced it).
const DeviceApi& ActiveDeviceApi();

// Replaces the active table for the life of the object; for tests.
class ScopedDeviceApi {
 public:
  explicit ScopedDeviceApi(const DeviceApi& api);
  ~ScopedDeviceApi();
  ScopedDeviceApi(const ScopedDeviceApi&) = delete;
  ScopedDeviceApi& operator=(const ScopedDeviceApi&) = delete;

 private:
  const DeviceApi* previous_;
};

}  // namespace veltra
