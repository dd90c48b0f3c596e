// Reading and writing the simulated device tree and its log.
#include "sim/sim_device_tree.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "base/profile_section.h"
#include "platform/paths.h"
#include "platform/profile_file.h"
#include "platform/unique_handle.h"

namespace veltra {
namespace {

constexpr wchar_t kIniName[] = L"sim_devices.ini";
constexpr wchar_t kLogName[] = L"sim_devices.log";
constexpr int kLongestSwitchDelayMs = 60000;
// The section that describes the machine rather than a device.
constexpr wchar_t kSystemSection[] = L"system";

std::wstring ExecutablePath() {
  std::wstring path = ModuleFileName(nullptr);
  if (path.empty()) throw std::system_error(ERROR_INSUFFICIENT_BUFFER, std::system_category());
  return path;
}

// Section names come back as a list of strings ended by an empty one; a
// result of size - 2 means the list was cut short.
std::vector<std::wstring> SectionNames(const std::wstring& ini) {
  std::vector<wchar_t> buffer(4096);
  DWORD length = 0;
  for (;;) {
    length = ::GetPrivateProfileSectionNamesW(buffer.data(), static_cast<DWORD>(buffer.size()), ini.c_str());
    if (length + 2 < buffer.size()) break;
    buffer.resize(buffer.size() * 2);
  }
  std::vector<std::wstring> names;
  for (const wchar_t* name = buffer.data(); name < buffer.data() + length && *name != L'\0';) {
    const std::wstring section(name);
    name += section.size() + 1;
    if (!SameInstanceId(section, kSystemSection)) names.push_back(section);
  }
  return names;
}

// The profile functions return a value verbatim, so a hand-written
// "HID   ; comment" would not read as HID; drop the comment and the blanks.
std::wstring WithoutComment(const std::wstring& value) {
  return std::wstring(base::TrimmedBlanks(std::wstring_view(value).substr(0, value.find(L';'))));
}

// "A; B;;C " gives A, B and C: blanks around an item and empty items are
// slips of a hand-written file, not identifiers.
std::vector<std::wstring> SplitList(const std::wstring& value) {
  std::vector<std::wstring> items;
  std::size_t start = 0;
  while (start <= value.size()) {
    std::size_t end = value.find(L';', start);
    if (end == std::wstring::npos) end = value.size();
    const std::wstring_view item = base::TrimmedBlanks(std::wstring_view(value).substr(start, end - start));
    if (!item.empty()) items.emplace_back(item);
    start = end + 1;
  }
  return items;
}

std::string ToUtf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int size =
      ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string result(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size, nullptr,
                        nullptr);
  return result;
}

// The profile functions (and, without a long-path manifest, file opening)
// stop at MAX_PATH characters. A deeper folder is named by its short form,
// which reaches the same files; volumes without short names keep the long
// one, the best there is.
std::wstring ReachableFolder() {
  std::wstring folder = SimDeviceFolder();
  constexpr std::size_t kLongestName = std::max(std::size(kIniName), std::size(kLogName));
  if (folder.size() + kLongestName < MAX_PATH) return folder;
  const std::wstring short_form = ShortPathName(folder);
  return short_form.empty() ? folder : short_form;
}

}  // namespace

bool SimDevice::IsHidClass() const { return SameInstanceId(setup_class, L"HID"); }

std::wstring SimDeviceFolder() {
  std::wstring path = ExecutablePath();
  const auto separator = path.find_last_of(L"\\/");
  path.erase(separator == std::wstring::npos ? 0 : separator);
  return path;
}

std::wstring SimDeviceIniPath() { return ReachableFolder() + L'\\' + kIniName; }

std::wstring SimDeviceLogPath() { return ReachableFolder() + L'\\' + kLogName; }

bool SameInstanceId(std::wstring_view a, std::wstring_view b) {
  return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

namespace {

// As the platform's integer read, any number but 0 is true.
bool Flag(const base::ProfileSection& values, std::wstring_view name, bool fallback) {
  return values.Int(name, fallback ? 1 : 0) != 0;
}

// Nothing when the section went between the listing and this read: a file
// rewritten in place by another program is empty for a moment, and its
// keys would all take their defaults ("started") for the device's answer.
// A section without keys that is still listed is an ordinary device.
std::optional<SimDevice> ReadDevice(const std::wstring& ini, const std::wstring& section) {
  // One read of the section instead of one per key: every simulated call
  // reads a device, and each read opens the file again.
  const base::ProfileSection values = ReadProfileSection(ini, section);
  if (values.empty()) {
    const std::vector<std::wstring> listed = SectionNames(ini);
    if (std::find(listed.begin(), listed.end(), section) == listed.end()) return std::nullopt;
  }
  SimDevice device;
  device.id = section;
  device.description = values.String(L"description", L"");
  device.friendly_name = values.String(L"friendly_name", L"");
  device.compatible_ids = SplitList(values.String(L"compatible_ids", L""));
  device.setup_class = WithoutComment(values.String(L"setup_class", L""));
  device.hid_interface = Flag(values, L"hid_interface", device.hid_interface);
  device.disableable = Flag(values, L"disableable", device.disableable);
  device.started = Flag(values, L"started", device.started);
  device.needs_restart = Flag(values, L"needs_restart", device.needs_restart);
  device.status_readable = Flag(values, L"status_readable", device.status_readable);
  device.refuse_change = Flag(values, L"refuse_change", device.refuse_change);
  device.switch_delay_ms = std::clamp(values.Int(L"switch_delay_ms", 0), 0, kLongestSwitchDelayMs);
  return device;
}

}  // namespace

std::optional<SimDevice> FindSimDevice(std::wstring_view id) {
  const std::wstring ini = SimDeviceIniPath();
  for (const std::wstring& section : SectionNames(ini)) {
    if (SameInstanceId(section, id)) return ReadDevice(ini, section);
  }
  return std::nullopt;
}

std::vector<SimDevice> ReadSimDevices() {
  const std::wstring ini = SimDeviceIniPath();
  std::vector<SimDevice> devices;
  for (const std::wstring& section : SectionNames(ini)) {
    if (auto device = ReadDevice(ini, section)) devices.push_back(*std::move(device));
  }
  return devices;
}

std::optional<std::int32_t> ReadSimSlateMode() { return ReadSimSystemValue(L"convertible_slate_mode"); }

std::optional<std::int32_t> ReadSimSystemValue(const wchar_t* key) {
  const std::wstring text = WithoutComment(ReadProfileSection(SimDeviceIniPath(), kSystemSection).String(key, L""));
  if (text.empty()) return std::nullopt;
  wchar_t* end = nullptr;
  errno = 0;
  const long value = std::wcstol(text.c_str(), &end, 10);
  // long is 32 bits on Windows, so ERANGE covers every value out of range.
  if (*end != L'\0' || errno == ERANGE) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

bool WriteSimDeviceStarted(const std::wstring& id, bool started) {
  const std::wstring ini = SimDeviceIniPath();
  return ::WritePrivateProfileStringW(id.c_str(), L"started", started ? L"1" : L"0", ini.c_str()) != FALSE;
}

bool AppendSimDeviceLog(std::wstring_view line) {
  const std::string text = ToUtf8(line) + "\r\n";
  UniqueStdioFile file(::_wfopen(SimDeviceLogPath().c_str(), L"ab"));
  if (!file) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
  // Buffered bytes reach the file only on close, so its result counts too.
  return std::fclose(file.release()) == 0 && written;
}

}  // namespace veltra
