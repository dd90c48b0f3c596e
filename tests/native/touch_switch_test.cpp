// The panel's one door: its rules step by step, then thousands of random
// sequences of every event, carried out as the status window's parts carry
// them out, checked against what a user must always be able to rely on.
#include "window/touch_switch.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "device/panel_screen_rules.h"
#include "device/pen_rules.h"
#include "device/posture_rules.h"
#include "window/cleaning_run.h"

namespace veltra {
namespace {

using D = DriveOrder;

TEST(TouchSwitch, HoldsKeepThePanelOffWithoutTouchingTheChoiceAndAHandSwitchEndsThem) {
  std::uint8_t touch_status = 1;
  TouchSwitch door(touch_status);
  EXPECT_EQ(door.Start(), D{true});
  EXPECT_EQ(door.Choose(1, Asker::Automatic), D{});                // unchanged: no drive
  EXPECT_EQ(door.SetHold(Hold::Cleaning, true), D{false});
  EXPECT_EQ(door.SetHold(Hold::Screen, true), D{});                // already off
  EXPECT_EQ(door.Choose(0, Asker::Automatic), D{});                // waits behind the holds
  EXPECT_EQ(door.Toggle(Asker::Automatic), D{});
  EXPECT_EQ(door.Toggle(Asker::Automatic), D{});                   // two toggles cancel out
  EXPECT_EQ(door.SetHold(Hold::Cleaning, false), D{});             // the screen still holds
  EXPECT_EQ(touch_status, 0);
  EXPECT_EQ(door.Choose(1, Asker::Automatic), D{});                // the last request wins...
  EXPECT_EQ(door.SetHold(Hold::Screen, false), D{true});           // ...when the last hold ends
  EXPECT_EQ(door.SetHold(Hold::Screen, true), D{false});
  EXPECT_EQ(door.Toggle(Asker::Hand), D{true});                    // what the user sees, turned
  EXPECT_FALSE(door.held());
  EXPECT_EQ(door.SetHold(Hold::Screen, false), D{});               // the screen's return: already on
  EXPECT_EQ(touch_status, 1);

  // The device seen off behind the door's back is the user's choice; a
  // change of settings drives a device found elsewhere back.
  EXPECT_EQ(door.Observed(std::nullopt), D{});                     // unreadable: no news
  EXPECT_EQ(touch_status, 1);
  EXPECT_EQ(door.Observed(false), D{});
  EXPECT_EQ(touch_status, 0);
  EXPECT_EQ(door.Reassert(true), D{false});
  EXPECT_EQ(door.Reassert(false), D{});
  EXPECT_EQ(door.Reassert(std::nullopt), D{false});                // unreadable: driven anyway

  // Nothing passes a selection; it ends with the device as the user left it.
  door.BeginSelection();
  EXPECT_EQ(door.Choose(1, Asker::Hand), D{});
  EXPECT_EQ(door.SetHold(Hold::Cleaning, true), D{});
  EXPECT_EQ(door.EndSelection(true), D{false});
  EXPECT_EQ(touch_status, 0);
  door.Exit();
  EXPECT_EQ(door.Choose(1, Asker::Hand), D{});
  EXPECT_EQ(door.SetHold(Hold::Cleaning, false), D{});
  EXPECT_FALSE(door.held());
  EXPECT_EQ(touch_status, 0);
}

// The events a running program meets, as its parts carry them out.
enum Event : int {
  kHandOn, kHandOff, kHandToggle, kAutoOn, kAutoOff, kAutoToggle, kCleanStart, kTime, kCleanEnd,
  kScreenAway, kScreenBack, kFollowDisplay, kPosture, kSelectionOpen, kSelectionClosed, kOutsideChange,
  kResume, kSettingsChanged, kPenNear, kPenAway, kPenReleased, kFollowPen, kEventCount
};
const char* const kEventNames[] = {"hand on", "hand off", "hand toggle", "automatic on", "automatic off",
                                   "automatic toggle", "cleaning start", "time passes", "cleaning end/Escape",
                                   "screen away", "screen back", "follow_display toggled", "posture",
                                   "selection open", "selection closed", "device changed outside", "resume",
                                   "settings changed", "pen near", "pen away", "pen's release time",
                                   "follow_pen toggled"};
static_assert(std::size(kEventNames) == kEventCount);

struct Step {
  int event;
  int value;  // a random number the event may use (a time, a posture, a device state)
};

// One run of the program over `steps`, ended by the exit. The checks are
// the user's: they know what they chose, and what holds the panel off.
class World {
 public:
  explicit World(std::uint8_t start_choice) : touch_status_(start_choice), chosen_(start_choice) {
    device_ = *door_.Start();
    screen_.Start(true, follow_display_);
    posture_.Start(true, 1, true);
  }

