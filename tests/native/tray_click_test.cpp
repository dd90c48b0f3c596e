// Click sequences on the notification icon and what they cause.
#include "window/tray_click.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

namespace veltra {
namespace {

struct Timer {
  unsigned id;
};
using Event = std::variant<unsigned, Timer>;  // a mouse message or a timer tick

// Runs the events and records the actions and the timers left running.
struct Outcome {
  std::vector<TrayActionKind> actions;
  std::vector<unsigned> running;
  std::int32_t final_state;
};

Outcome Play(const std::vector<Event>& events, bool lbutton_mode) {
  TrayClickMachine machine;
  Outcome run;
  for (const Event& event : events) {
    const TrayClickResult r = std::holds_alternative<unsigned>(event)
                                  ? machine.OnMouse(std::get<unsigned>(event), lbutton_mode)
                                  : machine.OnTimer(std::get<Timer>(event).id, lbutton_mode);
    if (r.stop_timer != 0) std::erase(run.running, r.stop_timer);
    if (r.start_timer != 0) run.running.push_back(r.start_timer);
    if (r.act) run.actions.push_back(r.action);
  }
  run.final_state = machine.state();
  return run;
}

using A = std::vector<TrayActionKind>;
constexpr auto kShowHide = TrayActionKind::ShowHideWindow;
constexpr auto kToggle = TrayActionKind::ToggleTouch;
constexpr auto kMenu = TrayActionKind::ShowTrayMenu;
const Timer kLeftTick{kTimerLeftClick};
const Timer kRightTick{kTimerRightClick};

TEST(TrayClick, SingleClickActsOnlyAfterTheDoubleClickTime) {
  Outcome run = Play({kLButtonDown, kLButtonUp}, false);
  EXPECT_TRUE(run.actions.empty());
  EXPECT_EQ(run.final_state, 2);
  EXPECT_EQ(run.running, std::vector<unsigned>{kTimerLeftClick});

  run = Play({kLButtonDown, kLButtonUp, kLeftTick}, false);
  EXPECT_EQ(run.actions, A{kShowHide});
  EXPECT_TRUE(run.running.empty());
  EXPECT_EQ(run.final_state, 0);
  EXPECT_EQ(Play({kLButtonDown, kLButtonUp, kLeftTick}, true).actions, A{kToggle});
}

TEST(TrayClick, DoubleClickActsAtOnceAndStopsTheTimer) {
  // The shell reports down, up, double-click, up.
  Outcome run = Play({kLButtonDown, kLButtonUp, kLButtonDblClk, kLButtonUp}, false);
  EXPECT_EQ(run.actions, A{kToggle});
  EXPECT_TRUE(run.running.empty());
  EXPECT_EQ(run.final_state, 0);
  EXPECT_EQ(Play({kLButtonDown, kLButtonUp, kLButtonDblClk, kLButtonUp}, true).actions, A{kShowHide});
}

TEST(TrayClick, LongPressActsOnReleaseNotAtTheTimer) {
  Outcome run = Play({kLButtonDown, kLeftTick}, false);
  EXPECT_TRUE(run.actions.empty());
  EXPECT_EQ(run.final_state, 3);
  run = Play({kLButtonDown, kLeftTick, kLButtonUp}, false);
  EXPECT_EQ(run.actions, A{kShowHide});
  EXPECT_EQ(run.final_state, 0);
  EXPECT_EQ(Play({kRButtonDown, kRightTick, kRButtonUp}, false).actions, A{kMenu});
}

TEST(TrayClick, RightClickOpensTheMenuAfterTheTimeButADoubleClickDoesNot) {
  EXPECT_EQ(Play({kRButtonDown, kRButtonUp, kRightTick}, false).actions, A{kMenu});
  EXPECT_EQ(Play({kRButtonDown, kRButtonUp, kRightTick}, true).actions, A{kMenu});
  Outcome run = Play({kRButtonDown, kRButtonUp, kRButtonDblClk, kRButtonUp}, false);
  EXPECT_TRUE(run.actions.empty());
  EXPECT_TRUE(run.running.empty());
  EXPECT_EQ(run.final_state, 0);
}

TEST(TrayClick, APressOfTheOtherButtonWhileAClickIsPendingIsIgnored) {
  Outcome run = Play({kLButtonDown, kLButtonUp, kRButtonDown, kLeftTick}, false);
  EXPECT_EQ(run.actions, A{kShowHide});
  EXPECT_TRUE(run.running.empty());
  run = Play({kLButtonDown, kRButtonDown, kLeftTick, kLButtonUp}, true);
  EXPECT_EQ(run.actions, A{kToggle});
  // The machine is shared, so the ignored button's release still ends the
  // pending click: neither the click nor a menu follows.
  run = Play({kLButtonDown, kLButtonUp, kRButtonDown, kRButtonUp, kLeftTick}, false);
  EXPECT_TRUE(run.actions.empty());
  EXPECT_EQ(run.final_state, 0);
}

TEST(TrayClick, OtherMessagesAndStrayTicksChangeNothing) {
  Outcome run = Play({0x200u, 0x207u, 0x20Au, kRightTick, Timer{206}, kLButtonUp}, false);
  EXPECT_TRUE(run.actions.empty());
  EXPECT_EQ(run.final_state, 0);
}

}  // namespace
}  // namespace veltra
