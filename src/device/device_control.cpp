// SetDeviceState and GetDeviceState over the active device-installer table.
#include "device/device_control.h"

#include "device/device_api.h"

namespace veltra {
namespace {

constexpr DWORD kRestartFlags = DI_NEEDRESTART | DI_NEEDREBOOT;

// A one-device list: the device is added and the list's details read. The
// open result is not looked at: a path that names no device leaves the list
// empty, and the calls on its first element then fail.
class DeviceInfoList {
 public:
  explicit DeviceInfoList(const DeviceApi& api)
      : api_(api), set_(api, api.create_device_info_list_ex(nullptr, nullptr, nullptr, nullptr)) {}

  bool valid() const { return set_.valid(); }
  HDEVINFO get() const { return set_.get(); }

  bool Open(const std::wstring& instance_path, SP_DEVINFO_LIST_DETAIL_DATA_W& detail, SP_DEVINFO_DATA& element) {
    api_.open_device_info(set_.get(), instance_path.c_str(), nullptr, 0, nullptr);
    detail = {};
    detail.cbSize = sizeof(detail);
    if (!api_.get_device_info_list_detail(set_.get(), &detail)) return false;
    element = {};
    element.cbSize = sizeof(element);
    api_.enum_device_info(set_.get(), 0, &element);
    return true;
  }

 private:
  const DeviceApi& api_;
  DeviceInfoSet set_;
};

bool ChangeProperty(const DeviceApi& api, HDEVINFO list, SP_DEVINFO_DATA& element, DWORD state_change, DWORD scope) {
  SP_PROPCHANGE_PARAMS params{};
  params.ClassInstallHeader.cbSize = sizeof(SP_CLASSINSTALL_HEADER);
  params.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
  params.StateChange = state_change;
  params.Scope = scope;
  params.HwProfile = 0;
  if (!api.set_class_install_params(list, &element, &params.ClassInstallHeader, sizeof(params))) return false;
  return api.call_class_installer(DIF_PROPERTYCHANGE, list, &element) != FALSE;
}

int ChangeState(const DeviceApi& api, const std::wstring& instance_path, DWORD state_change) {
  DeviceInfoList list(api);
  if (!list.valid()) return 0;
  SP_DEVINFO_LIST_DETAIL_DATA_W detail;
  SP_DEVINFO_DATA element;
  if (!list.Open(instance_path, detail, element)) return 0;

  // Enabling also clears a disable made for all hardware profiles; its
  // outcome does not matter, the profile-specific pass decides.
  if (state_change == DICS_ENABLE) ChangeProperty(api, list.get(), element, state_change, DICS_FLAG_GLOBAL);
  if (!ChangeProperty(api, list.get(), element, state_change, DICS_FLAG_CONFIGSPECIFIC)) return 0;

  SP_DEVINSTALL_PARAMS_W install{};
  install.cbSize = sizeof(install);
  if (api.get_device_install_params(list.get(), &element, &install) && (install.Flags & kRestartFlags) != 0) return 0;
  return 1;
}

}  // namespace

int SetDeviceState(OsVersion version, std::wstring instance_path, DWORD state_change, int redraw) {
  const DeviceApi& api = ActiveDeviceApi();
  const int result = ChangeState(api, instance_path, state_change);
  if (redraw == 1) api.refresh_taskbar(version);
  return result;
}

int SwitchDevice(const Settings& settings, bool enable) {
  return SwitchDevice(settings, settings.device_instance_path, enable);
}

int SwitchDevice(const Settings& settings, const std::wstring& instance_path, bool enable) {
  // The version serves only the taskbar's redraw, and reading it loads
  // NETAPI32.DLL with the network libraries it pulls in: the start's
  // first switch would pay for them before the window is painted.
  const int redraw = settings.redraw_traynotifywnd;
  const OsVersion version = redraw == 1 ? QueryOsVersion() : OsVersion{};
  return SetDeviceState(version, instance_path, enable ? DICS_ENABLE : DICS_DISABLE, redraw);
}

int GetDeviceState(std::wstring instance_path) {
  const DeviceApi& api = ActiveDeviceApi();
  DeviceInfoList list(api);
  if (!list.valid()) return -1;
  SP_DEVINFO_LIST_DETAIL_DATA_W detail;
  SP_DEVINFO_DATA element;
  if (!list.Open(instance_path, detail, element)) return -1;
  ULONG status = 0;
  ULONG problem = 0;
  if (api.get_devnode_status_ex(&status, &problem, element.DevInst, 0, detail.RemoteMachineHandle) != CR_SUCCESS) {
    return -1;
  }
  return (status & DN_STARTED) != 0 ? 1 : 0;
}

}  // namespace veltra
