// What a running Veltra pays for WM_SET_TOUCH_STATE that asks for the state
// it already holds, sent synchronously from another process, measured side by
// side with the same message sent to a bare window (one whose procedure only
// returns) in another process. The watcher sends this message on every tick,
// so the unchanged state should cost little more than the cross-process send
// itself, and must never reach the device: the simulated device log is
// checked for that.
//
// Run from the Windows build folder (scripts/bench does): it works in
// bench-work/ beside itself with a copy of sim/Veltra.exe. Exits non-zero
// only when something could not be started or the device was touched; the
// ratio is reported, not judged, since timings vary from machine to machine.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "bench_timing.h"
#include "platform/paths.h"
#include "platform/unique_handle.h"
#include "protocol/veltra_protocol.h"

namespace {

using veltra::bench::Median;

constexpr UINT kSetTouchState = veltra::protocol::WM_SET_TOUCH_STATE;
constexpr const wchar_t* kVeltraClass = veltra::protocol::kWindowClass;
constexpr wchar_t kBareClass[] = L"VeltraBenchBare";
constexpr wchar_t kTouchSection[] = L"[HID\\VID_1B96&PID_0F00&COL03\\7&34568466&0&0002]";

constexpr int kWarmUpSends = 200;
constexpr int kRounds = 10;
constexpr int kSendsPerRound = 2000;

// ---- the bare window, in its own process --------------------------------

LRESULT CALLBACK BareProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kSetTouchState) return 0;
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

int RunBareWindow() {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = &BareProc;
  window_class.hInstance = ::GetModuleHandleW(nullptr);
  window_class.lpszClassName = kBareClass;
  if (::RegisterClassExW(&window_class) == 0) return 2;
  // Top-level like Veltra's status window, so both sends take the same path
  // through the window manager.
  const HWND window = ::CreateWindowExW(0, kBareClass, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                        ::GetModuleHandleW(nullptr), nullptr);
  if (window == nullptr) return 2;
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
  return 0;
}

// ---- the measuring side ---------------------------------------------------

std::wstring OwnPath() { return veltra::ModuleFileName(nullptr); }

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// A child process that is asked to end, and if need be ended, whatever way
// the measurement leaves.
class Child {
 public:
  Child() = default;
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  ~Child() { Stop(std::chrono::seconds(10)); }

  bool Start(const std::wstring& program, const std::wstring& arguments, const std::wstring& folder) {
    std::wstring command = L"\"" + program + L"\"";
    if (!arguments.empty()) command += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                          &startup, &info)) {
      std::printf("cannot start %s: error %lu\n", Narrow(program).c_str(), ::GetLastError());
      return false;
    }
    ::CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    id_ = info.dwProcessId;
    return true;
  }

  // Polls for a top-level window of `window_class` that belongs to this
  // process; another program's window of the same class does not count.
  HWND FindWindowOfClass(const wchar_t* window_class, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
      for (HWND found = ::FindWindowExW(nullptr, nullptr, window_class, nullptr); found != nullptr;
           found = ::FindWindowExW(nullptr, found, window_class, nullptr)) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(found, &owner);
        if (owner == id_) {
          window_ = found;
          return found;
        }
      }
      if (!Running()) return nullptr;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return nullptr;
  }

  bool Running() const { return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

  // Asks the window to close and waits; ends the process if it does not.
  // Returns true if it ended by itself.
  bool Stop(std::chrono::milliseconds timeout) {
    if (!process_) return true;
    if (window_ != nullptr && Running()) ::PostMessageW(window_, WM_CLOSE, 0, 0);
    bool ended = ::WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
    if (!ended) {
      ::TerminateProcess(process_.get(), 99);
      ::WaitForSingleObject(process_.get(), 5000);
    }
    process_.reset();
    window_ = nullptr;
    return ended;
  }

 private:
  veltra::UniqueHandle process_;
  DWORD id_ = 0;
  HWND window_ = nullptr;
};

bool WriteAscii(const std::wstring& path, const std::string& text) {
  std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
  out << text;
  return static_cast<bool>(out);
}

// The log's size, or 0 while it does not exist.
long long FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string ReadFrom(const std::wstring& path, long long offset) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  in.seekg(offset);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Veltra drives the device while its window is already findable; the
// measurement starts once the log has been still for a while, so what it
// sees is only what the sends cause.
void WaitForQuietLog(const std::wstring& log, std::chrono::milliseconds still, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  long long size = FileSize(log);
  auto since = std::chrono::steady_clock::now();
  while (std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const long long now_size = FileSize(log);
    if (now_size != size) {
      size = now_size;
      since = std::chrono::steady_clock::now();
    } else if (size > 0 && std::chrono::steady_clock::now() - since >= still) {
      return;
    }
  }
}

// Microseconds per send for `count` synchronous sends of the unchanged state.
double TimeSends(HWND window, int count) {
  return veltra::bench::MicrosecondsPerCall([&] { ::SendMessageW(window, kSetTouchState, 1, 0); }, count);
}


