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
  // `value`: the state before (Start, for `value2` seconds) or the request (Defer). `answer`: what
  // Tick and End give back; for Defer and Toggle 1 when the request waits.
  const struct { Do action; int value, value2; S answer; std::int32_t left, before; } steps[] = {
      {Tick, 0, 0, S{}, 0, 1},   {Defer, 0, 0, S{0}, 0, 1}, {End, 0, 0, S{}, 0, 1},     // no run
      {Start, 0, 3, S{}, 3, 0},  {Tick, 0, 0, S{}, 2, 0},   {Tick, 0, 0, S{}, 1, 0},
      {Tick, 0, 0, S{0}, 0, 0},  {Tick, 0, 0, S{}, 0, 0},                               // back as it was, once
      {Start, 1, 5, S{}, 5, 1},  {Defer, 0, 0, S{1}, 5, 1}, {Defer, 1, 0, S{1}, 5, 1},  // the last request
      {Defer, 0, 0, S{1}, 5, 1}, {Tick, 0, 0, S{}, 4, 1},   {End, 0, 0, S{0}, 0, 1},    // counts; ended early
      {Start, 0, 2, S{}, 2, 0},  {Toggle, 0, 0, S{1}, 2, 0}, {Toggle, 0, 0, S{1}, 2, 0}, // a toggle turns the
      {Toggle, 0, 0, S{1}, 2, 0}, {Tick, 0, 0, S{}, 1, 0},  {Tick, 0, 0, S{1}, 0, 0},   // state it would return to
      {Start, 1, 4, S{}, 4, 1},  {Defer, 0, 0, S{1}, 4, 1}, {Abandon, 0, 0, S{}, 0, 1}, // by hand: nothing
      {Tick, 0, 0, S{}, 0, 1},   {Start, 0, 4, S{}, 4, 0},  {Start, 1, 3, S{}, 3, 0},   // begun again: the
      {End, 0, 0, S{0}, 0, 0},                                                          // first state before
  };
  CleaningRun run;
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    const auto& s = steps[i];
    const auto value = static_cast<std::uint8_t>(s.value);
    S answer;
    if (s.action == Start) run.Start(value, s.value2);
    if (s.action == Tick) answer = run.Tick();
    if (s.action == End) answer = run.End();
    if (s.action == Abandon) run.Abandon();
    if (s.action == Defer) answer = static_cast<std::uint8_t>(run.Defer(value));
    if (s.action == Toggle) answer = static_cast<std::uint8_t>(run.DeferToggle());
    EXPECT_EQ(answer, s.answer) << "step " << i;
    EXPECT_EQ(run.remaining(), s.left) << "step " << i;
    EXPECT_EQ(run.running(), s.left > 0) << "step " << i;
    if (run.running()) {
      EXPECT_EQ(run.before(), s.before) << "step " << i;
    }
  }
}

}  // namespace
}  // namespace veltra
