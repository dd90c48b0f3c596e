// The simulated table: a device installer and configuration manager working
// on the device file beside the executable instead of the machine's devices.
// It answers the way the platform does for the calls the device code makes,
// including how it fails, so the same algorithm gives the same results here.
#include <windows.h>
#include <setupapi.h>
#include <cfgmgr32.h>
#include <dbt.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "device/taskbar_refresh.h"
#include "platform/simulated_crash.h"
#include "sim/sim_device_api.h"
#include "sim/sim_device_answers.h"
#include "sim/sim_device_tree.h"

namespace veltra {
namespace {

struct Element {
  std::wstring id;
  GUID class_guid{};
  DEVINST dev_inst = 0;
  std::optional<SP_PROPCHANGE_PARAMS> change;
  DWORD install_flags = 0;
};

struct DeviceList {
  std::optional<GUID> class_filter;
  std::vector<Element> elements;
};

// Everything that outlives a call: the open lists, and the device-node
// numbers handed out so far (stable per identifier for the process, as the
// configuration manager's are while the device is present).
struct SimState {
  std::mutex mutex;
  std::map<std::uintptr_t, DeviceList> lists;
  std::uintptr_t next_list = 1;
  std::vector<std::pair<DEVINST, std::wstring>> dev_insts;
  DEVINST next_dev_inst = 1;
};

SimState& State() {
  static SimState state;
  return state;
}

// List handles are keys into the map, never addresses, so a stale or forged
// handle is reported as invalid instead of being dereferenced.
HDEVINFO ToHandle(std::uintptr_t key) { return reinterpret_cast<HDEVINFO>(key); }

DeviceList* FindList(SimState& state, HDEVINFO handle) {
  const auto found = state.lists.find(reinterpret_cast<std::uintptr_t>(handle));
  return found == state.lists.end() ? nullptr : &found->second;
}

// The element an SP_DEVINFO_DATA names: Reserved holds its index + 1, so a
// structure that never came from this list (such as the zeroed one left
// behind when enumerating an empty list) names nothing.
Element* FindElement(DeviceList& list, const SP_DEVINFO_DATA* data) {
  if (data == nullptr || data->cbSize != sizeof(SP_DEVINFO_DATA)) return nullptr;
  if (data->Reserved == 0 || data->Reserved > list.elements.size()) return nullptr;
  return &list.elements[data->Reserved - 1];
}

DEVINST DevInstFor(SimState& state, const std::wstring& id) {
  for (const auto& [dev_inst, known] : state.dev_insts) {
    if (SameInstanceId(known, id)) return dev_inst;
  }
  const DEVINST dev_inst = state.next_dev_inst++;
  state.dev_insts.emplace_back(dev_inst, id);
  return dev_inst;
}

const std::wstring* IdFor(const SimState& state, DEVINST dev_inst) {
  for (const auto& [known, id] : state.dev_insts) {
    if (known == dev_inst) return &id;
  }
  return nullptr;
}

void Describe(const Element& element, std::size_t index, SP_DEVINFO_DATA& data) {
  data.ClassGuid = element.class_guid;
  data.DevInst = element.dev_inst;
  data.Reserved = index + 1;
}

// Window procedures call through this table, so no exception may leave it;
// each entry point reports one as the platform reports running out of
// resources.
template <class Result, class Body>
Result Guarded(Result failure, Body&& body) {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  } catch (...) {
    ::SetLastError(ERROR_GEN_FAILURE);
  }
  return failure;
}

BOOL Fail(DWORD error) {
  ::SetLastError(error);
  return FALSE;
}

// Every call on a list: no exception escapes, the state is locked, and an
// unknown handle fails as the platform fails it.
template <class Body>
BOOL WithList(HDEVINFO handle, Body&& body) {
  return Guarded(FALSE, [&]() -> BOOL {
    SimState& state = State();
    const std::lock_guard lock(state.mutex);
    DeviceList* list = FindList(state, handle);
    if (list == nullptr) return Fail(ERROR_INVALID_HANDLE);
    return body(state, list);
  });
}

// Registers `list` and hands out its handle; the state must be locked.
HDEVINFO AddList(SimState& state, DeviceList list) {
  std::uintptr_t key = state.next_list++;
  // Skip the two values callers read as "no list".
  while (key == 0 || ToHandle(key) == INVALID_HANDLE_VALUE) key = state.next_list++;
  state.lists.emplace(key, std::move(list));
  return ToHandle(key);
}

HDEVINFO InvalidList(DWORD error) {
  ::SetLastError(error);
  return INVALID_HANDLE_VALUE;
}

HDEVINFO WINAPI SimCreateDeviceInfoListEx(const GUID* class_guid, HWND, PCWSTR machine_name, PVOID reserved) {
  return Guarded(static_cast<HDEVINFO>(INVALID_HANDLE_VALUE), [&]() -> HDEVINFO {
    if (reserved != nullptr) return InvalidList(ERROR_INVALID_PARAMETER);
    // There are no other machines in the simulation.
    if (machine_name != nullptr && machine_name[0] != L'\0') return InvalidList(ERROR_INVALID_MACHINENAME);
    SimState& state = State();
    const std::lock_guard lock(state.mutex);
    DeviceList list;
    if (class_guid != nullptr) list.class_filter = *class_guid;
    return AddList(state, std::move(list));
  });
}

// Every simulated device is present, so DIGCF_PRESENT changes nothing.
HDEVINFO WINAPI SimGetClassDevs(const GUID* guid, PCWSTR enumerator, HWND, DWORD flags) {
  return Guarded(static_cast<HDEVINFO>(INVALID_HANDLE_VALUE), [&]() -> HDEVINFO {
    const bool all = (flags & DIGCF_ALLCLASSES) != 0;
    if (!all && guid == nullptr) return InvalidList(ERROR_INVALID_PARAMETER);
    const std::wstring_view wanted = enumerator != nullptr ? enumerator : L"";
    const std::vector<SimDevice> devices = ReadSimDevices();

    SimState& state = State();
    const std::lock_guard lock(state.mutex);
    DeviceList list;
    // A set of one setup class is a list of that class, as the platform
    // makes it; an interface set or one of all classes has no class.
    if (!all && (flags & DIGCF_DEVICEINTERFACE) == 0) list.class_filter = *guid;
    for (const SimDevice& device : devices) {
      if (!Requested(device, guid, wanted, flags)) continue;
      // A section repeated in another spelling is still one device.
      const bool listed = std::any_of(list.elements.begin(), list.elements.end(),
                                      [&](const Element& known) { return SameInstanceId(known.id, device.id); });
      if (listed) continue;
      Element element;
      element.id = device.id;
      element.class_guid = ClassOf(device);
      element.dev_inst = DevInstFor(state, device.id);
      list.elements.push_back(std::move(element));
    }
    return AddList(state, std::move(list));
  });
}

BOOL WINAPI SimOpenDeviceInfo(HDEVINFO handle, PCWSTR instance_id, HWND, DWORD flags, PSP_DEVINFO_DATA data) {
  return WithList(handle, [&]([[maybe_unused]] SimState& state, DeviceList* list) -> BOOL {
    if (instance_id == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    if ((flags & ~static_cast<DWORD>(DIOD_INHERIT_CLASSDRVS | DIOD_CANCEL_REMOVE)) != 0) {
      return Fail(ERROR_INVALID_FLAGS);
    }
    if (data != nullptr && data->cbSize != sizeof(SP_DEVINFO_DATA)) return Fail(ERROR_INVALID_USER_BUFFER);

    const std::optional<SimDevice> device = FindSimDevice(instance_id);
    if (!device) return Fail(ERROR_NO_SUCH_DEVINST);
    const GUID class_guid = ClassOf(*device);
    if (list->class_filter && !IsEqualGUID(*list->class_filter, class_guid)) return Fail(ERROR_CLASS_MISMATCH);

    // Opening a device already in the list hands back the same element.
    std::size_t index = 0;
    while (index < list->elements.size() && !SameInstanceId(list->elements[index].id, device->id)) ++index;
    if (index == list->elements.size()) {
      Element element;
      element.id = device->id;
      element.class_guid = class_guid;
      element.dev_inst = DevInstFor(state, device->id);
      list->elements.push_back(std::move(element));
    }
    if (data != nullptr) Describe(list->elements[index], index, *data);
    return TRUE;
  });
}

BOOL WINAPI SimGetDeviceInfoListDetail(HDEVINFO handle, PSP_DEVINFO_LIST_DETAIL_DATA_W detail) {
  return WithList(handle, [&]([[maybe_unused]] SimState& state, DeviceList* list) -> BOOL {
    if (detail == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    if (detail->cbSize != sizeof(SP_DEVINFO_LIST_DETAIL_DATA_W)) return Fail(ERROR_INVALID_USER_BUFFER);
    detail->ClassGuid = list->class_filter.value_or(GUID{});
    detail->RemoteMachineHandle = nullptr;
    detail->RemoteMachineName[0] = L'\0';
    return TRUE;
  });
}

BOOL WINAPI SimEnumDeviceInfo(HDEVINFO handle, DWORD index, PSP_DEVINFO_DATA data) {
  return WithList(handle, [&]([[maybe_unused]] SimState& state, DeviceList* list) -> BOOL {
    if (data == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    if (data->cbSize != sizeof(SP_DEVINFO_DATA)) return Fail(ERROR_INVALID_USER_BUFFER);
    if (index >= list->elements.size()) return Fail(ERROR_NO_MORE_ITEMS);
    Describe(list->elements[index], index, *data);
    return TRUE;
  });
}

BOOL WINAPI SimSetClassInstallParams(HDEVINFO handle, PSP_DEVINFO_DATA data, PSP_CLASSINSTALL_HEADER header,
                                     DWORD size) {
  return WithList(handle, [&]([[maybe_unused]] SimState& state, DeviceList* list) -> BOOL {
    Element* element = FindElement(*list, data);
    if (element == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    // No parameters at all clears what was set, as on the platform.
    if (header == nullptr) {
      if (size != 0) return Fail(ERROR_INVALID_PARAMETER);
      element->change.reset();
      return TRUE;
    }
    // Only property changes are simulated; the device code makes no other.
    if (header->cbSize != sizeof(SP_CLASSINSTALL_HEADER) || header->InstallFunction != DIF_PROPERTYCHANGE ||
        size != sizeof(SP_PROPCHANGE_PARAMS)) {
      return Fail(ERROR_INVALID_PARAMETER);
    }
    SP_PROPCHANGE_PARAMS params;
    std::memcpy(&params, header, sizeof(params));
    element->change = params;
    return TRUE;
  });
}

const wchar_t* ScopeName(DWORD scope) { return scope == DICS_FLAG_GLOBAL ? L"GLOBAL" : L"CONFIGSPECIFIC"; }

BOOL WINAPI SimCallClassInstaller(DI_FUNCTION function, HDEVINFO handle, PSP_DEVINFO_DATA data) {
  return WithList(handle, [&]([[maybe_unused]] SimState& state, DeviceList* list) -> BOOL {
    Element* element = FindElement(*list, data);
    if (data != nullptr && element == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    // Every other request succeeds without effect, as the default handling
    // of a request a class does not act on does.
    if (function != DIF_PROPERTYCHANGE) return TRUE;
    if (element == nullptr || !element->change) return Fail(ERROR_INVALID_PARAMETER);

    const SP_PROPCHANGE_PARAMS& change = *element->change;
    const bool enable = change.StateChange == DICS_ENABLE;
    if ((!enable && change.StateChange != DICS_DISABLE) ||
        (change.Scope != DICS_FLAG_GLOBAL && change.Scope != DICS_FLAG_CONFIGSPECIFIC)) {
      return Fail(ERROR_INVALID_PARAMETER);
    }
    const std::optional<SimDevice> device = FindSimDevice(element->id);
    if (!device) return Fail(ERROR_NO_SUCH_DEVINST);
    if (device->refuse_change) return Fail(ERROR_ACCESS_DENIED);

    // The log is for observers; failing to write it does not undo the change.
    AppendSimDeviceLog(L"PROPERTYCHANGE " + device->id + (enable ? L" ENABLE " : L" DISABLE ") +
                       ScopeName(change.Scope));

    // A device whose driver cannot be stopped or started while running takes
    // the change at the next restart: the installer accepts it and asks for
    // the restart, and until then the device stays as it was. So `started`
    // is left alone here.
    if (device->needs_restart) {
      element->install_flags |= DI_NEEDRESTART;
      return TRUE;
    }
    if (device->started == enable) return TRUE;
    // The caller waits as it waits for a real panel's driver to stop or
    // start; the new state shows only at the end.
    if (device->switch_delay_ms > 0) ::Sleep(static_cast<DWORD>(device->switch_delay_ms));
    if (!WriteSimDeviceStarted(device->id, enable)) return FALSE;
    // Posted, not sent: the platform's notification arrives after the call
    // has returned, and a window must not see it from inside its own call.
    ::PostMessageW(HWND_BROADCAST, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    StepDone(enable ? L"device enabled" : L"device disabled");
    return TRUE;
  });
}

BOOL WINAPI SimGetDeviceInstallParams(HDEVINFO handle, PSP_DEVINFO_DATA data, PSP_DEVINSTALL_PARAMS_W params) {
  return WithList(handle, [&]([[maybe_unused]] SimState& state, DeviceList* list) -> BOOL {
    const Element* element = FindElement(*list, data);
    if (element == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    if (params == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    if (params->cbSize != sizeof(SP_DEVINSTALL_PARAMS_W)) return Fail(ERROR_INVALID_USER_BUFFER);
    *params = SP_DEVINSTALL_PARAMS_W{};
    params->cbSize = sizeof(SP_DEVINSTALL_PARAMS_W);
    params->Flags = element->install_flags;
    return TRUE;
  });
}

BOOL WINAPI SimGetDeviceInstanceId(HDEVINFO handle, PSP_DEVINFO_DATA data, PWSTR id, DWORD size, PDWORD required) {
  return WithList(handle, [&]([[maybe_unused]] SimState& state, DeviceList* list) -> BOOL {
    const Element* element = FindElement(*list, data);
    if (element == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    if (id == nullptr && size != 0) return Fail(ERROR_INVALID_PARAMETER);
    // In characters, with the terminating NUL.
    const auto needed = static_cast<DWORD>(element->id.size() + 1);
    if (required != nullptr) *required = needed;
    if (size < needed) return Fail(ERROR_INSUFFICIENT_BUFFER);
    std::copy_n(element->id.c_str(), needed, id);
    return TRUE;
  });
}

// The size is in bytes, asked for by a call without a buffer, as the
// platform answers it; an absent property fails with ERROR_INVALID_DATA.
BOOL WINAPI SimGetDeviceRegistryProperty(HDEVINFO handle, PSP_DEVINFO_DATA data, DWORD property, PDWORD type,
                                         PBYTE buffer, DWORD size, PDWORD required) {
  return WithList(handle, [&]([[maybe_unused]] SimState& state, DeviceList* list) -> BOOL {
    const Element* element = FindElement(*list, data);
    if (element == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    if (buffer == nullptr && size != 0) return Fail(ERROR_INVALID_DATA);
    const std::optional<SimDevice> device = FindSimDevice(element->id);
    if (!device) return Fail(ERROR_NO_SUCH_DEVINST);
    const std::optional<PropertyValue> value = ReadProperty(*device, property);
    if (!value) return Fail(ERROR_INVALID_DATA);
    const auto bytes = static_cast<DWORD>(value->data.size() * sizeof(wchar_t));
    if (type != nullptr) *type = value->type;
    if (required != nullptr) *required = bytes;
    if (size < bytes) return Fail(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(buffer, value->data.data(), bytes);
    return TRUE;
  });
}

BOOL WINAPI SimDestroyDeviceInfoList(HDEVINFO handle) {
  return Guarded(FALSE, [&]() -> BOOL {
    SimState& state = State();
    const std::lock_guard lock(state.mutex);
    if (state.lists.erase(reinterpret_cast<std::uintptr_t>(handle)) == 0) return Fail(ERROR_INVALID_HANDLE);
    return TRUE;
  });
}

CONFIGRET WINAPI SimGetDevNodeStatusEx(PULONG status, PULONG problem, DEVINST dev_inst, ULONG flags,
                                       HMACHINE machine) {
  return Guarded(static_cast<CONFIGRET>(CR_FAILURE), [&]() -> CONFIGRET {
    if (status == nullptr || problem == nullptr) return CR_INVALID_POINTER;
    std::wstring id;
    {
      SimState& state = State();
      const std::lock_guard lock(state.mutex);
      const std::wstring* known = IdFor(state, dev_inst);
      if (known == nullptr) return CR_INVALID_DEVNODE;
      id = *known;
    }
    if (flags != 0) return CR_INVALID_FLAG;
    if (machine != nullptr) return CR_INVALID_MACHINENAME;

    const std::optional<SimDevice> device = FindSimDevice(id);
    if (!device) return CR_NO_SUCH_DEVINST;
    AppendSimDeviceLog(L"STATUS " + device->id);
    if (!device->status_readable) return CR_FAILURE;
    *status = DN_DRIVER_LOADED | (device->disableable ? DN_DISABLEABLE : 0) | (device->started ? DN_STARTED : 0);
    *problem = device->started ? 0 : CM_PROB_DISABLED;
    return CR_SUCCESS;
  });
}

// The local machine's call is the remote one without a machine.
CONFIGRET WINAPI SimGetDevNodeStatus(PULONG status, PULONG problem, DEVINST dev_inst, ULONG flags) {
  return SimGetDevNodeStatusEx(status, problem, dev_inst, flags, nullptr);
}

bool SimGetHidGuid(GUID* guid) {
  if (guid == nullptr) return false;
  // The platform's lookup runs too, so the simulated program loads HID.DLL
  // as the production one does and a test can see where it comes from; the
  // simulated devices answer to their own interface whatever it gives.
  GUID platform{};
  RealDeviceApi().get_hid_guid(&platform);
  *guid = kHidInterface;
  return true;
}

// The table's slots have the platform's exact types; a mismatch here would
// otherwise only show as a conversion error far from its cause.
static_assert(std::is_same_v<decltype(&SimCreateDeviceInfoListEx), decltype(&::SetupDiCreateDeviceInfoListExW)>);
static_assert(std::is_same_v<decltype(&SimOpenDeviceInfo), decltype(&::SetupDiOpenDeviceInfoW)>);
static_assert(std::is_same_v<decltype(&SimGetDeviceInfoListDetail), decltype(&::SetupDiGetDeviceInfoListDetailW)>);
static_assert(std::is_same_v<decltype(&SimEnumDeviceInfo), decltype(&::SetupDiEnumDeviceInfo)>);
static_assert(std::is_same_v<decltype(&SimSetClassInstallParams), decltype(&::SetupDiSetClassInstallParamsW)>);
static_assert(std::is_same_v<decltype(&SimCallClassInstaller), decltype(&::SetupDiCallClassInstaller)>);
static_assert(std::is_same_v<decltype(&SimGetDeviceInstallParams), decltype(&::SetupDiGetDeviceInstallParamsW)>);
static_assert(std::is_same_v<decltype(&SimDestroyDeviceInfoList), decltype(&::SetupDiDestroyDeviceInfoList)>);
static_assert(std::is_same_v<decltype(&SimGetDevNodeStatusEx), decltype(&::CM_Get_DevNode_Status_Ex)>);
static_assert(std::is_same_v<decltype(&SimGetClassDevs), decltype(&::SetupDiGetClassDevsW)>);
static_assert(std::is_same_v<decltype(&SimGetDeviceInstanceId), decltype(&::SetupDiGetDeviceInstanceIdW)>);
static_assert(
    std::is_same_v<decltype(&SimGetDeviceRegistryProperty), decltype(&::SetupDiGetDeviceRegistryPropertyW)>);
static_assert(std::is_same_v<decltype(&SimGetDevNodeStatus), decltype(&::CM_Get_DevNode_Status)>);

}  // namespace

const DeviceApi& SimDeviceApi() {
  static const DeviceApi api{
      &SimCreateDeviceInfoListEx, &SimOpenDeviceInfo,         &SimGetDeviceInfoListDetail,
      &SimEnumDeviceInfo,         &SimSetClassInstallParams,  &SimCallClassInstaller,
      &SimGetDeviceInstallParams, &SimDestroyDeviceInfoList,  &SimGetDevNodeStatusEx,
      &SimGetClassDevs,           &SimGetDeviceInstanceId,    &SimGetDeviceRegistryProperty,
      &SimGetDevNodeStatus,       &SimGetHidGuid,             &RefreshTaskbarTabletMode,
  };
  return api;
}

}  // namespace veltra
