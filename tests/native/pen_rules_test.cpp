// When a pen in_range the panel holds the touch off.
#include "device/pen_rules.h"

#include <gtest/gtest.h>

#include <optional>

namespace veltra {
namespace {

TEST(PenFollower, OneSwitchPerApproachAndReleaseAndAHandSwitchStandsUntilTheNextApproach) {
  using B = std::optional<bool>;
  enum Kind { kReport, kElapsed, kOff };
  // `held`: whether the door still holds for the pen when the event comes.
  const struct { Kind kind; bool in_range; bool follow; bool held; B hold; B timer; } steps[] = {
      {kReport, false, true, false, B{}, B{}},        // away at first: nothing
      {kReport, true, true, false, B{true}, B{}},     // approach: off
      {kReport, true, true, true, B{}, B{}},          // hovering: no second switch
      {kReport, false, true, true, B{}, B{true}},     // lifted: the release time starts
      {kReport, false, true, true, B{}, B{}},
      {kReport, true, true, true, B{}, B{false}},     // back in time: still off, no switch
      {kReport, false, true, true, B{}, B{true}},
      {kElapsed, false, true, true, B{false}, B{false}},  // released: back
      {kElapsed, false, true, false, B{}, B{false}},      // a stray tick: nothing
      {kReport, true, true, false, B{true}, B{}},
      {kReport, true, true, false, B{}, B{}},         // a hand switch ended the hold: it stands
      {kReport, false, true, false, B{}, B{}},        // the pen leaves: no timer for a hold that is gone
      {kReport, true, true, false, B{true}, B{}},     // the next approach holds again
      {kReport, false, true, true, B{}, B{true}},
      {kReport, false, true, false, B{}, B{false}},   // a hand switch while lifted: the timer goes
      {kElapsed, false, true, false, B{}, B{false}},
      {kReport, true, false, false, B{}, B{false}},   // not followed: nothing holds
      {kReport, true, true, false, B{true}, B{}},
      {kOff, false, false, true, B{false}, B{false}},  // turned off while in_range: back at once
      {kOff, false, false, false, B{}, B{false}},
      {kReport, true, true, false, B{true}, B{}},
      {kReport, false, true, true, B{}, B{true}},
      {kReport, false, false, true, B{false}, B{false}},  // a report queued as it was turned off
  };
  PenFollower follower;
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    const auto& s = steps[i];
    const PenFollower::Answer answer = s.kind == kReport    ? follower.Reported(s.in_range, s.follow, s.held)
                                       : s.kind == kElapsed ? follower.Elapsed(s.held)
                                                            : follower.Off();
    EXPECT_EQ(answer, (PenFollower::Answer{s.hold, s.timer})) << "step " << i;
  }
}

}  // namespace
}  // namespace veltra
