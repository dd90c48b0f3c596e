// The rules of a cleaning of the screen.
#include "window/cleaning_run.h"

namespace veltra {

void CleaningRun::Start(std::uint64_t now_ms, std::int32_t seconds) noexcept {
  running_ = true;
  ends_at_ = now_ms + static_cast<std::uint64_t>(seconds > 0 ? seconds : 1) * 1000;
}

std::int32_t CleaningRun::Remaining(std::uint64_t now_ms) const noexcept {
  if (!running_ || now_ms >= ends_at_) return 0;
  return static_cast<std::int32_t>((ends_at_ - now_ms + 999) / 1000);
}

bool CleaningRun::Expired(std::uint64_t now_ms) noexcept {
  if (!running_ || now_ms < ends_at_) return false;
  running_ = false;
  return true;
}

}  // namespace veltra
