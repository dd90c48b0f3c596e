// The pen rules of the status window.
#include "device/pen_rules.h"

namespace veltra {

PenFollower::Answer PenFollower::Reconcile(bool held) noexcept {
  if (held) return {};
  if (state_ == State::Near) state_ = State::Overruled;
  if (state_ != State::Lifted) return {};
  state_ = State::Away;
  return {std::nullopt, false};
}

PenFollower::Answer PenFollower::Reported(bool in_range, bool follow, bool held) noexcept {
  // A report still queued when the setting went off.
  if (!follow) return Off();
  Answer answer = Reconcile(held);
  switch (state_) {
    case State::Away:
      if (in_range) {
        state_ = State::Near;
        answer.hold = true;
      }
      break;
    case State::Lifted:
      // Back before the release time: still off, without a switch.
      if (in_range) {
        state_ = State::Near;
        answer.timer = false;
      }
      break;
    case State::Near:
      if (!in_range) {
        state_ = State::Lifted;
        answer.timer = true;
      }
      break;
    case State::Overruled:
      if (!in_range) state_ = State::Away;
      break;
  }
  return answer;
}

PenFollower::Answer PenFollower::Elapsed(bool held) noexcept {
  Answer answer = Reconcile(held);
  answer.timer = false;
  if (state_ == State::Lifted) {
    state_ = State::Away;
    answer.hold = false;
  }
  return answer;
}

PenFollower::Answer PenFollower::Off() noexcept {
  const bool holding = state_ == State::Near || state_ == State::Lifted;
  state_ = State::Away;
  return {holding ? std::optional<bool>(false) : std::nullopt, false};
}

}  // namespace veltra
