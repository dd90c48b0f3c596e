// The rules of a cleaning of the screen.
#include "window/cleaning_run.h"

namespace veltra {

void CleaningRun::Start(std::uint8_t before, std::int32_t seconds) noexcept {
  // A run begun again keeps the state of the first one's start: the panel
  // is off now only because of the cleaning.
  if (!running()) before_ = before != 0 ? 1 : 0;
  waiting_.reset();
  remaining_ = seconds > 0 ? seconds : 1;
}

std::optional<std::uint8_t> CleaningRun::Tick() noexcept {
  if (!running()) return std::nullopt;
  if (--remaining_ > 0) return std::nullopt;
  const std::uint8_t state = ReturnState();
  waiting_.reset();
  return state;
}

std::optional<std::uint8_t> CleaningRun::End() noexcept {
  if (!running()) return std::nullopt;
  remaining_ = 1;
  return Tick();
}

void CleaningRun::Abandon() noexcept {
  remaining_ = 0;
  waiting_.reset();
}

bool CleaningRun::Defer(std::uint8_t wanted) noexcept {
  if (!running()) return false;
  waiting_ = wanted != 0 ? 1 : 0;
  return true;
}

bool CleaningRun::DeferToggle() noexcept {
  if (!running()) return false;
  waiting_ = ReturnState() != 0 ? 0 : 1;
  return true;
}

}  // namespace veltra
