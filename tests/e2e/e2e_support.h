// Helpers for the end-to-end tests: a private folder with a copy of the
// simulated program and its device tree, starting it as a user would, and a
// stand-in for a running instance that records what a second start sends.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "../common/sim_devices.h"
#include "../common/window_texts.h"
#include "platform/unique_handle.h"
#include "protocol/veltra_protocol.h"
#include "resources/resource.h"

namespace veltra::e2e {

using testing::MessageText;
using testing::TouchScreen;

// The touch screen the tests switch, and another HID device beside it.
inline const std::wstring kId = testing::kTouchId;
inline const std::wstring kOtherId = L"HID\\VID_04F3&PID_2A1C&COL01\\5&1A2B3C&0&0000";

// A sandbox path as 8-bit text for a file the test writes; the sandbox
// paths are ASCII.
std::string Narrow(const std::wstring& text);

class Sandbox {
 public:
  // `folder_name` may be long; the folder is created fresh under the work
  // folder and removed afterwards, once nothing started from it runs.
  explicit Sandbox(const std::wstring& folder_name);
  ~Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  const std::wstring& dir() const { return dir_; }
  std::wstring File(const std::wstring& name) const { return dir_ + L"\\" + name; }
  std::wstring exe() const { return File(L"Veltra.exe"); }

  // Programs started from now on run on this desktop (see VirtualDesktop).
  void set_desktop(std::wstring name) { desktop_ = std::move(name); }

  void WriteDevices(const std::vector<SimDevice>& devices) const;
  // One key of the device file (null: removed), the file replaced whole,
  // never rewritten in place while the program may read it.
  void WriteDeviceValue(const wchar_t* section, const wchar_t* key, const wchar_t* value) const;
  void WriteSettings(const std::string& ini_bytes) const;
  bool SettingsExist() const;
  std::wstring Setting(const wchar_t* section, const wchar_t* key) const;
  int DeviceStarted(const std::wstring& id) const;
  std::vector<std::wstring> LogLines() const;

  // Copies a program of the build folder (a path relative to it) here,
  // under `name` (which may hold a subfolder).
  void CopyProgram(const std::wstring& from_build, const std::wstring& name) const;
  // A file of this folder, byte for byte.
  void WriteFile(const std::wstring& name, const std::string& bytes) const;
  bool Exists(const std::wstring& name) const;
  // A value of another profile file here, such as Veltrawatch.ini.
  std::wstring ProfileValue(const std::wstring& file, const wchar_t* section, const wchar_t* key) const;
  // Starts a program of this folder and returns at once.
  UniqueHandle StartProgram(const std::wstring& name, const std::wstring& arguments = L"") const;

  // Starts the program with `arguments`, pumping this thread's messages
  // until it ends. Returns its exit code, or -1 if it had to be killed
  // after `timeout`.
  int Run(const std::wstring& arguments, std::chrono::milliseconds timeout = std::chrono::seconds(30)) const;
  // Starts it and returns at once.
  UniqueHandle Start(const std::wstring& arguments) const;

 private:
  std::wstring ProfilePath(const std::wstring& name) const;

  // Waits for the processes this folder's programs started and left
  // running, then ends them and whatever it started that still runs.
  void EndWhatWasStarted() const;

  std::wstring top_;  // the first folder of folder_name, removed whole
  std::wstring dir_;
  std::wstring desktop_;
  // Every process started from here, held open so that its id stays its
  // own (a process's children name it by that id) until the end.
  mutable std::vector<UniqueHandle> started_;
};

// A Wine virtual desktop of a size of the test's choosing, so the screen's
// orientation can be chosen and changed: the body runs on a thread of this
// process that has joined the desktop, and the programs a sandbox with
// set_desktop(name()) starts run on it too. Wine lists only landscape
// display modes, so a portrait screen exists only as a desktop's first size.
class VirtualDesktop {
 public:
  VirtualDesktop(const std::wstring& name, int width, int height);
  ~VirtualDesktop();
  VirtualDesktop(const VirtualDesktop&) = delete;
  VirtualDesktop& operator=(const VirtualDesktop&) = delete;

