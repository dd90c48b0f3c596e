// Tells the taskbar the current tablet mode so that it redraws its
// notification area after the touch panel was switched.
#pragma once

#include "device/os_version.h"

namespace veltra {

// The taskbar's own message for "tablet mode is now wParam".
inline constexpr unsigned kTaskbarTabletModeMessage = 0x5C7;

// 1 when the taskbar was told (or, before Windows 10, nothing was needed);
// 0 when there is no taskbar or the mode cannot be read.
int RefreshTaskbarTabletMode(OsVersion version);

}  // namespace veltra
