// The rules of the panel's one door.
#include "window/touch_switch.h"

namespace veltra {

DriveOrder TouchSwitch::Follow() noexcept {
  if (!open()) return std::nullopt;
  const bool want = wanted();
  if (device_ == want) return std::nullopt;
  device_ = want;
  return want;
}

DriveOrder TouchSwitch::Start() noexcept {
  if (!open()) return std::nullopt;
  device_ = wanted();
  return device_;
}

DriveOrder TouchSwitch::Choose(std::uint8_t state, Asker asker) noexcept {
  // A closed door takes no choice either: what the user asked during a
  // selection or after the exit is not carried out later.
  if (!open()) return std::nullopt;
  choice_ = state != 0 ? 1 : 0;
  if (asker == Asker::Hand) holds_ = 0;
  return Follow();
}

DriveOrder TouchSwitch::Toggle(Asker asker) noexcept {
  if (asker == Asker::Hand) return Choose(wanted() ? 0 : 1, asker);
  return Choose(choice_ != 0 ? 0 : 1, asker);
}

DriveOrder TouchSwitch::SetHold(Hold hold, bool on) noexcept {
  if (ended_) return std::nullopt;
  holds_ = on ? static_cast<std::uint8_t>(holds_ | Bit(hold)) : static_cast<std::uint8_t>(holds_ & ~Bit(hold));
  return Follow();
}

DriveOrder TouchSwitch::Observed(std::optional<bool> enabled) noexcept {
  if (!open() || !enabled) return std::nullopt;
  device_ = enabled;
  if (*enabled != wanted()) {
    choice_ = *enabled ? 1 : 0;
    holds_ = 0;
  }
  return std::nullopt;
}

DriveOrder TouchSwitch::Reassert(std::optional<bool> now) noexcept {
  if (!open()) return std::nullopt;
  device_ = now;
  return Follow();
}

DriveOrder TouchSwitch::EndSelection(std::optional<bool> now) noexcept {
  if (!selecting_) return std::nullopt;
  selecting_ = false;
  return Reassert(now);
}

void TouchSwitch::Exit() noexcept {
  holds_ = 0;
  ended_ = true;
  device_ = true;
}

}  // namespace veltra
