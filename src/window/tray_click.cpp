// The notification icon's clicks as a small state machine, so a single
// click can wait for a possible double click.
#include "window/tray_click.h"

namespace veltra {
namespace {

TrayClickResult Act(TrayActionKind action, unsigned stop_timer = 0) {
  TrayClickResult result;
  result.act = true;
  result.action = action;
  result.stop_timer = stop_timer;
  return result;
}

}  // namespace

TrayActionKind SingleClickAction(bool lbutton_mode) {
  return lbutton_mode ? TrayActionKind::ToggleTouch : TrayActionKind::ShowHideWindow;
}

TrayActionKind DoubleClickAction(bool lbutton_mode) {
  return lbutton_mode ? TrayActionKind::ShowHideWindow : TrayActionKind::ToggleTouch;
}

TrayClickResult TrayClickMachine::OnMouse(unsigned mouse_message, bool lbutton_mode) {
  TrayClickResult result;
  switch (mouse_message) {
    case kLButtonDown:
    case kRButtonDown:
      // One machine serves both buttons: a press while anything is pending
      // is ignored.
      if (state_ != 0) break;
      state_ = 1;
      result.start_timer = mouse_message == kLButtonDown ? kTimerLeftClick : kTimerRightClick;
      break;
    case kLButtonUp:
    case kRButtonUp: {
      if (state_ == 1) {
        state_ = 2;
        break;
      }
      const bool long_press = state_ == 3;
      state_ = 0;
      if (long_press) {
        return Act(mouse_message == kLButtonUp ? SingleClickAction(lbutton_mode) : TrayActionKind::ShowTrayMenu);
      }
      break;
    }
    case kLButtonDblClk:
      state_ = 0;
      return Act(DoubleClickAction(lbutton_mode), kTimerLeftClick);
    case kRButtonDblClk:
      state_ = 0;
      result.stop_timer = kTimerRightClick;
      break;
    default:
      break;
  }
  return result;
}

TrayClickResult TrayClickMachine::OnTimer(unsigned timer_id, bool lbutton_mode) {
  TrayClickResult result;
  if (timer_id != kTimerLeftClick && timer_id != kTimerRightClick) return result;
  result.stop_timer = timer_id;
  if (state_ == 2) {
    state_ = 0;
    return Act(timer_id == kTimerLeftClick ? SingleClickAction(lbutton_mode) : TrayActionKind::ShowTrayMenu, timer_id);
  }
  if (state_ == 1) state_ = 3;
  return result;
}

}  // namespace veltra