  // The first fault found, in words; empty when every check held.
  std::string Run(const std::vector<Step>& steps) {
    for (std::size_t i = 0; i < steps.size(); ++i) {
      Apply(steps[i]);
      if (!fault_.empty()) return "after step " + std::to_string(i) + ": " + fault_;
      Check();
      if (!fault_.empty()) return "after step " + std::to_string(i) + ": " + fault_;
    }
    door_.Exit();
    device_ = true;  // the exit always enables
    if (touch_status_ != chosen_) return "the exit saves " + std::to_string(touch_status_) + ", not the choice";
    return "";
  }

 private:
  void Carry(DriveOrder order) {
    if (!order) return;
    if (*order == device_) fault_ = "the device driven to the state it is in";
    device_ = *order;
  }
  void Carry(PenFollower::Answer answer) {
    if (answer.timer) pen_timer_ = *answer.timer;
    if (answer.hold) Carry(door_.SetHold(Hold::Pen, *answer.hold));
  }
  // The release time, a switch by hand or the device set outside: over until the next approach.
  void PenHoldEnds() { pen_held_ = pen_lifted_ = false; }
  // What the cleaning part does after every switch: a hand switch ended it.
  void AfterSwitch() {
    if (cleaning_.running() && !door_.holding(Hold::Cleaning)) cleaning_.Stop();
    if (!door_.holding(Hold::Screen)) screen_held_ = false;
  }
  void Choose(std::uint8_t state, Asker asker) {
    if (door_.open()) chosen_ = state;
    if (door_.open() && asker == Asker::Hand) {
      screen_held_ = false;
      PenHoldEnds();
    }
    Carry(door_.Choose(state, asker));
  }

  void Apply(const Step& step) {
    const int v = step.value;
    switch (step.event) {
      case kHandOn: Choose(1, Asker::Hand); break;
      case kHandOff: Choose(0, Asker::Hand); break;
      case kHandToggle: Choose(door_.wanted() ? 0 : 1, Asker::Hand); break;
      case kAutoOn: case kResume: Choose(1, Asker::Automatic); break;
      case kAutoOff: Choose(0, Asker::Automatic); break;
      case kAutoToggle:
        if (door_.open()) chosen_ = chosen_ != 0 ? 0 : 1;
        Carry(door_.Toggle(Asker::Automatic));
        break;
      case kCleanStart:
        if (!door_.open()) break;  // the menu item does nothing then
        cleaning_.Start(now_, 1 + v % 4);
        Carry(door_.SetHold(Hold::Cleaning, true));
        break;
      case kTime:
        now_ += static_cast<std::uint64_t>(v % 3000);
        if (door_.open() && cleaning_.Expired(now_)) Carry(door_.SetHold(Hold::Cleaning, false));
        break;
      case kCleanEnd:
        if (!cleaning_.running()) break;
        cleaning_.Stop();
        Carry(door_.SetHold(Hold::Cleaning, false));
        break;
      case kScreenAway: case kScreenBack: {
        const bool active = step.event == kScreenBack;
        const bool was = screen_active_;
        screen_active_ = active;
        if (const auto hold = screen_.Reported(active, follow_display_)) Carry(door_.SetHold(Hold::Screen, *hold));
        if (was != active) screen_held_ = !active && follow_display_;
        break;
      }
      case kFollowDisplay:
        follow_display_ = !follow_display_;
        if (!follow_display_) {
          screen_held_ = false;
          Carry(door_.SetHold(Hold::Screen, false));
        }
        break;
      case kPosture:
        if (const auto state = posture_.Announced(v % 2, true)) Choose(*state, Asker::Automatic);
        break;
      case kSelectionOpen:
        if (!door_.open()) break;
        door_.BeginSelection();
        device_ = true;  // the selection lets the user judge a working panel
        break;
      case kSelectionClosed:
        if (door_.open()) break;
        Carry(door_.EndSelection(device_));
        break;
      case kOutsideChange: {
        // Now and then a notice comes while the state cannot be read (the
        // device busy): no news, and the panel stays as it is.
        if (v % 5 == 0) {
          Carry(door_.Observed(std::nullopt));
          break;
        }
        device_ = v % 2 != 0;
        if (door_.open() && device_ != door_.wanted()) {
          chosen_ = device_ ? 1 : 0;
          screen_held_ = false;
          PenHoldEnds();
        }
        Carry(door_.Observed(device_));
        break;
      }
      case kSettingsChanged: Carry(door_.Reassert(device_)); break;
      // The pen's reports come only while it is followed: an approach holds the panel off until
      // the release time after the last leave, a return before then keeps it so.
      case kPenNear: case kPenAway: {
        const bool in_range = step.event == kPenNear;
        if (!follow_pen_) break;
        if (in_range != pen_near_) pen_lifted_ = !in_range && pen_held_;
        if (in_range && !pen_near_) pen_held_ = true;
        pen_near_ = in_range;
        Carry(pen_.Reported(in_range, true, door_.holding(Hold::Pen)));
        break;
      }
      case kPenReleased:  // the window's timer, while it runs
        if (!pen_timer_) break;
        if (pen_lifted_) PenHoldEnds();
        Carry(pen_.Elapsed(door_.holding(Hold::Pen)));
        break;
      case kFollowPen:  // turned on, the first report of the pen near is an approach
        follow_pen_ = !follow_pen_;
        pen_near_ = false;
        if (follow_pen_) break;
        PenHoldEnds();
        Carry(pen_.Off());
        break;
      default: break;
    }
    AfterSwitch();
  }