int RunBenchmark() {
  const std::wstring self = OwnPath();
  if (self.empty()) {
    std::printf("cannot locate the benchmark program\n");
    return 1;
  }
  const std::wstring build = FolderOf(self);
  const std::wstring work = build + L"\\bench-work";
  const std::wstring veltra = work + L"\\Veltra.exe";
  const std::wstring log = work + L"\\sim_devices.log";

  // A fresh folder state each run: the default touch state (enabled) must
  // hold, so no settings file, and an empty device log.
  ::CreateDirectoryW(work.c_str(), nullptr);
  ::DeleteFileW((work + L"\\Veltra.ini").c_str());
  ::DeleteFileW(log.c_str());
  // The program imports its hook library and cannot start without it.
  if (!::CopyFileW((build + L"\\sim\\VeltraHook.dll").c_str(), (work + L"\\VeltraHook.dll").c_str(), FALSE)) {
    std::printf("cannot copy sim\\VeltraHook.dll to bench-work: error %lu\n", ::GetLastError());
    return 1;
  }
  if (!::CopyFileW((build + L"\\sim\\Veltra.exe").c_str(), veltra.c_str(), FALSE)) {
    std::printf("cannot copy sim\\Veltra.exe to bench-work: error %lu\n", ::GetLastError());
    return 1;
  }
  std::string devices = Narrow(kTouchSection) + "\r\ndescription=HID-compliant touch screen\r\nsetup_class=HID\r\n"
                        "hid_interface=1\r\ndisableable=1\r\nstarted=1\r\n";
  if (!WriteAscii(work + L"\\sim_devices.ini", devices)) {
    std::printf("cannot write bench-work\\sim_devices.ini\n");
    return 1;
  }

  Child app;
  if (!app.Start(veltra, L"", work)) return 1;
  const HWND app_window = app.FindWindowOfClass(kVeltraClass, std::chrono::seconds(20));
  if (app_window == nullptr) {
    std::printf("Veltra's status window did not appear within 20 s%s\n",
                app.Running() ? "" : " (Veltra ended; is another copy running?)");
    return 1;
  }
  Child bare;
  if (!bare.Start(self, L"--bare-window", work)) return 1;
  const HWND bare_window = bare.FindWindowOfClass(kBareClass, std::chrono::seconds(20));
  if (bare_window == nullptr) {
    std::printf("the bare window did not appear within 20 s\n");
    return 1;
  }
  WaitForQuietLog(log, std::chrono::seconds(1), std::chrono::seconds(20));

  const long long log_before = FileSize(log);
  TimeSends(app_window, kWarmUpSends);
  TimeSends(bare_window, kWarmUpSends);
  std::vector<double> app_times;
  std::vector<double> bare_times;
  for (int round = 0; round < kRounds; ++round) {
    // Which goes first alternates too, so neither gains from its place.
    if (round % 2 == 0) {
      app_times.push_back(TimeSends(app_window, kSendsPerRound));
      bare_times.push_back(TimeSends(bare_window, kSendsPerRound));
    } else {
      bare_times.push_back(TimeSends(bare_window, kSendsPerRound));
      app_times.push_back(TimeSends(app_window, kSendsPerRound));
    }
  }
  // Give a late device call, if the sends caused one, the time to show.
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const long long log_after = FileSize(log);
  const bool both_alive = app.Running() && bare.Running() && ::IsWindow(app_window) && ::IsWindow(bare_window);

  const double app_us = Median(app_times);
  const double bare_us = Median(bare_times);
  std::printf("%d rounds of %d synchronous sends of WM_SET_TOUCH_STATE(1, 0) to each window, alternating\n", kRounds,
              kSendsPerRound);
  std::printf("veltra: %.2f us/send (median of rounds; range %.2f-%.2f)\n", app_us,
              *std::min_element(app_times.begin(), app_times.end()),
              *std::max_element(app_times.begin(), app_times.end()));
  std::printf("bare window: %.2f us/send (median of rounds; range %.2f-%.2f)\n", bare_us,
              *std::min_element(bare_times.begin(), bare_times.end()),
              *std::max_element(bare_times.begin(), bare_times.end()));
  std::printf("ratio: %.2f (goal: at most 1.2)\n", app_us / bare_us);
  std::printf("result: WM_SET_TOUCH_STATE, unchanged state | %.2f us | %.2f us | %.2f\n", app_us, bare_us,
              app_us / bare_us);

  int status = 0;
  if (!both_alive) {
    std::printf("a window or its process went away during the sends: the figures are not valid\n");
    status = 1;
  }
  if (log_after == log_before) {
    std::printf("device log: unchanged during %d sends (the unchanged state did not touch the device)\n",
                kWarmUpSends + kRounds * kSendsPerRound);
  } else {
    std::printf("device log: the sends touched the device; new lines:\n%s\n", ReadFrom(log, log_before).c_str());
    status = 1;
  }

  // Closing Veltra enables the device and saves its settings in bench-work.
  if (!app.Stop(std::chrono::seconds(20))) {
    std::printf("Veltra did not end within 20 s of WM_CLOSE and was ended\n");
    status = 1;
  }
  if (!bare.Stop(std::chrono::seconds(10))) {
    std::printf("the bare window's process did not end within 10 s and was ended\n");
    status = 1;
  }
  std::fflush(stdout);
  return status;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc > 1 && std::wstring(argv[1]) == L"--bare-window") return RunBareWindow();
  return RunBenchmark();
}
