// The rules of a cleaning of the screen, step by step.
#include "window/cleaning_run.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace veltra {
namespace {

enum Do { Start, Tick, End, Abandon, Defer, Toggle };

TEST(CleaningRun, CountsDownReturnsToTheStateBeforeOrTheLastWaitingRequestAndEndsOnDemand) {
  using S = std::optional<std::uint8_t>;
  // `value`: the state before (Start, for `seconds`) or the request (Defer). `answer`: what Tick
  // and End give back; for Defer and Toggle 1 when the request waits.
  const struct { Do action; int value, seconds; S answer; std::int32_t left; } steps[] = {
      {Tick, 0, 0, S{}, 0},    {Defer, 0, 0, S{0}, 0},  {End, 0, 0, S{}, 0},    {Start, 0, 3, S{}, 3},
      {Tick, 0, 0, S{}, 2},    {Tick, 0, 0, S{}, 1},    {Tick, 0, 0, S{0}, 0},  {Tick, 0, 0, S{}, 0},  // once
      {Start, 1, 5, S{}, 5},   {Defer, 0, 0, S{1}, 5},  {Defer, 1, 0, S{1}, 5}, {Defer, 0, 0, S{1}, 5},
      {Tick, 0, 0, S{}, 4},    {End, 0, 0, S{0}, 0},    {Start, 0, 2, S{}, 2},  {Toggle, 0, 0, S{1}, 2},
      {Toggle, 0, 0, S{1}, 2}, {Toggle, 0, 0, S{1}, 2}, {Tick, 0, 0, S{}, 1},   {Tick, 0, 0, S{1}, 0},
      {Start, 1, 4, S{}, 4},   {Defer, 0, 0, S{1}, 4},  {Abandon, 0, 0, S{}, 0}, {Tick, 0, 0, S{}, 0},  // by hand
      {Start, 0, 4, S{}, 4},   {Start, 1, 3, S{}, 3},   {End, 0, 0, S{0}, 0},  // begun again: the first state
  };
  CleaningRun run;
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    const auto& s = steps[i];
    const auto value = static_cast<std::uint8_t>(s.value);
    S answer;
    if (s.action == Start) run.Start(value, s.seconds);
    if (s.action == Tick) answer = run.Tick();
    if (s.action == End) answer = run.End();
    if (s.action == Abandon) run.Abandon();
    if (s.action == Defer) answer = static_cast<std::uint8_t>(run.Defer(value));
    if (s.action == Toggle) answer = static_cast<std::uint8_t>(run.DeferToggle());
    EXPECT_EQ(answer, s.answer) << "step " << i;
    EXPECT_EQ(run.remaining(), s.left) << "step " << i;
  }
}

}  // namespace
}  // namespace veltra
