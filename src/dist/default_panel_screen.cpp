// The production program asks Windows for the panel's screen.
#include "device/panel_screen.h"

#include <windows.h>

#include <cwchar>
#include <cwctype>
#include <vector>

#include "platform/paths.h"

namespace veltra {
namespace {

std::wstring Upper(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(c));
  return text;
}

// A raw input device's interface path holds its instance id with '#' for
// '\' (\\?\HID#VID_..&PID_..#5&..#{guid}); the target may be that device or
// the parent of a collection, so a path containing it matches.
bool IsTarget(HANDLE device, const std::wstring& target) {
  UINT length = 0;
  if (::GetRawInputDeviceInfoW(device, RIDI_DEVICENAME, nullptr, &length) != 0 || length == 0) return false;
  std::wstring name(length, L'\0');
  if (::GetRawInputDeviceInfoW(device, RIDI_DEVICENAME, name.data(), &length) == static_cast<UINT>(-1)) return false;
  name.resize(std::wcslen(name.c_str()));
  for (wchar_t& c : name) c = c == L'#' ? L'\\' : c;
  return Upper(name).find(target) != std::wstring::npos;
}

// A monitor that is still one of the desktop's.
bool OnDesktop(HMONITOR monitor) {
  MONITORINFOEXW info{};
  info.cbSize = sizeof(info);
  if (!::GetMonitorInfoW(monitor, &info)) return false;
  DISPLAY_DEVICEW adapter{};
  adapter.cb = sizeof(adapter);
  for (DWORD i = 0; ::EnumDisplayDevicesW(nullptr, i, &adapter, 0); ++i) {
    if (std::wcscmp(adapter.DeviceName, info.szDevice) == 0) {
      return (adapter.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) != 0;
    }
  }
  return false;
}

// The screen Windows maps the touch device to (Windows 8 and later, so
// looked up at run time); nothing when no pointer device is the target or
// it is mapped to none.
std::optional<bool> MappedScreenActive(const std::wstring& device_instance_path) {
  using GetPointerDevicesFn = BOOL(WINAPI*)(UINT32*, POINTER_DEVICE_INFO*);
  const auto get_devices =
      ProcAddress<GetPointerDevicesFn>(::GetModuleHandleW(L"user32.dll"), "GetPointerDevices");
  if (get_devices == nullptr || device_instance_path.empty()) return std::nullopt;
  UINT32 count = 0;
  if (!get_devices(&count, nullptr) || count == 0) return std::nullopt;
  std::vector<POINTER_DEVICE_INFO> devices(count);
  if (!get_devices(&count, devices.data())) return std::nullopt;
  const std::wstring target = Upper(device_instance_path);
  for (UINT32 i = 0; i < count && i < devices.size(); ++i) {
    if (devices[i].monitor != nullptr && IsTarget(devices[i].device, target)) return OnDesktop(devices[i].monitor);
  }
  return std::nullopt;
}

bool IsBuiltIn(DISPLAYCONFIG_VIDEO_OUTPUT_TECHNOLOGY technology) {
  return technology == DISPLAYCONFIG_OUTPUT_TECHNOLOGY_INTERNAL ||
         technology == DISPLAYCONFIG_OUTPUT_TECHNOLOGY_DISPLAYPORT_EMBEDDED ||
         technology == DISPLAYCONFIG_OUTPUT_TECHNOLOGY_UDI_EMBEDDED;
}

// Whether the paths QueryDisplayConfig gives for `flags` hold a built-in
// display; nothing when they cannot be read.
std::optional<bool> HasBuiltInPath(UINT32 flags) {
  std::vector<DISPLAYCONFIG_PATH_INFO> paths;
  std::vector<DISPLAYCONFIG_MODE_INFO> modes;
  LONG result = ERROR_INSUFFICIENT_BUFFER;
  // The topology may change between the two calls: asked again then.
  for (int attempt = 0; attempt < 3 && result == ERROR_INSUFFICIENT_BUFFER; ++attempt) {
    UINT32 path_count = 0, mode_count = 0;
    if (::GetDisplayConfigBufferSizes(flags, &path_count, &mode_count) != ERROR_SUCCESS) return std::nullopt;
    paths.resize(path_count);
    modes.resize(mode_count);
    result = ::QueryDisplayConfig(flags, &path_count, paths.data(), &mode_count, modes.data(), nullptr);
    paths.resize(path_count);
  }
  if (result != ERROR_SUCCESS) return std::nullopt;
  for (const auto& path : paths) {
    if (IsBuiltIn(path.targetInfo.outputTechnology)) return true;
  }
  return false;
}

}  // namespace

std::optional<bool> PanelScreenActive(const std::wstring& device_instance_path) {
  if (const auto mapped = MappedScreenActive(device_instance_path)) return mapped;
  const auto active = HasBuiltInPath(QDC_ONLY_ACTIVE_PATHS);
  if (!active) return std::nullopt;
  if (*active) return true;
  // A built-in display the machine has but does not show is off; a machine
  // with none cannot tell.
  if (HasBuiltInPath(QDC_ALL_PATHS).value_or(false)) return false;
  return std::nullopt;
}

}  // namespace veltra
