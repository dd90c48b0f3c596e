// What one simulated device answers to.
#include "sim/sim_device_answers.h"

namespace veltra {

GUID ClassOf(const SimDevice& device) { return device.IsHidClass() ? kHidClass : kOtherClass; }

bool Requested(const SimDevice& device, const GUID* guid, std::wstring_view enumerator, DWORD flags) {
  const bool all = (flags & DIGCF_ALLCLASSES) != 0;
  if ((flags & DIGCF_DEVICEINTERFACE) != 0) {
    if (!device.hid_interface || (!all && !IsEqualGUID(*guid, kHidInterface))) return false;
    return enumerator.empty() || SameInstanceId(enumerator, device.id);
  }
  if (!all && !IsEqualGUID(*guid, ClassOf(device))) return false;
  return enumerator.empty() || (device.id.size() > enumerator.size() && device.id[enumerator.size()] == L'\\' &&
                                SameInstanceId(std::wstring_view(device.id).substr(0, enumerator.size()), enumerator));
}

std::optional<PropertyValue> ReadProperty(const SimDevice& device, DWORD property) {
  auto text = [](const std::wstring& value) -> std::optional<PropertyValue> {
    if (value.empty()) return std::nullopt;
    return PropertyValue{REG_SZ, value + L'\0'};
  };
  switch (property) {
    case SPDRP_DEVICEDESC:
      return text(device.description);
    case SPDRP_FRIENDLYNAME:
      return text(device.friendly_name);
    case SPDRP_COMPATIBLEIDS: {
      if (device.compatible_ids.empty()) return std::nullopt;
      PropertyValue value{REG_MULTI_SZ, {}};
      for (const std::wstring& id : device.compatible_ids) value.data.append(id).push_back(L'\0');
      value.data.push_back(L'\0');
      return value;
    }
    default:
      return std::nullopt;
  }
}

}  // namespace veltra
