// The click machine of the notification icon: tells single clicks, double
// clicks and long presses of either button apart with one timer per button.
// Portable; the status window feeds it mouse messages and timer ticks and
// carries out what it answers.
#pragma once

#include <cstdint>

namespace veltra {

inline constexpr unsigned kTimerLeftClick = 204;
inline constexpr unsigned kTimerRightClick = 205;

// The mouse messages the notification area reports.
inline constexpr unsigned kLButtonDown = 0x201, kLButtonUp = 0x202, kLButtonDblClk = 0x203;
inline constexpr unsigned kRButtonDown = 0x204, kRButtonUp = 0x205, kRButtonDblClk = 0x206;

enum class TrayActionKind : std::uint8_t { ShowHideWindow = 0, ToggleTouch = 1, ShowTrayMenu = 2 };

struct TrayClickResult {
  unsigned start_timer = 0;  // timer to start (0: none), for the double-click time
  unsigned stop_timer = 0;   // timer to stop first (0: none)
  bool act = false;
  TrayActionKind action = TrayActionKind::ShowHideWindow;
};

class TrayClickMachine {
 public:
  // 0 idle, 1 pressed with its timer running, 2 released before the timer
  // (a click is pending), 3 the timer ran out while pressed (long press).
  std::int32_t state() const { return state_; }

  TrayClickResult OnMouse(unsigned mouse_message, bool lbutton_mode);
  TrayClickResult OnTimer(unsigned timer_id, bool lbutton_mode);

 private:
  std::int32_t state_ = 0;
};

// What a single or a double left click does under the mouse setting.
TrayActionKind SingleClickAction(bool lbutton_mode);
TrayActionKind DoubleClickAction(bool lbutton_mode);

}  // namespace veltra
