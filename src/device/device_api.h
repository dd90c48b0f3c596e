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
  // What the HID discovery (device/hid_discovery.cpp) reads.
  decltype(&::SetupDiGetClassDevsW) get_class_devs;
  decltype(&::SetupDiGetDeviceInstanceIdW) get_device_instance_id;
  decltype(&::SetupDiGetDeviceRegistryPropertyW) get_device_registry_property;
  decltype(&::CM_Get_DevNode_Status) get_devnode_status;
  // The HID device-interface class (HidD_GetHidGuid of HID.DLL, looked up
  // at each call so the program does not import HID.DLL); false when the
  // library or its export is missing.
  bool (*get_hid_guid)(GUID* guid);
  // Not a device-installer call, but the device code's only other way out:
  // kept here so tests can see when a switch asks the taskbar to redraw.
  int (*refresh_taskbar)(OsVersion version);
};

// The platform's own device installer.
const DeviceApi& RealDeviceApi();

// The table this program was linked with: the real one in the production
// program (dist/default_device_api.cpp), the simulated one in the
// simulated program (sim/default_device_api.cpp).
const DeviceApi& DefaultDeviceApi();

// The table the device operations use now (the default unless a test
// replaced it).
const DeviceApi& ActiveDeviceApi();

// Owns a device-information set made through a table, so it is destroyed
// through the same table: a set of the simulated installer means nothing to
// the platform's, and the other way round.
class DeviceInfoSet {
 public:
  DeviceInfoSet(const DeviceApi& api, HDEVINFO set) noexcept : api_(api), set_(set) {}
  ~DeviceInfoSet() {
    if (valid()) api_.destroy_device_info_list(set_);
  }
  DeviceInfoSet(const DeviceInfoSet&) = delete;
  DeviceInfoSet& operator=(const DeviceInfoSet&) = delete;

  bool valid() const noexcept { return set_ != INVALID_HANDLE_VALUE; }
  HDEVINFO get() const noexcept { return set_; }

 private:
  const DeviceApi& api_;
  HDEVINFO set_;
};

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
