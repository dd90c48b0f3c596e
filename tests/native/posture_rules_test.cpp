// When the machine's posture switches the panel.
#include "device/posture_rules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace veltra {
namespace {

TEST(PostureFollower, OnlyAReportedPostureOrAChangeOfItSwitchesAndOnlyWhileFollowing) {
  using S = std::optional<std::uint8_t>;
  const struct { bool start, indicator; std::int32_t mode; bool follow; S wanted; } steps[] = {
      {false, true, 1, true, S{}},  {true, true, 1, true, S{0}},   {false, true, 5, true, S{}},   // 5 is laptop too
      {false, true, 0, false, S{}}, {false, true, 0, true, S{}},   {false, true, 1, true, S{0}},  // noted, not acted on
      {true, false, 1, true, S{}},  {false, false, 0, true, S{1}}, {true, true, 0, false, S{}}};  // no indicator at start
  PostureFollower follower;
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    const auto& s = steps[i];
    EXPECT_EQ(s.start ? follower.Start(s.indicator, s.mode, s.follow) : follower.Announced(s.mode, s.follow), s.wanted)
        << "step " << i;
  }
}

}  // namespace
}  // namespace veltra
