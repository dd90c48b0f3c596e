// EnumerateHidDevices over the active device-installer table.
#include "device/hid_discovery.h"

#include <windows.h>
#include <setupapi.h>
#include <cfgmgr32.h>

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>

#include "base/ascii.h"
#include "device/device_api.h"

namespace veltra {
namespace {

// {745a17a0-74d3-11d0-b6fe-00a0c90f57da}, the HID setup class.
constexpr GUID kHidSetupClass{0x745a17a0, 0x74d3, 0x11d0, {0xb6, 0xfe, 0x00, 0xa0, 0xc9, 0x0f, 0x57, 0xda}};
// A value can only outgrow the size just reported if the device changes in
// between; a few rounds cover that, and an installer that keeps asking for
// more is not followed forever.
constexpr int kReadRounds = 4;

// The length to read next after ERROR_INSUFFICIENT_BUFFER: what the call
// asked for, or double when it asked for no more than it was given.
DWORD NextSize(DWORD given, DWORD required) { return required > given ? required : std::max<DWORD>(2 * given, 64); }

std::optional<std::wstring> InstanceId(const DeviceApi& api, HDEVINFO set, SP_DEVINFO_DATA& element) {
  std::wstring id(MAX_DEVICE_ID_LEN, L'\0');
  for (int round = 0; round < kReadRounds; ++round) {
    DWORD required = 0;
    if (api.get_device_instance_id(set, &element, id.data(), static_cast<DWORD>(id.size()), &required)) {
      id.resize(std::wstring_view(id.c_str()).size());
      return id;
    }
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::nullopt;
    id.assign(NextSize(static_cast<DWORD>(id.size()), required), L'\0');
  }
  return std::nullopt;
}

// A text property as stored: REG_SZ gives one string, REG_MULTI_SZ its
// strings each ended by a NUL. Nothing when it is absent, unreadable or of
// another type, so a caller never takes bytes for text.
std::optional<std::wstring> TextProperty(const DeviceApi& api, HDEVINFO set, SP_DEVINFO_DATA& element,
                                         DWORD property) {
  DWORD type = 0;
  DWORD required = 0;
  // The size first, as the platform asks: its answer is in bytes.
  if (api.get_device_registry_property(set, &element, property, &type, nullptr, 0, &required)) return std::wstring();
  if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::nullopt;

  std::wstring text;
  for (int round = 0; round < kReadRounds; ++round) {
    // Rounded up to whole characters, so an odd size still fits.
    text.assign((required + 1) / sizeof(wchar_t), L'\0');
    const auto bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    DWORD written = 0;
    if (api.get_device_registry_property(set, &element, property, &type, reinterpret_cast<PBYTE>(text.data()),
                                         bytes, &written)) {
      if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) return std::nullopt;
      text.resize(std::min(written, bytes) / sizeof(wchar_t));
      return text;
    }
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::nullopt;
    required = NextSize(bytes, written);
  }
  return std::nullopt;
}

// "description (friendly name)", or the description alone; an unreadable
// part is left empty.
std::wstring Description(const DeviceApi& api, HDEVINFO set, SP_DEVINFO_DATA& element) {
  std::wstring description = TextProperty(api, set, element, SPDRP_DEVICEDESC).value_or(std::wstring());
  description.resize(std::wstring_view(description.c_str()).size());
  const std::wstring friendly = TextProperty(api, set, element, SPDRP_FRIENDLYNAME).value_or(std::wstring());
  const std::wstring_view name(friendly.c_str());
  if (!name.empty()) description.append(L" (").append(name).append(L")");
  return description;
}

bool IsTouchScreen(const DeviceApi& api, HDEVINFO set, SP_DEVINFO_DATA& element) {
  const std::optional<std::wstring> ids = TextProperty(api, set, element, SPDRP_COMPATIBLEIDS);
  return ids && HasTouchScreenCollection(*ids);
}

// Only a device whose node reads and says it may be disabled is of use: the
// program's one act on a device is disabling it.
bool IsDisableable(const DeviceApi& api, const SP_DEVINFO_DATA& element) {
  ULONG status = 0;
  ULONG problem = 0;
  return api.get_devnode_status(&status, &problem, element.DevInst, 0) == CR_SUCCESS &&
         (status & DN_DISABLEABLE) != 0;
}

// Calls `visit` with every element of the set, in order, until enumeration
// fails (past the end, or the set breaks).
template <class Visit>
void ForEachElement(const DeviceApi& api, HDEVINFO set, Visit&& visit) {
  for (DWORD index = 0;; ++index) {
    SP_DEVINFO_DATA element{};
    element.cbSize = sizeof(element);
    if (!api.enum_device_info(set, index, &element)) return;
    visit(element);
  }
}

// Every disableable device with the HID interface, in the set's order. A
// device shows up here whatever its setup class: a keyboard or a pen may
// speak HID under a class of its own.
void InterfacePass(const DeviceApi& api, DeviceList& list,
                   const std::function<void(const std::wstring&)>& report_failure) {
  GUID hid_interface{};
  if (!api.get_hid_guid(&hid_interface)) return;
  // Not DIGCF_PRESENT: a panel that is disabled must still be found to be
  // enabled again; absent devices drop out at the status read.
  const DeviceInfoSet set(api, api.get_class_devs(&hid_interface, nullptr, nullptr, DIGCF_DEVICEINTERFACE));
  if (!set.valid()) {
    report_failure(L"SetupDiGetClassDevs(HID) INVALID HANDLE!");
    return;
  }
  ForEachElement(api, set.get(), [&](SP_DEVINFO_DATA& element) {
    if (!IsDisableable(api, element)) return;
    std::optional<std::wstring> id = InstanceId(api, set.get(), element);
    // A device without a readable identifier could never be switched.
    if (!id) return;
    std::wstring description = Description(api, set.get(), element);
    const bool touch_screen = IsTouchScreen(api, set.get(), element);
    list.push_back({base::UpperCaseAscii(*id), std::move(description), touch_screen});
  });
}

// Every disableable device of the HID setup class that the list does not
// hold yet: HID devices without the interface, such as a panel whose
// driver has not started.
void ClassPass(const DeviceApi& api, DeviceList& list,
               const std::function<void(const std::wstring&)>& report_failure) {
  const DeviceInfoSet set(api, api.get_class_devs(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES));
  if (!set.valid()) {
    report_failure(L"SetupDiGetClassDevs(NULL) INVALID HANDLE!");
    return;
  }
  ForEachElement(api, set.get(), [&](SP_DEVINFO_DATA& element) {
    if (!IsEqualGUID(element.ClassGuid, kHidSetupClass) || !IsDisableable(api, element)) return;
    const std::optional<std::wstring> read = InstanceId(api, set.get(), element);
    if (!read) return;
    std::wstring id = base::UpperCaseAscii(*read);
    // From the end: a repeat is most likely among the latest additions.
    if (std::any_of(list.rbegin(), list.rend(), [&](const HidDevice& listed) { return listed.id == id; })) return;
    std::wstring description = Description(api, set.get(), element);
    const bool touch_screen = IsTouchScreen(api, set.get(), element);
    list.push_back({std::move(id), std::move(description), touch_screen});
  });
}

}  // namespace

void EnumerateHidDevices(DeviceList& list, const std::function<void(const std::wstring&)>& report_failure) {
  const DeviceApi& api = ActiveDeviceApi();
  InterfacePass(api, list, report_failure);
  ClassPass(api, list, report_failure);
}

}  // namespace veltra
