// Veltrawatch as a real process beside the simulated Veltra.exe: programs
// brought to the foreground switch the panel as the lists say, the icon's
// double click pauses and resumes, one copy runs, and the settings file is
// completed at start.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <tuple>

#include "../common/stand_in_window.h"
#include "e2e_support.h"
#include "window/messages.h"

namespace veltra::e2e {
namespace {

using namespace std::chrono_literals;

constexpr wchar_t kWatcher[] = L"Veltrawatch.exe";
constexpr wchar_t kWatcherTitle[] = L"Veltra Control App Main Window";
constexpr UINT kWatchNotify = WM_USER + 1;
constexpr WPARAM kExitCommand = 32783;
// One watch interval is 100 ms; a switch takes the simulated installer a
// while more on a busy machine.
constexpr auto kWithinAnInterval = 3s;

HWND FindWatcher(DWORD process_id) {
  HWND window = nullptr;
  while ((window = ::FindWindowExW(nullptr, window, nullptr, kWatcherTitle)) != nullptr) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == process_id) return window;
  }
  return nullptr;
}

std::size_t CountWatcherWindows() {
  std::size_t count = 0;
  HWND window = nullptr;
  while ((window = ::FindWindowExW(nullptr, window, nullptr, kWatcherTitle)) != nullptr) ++count;
  return count;
}

// A window of this process takes the foreground itself; one of another
// process is asked to (fake_app answers WM_APP so). Asked again until it
// holds: a program still starting may take the foreground back once.
bool BringToFront(HWND window) {
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (owner == ::GetCurrentProcessId()) {
      ::SetForegroundWindow(window);
    } else {
      ::PostMessageW(window, WM_APP, 0, 0);
    }
    if (WaitUntil([&] { return ::GetForegroundWindow() == window; }, 1s) &&
        !WaitUntil([&] { return ::GetForegroundWindow() != window; }, 200ms)) {
      return true;
    }
  }
  return false;
}

std::size_t PropertyChanges(const Sandbox& box) {
  const std::vector<std::wstring> lines = box.LogLines();
  return static_cast<std::size_t>(std::count_if(lines.begin(), lines.end(), [](const std::wstring& line) {
    return line.rfind(L"PROPERTYCHANGE", 0) == 0;
  }));
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(::tolower(static_cast<unsigned char>(c)));
  return text;
}

// A running process that is ended when the test ends, however it ends.
struct Process {
  UniqueHandle handle;
  ~Process() {
    if (handle && ::WaitForSingleObject(handle.get(), 0) == WAIT_TIMEOUT) ::TerminateProcess(handle.get(), 9);
  }
};

// Stands in for the notification area: Wine's Shell_NotifyIcon hands the
// first window of class "Shell_TrayWnd" each change, the icon's pixels
// included.
struct StandInTray {
  static inline std::vector<std::tuple<HWND, ULONG_PTR, std::string>> received;  // owner, NIM_*, data
  static LRESULT CALLBACK Receive(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != WM_COPYDATA) return ::DefWindowProcW(window, message, wparam, lparam);
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lparam);
    received.emplace_back(reinterpret_cast<HWND>(wparam), data->dwData,
                          std::string(static_cast<const char*>(data->lpData), data->cbData));
    return TRUE;
  }
};

