// Known device list and the start-up's choice of target.
#include "device/known_devices.h"

#include <algorithm>
#include <iterator>

#include "core/program_paths.h"
#include "ui/list_file.h"

namespace veltra {
namespace {

bool Listed(const std::vector<std::wstring>& listed, const std::wstring& path) {
  return std::find(listed.begin(), listed.end(), path) != listed.end();
}

}  // namespace

void ReadKnownDeviceList(std::istream& in, const std::function<bool(const std::wstring&)>& on_line) {
  const std::string file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  ui::ReadListEntries(file, [&](std::string_view entry) {
    // The file is 8-bit text: each byte stands for itself.
    std::wstring line;
    for (const char c : entry) line += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return on_line(UpperCaseAscii(line));
  });
}

TargetSource ResolveTargetDevice(std::wstring& path, const std::vector<std::wstring>& listed,
                                 const std::function<std::unique_ptr<std::istream>()>& open_known_list) {
  if (Listed(listed, path)) return TargetSource::Configured;
  const std::unique_ptr<std::istream> file = open_known_list();
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
