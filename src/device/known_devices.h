// "known_device_list.txt": device instance paths of touch panels known to
// work, shipped beside the program, and the start-up's choice of the target
// device among the listed ones. Portable.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/device_selection.h"

namespace veltra {

inline constexpr wchar_t kKnownDeviceListName[] = L"known_device_list.txt";

// Reads the list's bytes as a file opened in text mode is read with a
// 520-character buffer: at most 519 characters at a time, so a longer line
// comes in pieces, each taken as a line. Each line loses everything from
// its first '#', is upper-cased and trimmed; lines left empty are skipped.
// `on_line` gets the others in file order until it answers true.
void ReadKnownDeviceList(std::string_view file, const std::function<bool(const std::wstring&)>& on_line);

enum class TargetSource { Configured, KnownList, Selection };

// The start-up's choice: the configured path when a listed device has it
// (the known list is then not opened at all); else the first line of the
// known list, in file order, that names a listed device, which becomes the
// path; else the selection dialog must decide. `read_known_list` gives
// the file's bytes, or nothing when it cannot be read.
TargetSource ResolveTargetDevice(std::wstring& path, const DeviceList& listed,
                                 const std::function<std::optional<std::string>()>& read_known_list);

}  // namespace veltra
