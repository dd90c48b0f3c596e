// The desktop wallpaper for each screen orientation.
#pragma once

#include <cstdint>
#include <string>

#include "core/settings.h"

namespace veltra {

// Sets `path` as the wallpaper with `style` (0 centre, 1 tile, 2 stretch,
// handed to the shell unchanged) through the shell's active-desktop object;
// where that object is missing or refuses, through the system parameter
// with the same file and style. 1 only when the wallpaper is really set
// (read back), 0 otherwise; a path that names no file changes nothing.
int SetDesktopWallpaper(const std::wstring& path, std::int32_t style);

// The wallpaper of the current orientation (`portrait`), if that side's is
// enabled; nothing otherwise.
void ApplyOrientationWallpaper(const Settings& settings);

}  // namespace veltra
