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

void KeyLock::Begin(std::uint64_t until) noexcept {
  until_ = until;
  locked_ = true;
  holding_ = false;
  // A press taken by a lock before is still taken, to its key-up.
  for (std::uint8_t& key : keys_) {
    key = static_cast<std::uint8_t>((key & ~kPassing) | ((key & (kIsDown | kTaken)) == kIsDown ? kPassing : 0));
  }
}

void KeyLock::End() noexcept {
  if (!locked_) return;
  locked_ = false;
  holding_ = false;
  for (std::uint8_t& key : keys_) key = static_cast<std::uint8_t>(key & ~kPassing);
}

bool KeyLock::Expire(std::uint64_t now) noexcept {
  if (!locked_ || now < until_) return false;
  End();
  return true;
}

KeyLockDecision KeyLock::OnEvent(std::uintptr_t kind, std::uint32_t vk, std::uint64_t now) noexcept {
  KeyLockDecision decision;
  // The deadline first: a lock past it takes nothing more, this event included.
  decision.ended = Expire(now);
  const bool down = kind == kKeyDownEvent || kind == kSysKeyDownEvent;
  const bool up = kind == kKeyUpEvent || kind == kSysKeyUpEvent;
  if (vk > 0xFF || (!down && !up)) {
    decision.swallow = locked_;
    return decision;
  }
  std::uint8_t& key = keys_[vk];
  // A low-level hook is told no repeat count: a key-down of a key that is
  // down already is its auto-repeat.
  const bool repeat = down && (key & kIsDown) != 0;
  const bool passing = (key & kPassing) != 0;
  // Without a lock only the rest of a press one took is taken; with one,
  // all but the key-up of a key down before it.
  decision.swallow = locked_ ? !(passing && up) : (key & kTaken) != 0;
  int state = down ? key | kIsDown : key & ~(kIsDown | kPassing | kTaken);
  if (down && locked_ && !passing) state |= kTaken;
  key = static_cast<std::uint8_t>(state);
  if (!locked_) return decision;
  // With Alt held Escape comes as a system key-down: only a plain press
  // counts, held from its first key-down, measured at any later event of it.
  const bool plain_escape = vk == kVkEscape && (kind == kKeyDownEvent || up);
  if (plain_escape && down && !repeat) {
    holding_ = true;
    escape_since_ = now;
  } else if (plain_escape && holding_ && now - escape_since_ >= kEscapeHoldMs) {
    End();
    decision.ended = true;
  } else if (down && !plain_escape) {
    holding_ = false;  // another key pressed: a wipe, not a hold
  }
  return decision;
}

}  // namespace veltra
