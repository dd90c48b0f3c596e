// How long the simulated Veltra.exe takes from its start to a visible status
// window, and to a window that has painted it, side by side in the same run
// with two baselines built from bare_window.cpp: a bare window program, and
// a bare notification-area program (one icon, common controls 6), the floor
// of any resident program with an icon; the working set of each once its
// window is up; and how long Veltra's process still runs after its window
// has gone on WM_CLOSE.
//
// Run from the Windows build folder (scripts/bench does): it works in
// bench-startup/ beside itself with a copy of sim/Veltra.exe and default
// settings (no settings file, so no task is created; the start-up refresh
// still removes the three tasks). Given a folder that holds another build's
// simulated Veltra.exe and VeltraHook.dll (an earlier commit's, say), it
// starts that one in turn with the others, from bench-startup-earlier/, and
// prints this build's figures against it. Exits non-zero only when a program
// could not be started or its window did not appear; the figures are
// reported, not judged.
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench_timing.h"
#include "platform/paths.h"
#include "platform/unique_handle.h"
#include "protocol/veltra_protocol.h"

namespace {

using veltra::bench::Median;

// Nine, not five: between runs a median of five moved the ratio by a tenth.
constexpr std::size_t kRounds = 9;
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
  double window_ms = 0;   // start to visible window
  double painted_ms = 0;  // start to a visible window with nothing left to paint
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

// Whether `window` and its visible children have painted what they were
// asked to: an update region left means a WM_PAINT still waits for its
// thread. A visible window that was never painted has one.
bool Painted(HWND window) {
  if (::GetUpdateRect(window, nullptr, FALSE)) return false;
  for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (::IsWindowVisible(child) && ::GetUpdateRect(child, nullptr, FALSE)) return false;
  }
  return true;
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
  while (!Painted(window)) {
    if (Now() - start > 20000 || !::IsWindow(window)) {
      std::printf("the %ls window of %ls was not painted within 20 s\n", window_class, program.c_str());
      ::TerminateProcess(process.get(), 99);
      return false;
    }
    ::Sleep(1);
  }
  round.painted_ms = Now() - start;

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

// A copy of a simulated Veltra.exe and its hook library from `from` in
// `work`, with the device tree every Veltra of the run switches; false with
// a message when it could not be made.
bool PrepareVeltraFolder(const std::wstring& from, const std::wstring& work) {
  ::CreateDirectoryW(work.c_str(), nullptr);
  for (const wchar_t* name : {L"Veltra.exe", L"VeltraHook.dll"}) {
    if (!::CopyFileW((from + L"\\" + name).c_str(), (work + L"\\" + name).c_str(), FALSE)) {
      std::printf("cannot copy %ls\\%ls to %ls: error %lu\n", from.c_str(), name, work.c_str(), ::GetLastError());
      return false;
    }
  }
  if (!(std::ofstream((work + L"\\sim_devices.ini").c_str(), std::ios::binary) << kDevices)) {
    std::printf("cannot write %ls\\sim_devices.ini\n", work.c_str());
    return false;
  }
  return true;
}

struct Program {
  std::wstring path;
  const wchar_t* window_class;
  std::wstring folder;  // where it runs, and where its settings file is removed before each start
};

}  // namespace