TEST(Watcher, ForegroundProgramsSwitchAsListedAndTheIconPausesAndResumes) {
  TouchSandbox box(L"watch-lists");
  box.CopyProgram(L"sim\\Veltrawatch.exe", kWatcher);
  box.CopyProgram(L"fake_app.exe", L"Drawing Tools\\Paint Pad.exe");
  box.CopyProgram(L"fake_app.exe", L"Reader.exe");
  // Written in another case, with a trailing comment; the reader stands in
  // both lists; a file name alone never matches.
  box.WriteFile(L"disable_proc_list.txt", "# pen programs\r\n" + Lower(Narrow(box.File(L"Drawing Tools\\Paint Pad.exe"))) +
                                              "    # drawing\r\n" + Narrow(box.File(L"Reader.exe")) + "\r\n");
  box.WriteFile(L"enable_proc_list.txt", "Paint Pad.exe\r\n" + Lower(Narrow(box.File(L"Reader.exe"))) + "\r\n");
  // An interval that would never fire watches at the default 100 ms, and
  // stays in the file as the user wrote it.
  box.WriteFile(L"Veltrawatch.ini", "[config]\r\ninterval=-1\r\ndefault status=2\r\n");

  RunningVeltra veltra(box);
  ASSERT_NE(veltra.window(), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return box.DeviceStarted(kId) == 1 && !veltra.Text().empty(); }));
  const HWND tray = testing::CreateStandInWindow(L"Shell_TrayWnd", &StandInTray::Receive);
  ASSERT_TRUE(::SetWindowPos(tray, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE));
  Process watcher{box.StartProgram(kWatcher)};
  HWND watch_window = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (watch_window = FindWatcher(::GetProcessId(watcher.handle.get()))) != nullptr; }));
  EXPECT_FALSE(::IsWindowVisible(watch_window));
  EXPECT_EQ(box.ProfileValue(L"Veltrawatch.ini", L"config", L"interval"), L"-1");

  Process paint{box.StartProgram(L"Drawing Tools\\Paint Pad.exe")};
  Process reader{box.StartProgram(L"Reader.exe")};
  const HWND paint_window = ShownWindowOf(::GetProcessId(paint.handle.get()), L"VeltraTestForegroundApp");
  const HWND reader_window = ShownWindowOf(::GetProcessId(reader.handle.get()), L"VeltraTestForegroundApp");
  ASSERT_NE(paint_window, nullptr);
  ASSERT_NE(reader_window, nullptr);

  ASSERT_TRUE(BringToFront(paint_window));
  EXPECT_TRUE(WaitUntil([&] { return box.DeviceStarted(kId) == 0; }, kWithinAnInterval)) << "the disable list";
  ASSERT_TRUE(BringToFront(reader_window));
  EXPECT_TRUE(WaitUntil([&] { return box.DeviceStarted(kId) == 1; }, kWithinAnInterval)) << "both lists: enable wins";

  // A program in neither list with default status 2: nothing is sent, so a
  // switch by hand stays.
  const HWND own = ::CreateWindowExW(0, L"Static", L"unlisted", WS_POPUP | WS_VISIBLE, 50, 50, 100, 50, nullptr,
                                     nullptr, nullptr, nullptr);
  ASSERT_TRUE(BringToFront(own));
  veltra.Send(protocol::WM_SET_TOUCH_STATE, 0, 1);  // toggle, as the user would
  ASSERT_EQ(box.DeviceStarted(kId), 0);
  const std::size_t changes = PropertyChanges(box);
  WaitUntil([] { return false; }, 1s);
  EXPECT_EQ(box.DeviceStarted(kId), 0);
  EXPECT_EQ(PropertyChanges(box), changes);

  // Paused by a double click on the icon, the reader changes nothing;
  // resumed, it enables within an interval.
  ::SendMessageW(watch_window, kWatchNotify, 0, WM_LBUTTONDBLCLK);
  ASSERT_TRUE(BringToFront(reader_window));
  WaitUntil([] { return false; }, 1s);
  EXPECT_EQ(box.DeviceStarted(kId), 0) << "paused";
  ::SendMessageW(watch_window, kWatchNotify, 0, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(WaitUntil([&] { return box.DeviceStarted(kId) == 1; }, kWithinAnInterval)) << "resumed";
  // The icon the shell was given: added watching, then paused, then watching again.
  std::vector<std::pair<ULONG_PTR, std::string>> icon;
  for (const auto& [owner, change, data] : StandInTray::received) {
    if (owner == watch_window) icon.emplace_back(change, data);
  }
  ASSERT_EQ(icon.size(), 3u);
  EXPECT_EQ(std::tuple(icon[0].first, icon[1].first, icon[2].first), std::tuple(NIM_ADD, NIM_MODIFY, NIM_MODIFY));
  EXPECT_TRUE(icon[1].second != icon[0].second) << "the pause left the icon as it was";
  EXPECT_TRUE(icon[2].second == icon[0].second) << "resumed, the icon is not the watching one";

  // Exit from the menu ends the watcher and takes its window away.
  ::PostMessageW(watch_window, WM_COMMAND, kExitCommand, 0);
  EXPECT_TRUE(WaitPumping(watcher.handle.get(), 10s));
  EXPECT_EQ(CountWatcherWindows(), 0u);
  // Veltra's exit removes its icon, named by its window and identifier (the
  // shell's record starts with the window's and the identifier's 32 bits).
  const HWND status = veltra.window();
  veltra.Send(WM_CLOSE);
  EXPECT_TRUE(veltra.WaitForExit());
  EXPECT_TRUE(std::any_of(StandInTray::received.begin(), StandInTray::received.end(), [&](const auto& change) {
    const auto& [owner, kind, data] = change;
    UINT id = 0;
    if (data.size() >= 8) std::memcpy(&id, data.data() + 4, sizeof(id));
    return owner == status && kind == NIM_DELETE && id == TRAY_ICON_ID;
  })) << "no removal of Veltra's icon";
  ::DestroyWindow(own);
  ::DestroyWindow(tray);
  ::PostMessageW(paint_window, WM_CLOSE, 0, 0);
  ::PostMessageW(reader_window, WM_CLOSE, 0, 0);
}

