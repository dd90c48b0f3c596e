// Where the pen of the built-in digitizer is, read at one place. The
// production program asks Windows for the pen's reports
// (dist/default_pen_presence.cpp), the simulated program polls its device
// file (sim/default_pen_presence.cpp); each program links one of them. Both
// report through the window's own messages, so the status window hears the
// pen the same way in both.
#pragma once

#include <windows.h>

#include <optional>

namespace veltra {

// The window timer the simulated program polls its file with: no other
// timer of the status window may use this number.
inline constexpr UINT_PTR kPenPollTimer = 211;

// Starts (`on`) or stops the reports of the pen to `window`. False where
// the machine gives no way to tell: the following then does nothing.
bool WatchPen(HWND window, bool on);

// Whether a message of the window reports the pen in range (true) or out
// of range (false); nothing when it says nothing of the pen. It never takes
// the message: the window passes it on as before.
std::optional<bool> PenReported(UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace veltra