  void Check() {
    if (touch_status_ != chosen_) {
      fault_ = "the record holds " + std::to_string(touch_status_) + " but the user chose " + std::to_string(chosen_);
    } else if (!door_.open()) {
      // A selection has the device to itself.
    } else if ((cleaning_.running() || screen_held_ || pen_held_) && device_) {
      fault_ = "the panel is on while something holds it off";
    } else if (!cleaning_.running() && !screen_held_ && !pen_held_ && device_ != (chosen_ != 0)) {
      fault_ = "nothing holds the panel, yet it is not as the user chose";
    }
  }

  std::uint8_t touch_status_;
  TouchSwitch door_{touch_status_};
  CleaningRun cleaning_;
  ScreenFollower screen_;
  PostureFollower posture_;
  PenFollower pen_;
  std::uint64_t now_ = 0;
  bool device_ = true;
  bool screen_active_ = true;
  bool follow_display_ = true;
  std::uint8_t chosen_;       // what the user last chose, as the user knows it
  bool screen_held_ = false;  // the screen went away while followed, and nothing ended that since
  bool follow_pen_ = true;
  bool pen_near_ = false;    // the last report the window heard
  bool pen_held_ = false;    // the pen came while followed, and nothing ended that since
  bool pen_lifted_ = false;  // ... and it has left, the release time not yet over
  bool pen_timer_ = false;   // the window's release timer runs
  std::string fault_;
};

std::string Describe(const std::vector<Step>& steps) {
  std::ostringstream text;
  for (const Step& s : steps) text << "  " << kEventNames[s.event] << " (" << s.value << ")\n";
  return text.str();
}

// The shortest sequence found that still fails: steps taken out one at a
// time while the run keeps failing.
std::vector<Step> Shrink(std::uint8_t start, std::vector<Step> steps) {
  for (bool shorter = true; shorter;) {
    shorter = false;
    for (std::size_t i = 0; i < steps.size(); ++i) {
      std::vector<Step> without = steps;
      without.erase(without.begin() + static_cast<std::ptrdiff_t>(i));
      if (!World(start).Run(without).empty()) {
        steps = std::move(without);
        shorter = true;
        break;
      }
    }
  }
  return steps;
}

TEST(TouchSwitch, RandomSequencesOfEveryEventKeepTheUsersRules) {
  constexpr int kSequences = 4000;
  constexpr int kLength = 60;
  for (std::uint32_t seed = 1; seed <= kSequences; ++seed) {
    std::mt19937 random(seed);
    std::vector<Step> steps;
    for (int i = 0; i < kLength; ++i) {
      steps.push_back({static_cast<int>(random() % kEventCount), static_cast<int>(random() % 10000)});
    }
    const auto start = static_cast<std::uint8_t>(seed % 2);
    const std::string fault = World(start).Run(steps);
    if (!fault.empty()) {
      const std::vector<Step> shortest = Shrink(start, steps);
      FAIL() << "seed " << seed << ", start " << int{start} << ": " << fault << "\nshortest failing sequence ("
             << World(start).Run(shortest) << "):\n"
             << Describe(shortest);
    }
  }
}

}  // namespace
}  // namespace veltra
