// What one simulated device answers to, apart from any list: its setup
// class, whether a class-devices request takes it, and the registry
// properties its file describes. The simulated table (sim_device_api.cpp)
// builds its lists and answers from these.
#pragma once

#include <windows.h>
#include <setupapi.h>

#include <optional>
#include <string>
#include <string_view>

#include "sim/sim_device_tree.h"

namespace veltra {

// {745a17a0-74d3-11d0-b6fe-00a0c90f57da}, the HID device class.
inline constexpr GUID kHidClass{0x745a17a0, 0x74d3, 0x11d0, {0xb6, 0xfe, 0x00, 0xa0, 0xc9, 0x0f, 0x57, 0xda}};
// {4d36e97e-e325-11ce-bfc1-08002be10318}, the class of devices of no known
// class: every other setup_class word lands here.
inline constexpr GUID kOtherClass{0x4d36e97e, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
// {4d1e55b2-f16f-11cf-88cb-001111000030}, the HID device interface: the one
// interface the simulation knows (hid_interface=1).
inline constexpr GUID kHidInterface{0x4d1e55b2, 0xf16f, 0x11cf, {0x88, 0xcb, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

GUID ClassOf(const SimDevice& device);

// Whether a SetupDiGetClassDevsW request takes `device`. With
// DIGCF_DEVICEINTERFACE the GUID names an interface and an enumerator one
// device instance; otherwise the GUID names a setup class and an
// enumerator a bus ("HID") or a bus and device ("HID\VID_1B96&PID_0F00"),
// the start of the identifier. DIGCF_ALLCLASSES drops the GUID either way.
bool Requested(const SimDevice& device, const GUID* guid, std::wstring_view enumerator, DWORD flags);

struct PropertyValue {
  DWORD type;
  std::wstring data;  // with every terminating NUL
};

// The properties the file describes. An empty value is an absent one: the
// platform stores no empty friendly name, and a device has no empty list of
// compatible identifiers.
std::optional<PropertyValue> ReadProperty(const SimDevice& device, DWORD property);

}  // namespace veltra
