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
      {kReport, false, true, false, B{}, B{}}, {kReport, true, true, false, B{true}, B{}},  // away, then near: off
      {kReport, true, true, true, B{}, B{}}, {kReport, false, true, true, B{}, B{true}},  // lifted: the time runs
      {kReport, false, true, true, B{}, B{}}, {kReport, true, true, true, B{}, B{false}},  // back in time: no switch
      {kReport, false, true, true, B{}, B{true}}, {kElapsed, false, true, true, B{false}, B{false}},  // released
      {kElapsed, false, true, false, B{}, B{false}}, {kReport, true, true, false, B{true}, B{}},       // a stray tick
      {kReport, true, true, false, B{}, B{}}, {kReport, false, true, false, B{}, B{}},  // ended by hand: it stands
      {kReport, true, true, false, B{true}, B{}}, {kReport, false, true, true, B{}, B{true}},  // the next approach
      {kReport, false, true, false, B{}, B{false}}, {kElapsed, false, true, false, B{}, B{false}},  // by hand, lifted
      {kReport, true, false, false, B{}, B{false}}, {kReport, true, true, false, B{true}, B{}},  // not followed
      {kOff, false, false, true, B{false}, B{false}}, {kOff, false, false, false, B{}, B{false}},  // turned off: back
      {kReport, true, true, false, B{true}, B{}}, {kReport, false, true, true, B{}, B{true}},
      {kReport, false, false, true, B{false}, B{false}},  // a report queued as the setting went off
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