// Optional argument: the folder of an earlier build's simulated Veltra.exe.
int wmain(int argc, wchar_t** argv) {
  const std::wstring self = veltra::ModuleFileName(nullptr);
  const std::wstring build = self.substr(0, self.find_last_of(L'\\'));
  const std::wstring work = build + L"\\bench-startup";
  const std::wstring earlier_work = build + L"\\bench-startup-earlier";
  const bool with_earlier = argc > 1;
  if (!PrepareVeltraFolder(build + L"\\sim", work)) return 1;
  if (with_earlier && !PrepareVeltraFolder(argv[1], earlier_work)) return 1;

  // Each round starts the programs in turn, the first one moving on by one
  // each round, so none gains from its place (a warm file cache, a busy
  // wineserver).
  std::vector<Program> programs = {{work + L"\\Veltra.exe", veltra::protocol::kWindowClass, work},
                                   {build + L"\\veltra_bench_bare_window.exe", kBareClass, work},
                                   {build + L"\\veltra_bench_bare_notify.exe", kBareClass, work}};
  if (with_earlier) programs.push_back({earlier_work + L"\\Veltra.exe", veltra::protocol::kWindowClass, earlier_work});
  std::vector<std::vector<Round>> rounds(programs.size());
  for (std::size_t i = 0; i < kRounds; ++i) {
    for (std::size_t turn = 0; turn < programs.size(); ++turn) {
      const std::size_t p = (i + turn) % programs.size();
      const Program& program = programs[p];
      if (!Measure(program.path, program.folder, program.window_class, rounds[p].emplace_back())) return 1;
    }
  }
  const std::vector<Round>& app_rounds = rounds[0];
  const std::vector<Round>& bare_rounds = rounds[1];
  const std::vector<Round>& notify_rounds = rounds[2];

  const double app_window = Median(Field(app_rounds, &Round::window_ms));
  const double bare_window = Median(Field(bare_rounds, &Round::window_ms));
  const double notify_window = Median(Field(notify_rounds, &Round::window_ms));
  const double app_painted = Median(Field(app_rounds, &Round::painted_ms));
  const double bare_painted = Median(Field(bare_rounds, &Round::painted_ms));
  const double notify_painted = Median(Field(notify_rounds, &Round::painted_ms));
  const double app_memory = Median(Field(app_rounds, &Round::working_set_mb));
  const double bare_memory = Median(Field(bare_rounds, &Round::working_set_mb));
  const double notify_memory = Median(Field(notify_rounds, &Round::working_set_mb));
  std::printf("%zu starts of each program, in turn; working set read %lu ms after the window showed\n", kRounds,
              kSettleMs);
  std::printf("veltra (simulated Veltra.exe, default settings):\n");
  PrintRange("start to visible status window", Field(app_rounds, &Round::window_ms), "ms");
  PrintRange("start to painted status window", Field(app_rounds, &Round::painted_ms), "ms");
  PrintRange("working set", Field(app_rounds, &Round::working_set_mb), "MB");
  PrintRange("WM_CLOSE to window gone", Field(app_rounds, &Round::close_ms), "ms");
  PrintRange("window gone to process ended", Field(app_rounds, &Round::after_ms), "ms");
  std::printf("bare window program:\n");
  PrintRange("start to visible window", Field(bare_rounds, &Round::window_ms), "ms");
  PrintRange("start to painted window", Field(bare_rounds, &Round::painted_ms), "ms");
  PrintRange("working set", Field(bare_rounds, &Round::working_set_mb), "MB");
  PrintRange("window gone to process ended", Field(bare_rounds, &Round::after_ms), "ms");
  std::printf("bare notification-area program (one icon, common controls 6):\n");
  PrintRange("start to visible window", Field(notify_rounds, &Round::window_ms), "ms");
  PrintRange("start to painted window", Field(notify_rounds, &Round::painted_ms), "ms");
  PrintRange("working set", Field(notify_rounds, &Round::working_set_mb), "MB");
  if (with_earlier) {
    const std::vector<Round>& earlier_rounds = rounds[3];
    std::printf("earlier veltra (%ls):\n", argv[1]);
    PrintRange("start to visible status window", Field(earlier_rounds, &Round::window_ms), "ms");
    PrintRange("start to painted status window", Field(earlier_rounds, &Round::painted_ms), "ms");
    PrintRange("working set", Field(earlier_rounds, &Round::working_set_mb), "MB");
    const double earlier_window = Median(Field(earlier_rounds, &Round::window_ms));
    const double earlier_painted = Median(Field(earlier_rounds, &Round::painted_ms));
    const double earlier_memory = Median(Field(earlier_rounds, &Round::working_set_mb));
    std::printf("earlier build against the notification-area program: visible %.2f, painted %.2f, working set %.2f\n",
                earlier_window / notify_window, earlier_painted / notify_painted, earlier_memory / notify_memory);
    std::printf("this build against the earlier one: visible %.2f, painted %.2f, working set %.2f\n",
                app_window / earlier_window, app_painted / earlier_painted, app_memory / earlier_memory);
  }
  std::printf("start ratio: %.2f (goal: at most 1.3)\n", app_window / bare_window);
  std::printf("working-set ratio: %.2f (goal: at most 1.5)\n", app_memory / bare_memory);
  std::printf("start ratio against the notification-area program: %.2f (painted: %.2f)\n", app_window / notify_window,
              app_painted / notify_painted);
  std::printf("working-set ratio against the notification-area program: %.2f\n", app_memory / notify_memory);
  std::printf("result: start to visible window | %.0f ms | %.0f ms | %.2f\n", app_window, bare_window,
              app_window / bare_window);
  std::printf("result: start to painted window | %.0f ms | %.0f ms | %.2f\n", app_painted, bare_painted,
              app_painted / bare_painted);
  std::printf("result: working set, window up | %.1f MB | %.1f MB | %.2f\n", app_memory, bare_memory,
              app_memory / bare_memory);
  std::printf("result: process after its window went | %.0f ms | %.0f ms | %.2f\n",
              Median(Field(app_rounds, &Round::after_ms)), Median(Field(bare_rounds, &Round::after_ms)),
              Median(Field(app_rounds, &Round::after_ms)) / Median(Field(bare_rounds, &Round::after_ms)));
  std::printf("result: start to visible window, notification-area baseline | %.0f ms | %.0f ms | %.2f\n", app_window,
              notify_window, app_window / notify_window);
  std::printf("result: start to painted window, notification-area baseline | %.0f ms | %.0f ms | %.2f\n",
              app_painted, notify_painted, app_painted / notify_painted);
  std::printf("result: working set, notification-area baseline | %.1f MB | %.1f MB | %.2f\n", app_memory,
              notify_memory, app_memory / notify_memory);
  std::fflush(stdout);
  return 0;
}
