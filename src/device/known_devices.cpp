// Known device list and the start-up's choice of target.
#include "device/known_devices.h"

#include <algorithm>

#include "base/ascii.h"
#include "base/list_file.h"

namespace veltra {
namespace {

bool Listed(const DeviceList& listed, const std::wstring& path) {
  return std::any_of(listed.begin(), listed.end(), [&](const HidDevice& device) { return device.id == path; });
}

}  // namespace

void ReadKnownDeviceList(std::string_view file, const std::function<bool(const std::wstring&)>& on_line) {
  base::ReadListEntries(file, [&](std::string_view entry) {
    // The file is 8-bit text: each byte stands for itself.
    std::wstring line;
    for (const char c : entry) line += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return on_line(base::UpperCaseAscii(line));
  });
}

TargetSource ResolveTargetDevice(std::wstring& path, const DeviceList& listed,
                                 const std::function<std::optional<std::string>()>& read_known_list) {
  if (Listed(listed, path)) return TargetSource::Configured;
  const std::optional<std::string> file = read_known_list();
  if (!file) return TargetSource::Selection;
  bool found = false;
  ReadKnownDeviceList(*file, [&](const std::wstring& line) {
    if (!Listed(listed, line)) return false;
    path = line;
    found = true;
    return true;
  });
  return found ? TargetSource::KnownList : TargetSource::Selection;
}

}  // namespace veltra
