// The Windows-key decision, kept apart from the hook so it is tested
// natively: a lone press and release of a Windows key becomes a switch.
#include "hook/winkey_filter.h"

namespace veltra {

namespace {

void AddInjection(WinKeyDecision& decision, std::uint8_t vk, bool up) noexcept {
  decision.inject[decision.inject_count++] = InjectedKey{vk, up};
}

}  // namespace

WinKeyDecision WinKeyFilter::OnEvent(std::uintptr_t kind, std::uint32_t vk, std::uint32_t time) noexcept {
  WinKeyDecision decision;
  if (kind == kKeyDownEvent) {
    // Our own filler key goes down only when we send it; its release
    // follows at once so it is never left held.
    if (vk == kVkNoKey) AddInjection(decision, kVkNoKey, true);
    // Any other key down ends a lone press: Windows+E and the like stay the
    // system's. The other Windows key counts as another key too.
    left_pending_ = vk == kVkLeftWin ? 1 : 0;
    right_pending_ = vk == kVkRightWin ? 1 : 0;
    return decision;
  }
  if (kind != kKeyUpEvent) return decision;

  std::uint32_t* pending = nullptr;
  if (left_pending_ == 1 && vk == kVkLeftWin) {
    pending = &left_pending_;
  } else if (right_pending_ == 1 && vk == kVkRightWin) {
    pending = &right_pending_;
  } else {
    return decision;
  }
  // The flag is cleared before the caller injects anything: the injected
  // events come back through the hook, possibly before it returns.
  *pending = 0;
  decision.post = true;
  decision.post_wparam = time;
  decision.post_lparam_vk = static_cast<std::uint8_t>(vk);
  // The real release is replaced by filler-down then release, so the
  // system sees a chord and keeps the Start menu closed.
  AddInjection(decision, kVkNoKey, false);
  AddInjection(decision, static_cast<std::uint8_t>(vk), true);
  decision.swallow = true;
  return decision;
}

WinKeyDecision KeyLock::OnEvent(std::uintptr_t kind, std::uint32_t vk, std::uint32_t time) noexcept {
  WinKeyDecision decision;
  decision.swallow = true;
  // With Alt held Escape comes as a system key; only a plain hold counts.
  if (kind != kKeyDownEvent || vk != kVkEscape) {
    if (kind == kKeyDownEvent || vk == kVkEscape) holding_ = false;
    return decision;
  }
  if (!holding_) {
    holding_ = true;
    reported_ = false;
    since_ = time;
    return decision;
  }
  // Unsigned: the tick count wraps after 49 days.
  if (!reported_ && time - since_ >= kEscapeHoldMs) {
    reported_ = true;
    decision.post = true;
    decision.post_wparam = time;
    decision.post_lparam_vk = kVkEscape;
  }
  return decision;
}

}  // namespace veltra
