// Icons taken from a program, library or icon file by their position in
// it. The platform answers such a request with icons, with the file's icon
// count (for index -1) and with a "not an icon file" marker (1) alike;
// these keep the three apart, so that no count or marker is ever owned or
// shown as an icon.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/unique_handle.h"

namespace veltra::ui {

// The icon at `index` of `file`; empty when there is none (a negative
// index included).
UniqueHicon ExtractFileIcon(HINSTANCE instance, const std::wstring& file, std::int32_t index);

// How many icons `file` holds; 0 for a file without any or of another kind.
std::uint32_t FileIconCount(HINSTANCE instance, const std::wstring& file);

}  // namespace veltra::ui
