// Enabling, disabling and querying the target device through the class
// installer. Each call opens its own device-information list and closes it.
#pragma once

#include <windows.h>

#include <string>

#include "core/settings.h"
#include "device/os_version.h"

namespace veltra {

// 1 when the class installer took the change and asked for no restart, else 0.
// `state_change` is DICS_ENABLE or DICS_DISABLE. When `redraw` is exactly 1
// the taskbar is told the tablet mode afterwards, whatever the result.
int SetDeviceState(OsVersion version, std::wstring instance_path, DWORD state_change, int redraw);

// SetDeviceState for the running Windows, with the taskbar told as
// `settings` ask (redraw_traynotifywnd; the version is read only then). `instance_path` defaults to the
// settings' own target; the device selection switches the devices it tests.
int SwitchDevice(const Settings& settings, bool enable);
int SwitchDevice(const Settings& settings, const std::wstring& instance_path, bool enable);

// 1 started, 0 present but not started, -1 status unreadable or no device.
int GetDeviceState(std::wstring instance_path);

}  // namespace veltra