  const std::wstring& name() const { return name_; }
  bool ok() const { return desktop_ != nullptr; }
  // Runs `body` on a thread attached to the desktop and waits for it.
  void Run(const std::function<void()>& body) const;
  // From a thread on the desktop: a new display mode; true when it took.
  static bool ChangeMode(int width, int height);

 private:
  std::wstring name_;
  HDESK desktop_ = nullptr;
};

// Pumps messages until the process ends or the timeout passes; true if it
// ended.
bool WaitPumping(HANDLE process, std::chrono::milliseconds timeout);

// Holds the single-instance mutex (unless a running Veltra owns it) and,
// optionally, owns a topmost window of the status window's class that
// records WM_SET_TOUCH_STATE: any program could make such a decoy.
class FakeRunningInstance {
 public:
  explicit FakeRunningInstance(bool with_window);
  ~FakeRunningInstance();
  FakeRunningInstance(const FakeRunningInstance&) = delete;
  FakeRunningInstance& operator=(const FakeRunningInstance&) = delete;

  HWND window() const { return window_; }
  std::vector<std::pair<WPARAM, LPARAM>> TakeMessages();

 private:
  UniqueHandle mutex_;
  HWND window_ = nullptr;
};

// Pumps this thread's messages until `done` holds or the timeout passes.
template <class Predicate>
bool WaitUntil(Predicate done, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    ::Sleep(20);
  }
}

// One key event, sent with SendInput the way a keyboard delivers it; a
// time of 0 lets the system stamp it.
inline void SendKey(WORD vk, bool up, DWORD time = 0) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  input.ki.time = time;
  ::SendInput(1, &input, sizeof(input));
}

// The first visible window of class "#32770" (a message box) of a process.
HWND FindDialogOf(DWORD process_id);
// A visible top-level window of a process by its class and caption (null:
// any), once it is shown (its set-up done: a message sent earlier may be
// undone by it); null when none came within 10 s, or at once when
// `process` (if given) has ended.
HWND ShownWindowOf(DWORD process_id, const wchar_t* window_class, const wchar_t* caption = nullptr,
                   HANDLE process = nullptr);

// Whether the task store holds the task: it keeps each as a file of the
// system folder's Tasks.
bool TaskExists(const wchar_t* name);

// The sandbox of most tests: the one touch screen, and the settings given
// (none when empty).
class TouchSandbox : public Sandbox {
 public:
  explicit TouchSandbox(const std::wstring& folder_name, const std::string& settings = "") : Sandbox(folder_name) {
    WriteDevices({TouchScreen(kId)});
    if (!settings.empty()) WriteSettings(settings);
  }
};

// A running simulated Veltra with its status window, started in a sandbox.
// The test fails when no status window comes up, at once when a message box
// or dialog comes before it (a box the test waits for, shown by the status
// window, comes after it and is left to the test). The constructor returns
// once the window is through its start-up (the state it drove is shown), a
// box of the start-up is up, or the program has ended.
class RunningVeltra {
 public:
  explicit RunningVeltra(const Sandbox& box, const std::wstring& arguments = L"",
                         std::chrono::milliseconds window_timeout = std::chrono::seconds(10));
  ~RunningVeltra();
  RunningVeltra(const RunningVeltra&) = delete;
  RunningVeltra& operator=(const RunningVeltra&) = delete;

  // Null when no status window came up (the test has failed then).
  HWND window() const { return window_; }
  DWORD process_id() const { return ::GetProcessId(process_.get()); }
  HANDLE process() const { return process_.get(); }
  // The state text; the test fails when the window does not answer within 15 s.
  std::wstring Text() const;
  bool Visible() const { return ::IsWindowVisible(window_) != FALSE; }
  LRESULT Send(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) const;
  // True when the process ended within the timeout.
  bool WaitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(15)) const;

 private:
  UniqueHandle process_;
  HWND window_ = nullptr;
};

}  // namespace veltra::e2e
