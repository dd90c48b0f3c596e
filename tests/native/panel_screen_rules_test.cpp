// When the panel's screen switches the panel.
#include "device/panel_screen_rules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace veltra {
namespace {

TEST(ScreenFollower, OnlyAChangeSwitchesBackToTheUserStateAndOnlyWhileFollowing) {
  using S = std::optional<std::uint8_t>;
  using A = std::optional<bool>;
  const struct { bool start; A active; std::uint8_t state; bool follow; S wanted; } steps[] = {
      {true, true, 1, true, S{}},   {false, true, 1, true, S{}},   {false, false, 1, true, S{0}},  // leaves: off
      {false, false, 1, true, S{}}, {false, A{}, 1, true, S{}},    {false, true, 1, true, S{}},    // hand switch stands
      {false, false, 0, true, S{0}}, {false, true, 0, true, S{0}},                                 // the user's 0
      {false, false, 1, false, S{}}, {false, true, 0, true, S{}},                                  // not followed
      {false, false, 1, true, S{0}}, {false, A{}, 0, true, S{}},   {false, true, 0, true, S{1}},   // cannot tell: none
      {false, false, 1, true, S{0}}, {false, true, 0, false, S{}},                                 // turned off since
      {true, false, 1, true, S{0}}, {false, true, 0, true, S{1}},  {true, A{}, 1, true, S{}},      // dark at start
      {false, false, 1, true, S{}}};                                                               // nothing to compare
  ScreenFollower follower;
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    const auto& s = steps[i];
    EXPECT_EQ(s.start ? follower.Start(s.active, s.state, s.follow) : follower.Reported(s.active, s.state, s.follow),
              s.wanted)
        << "step " << i;
  }
}

}  // namespace
}  // namespace veltra
