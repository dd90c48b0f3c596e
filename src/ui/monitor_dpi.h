// The DPI the program draws at, per window, for a program aware of each
// monitor's own DPI. The functions that tell it came with Windows 10 1607
// and are looked up at run time; before it, every window is drawn at the
// system DPI, which these then answer.
#pragma once

#include <windows.h>

namespace veltra::ui {

// The system DPI: the primary monitor's when the user logged on, for the
// life of the process. The settings' sizes and font heights are meant at it.
UINT SystemDpi();

// The DPI of the monitor `window` is drawn for; the system DPI where the
// platform cannot tell, or for no window.
UINT WindowDpi(HWND window);

// The taskbar's DPI, at which the shell shows the notification icons.
UINT TaskbarDpi();

// The size of a small icon (the notification area's) at `dpi`.
SIZE SmallIconSize(UINT dpi);

}  // namespace veltra::ui
