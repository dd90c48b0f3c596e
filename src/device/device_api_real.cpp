// The production table: the platform's own device installer.
#include "device/device_api.h"
#include "device/taskbar_refresh.h"
#include "platform/paths.h"

namespace veltra {
namespace {

using HidDGetHidGuidFn = void(WINAPI*)(LPGUID);

// HID.DLL is loaded only for the lookup and let go at once: the program
// needs one GUID from it, and a machine without it still lists devices by
// their setup class. It is not one of the libraries the system protects, so
// it is taken from the system folder by name, never from beside the program.
bool GetHidGuid(GUID* guid) {
  if (guid == nullptr) return false;
  const UniqueModule hid = LoadSystemLibrary(L"hid.dll");
  const auto get = ProcAddress<HidDGetHidGuidFn>(hid.get(), "HidD_GetHidGuid");
  if (get == nullptr) return false;
  get(guid);
  return true;
}

}  // namespace

const DeviceApi& RealDeviceApi() {
  static const DeviceApi api{
      &::SetupDiCreateDeviceInfoListExW,  &::SetupDiOpenDeviceInfoW,       &::SetupDiGetDeviceInfoListDetailW,
      &::SetupDiEnumDeviceInfo,           &::SetupDiSetClassInstallParamsW, &::SetupDiCallClassInstaller,
      &::SetupDiGetDeviceInstallParamsW,  &::SetupDiDestroyDeviceInfoList,  &::CM_Get_DevNode_Status_Ex,
      &::SetupDiGetClassDevsW,            &::SetupDiGetDeviceInstanceIdW,   &::SetupDiGetDeviceRegistryPropertyW,
      &::CM_Get_DevNode_Status,           &GetHidGuid,                      &RefreshTaskbarTabletMode,
  };
  return api;
}

}  // namespace veltra
