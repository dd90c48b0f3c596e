// How long the simulated Veltra.exe takes from its start to a visible status
// window, side by side in the same run with two baselines built from
// bare_window.cpp: a bare window program, and a bare notification-area
// program (one icon, common controls 6), the floor of any resident program
// with an icon; the working set of each once its window is up; and how long
// Veltra's process still runs after its window has gone on WM_CLOSE.
//
// Run from the Windows build folder (scripts/bench does): it works in
// bench-startup/ beside itself with a copy of sim/Veltra.exe and default
// settings (no settings file, so no task is created; the start-up refresh
// still removes the three tasks). Exits non-zero only when a program could
// not be started or its window did not appear; the figures are reported,
// not judged.
#include <windows.h>

#include <psapi.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "bench_timing.h"
#include "platform/paths.h"
#include "platform/unique_handle.h"
#include "protocol/veltra_protocol.h"

namespace {

using veltra::bench::Median;

constexpr std::size_t kRounds = 5;
constexpr wchar_t kBareClass[] = L"VeltraBenchBareWindow";
constexpr char kDevices[] =
    "[HID\\VID_1B96&PID_0F00&COL03\\7&34568466&0&0002]\r\ndescription=HID-compliant touch screen\r\n"
    "setup_class=HID\r\nhid_interface=1\r\ndisableable=1\r\nstarted=1\r\n";
// What the windows are left to settle (the refresh thread's schtasks runs,
// the first paint) before their working sets are read.
constexpr DWORD kSettleMs = 1500;

double Now() {
  LARGE_INTEGER ticks;
  ::QueryPerformanceCounter(&ticks);
  return veltra::bench::Seconds(ticks.QuadPart) * 1000.0;
}

struct Round {
  double window_ms = 0;  // start to visible window
  double working_set_mb = 0;
  double close_ms = 0;  // WM_CLOSE to window gone
  double after_ms = 0;  // window gone to process ended
};

// The visible top-level window of `window_class` that process `id` owns.
HWND VisibleWindowOf(const wchar_t* window_class, DWORD id) {
  for (HWND found = ::FindWindowExW(nullptr, nullptr, window_class, nullptr); found != nullptr;
       found = ::FindWindowExW(nullptr, found, window_class, nullptr)) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(found, &owner);
    if (owner == id && ::IsWindowVisible(found)) return found;
  }
  return nullptr;
}

// One start, measured; false (with a message) when it could not be done.
bool Measure(const std::wstring& program, const std::wstring& folder, const wchar_t* window_class, Round& round) {
  ::DeleteFileW((folder + L"\\Veltra.ini").c_str());
  std::wstring command = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  const double start = Now();
  if (!::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &info)) {
    std::printf("cannot start %ls: error %lu\n", program.c_str(), ::GetLastError());
    return false;
  }
  const veltra::UniqueHandle process(info.hProcess);
  const veltra::UniqueHandle thread(info.hThread);
  HWND window = nullptr;
  while ((window = VisibleWindowOf(window_class, info.dwProcessId)) == nullptr) {
    if (Now() - start > 20000 || ::WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) {
      std::printf("no visible %ls window from %ls within 20 s\n", window_class, program.c_str());
      ::TerminateProcess(process.get(), 99);
      return false;
    }
    ::Sleep(1);
  }
  round.window_ms = Now() - start;

  ::Sleep(kSettleMs);
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof(memory);
  if (const veltra::UniqueHandle reader(
          ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_VM_READ, FALSE, info.dwProcessId));
      reader && ::GetProcessMemoryInfo(reader.get(), &memory, sizeof(memory))) {
    round.working_set_mb = static_cast<double>(memory.WorkingSetSize) / (1024.0 * 1024.0);
  }

  const double closing = Now();
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  while (::IsWindow(window) && ::IsWindowVisible(window) && Now() - closing < 20000) ::Sleep(1);
  const double gone = Now();
  const bool ended = ::WaitForSingleObject(process.get(), 30000) == WAIT_OBJECT_0;
  round.close_ms = gone - closing;
  round.after_ms = Now() - gone;
  if (!ended) {
    std::printf("%ls did not end within 30 s of its window going\n", program.c_str());
    ::TerminateProcess(process.get(), 99);
    return false;
  }
  return true;
}

std::vector<double> Field(const std::vector<Round>& rounds, double Round::*field) {
  std::vector<double> values;
  for (const Round& round : rounds) values.push_back(round.*field);
  return values;
}

void PrintRange(const char* what, const std::vector<double>& values, const char* unit) {
  std::printf("  %-34s %8.1f %s (median; all:", what, Median(values), unit);
  for (const double value : values) std::printf(" %.1f", value);
  std::printf(")\n");
}

}  // namespace

