// What one tick of Veltrawatch costs, measured side by side with the bare
// platform calls the tick cannot do without: the foreground window, its
// process identifier, opening the process, reading its image path, closing
// it, finding Veltra's window, reading its process's image path and its
// token's elevation (the owner check) and one synchronous send with a
// time-out. The difference is
// the watcher's own work: upper-casing and matching the path against the
// lists, which are searched linearly. Measured with the shipped (empty)
// lists and with a thousand entries in each list that all differ from the
// path only near its end, the worst case for the comparison.
//
// This process stands in for both ends: its own visible window holds the
// foreground, and a window of class "VeltraAppMain" on a second thread
// answers the sends, so each send crosses threads as it would cross
// processes; the step takes this program for Veltra's. Run by
// scripts/bench; the ratio is reported, not judged.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "../common/stand_in_window.h"
#include "bench_timing.h"
#include "platform/paths.h"
#include "platform/unique_handle.h"
#include "protocol/veltra_protocol.h"
#include "watch/watch_step.h"

namespace {

using veltra::bench::Median;
using veltra::bench::MicrosecondsPerCall;
using veltra::watch::ProcessLists;
using veltra::watch::WatchStep;

constexpr int kWarmUp = 200;
constexpr int kRounds = 10;
constexpr int kStepsPerRound = 1000;
constexpr std::size_t kLongList = 1000;

LRESULT CALLBACK StandInProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == veltra::protocol::WM_SET_TOUCH_STATE) return 0;
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

void BareCalls() {
  const HWND foreground = ::GetForegroundWindow();
  DWORD process_id = 0;
  ::GetWindowThreadProcessId(foreground, &process_id);
  const HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, process_id);
  char path[1000] = {};
  DWORD size = sizeof(path);
  ::QueryFullProcessImageNameA(process, 0, path, &size);
  ::CloseHandle(process);
  const HWND veltra = ::FindWindowA(veltra::protocol::kWindowClassA, nullptr);
  DWORD veltra_id = 0;
  ::GetWindowThreadProcessId(veltra, &veltra_id);
  const HANDLE owner = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, veltra_id);
  wchar_t owner_path[MAX_PATH] = {};
  DWORD owner_size = MAX_PATH;
  ::QueryFullProcessImageNameW(owner, 0, owner_path, &owner_size);
  HANDLE token = nullptr;
  if (::OpenProcessToken(owner, TOKEN_QUERY, &token)) {
    TOKEN_ELEVATION elevation{};
    DWORD elevation_size = 0;
    ::GetTokenInformation(token, TokenElevation, &elevation, sizeof(elevation), &elevation_size);
    ::CloseHandle(token);
  }
  ::CloseHandle(owner);
  DWORD_PTR answer = 0;
  ::SendMessageTimeoutW(veltra, veltra::protocol::WM_SET_TOUCH_STATE, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
}

// Entries as long as `path`, each differing from it a few characters
// before its end.
std::vector<std::string> NearMisses(const std::string& path, std::size_t count, char salt) {
  std::vector<std::string> list;
  for (std::size_t i = 0; i < count; ++i) {
    std::string entry = path;
    const std::string tag = std::to_string(i) + salt;
    entry.replace(entry.size() > tag.size() + 4 ? entry.size() - tag.size() - 4 : 0, tag.size(), tag);
    veltra::watch::UpperCaseAnsi(entry);
    list.push_back(entry);
  }
  return list;
}

}  // namespace

int wmain() {
  // Veltra's stand-in, on its own thread.
  HWND veltra = nullptr;
  DWORD veltra_thread = 0;
  std::thread answering([&] {
    veltra_thread = ::GetCurrentThreadId();
    veltra = veltra::testing::CreateStandInWindow(veltra::protocol::kWindowClass, &StandInProc);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
  });
  for (int i = 0; i < 200 && ::FindWindowA(veltra::protocol::kWindowClassA, nullptr) == nullptr; ++i) ::Sleep(10);

  const HWND front = ::CreateWindowExW(0, L"Static", L"watch bench", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                       nullptr, nullptr, nullptr);
  ::SetForegroundWindow(front);
  MSG pending;
  while (::PeekMessageW(&pending, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&pending);

  int status = 0;
  char own[1000] = {};
  DWORD own_size = sizeof(own);
  const veltra::UniqueHandle self(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE,
                                            ::GetCurrentProcessId()));
  if (::GetForegroundWindow() != front || ::FindWindowA(veltra::protocol::kWindowClassA, nullptr) == nullptr ||
      !::QueryFullProcessImageNameA(self.get(), 0, own, &own_size)) {
    std::printf("could not set up the foreground window, Veltra's stand-in or the own image path\n");
    status = 1;
  } else {
    const ProcessLists shipped;
    const ProcessLists long_lists{NearMisses(own, kLongList, 'e'), NearMisses(own, kLongList, 'd')};
    const std::wstring this_program = veltra::ModuleFileName(nullptr);
    const auto step_shipped = [&] { WatchStep(shipped, 0, this_program); };
    const auto step_long = [&] { WatchStep(long_lists, 0, this_program); };
    MicrosecondsPerCall(BareCalls, kWarmUp);
    MicrosecondsPerCall(step_shipped, kWarmUp);
    MicrosecondsPerCall(step_long, kWarmUp);

    std::vector<double> bare, shipped_times, long_times;
    for (int round = 0; round < kRounds; ++round) {
      // The order rotates, so that none gains from its place.
      for (int turn = 0; turn < 3; ++turn) {
        switch ((round + turn) % 3) {
          case 0: bare.push_back(MicrosecondsPerCall(BareCalls, kStepsPerRound)); break;
          case 1: shipped_times.push_back(MicrosecondsPerCall(step_shipped, kStepsPerRound)); break;
          default: long_times.push_back(MicrosecondsPerCall(step_long, kStepsPerRound)); break;
        }
      }
    }
    const double bare_us = Median(bare);
    const double shipped_us = Median(shipped_times);
    const double long_us = Median(long_times);
    std::printf("%d rounds of %d ticks each, medians; the foreground program's path has %lu characters\n", kRounds,
                kStepsPerRound, own_size);
    std::printf("bare platform calls:                       %8.2f us/tick\n", bare_us);
    std::printf("watch step, shipped (empty) lists:         %8.2f us/tick, ratio %.2f (goal: at most 1.2)\n",
                shipped_us, shipped_us / bare_us);
    std::printf("watch step, %zu + %zu near-miss entries: %8.2f us/tick, ratio %.2f (goal: under 1000 us)\n",
                kLongList, kLongList, long_us, long_us / bare_us);
    // The matching alone, which the platform calls above drown.
    std::string upper(own, own_size);
    veltra::watch::UpperCaseAnsi(upper);
    volatile int sink = 0;
    const double match_us = MicrosecondsPerCall(
        [&] { sink = sink + static_cast<int>(veltra::watch::DecideRequest(long_lists, upper, 2)); }, kStepsPerRound);
    std::printf("of which matching the path against both lists: %.2f us\n", match_us);
    std::printf("result: watcher tick, shipped lists | %.2f us | %.2f us | %.2f\n", shipped_us, bare_us,
                shipped_us / bare_us);
    std::printf("result: watcher tick, %zu + %zu entries | %.2f us | %.2f us | %.2f\n", kLongList, kLongList, long_us,
                bare_us, long_us / bare_us);
  }

  ::DestroyWindow(front);
  ::PostThreadMessageW(veltra_thread, WM_QUIT, 0, 0);
  answering.join();
  return status;
}
