// The rules of a cleaning of the screen, step by step.
#include "window/cleaning_run.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace veltra {
namespace {

enum class Do { Start, Tick, End, Abandon, Defer, DeferToggle };

TEST(CleaningRun, CountsDownReturnsToTheStateBeforeOrTheLastWaitingRequestAndEndsOnDemand) {
  using S = std::optional<std::uint8_t>;
  // `value`: the state before for Start (with `seconds`), the request for Defer.
  // `answer`: what Tick and End give back, and for Defer/DeferToggle 1 when the request waits.
  const struct { Do action; int value, seconds; S answer; std::int32_t left; } steps[] = {
      {Do::Tick, 0, 0, S{}, 0},         {Do::Defer, 0, 0, S{0}, 0},       // no run: nothing, nothing waits
      {Do::End, 0, 0, S{}, 0},          {Do::Start, 1, 3, S{}, 3},
      {Do::Tick, 0, 0, S{}, 2},         {Do::Tick, 0, 0, S{}, 1},
      {Do::Tick, 0, 0, S{1}, 0},        {Do::Tick, 0, 0, S{}, 0},         // back as it was, once
      {Do::Start, 1, 5, S{}, 5},        {Do::Defer, 0, 0, S{1}, 5},       // the watcher asks for off...
      {Do::Defer, 1, 0, S{1}, 5},       {Do::Defer, 0, 0, S{1}, 5},       // ...on, off: the last one counts
      {Do::Tick, 0, 0, S{}, 4},         {Do::End, 0, 0, S{0}, 0},         // ended from the menu
      {Do::Start, 0, 2, S{}, 2},        {Do::DeferToggle, 0, 0, S{1}, 2}, // a toggle turns the state before
      {Do::DeferToggle, 0, 0, S{1}, 2}, {Do::DeferToggle, 0, 0, S{1}, 2}, // and the waiting one
      {Do::Tick, 0, 0, S{}, 1},         {Do::Tick, 0, 0, S{1}, 0},
      {Do::Start, 1, 4, S{}, 4},        {Do::Defer, 0, 0, S{1}, 4},
      {Do::Abandon, 0, 0, S{}, 0},      {Do::Tick, 0, 0, S{}, 0},         // a hand switch: nothing returns
      {Do::Start, 0, 4, S{}, 4},        {Do::Start, 1, 3, S{}, 3},        // begun again: the first state before
      {Do::Tick, 0, 0, S{}, 2},         {Do::End, 0, 0, S{0}, 0},
  };
  CleaningRun run;
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    const auto& s = steps[i];
    const auto value = static_cast<std::uint8_t>(s.value);
    S answer;
    switch (s.action) {
      case Do::Start: run.Start(value, s.seconds); break;
      case Do::Tick: answer = run.Tick(); break;
      case Do::End: answer = run.End(); break;
      case Do::Abandon: run.Abandon(); break;
      case Do::Defer: answer = static_cast<std::uint8_t>(run.Defer(value)); break;
      case Do::DeferToggle: answer = static_cast<std::uint8_t>(run.DeferToggle()); break;
    }
    if (s.action == Do::Defer || s.action == Do::DeferToggle) {
      EXPECT_EQ(answer.value_or(9), s.answer.value_or(0)) << "step " << i;
    } else {
      EXPECT_EQ(answer, s.answer) << "step " << i;
    }
    EXPECT_EQ(run.remaining(), s.left) << "step " << i;
    EXPECT_EQ(run.running(), s.left > 0) << "step " << i;
  }
}

TEST(CleaningRun, KeepsTheStateBeforeWhileRunning) {
  CleaningRun run;
  run.Start(0, 30);
  EXPECT_EQ(run.before(), 0);
  run.Start(1, 30);  // the panel is off only because of the cleaning
  EXPECT_EQ(run.before(), 0);
  run.Abandon();
  run.Start(1, 30);
  EXPECT_EQ(run.before(), 1);
}

}  // namespace
}  // namespace veltra
