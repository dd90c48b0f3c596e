// What the keyboard hook's decision costs per key event, measured side by
// side with a loop that only reads the same events and folds them into a
// sum. The hook runs for every key press in the session, so its own work
// should stay a small multiple of touching the event at all, and it must
// never allocate: every allocation in this program is counted, and the count
// over the measured loops is printed.
//
// The stream is typing as it comes: letters with the odd Shift chord,
// auto-repeat, Alt (system-key) chords, Windows+E, and lone presses of either
// Windows key followed by the events the hook sends back through itself.
// Prints the figures; exits non-zero only if the event path allocated.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

#include "hook/winkey_filter.h"

#include "../common/bench_stats.h"
#include "../common/counting_new.h"

using counting_new::allocations;

namespace {

using veltra::kKeyDownEvent;
using veltra::kKeyUpEvent;
using veltra::kVkLeftWin;
using veltra::kVkNoKey;
using veltra::kVkRightWin;

constexpr std::uintptr_t kSysKeyDown = 0x104, kSysKeyUp = 0x105;
constexpr std::uint32_t kVkShift = 0xA0, kVkAlt = 0xA4, kVkE = 'E', kVkTab = 0x09;

constexpr std::size_t kEvents = 1 << 20;
constexpr int kRounds = 15;

struct Event {
  std::uintptr_t kind;
  std::uint32_t vk;
  std::uint32_t time;
};

class Stream {
 public:
  std::vector<Event> Make(std::size_t count) {
    events_.reserve(count + 16);
    while (events_.size() < count) {
      const std::uint32_t pick = Next() % 100;
      if (pick < 70) {
        Tap('A' + Next() % 26);
      } else if (pick < 80) {
        Add(kKeyDownEvent, kVkShift);
        Tap('A' + Next() % 26);
        Add(kKeyUpEvent, kVkShift);
      } else if (pick < 86) {
        // A held key repeating.
        const std::uint32_t vk = 'A' + Next() % 26;
        for (std::uint32_t i = 0; i < 3 + Next() % 5; ++i) Add(kKeyDownEvent, vk);
        Add(kKeyUpEvent, vk);
      } else if (pick < 91) {
        Add(kSysKeyDown, kVkAlt);
        Add(kSysKeyDown, kVkTab);
        Add(kSysKeyUp, kVkTab);
        Add(kKeyUpEvent, kVkAlt);
      } else if (pick < 95) {
        Add(kKeyDownEvent, kVkLeftWin);
        Tap(kVkE);
        Add(kKeyUpEvent, kVkLeftWin);
      } else {
        // A lone press, then what the hook sends back through itself.
        const std::uint32_t win = Next() % 2 == 0 ? kVkLeftWin : kVkRightWin;
        Add(kKeyDownEvent, win);
        Add(kKeyUpEvent, win);
        Add(kKeyDownEvent, kVkNoKey);
        Add(kKeyUpEvent, win);
        Add(kKeyUpEvent, kVkNoKey);
      }
    }
    events_.resize(count);
    return std::move(events_);
  }

 private:
  std::uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  void Add(std::uintptr_t kind, std::uint32_t vk) { events_.push_back({kind, vk, time_ += 1 + Next() % 120}); }
  void Tap(std::uint32_t vk) {
    Add(kKeyDownEvent, vk);
    Add(kKeyUpEvent, vk);
  }

  std::vector<Event> events_;
  std::uint32_t state_ = 0x9E3779B9;
  std::uint32_t time_ = 1000;
};

// Keeps the value, and the loop that made it, from being optimised away or
// merged across iterations.
template <class T>
void Keep(T& value) {
  asm volatile("" : "+r"(value));
}

double Seconds(std::chrono::steady_clock::duration elapsed) {
  return std::chrono::duration<double>(elapsed).count();
}

struct Run {
  double ns_per_event;
  std::uint64_t sink;
};

Run TimeFilter(const std::vector<Event>& events) {
  veltra::WinKeyFilter filter;
  std::uint64_t sink = 0;
  const auto start = std::chrono::steady_clock::now();
  for (const Event& event : events) {
    const veltra::WinKeyDecision decision = filter.OnEvent(event.kind, event.vk, event.time);
    sink += decision.post_wparam + decision.post_lparam_vk + decision.inject_count + decision.swallow;
    Keep(sink);
  }
  const auto elapsed = std::chrono::steady_clock::now() - start;
  return {Seconds(elapsed) * 1e9 / static_cast<double>(events.size()), sink};
}

Run TimeBaseline(const std::vector<Event>& events) {
  std::uint64_t sink = 0;
  const auto start = std::chrono::steady_clock::now();
  for (const Event& event : events) {
    sink += event.kind + event.vk + event.time;
    Keep(sink);
  }
  const auto elapsed = std::chrono::steady_clock::now() - start;
  return {Seconds(elapsed) * 1e9 / static_cast<double>(events.size()), sink};
}

}  // namespace

int main() {
  const std::vector<Event> events = Stream().Make(kEvents);
  std::size_t lone = 0;
  for (std::size_t i = 1; i < events.size(); ++i) {
    lone += events[i].kind == kKeyUpEvent && events[i - 1].kind == kKeyDownEvent &&
            events[i].vk == events[i - 1].vk && (events[i].vk == kVkLeftWin || events[i].vk == kVkRightWin);
  }

  std::vector<double> filter_ns;
  std::vector<double> baseline_ns;
  filter_ns.reserve(kRounds);
  baseline_ns.reserve(kRounds);
  std::uint64_t checksum = 0;
  TimeFilter(events);  // warm-up
  TimeBaseline(events);
  const long allocations_before = allocations.load();
  for (int round = 0; round < kRounds; ++round) {
    // Which goes first alternates, so neither gains from its place.
    const Run first = round % 2 == 0 ? TimeFilter(events) : TimeBaseline(events);
    const Run second = round % 2 == 0 ? TimeBaseline(events) : TimeFilter(events);
    (round % 2 == 0 ? filter_ns : baseline_ns).push_back(first.ns_per_event);
    (round % 2 == 0 ? baseline_ns : filter_ns).push_back(second.ns_per_event);
    checksum += first.sink ^ second.sink;
  }
  const long allocated = allocations.load() - allocations_before;

  const double filter = veltra::bench::Median(filter_ns);
  const double baseline = veltra::bench::Median(baseline_ns);
  std::printf("%d rounds of %zu key events (%zu lone Windows-key presses), alternating\n", kRounds, events.size(),
              lone);
  std::printf("filter:   %.2f ns/event (median; range %.2f-%.2f)\n", filter,
              *std::min_element(filter_ns.begin(), filter_ns.end()),
              *std::max_element(filter_ns.begin(), filter_ns.end()));
  std::printf("baseline: %.2f ns/event (median; range %.2f-%.2f)\n", baseline,
              *std::min_element(baseline_ns.begin(), baseline_ns.end()),
              *std::max_element(baseline_ns.begin(), baseline_ns.end()));
  std::printf("ratio: %.2f\n", filter / baseline);
  std::printf("result: Windows-key filter, per key event | %.2f ns | %.2f ns | %.2f\n", filter, baseline,
              filter / baseline);
  std::printf("allocations: %ld\n", allocated);
  // Shows the counter counts: building the stream allocates.
  std::printf("(allocations while building the stream: %ld)\n", allocations_before);
  std::printf("(checksum %llx)\n", static_cast<unsigned long long>(checksum));
  return allocated == 0 ? 0 : 1;
}
