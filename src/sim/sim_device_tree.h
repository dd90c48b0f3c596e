// The device tree of the simulated build: sim_devices.ini beside the
// executable, one section per device named by its instance identifier, and
// sim_devices.log beside it, a line for every change and status read made
// through the simulated installer. Other processes (test drivers) edit and
// read both files while the program runs, so nothing here is cached: every
// call goes back to the files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltra {

// One section of the device file. Keys missing from the section take the
// values of an ordinary, working, enabled device.
struct SimDevice {
  std::wstring id{};  // the section name as written in the file
  std::wstring description{};
  std::wstring friendly_name{};
  // Its compatible identifiers in order; the file holds them `;`-separated.
  std::vector<std::wstring> compatible_ids{};
  std::wstring setup_class{};  // "HID" or any other word
  bool hid_interface = false;
  bool disableable = true;
  bool started = true;
  bool needs_restart = false;
  bool status_readable = true;
  bool refuse_change = false;
  // How long a change of `started` takes, as a real panel takes about a
  // second to switch: 0 to a minute (other values are cut to that range).
  int switch_delay_ms = 0;

  bool IsHidClass() const;
};

// The directory of the running executable, without a trailing separator.
// Throws std::system_error when the module path cannot be read.
std::wstring SimDeviceFolder();
// The two files in that folder, named so the profile functions can open them
// (through the folder's short form when the long one is too deep).
std::wstring SimDeviceIniPath();
std::wstring SimDeviceLogPath();

// Instance identifiers compare without regard to case, as the platform's do.
bool SameInstanceId(std::wstring_view a, std::wstring_view b);

// The section matching `id`, read afresh; nothing when there is none (or no
// file at all, which is an empty tree).
std::optional<SimDevice> FindSimDevice(std::wstring_view id);

// Every section, in file order (an empty list when there is no file).
std::vector<SimDevice> ReadSimDevices();

// The machine's posture: `convertible_slate_mode` of the file's [system]
// section, which is no device. Nothing when the key is missing, empty or
// not a whole number: the machine then has no posture indicator.
std::optional<std::int32_t> ReadSimSlateMode();

// A whole number of the [system] section; nothing when the key is missing,
// empty or not a whole number.
std::optional<std::int32_t> ReadSimSystemValue(const wchar_t* key);

// The exit code of a simulated program that ended itself at the step
// `end_at_step` of the [system] section names (see StepDone).
inline constexpr unsigned kEndedAtStepExitCode = 86;

// Writes started=1 or 0 into the section named `id` (as written in the file).
// False with the last error set when the file could not be written.
bool WriteSimDeviceStarted(const std::wstring& id, bool started);

// Appends `line` and CR LF to the log as UTF-8, opening and closing the file
// so that a reader in another process sees each line complete.
bool AppendSimDeviceLog(std::wstring_view line);

}  // namespace veltra
