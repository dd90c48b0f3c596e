// The production table: the platform's own device installer.
#include "device/device_api.h"
#include "device/taskbar_refresh.h"

namespace veltra {

const DeviceApi& RealDeviceApi() {
  static const DeviceApi api{
      &::SetupDiCreateDeviceInfoListExW,  &::SetupDiOpenDeviceInfoW,       &::SetupDiGetDeviceInfoListDetailW,
      &::SetupDiEnumDeviceInfo,           &::SetupDiSetClassInstallParamsW, &::SetupDiCallClassInstaller,
      &::SetupDiGetDeviceInstallParamsW,  &::SetupDiDestroyDeviceInfoList,  &::CM_Get_DevNode_Status_Ex,
      &RefreshTaskbarTabletMode,
  };
  return api;
}

}  // namespace veltra
