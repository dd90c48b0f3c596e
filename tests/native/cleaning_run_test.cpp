// The rules of a cleaning of the screen, step by step.
#include "window/cleaning_run.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace veltra {
namespace {

TEST(CleaningRun, CountsTimeNotLooksAndEndsOnceWhetherLookedAtOnTimeOrLate) {
  enum Do { Start, Look, Stop };
  // `value`: the seconds (Start). `left`: the whole seconds left after the
  // step; `over`: what the look answered.
  const struct { Do action; std::uint64_t now; int value; std::int32_t left; bool over; } steps[] = {
      {Look, 0, 0, 0, false},     {Start, 1000, 3, 3, false}, {Look, 1001, 0, 3, false},  // rounded up
      {Look, 2000, 0, 2, false},  {Look, 3999, 0, 1, false},  {Look, 4000, 0, 0, true},   // on time
      {Look, 5000, 0, 0, false},                                                          // once
      {Start, 6000, 5, 5, false}, {Look, 60000, 0, 0, true},                              // a sleep past its end
      {Start, 0, 0, 1, false},    {Start, 500, 2, 2, false},  {Look, 2499, 0, 1, false},  // begun again
      {Stop, 2500, 0, 0, false},  {Look, 9999, 0, 0, false},                              // stopped: no end
  };
  CleaningRun run;
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    const auto& s = steps[i];
    bool over = false;
    if (s.action == Start) run.Start(s.now, s.value);
    if (s.action == Look) over = run.Expired(s.now);
    if (s.action == Stop) run.Stop();
    EXPECT_EQ(over, s.over) << "step " << i;
    EXPECT_EQ(run.Remaining(s.now), s.left) << "step " << i;
  }
}

}  // namespace
}  // namespace veltra