TEST(Watcher, OneCopyWithDefaultsWrittenKeepsPollingUntilVeltraRuns) {
  TouchSandbox box(L"watch-defaults");
  box.CopyProgram(L"sim\\Veltrawatch.exe", kWatcher);
  ASSERT_FALSE(box.Exists(L"Veltrawatch.ini"));
  ASSERT_FALSE(box.Exists(L"enable_proc_list.txt"));

  // The test's own window in front: an unlisted program, and with the
  // default status 0 the panel is to be disabled, once Veltra runs.
  const HWND own = ::CreateWindowExW(0, L"Static", L"unlisted", WS_POPUP | WS_VISIBLE, 50, 50, 100, 50, nullptr,
                                     nullptr, nullptr, nullptr);
  ASSERT_TRUE(BringToFront(own));
  // Another program took the watcher's single-instance name first: the
  // watcher runs all the same, and a second copy still ends.
  const UniqueHandle taken(::CreateMutexW(nullptr, FALSE, protocol::kWatchMutex));
  Process watcher{box.StartProgram(kWatcher)};
  ASSERT_TRUE(WaitUntil([&] { return FindWatcher(::GetProcessId(watcher.handle.get())) != nullptr; }));
  EXPECT_EQ(box.ProfileValue(L"Veltrawatch.ini", L"config", L"interval"), L"100");
  EXPECT_EQ(box.ProfileValue(L"Veltrawatch.ini", L"config", L"default status"), L"0");

  // A second copy ends at once, leaving one watcher window.
  Process second{box.StartProgram(kWatcher)};
  EXPECT_TRUE(WaitPumping(second.handle.get(), 10s));
  DWORD code = 1;
  ::GetExitCodeProcess(second.handle.get(), &code);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(CountWatcherWindows(), 1u);
  EXPECT_EQ(::WaitForSingleObject(watcher.handle.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

  // Nothing to send to yet; then Veltra starts and the watcher acts.
  WaitUntil([] { return false; }, 500ms);
  EXPECT_EQ(box.DeviceStarted(kId), 1);
  ASSERT_TRUE(BringToFront(own));
  RunningVeltra veltra(box);
  ASSERT_NE(veltra.window(), nullptr);
  ASSERT_TRUE(BringToFront(own));
  EXPECT_TRUE(WaitUntil([&] { return box.DeviceStarted(kId) == 0; }, kWithinAnInterval));

  ::PostMessageW(FindWatcher(::GetProcessId(watcher.handle.get())), WM_COMMAND, kExitCommand, 0);
  EXPECT_TRUE(WaitPumping(watcher.handle.get(), 10s));
  ::DestroyWindow(own);
}

// A window of Veltra's class that another program made, found before the
// real one, is never talked to: a second start reaches the real Veltra past
// it, and the watcher steers the real one and stays responsive.
TEST(Watcher, ADecoyOfVeltrasWindowClassIsPassedOver) {
  TouchSandbox box(L"watch-decoy");
  box.CopyProgram(L"sim\\Veltrawatch.exe", kWatcher);
  box.WriteFile(L"Veltrawatch.ini", "[config]\r\ndefault status=1\r\n");
  RunningVeltra veltra(box, L"/T 1");
  ASSERT_NE(veltra.window(), nullptr);
  FakeRunningInstance decoy(true);
  ASSERT_EQ(::FindWindowW(protocol::kWindowClass, nullptr), decoy.window()) << "the decoy is not found first";

  EXPECT_EQ(box.Run(L"/T 0"), 0);
  EXPECT_EQ(box.DeviceStarted(kId), 0);

  // An unlisted program in front with default status 1: enable.
  const HWND own = ::CreateWindowExW(0, L"Static", L"unlisted", WS_POPUP | WS_VISIBLE, 50, 50, 100, 50, nullptr,
                                     nullptr, nullptr, nullptr);
  ASSERT_TRUE(BringToFront(own));
  Process watcher{box.StartProgram(kWatcher)};
  EXPECT_TRUE(WaitUntil([&] { return box.DeviceStarted(kId) == 1; }));
  EXPECT_TRUE(decoy.TakeMessages().empty());
  ::PostMessageW(FindWatcher(::GetProcessId(watcher.handle.get())), WM_COMMAND, kExitCommand, 0);
  EXPECT_TRUE(WaitPumping(watcher.handle.get(), 10s));
  ::DestroyWindow(own);
}

}  // namespace
}  // namespace veltra::e2e