int wmain() {
  const std::wstring self = veltra::ModuleFileName(nullptr);
  const std::wstring build = self.substr(0, self.find_last_of(L'\\'));
  const std::wstring work = build + L"\\bench-startup";
  const std::wstring veltra = work + L"\\Veltra.exe";
  const std::wstring bare = build + L"\\veltra_bench_bare_window.exe";
  const std::wstring bare_notify = build + L"\\veltra_bench_bare_notify.exe";
  ::CreateDirectoryW(work.c_str(), nullptr);
  for (const wchar_t* name : {L"Veltra.exe", L"VeltraHook.dll"}) {
    if (!::CopyFileW((build + L"\\sim\\" + name).c_str(), (work + L"\\" + name).c_str(), FALSE)) {
      std::printf("cannot copy sim\\%ls to bench-startup: error %lu\n", name, ::GetLastError());
      return 1;
    }
  }
  if (!(std::ofstream((work + L"\\sim_devices.ini").c_str(), std::ios::binary) << kDevices)) {
    std::printf("cannot write bench-startup\\sim_devices.ini\n");
    return 1;
  }

  // Each round starts the three programs in turn, the first one moving on
  // by one each round, so none gains from its place (a warm file cache, a
  // busy wineserver).
  const std::array<std::pair<std::wstring, const wchar_t*>, 3> programs = {
      {{veltra, veltra::protocol::kWindowClass}, {bare, kBareClass}, {bare_notify, kBareClass}}};
  std::array<std::vector<Round>, 3> rounds;
  for (std::size_t i = 0; i < kRounds; ++i) {
    for (std::size_t turn = 0; turn < programs.size(); ++turn) {
      const std::size_t p = (i + turn) % programs.size();
      if (!Measure(programs[p].first, work, programs[p].second, rounds[p].emplace_back())) return 1;
    }
  }
  const auto& [app_rounds, bare_rounds, notify_rounds] = rounds;

  const double app_window = Median(Field(app_rounds, &Round::window_ms));
  const double bare_window = Median(Field(bare_rounds, &Round::window_ms));
  const double notify_window = Median(Field(notify_rounds, &Round::window_ms));
  const double app_memory = Median(Field(app_rounds, &Round::working_set_mb));
  const double bare_memory = Median(Field(bare_rounds, &Round::working_set_mb));
  const double notify_memory = Median(Field(notify_rounds, &Round::working_set_mb));
  std::printf("%zu starts of each program, in turn; working set read %lu ms after the window showed\n", kRounds,
              kSettleMs);
  std::printf("veltra (simulated Veltra.exe, default settings):\n");
  PrintRange("start to visible status window", Field(app_rounds, &Round::window_ms), "ms");
  PrintRange("working set", Field(app_rounds, &Round::working_set_mb), "MB");
  PrintRange("WM_CLOSE to window gone", Field(app_rounds, &Round::close_ms), "ms");
  PrintRange("window gone to process ended", Field(app_rounds, &Round::after_ms), "ms");
  std::printf("bare window program:\n");
  PrintRange("start to visible window", Field(bare_rounds, &Round::window_ms), "ms");
  PrintRange("working set", Field(bare_rounds, &Round::working_set_mb), "MB");
  PrintRange("window gone to process ended", Field(bare_rounds, &Round::after_ms), "ms");
  std::printf("bare notification-area program (one icon, common controls 6):\n");
  PrintRange("start to visible window", Field(notify_rounds, &Round::window_ms), "ms");
  PrintRange("working set", Field(notify_rounds, &Round::working_set_mb), "MB");
  std::printf("start ratio: %.2f (goal: at most 1.3)\n", app_window / bare_window);
  std::printf("working-set ratio: %.2f (goal: at most 1.5)\n", app_memory / bare_memory);
  std::printf("start ratio against the notification-area program: %.2f\n", app_window / notify_window);
  std::printf("working-set ratio against the notification-area program: %.2f\n", app_memory / notify_memory);
  std::printf("result: start to visible window | %.0f ms | %.0f ms | %.2f\n", app_window, bare_window,
              app_window / bare_window);
  std::printf("result: working set, window up | %.1f MB | %.1f MB | %.2f\n", app_memory, bare_memory,
              app_memory / bare_memory);
  std::printf("result: process after its window went | %.0f ms | %.0f ms | %.2f\n",
              Median(Field(app_rounds, &Round::after_ms)), Median(Field(bare_rounds, &Round::after_ms)),
              Median(Field(app_rounds, &Round::after_ms)) / Median(Field(bare_rounds, &Round::after_ms)));
  std::printf("result: start to visible window, notification-area baseline | %.0f ms | %.0f ms | %.2f\n", app_window,
              notify_window, app_window / notify_window);
  std::printf("result: working set, notification-area baseline | %.1f MB | %.1f MB | %.2f\n", app_memory,
              notify_memory, app_memory / notify_memory);
  std::fflush(stdout);
  return 0;
}
