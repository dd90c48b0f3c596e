// The keyboard hook's decisions, event by event, without a hook.
#include "hook/winkey_filter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

#include "../common/counting_new.h"

using counting_new::allocations;

namespace veltra {
namespace {

constexpr std::uintptr_t kDown = kKeyDownEvent, kUp = kKeyUpEvent, kSysDown = 0x104, kSysUp = 0x105;
constexpr std::uint32_t kVkE = 'E', kVkShift = 0x10, kVkLeftAlt = 0xA4;
constexpr std::uint32_t kLeft = kVkLeftWin, kRight = kVkRightWin, kNoKey = kVkNoKey;

struct Step {
  std::uintptr_t kind;
  std::uint32_t vk;
};

// Runs the events and returns the keys reported, in order.
std::vector<std::uint32_t> Reported(WinKeyFilter& filter, const std::vector<Step>& steps) {
  std::vector<std::uint32_t> reported;
  for (const Step& step : steps) {
    const WinKeyDecision decision = filter.OnEvent(step.kind, step.vk, 7);
    if (decision.post) reported.push_back(decision.post_lparam_vk);
  }
  return reported;
}

std::vector<InjectedKey> Injected(const WinKeyDecision& decision) {
  return {decision.inject, decision.inject + decision.inject_count};
}

using Keys = std::vector<std::uint32_t>;
using Injections = std::vector<InjectedKey>;

TEST(WinKeyFilter, LoneWindowsKeyIsReportedAndItsReleaseReplaced) {
  for (const std::uint8_t vk : {kVkLeftWin, kVkRightWin}) {
    SCOPED_TRACE(static_cast<int>(vk));
    WinKeyFilter filter;
    // Auto-repeat of the held key is still a lone press.
    EXPECT_EQ(Reported(filter, {{kDown, vk}, {kDown, vk}, {kDown, vk}}), Keys{});
    EXPECT_EQ(filter.left_pending() + filter.right_pending(), 1u);

    const WinKeyDecision up = filter.OnEvent(kUp, vk, 0xFEDCBA98);
    EXPECT_TRUE(up.post);
    EXPECT_EQ(up.post_wparam, 0xFEDCBA98u);
    EXPECT_EQ(up.post_lparam_vk, vk);
    EXPECT_TRUE(up.swallow);
    EXPECT_EQ(Injected(up), (Injections{{kVkNoKey, false}, {vk, true}}));
    EXPECT_EQ(filter.left_pending() + filter.right_pending(), 0u);

    // The injected events come back through the hook: the filler's down
    // asks for its release, and nothing is reported or swallowed again.
    const WinKeyDecision filler = filter.OnEvent(kDown, kNoKey, 0);
    EXPECT_EQ(Injected(filler), (Injections{{kVkNoKey, true}}));
    EXPECT_FALSE(filler.post || filler.swallow);
    const WinKeyDecision replacement = filter.OnEvent(kUp, vk, 0);
    EXPECT_FALSE(replacement.post || replacement.swallow || replacement.inject_count != 0);
    EXPECT_EQ(Reported(filter, {{kUp, kNoKey}}), Keys{});
  }
}

TEST(WinKeyFilter, AnyOtherKeyDownCancelsThePress) {
  for (const std::uint32_t win : {kLeft, kRight}) {
    // Windows+E, Windows+Shift, a key whose low byte is a Windows key, and
    // the filler key, which also asks for its own release.
    for (const std::uint32_t other : {kVkE, kVkShift, 0x100 + win, kNoKey}) {
      SCOPED_TRACE(testing::Message() << win << " then " << other);
      WinKeyFilter filter;
      EXPECT_EQ(Reported(filter, {{kDown, win}}), Keys{});
      const WinKeyDecision down = filter.OnEvent(kDown, other, 0);
      EXPECT_FALSE(down.post || down.swallow);
      EXPECT_EQ(Injected(down), (other == kNoKey ? Injections{{kVkNoKey, true}} : Injections{}));
      EXPECT_EQ(filter.left_pending() + filter.right_pending(), 0u);
      const WinKeyDecision up = filter.OnEvent(kUp, win, 0);
      EXPECT_FALSE(up.post || up.swallow || up.inject_count != 0);
    }
  }
  // The other Windows key counts as another key; the last one down alone
  // is the one reported.
  WinKeyFilter filter;
  EXPECT_EQ(Reported(filter, {{kDown, kLeft}, {kDown, kRight}, {kUp, kLeft}, {kUp, kRight}}), Keys{kRight});
  EXPECT_EQ(Reported(filter, {{kDown, kRight}, {kDown, kLeft}, {kUp, kRight}, {kUp, kLeft}}), Keys{kLeft});
}

TEST(WinKeyFilter, ReleasesAndSystemKeysLeaveThePressPending) {
  WinKeyFilter filter;
  EXPECT_EQ(Reported(filter, {{kUp, kLeft}, {kUp, kRight}}), Keys{});  // nothing pressed
  filter.OnEvent(kDown, kLeft, 0);
  // Only a key going down cancels; releases of other keys, and every
  // system-key event (Alt held) even of the Windows keys, pass unseen.
  EXPECT_EQ(Reported(filter, {{kUp, kRight}, {kUp, kVkE}, {kUp, 0x100 + kLeft}}), Keys{});
  for (const std::uintptr_t kind : {kSysDown, kSysUp, std::uintptr_t{0}, std::uintptr_t{0x102}}) {
    for (const std::uint32_t vk : {kVkLeftAlt, kVkE, kNoKey, kLeft, kRight}) {
      const WinKeyDecision decision = filter.OnEvent(kind, vk, 0);
      EXPECT_FALSE(decision.post || decision.swallow || decision.inject_count != 0) << kind << " " << vk;
    }
  }
  EXPECT_EQ(filter.left_pending(), 1u);
  EXPECT_EQ(filter.right_pending(), 0u);
  EXPECT_EQ(Reported(filter, {{kUp, kLeft}}), Keys{kLeft});
}

// Every event is kept from the system while locked (T) until the lock ends (E): at Escape held two
// seconds, counted at its repeat or its key-up, or at the deadline; then events pass (P), but the rest of a
// press the lock took stays taken. A key down before the lock gets its key-up through (an Escape without
// counting as held). kLock locks until `now`.
TEST(KeyLock, SwallowsEveryKeyUntilEscapeHeldTwoSecondsOrTheDeadline) {
  constexpr std::uint32_t kEsc = kVkEscape;
  constexpr std::uintptr_t kLock = 0x7FFF;
  enum Out { P, T, PE, TE };
  const struct { std::uintptr_t kind; std::uint32_t vk; std::uint64_t now; Out out; } steps[] = {
      {kDown, kEsc, 0, P},        {kLock, 0, 100000, P},      {kDown, kEsc, 5, T},        {kUp, kEsc, 2005, P},
      {kDown, kVkE, 2010, T},     {kUp, kVkE, 2020, T},       {kSysDown, kEsc, 2030, T},  {kSysUp, kEsc, 2040, T},
      {kDown, kEsc, 2100, T},     {kDown, kEsc, 4099, T},     {kDown, kEsc, 4100, TE},    {kDown, kEsc, 4200, T},
      {kUp, kEsc, 4300, T},       {kDown, kEsc, 4400, P},     {kUp, kEsc, 4500, P},       {kLock, 0, 100000, P},
      {kDown, kEsc, 5000, T},     {kUp, kEsc, 6999, T},       {kDown, kEsc, 8000, T},     {kDown, kVkShift, 9000, T},
      {kUp, kEsc, 10500, T},      {kDown, kEsc, 11000, T},    {kUp, kEsc, 13000, TE},     {kUp, kVkShift, 13100, T},
      {kLock, 0, 0x1'0000'000A, P}, {kDown, kVkE, 0xFFFF'FFF0, T}, {kDown, 'F', 0x1'0000'000A, PE},  // 64-bit ticks
      {kUp, kVkE, 0x1'0000'000B, T}, {kUp, 'F', 0x1'0000'000C, P},
  };
  KeyLock lock;
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    const auto& [kind, vk, now, out] = steps[i];
    const KeyLockDecision decision = kind == kLock ? (lock.Begin(now), KeyLockDecision{}) : lock.OnEvent(kind, vk, now);
    EXPECT_TRUE(decision.swallow == ((out & T) != 0) && decision.ended == (out >= PE)) << "step " << i;
  }
  lock.Begin(9000);  // the deadline with no key: once
  EXPECT_TRUE(!lock.Expire(8999) && lock.Expire(9000) && !lock.Expire(9001) && !lock.locked());
}

TEST(WinKeyFilter, EventPathAllocatesNothing) {
  WinKeyFilter filter;
  const std::uint32_t keys[] = {kLeft, kVkE, kRight, kNoKey, kVkLeftAlt, kLeft};
  const std::uintptr_t kinds[] = {kDown, kUp, kSysDown, kSysUp};
  std::uint32_t sink = 0;
  const long before = allocations.load();
  for (int round = 0; round < 100; ++round) {
    for (const std::uintptr_t kind : kinds) {
      for (const std::uint32_t vk : keys) {
        const WinKeyDecision decision = filter.OnEvent(kind, vk, static_cast<std::uint32_t>(round));
        sink += decision.post + decision.inject_count + decision.swallow;
      }
    }
  }
  const long after = allocations.load();
  EXPECT_EQ(after - before, 0);
  EXPECT_GT(sink, 0u);
  // The counter does see allocations; otherwise the zero above proves nothing.
  void* volatile block = ::operator new(1);
  ::operator delete(block);
  EXPECT_GT(allocations.load(), after);
}

}  // namespace
}  // namespace veltra
