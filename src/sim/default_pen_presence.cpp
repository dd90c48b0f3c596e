// The simulated program reads the pen from its device file, a few times a
// second, as nothing sends it a message when a test moves the pen.
#include "device/pen_presence.h"

#include "sim/sim_device_tree.h"

namespace veltra {

bool WatchPen(HWND window, bool on) {
  if (!on) return ::KillTimer(window, kPenPollTimer) != FALSE;
  return ::SetTimer(window, kPenPollTimer, 250, nullptr) != 0;
}

// [system] pen_in_range: 1 near, 0 away; absent (or anything else), the
// machine has no pen.
std::optional<bool> PenReported(UINT message, WPARAM wparam, LPARAM) {
  if (message != WM_TIMER || wparam != kPenPollTimer) return std::nullopt;
  const auto value = ReadSimSystemValue(L"pen_in_range");
  if (!value || (*value != 0 && *value != 1)) return std::nullopt;
  return *value == 1;
}

}  // namespace veltra
