// When the panel's screen holds the panel off.
#include "device/panel_screen_rules.h"

#include <gtest/gtest.h>

#include <optional>

namespace veltra {
namespace {

TEST(ScreenFollower, OnlyAChangeOfTheScreenSetsOrEndsTheHoldAndOnlyWhileFollowing) {
  using H = std::optional<bool>;
  using A = std::optional<bool>;
  const struct { bool start; A active; bool follow; H hold; } steps[] = {
      {true, true, true, H{false}},   {false, true, true, H{}},     {false, false, true, H{true}},  // leaves: held
      {false, false, true, H{}},      {false, A{}, true, H{}},      {false, true, true, H{false}},  // cannot tell: none
      {false, false, false, H{false}}, {false, true, true, H{false}},                               // not followed
      {true, false, true, H{true}},   {false, true, true, H{false}}, {true, A{}, true, H{false}},   // dark at start
      {false, false, true, H{}},                                                                    // nothing to compare
      {true, false, false, H{false}}};
  ScreenFollower follower;
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    const auto& s = steps[i];
    const H hold = s.start ? H{follower.Start(s.active, s.follow)} : follower.Reported(s.active, s.follow);
    EXPECT_EQ(hold, s.hold) << "step " << i;
  }
}

}  // namespace
}  // namespace veltra
