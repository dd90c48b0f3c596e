// The simulated Veltra ended at every step of its main flows, as a power
// cut, "End task" or the end of the logon would end it: after each ending
// the boot task's one-shot run and then a normal start must find every
// device working, a settings file that is whole, and the tasks it ticks.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

#include "core/settings.h"
#include "device/device_selection_dlg.h"
#include "e2e_support.h"
#include "sim/sim_device_tree.h"

namespace veltra::e2e {
namespace {

using namespace std::chrono_literals;

constexpr wchar_t kLockTask[] = L"Veltra_SessionLock";
// Saved disabled, on the device given (the first one, unless the flow
// starts from the known list), with the one task Wine can register.
std::string SettingsBefore(const std::wstring& configured) {
  return "[status]\r\ntouch_status=0\r\n[task_scheduler]\r\ntask_lock=1\r\n[hardware]\r\ndevice_instance_path=" +
         Narrow(configured) + "\r\n";
}
const wchar_t* const kKeysBefore[][2] = {
    {L"status", L"touch_status"}, {L"task_scheduler", L"task_lock"}, {L"hardware", L"device_instance_path"}};

// One run of a flow: each step gives up once the program has ended, and
// fails the test when the program still runs but what it needs is not
// there.
class Flow {
 public:
  // Started, and through its start-up: the saved state is on the device
  // the start took.
  Flow(const Sandbox& box, const std::wstring& target) : process_(box.Start(L"")) {
    window_ = Shown(protocol::kWindowClass, nullptr);
    WaitUntil([&] { return !alive() || box.DeviceStarted(target) == 0; });
  }
  bool alive() const { return ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }
  DWORD id() const { return ::GetProcessId(process_.get()); }

  void Send(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) const {
    DWORD_PTR answer = 0;
    if (window_ != nullptr && alive()) ::SendMessageTimeoutW(window_, message, wparam, lparam, SMTO_NORMAL, 20000, &answer);
  }
  // The second device, chosen in the configuration dialog's device
  // selection: tested (its five seconds passed by posting the test's timer
  // ticks), confirmed twice, accepted.
  void ChooseOtherDevice() const {
    Send(WM_COMMAND, ID_CONFIGURATION);
    const HWND config = Shown(L"#32770", L"Veltra Configuration");
    if (config == nullptr) return;
    ::PostMessageW(config, WM_COMMAND, MAKEWPARAM(IDC_CFG_DEVICE_SELECT, BN_CLICKED), 0);
    const HWND selection = Shown(L"#32770", L"Select Control Target Device");
    if (selection == nullptr) return;
    ::SendDlgItemMessageW(selection, IDC_INIT_DEVICE_LIST, CB_SETCURSEL, 1, 0);
    ::PostMessageW(selection, WM_COMMAND, MAKEWPARAM(IDC_INIT_TEST_START, BN_CLICKED), 0);
    if (!Answer(IDOK)) return;
    for (int tick = 0; tick <= CInitDlg::kTestSeconds; ++tick) ::PostMessageW(selection, WM_TIMER, CInitDlg::kTestTimer, 0);
    if (Answer(IDYES) && Answer(IDYES)) WaitUntil([&] { return !alive() || !::IsWindow(selection); });
  }
  // Answers the next message box; false once the program has ended.
  bool Answer(int button) const {
    const HWND box = Shown(L"#32770", L"Veltra");
    if (box == nullptr) return false;
    ::PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
    WaitUntil([&] { return !alive() || !::IsWindow(box); });
    return alive();
  }
  // A shown window of the program; null once it has ended, and a failure
  // when it runs on without one.
  HWND Shown(const wchar_t* window_class, const wchar_t* caption) const {
    const HWND window = ShownWindowOf(id(), window_class, caption, process_.get());
    if (!alive()) return nullptr;
    if (window == nullptr) ADD_FAILURE() << "no window \"" << Narrow(caption != nullptr ? caption : window_class) << "\"";
    return window;
  }
  // The exit code once it ended, -1 if it had to be killed.
  int End() const {
    if (!WaitPumping(process_.get(), 60s)) {
      ::TerminateProcess(process_.get(), 99);
      return -1;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process_.get(), &code);
    return static_cast<int>(code);
  }

 private:
  UniqueHandle process_;
  HWND window_ = nullptr;
};

// A schtasks run the ended program started is left to finish, as on
// Windows; Wine's sometimes never ends once its parent has gone (and keeps
// the test's output open), so one still running a second later goes.
void EndOrphanedTaskRuns() {
  const ULONGLONG deadline = ::GetTickCount64() + 1000;
  const UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); snapshot && more;
       more = ::Process32NextW(snapshot.get(), &entry)) {
    if (::lstrcmpiW(entry.szExeFile, L"schtasks.exe") != 0) continue;
    const UniqueHandle process(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, entry.th32ProcessID));
    const ULONGLONG now = ::GetTickCount64();
    const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
    if (process && ::WaitForSingleObject(process.get(), left) == WAIT_TIMEOUT) ::TerminateProcess(process.get(), 1);
  }
}

void SetEndAtStep(const Sandbox& box, int step) {
  const std::wstring value = std::to_wstring(step);
  box.WriteDeviceValue(L"system", L"end_at_step", step > 0 ? value.c_str() : nullptr);
}

// Whole: either no save reached it (only the keys it had, one of them
// possibly written on its own), or a save wrote every key.
bool SettingsAreWhole(const Sandbox& box) {
  const auto present = [&](std::wstring_view section, std::wstring_view key) {
    return box.Setting(std::wstring(section).c_str(), std::wstring(key).c_str()) != L"<missing>";
  };
  int saved = 0, found = 0, found_before = 0;
  for (const KeyDef& def : SettingsKeyTable()) {
    if (!def.saved) continue;
    ++saved;
    found += present(def.section, def.key) ? 1 : 0;
  }
  for (const auto& key : kKeysBefore) found_before += present(key[0], key[1]) ? 1 : 0;
  return found == saved || (found_before == 3 && found == 3);
}

// Walks N = 1, 2, ... over the flow until it runs to its end without being
// ended; the steps it took are in the device log.
// The steps of the start both flows share: the saved state on the device,
// the device path written (copy, then file). The tasks' refresh takes no
// step: the one task ticked is registered as wanted, so it runs no
// schtasks, neither at the start nor at the exit.
constexpr int kStartSteps = 3;

int StepsTaken(const Sandbox& box) {
  int steps = 0;
  for (const std::wstring& line : box.LogLines()) steps += line.starts_with(L"STEP ") ? 1 : 0;
  return steps;
}

// A walk takes a full run of the program for each step, so each is cut into
// parts, separate tests that the Wine shards run at once. A part walks the
// steps from its first up to the next part's first; the last one (end 0)
// walks on to where the flow runs to its end without being ended.
struct WalkPart {
  int first = 1;
  int end = 0;
};
void PrintTo(const WalkPart& part, std::ostream* out) { *out << part.first << ".." << part.end; }

std::string PartName(const ::testing::TestParamInfo<WalkPart>& info) {
  return "Steps" + std::to_string(info.param.first) +
         (info.param.end == 0 ? std::string("On") : "To" + std::to_string(info.param.end - 1));
}

// `configured` is the device the settings name, `target` the one the start
// takes.
void WalkEveryStep(const Sandbox& box, WalkPart part, const std::function<void(const Flow&)>& flow,
                   const std::wstring& configured = kId, const std::wstring& target = kId) {
  // Before the first walk as after each: the task the settings tick is
  // registered.
  box.WriteDevices({TouchScreen(kId), TouchScreen(kOtherId)});
  box.WriteSettings(SettingsBefore(configured));
  {
    RunningVeltra first(box);
    ASSERT_NE(first.window(), nullptr);
    first.Send(WM_CLOSE);
    ASSERT_TRUE(first.WaitForExit(30s));
  }
  ASSERT_TRUE(TaskExists(kLockTask));
  for (int step = part.first; part.end == 0 || step < part.end; ++step) {
    ASSERT_LT(step, 80) << "the flow never ran to its end";
    box.WriteDevices({TouchScreen(kId), TouchScreen(kOtherId)});
    box.WriteSettings(SettingsBefore(configured));
    ::DeleteFileW(box.File(L"sim_devices.log").c_str());
    SetEndAtStep(box, step);
    const Flow run(box, target);
    flow(run);
    const int code = run.End();
    EndOrphanedTaskRuns();
    // The flow's device operations and steps, up to where it ended.
    std::wstring log;
    for (const std::wstring& line : box.LogLines()) log += line + L"\n";
    SCOPED_TRACE(Narrow(log));
    ASSERT_TRUE(code == 0 || code == static_cast<int>(kEndedAtStepExitCode)) << code;
    // The task ticked is registered as wanted: neither the start nor the
    // exit has a schtasks run to make.
    if (code == 0) {
      EXPECT_EQ(log.find(L" schtasks"), std::wstring::npos);
    }

    SetEndAtStep(box, 0);
    EXPECT_EQ(box.Run(L"/T 1 /O"), 0);
    EXPECT_EQ(box.DeviceStarted(kId), 1);
    EXPECT_EQ(box.DeviceStarted(kOtherId), 1);
    EXPECT_TRUE(SettingsAreWhole(box));
    EXPECT_EQ(TaskExists(kLockTask), box.Setting(L"task_scheduler", L"task_lock") == L"1");
    {
      // Ended by the end of the logon, which saves without the closing
      // refresh of the tasks: the start is what is checked here.
      RunningVeltra next(box);
      ASSERT_NE(next.window(), nullptr);
      next.Send(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
      next.Send(WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
      ASSERT_TRUE(next.WaitForExit(30s));
    }
    // A copy an ending left behind is gone with the next save.
    EXPECT_FALSE(box.Exists(L"Veltra.new"));
    if (::testing::Test::HasFailure() || code == 0) return;
  }
}

class UseOfTheWindowAndTheExit : public ::testing::TestWithParam<WalkPart> {};

TEST_P(UseOfTheWindowAndTheExit, Walk) {
  Sandbox box(L"ending-use-" + std::to_wstring(GetParam().first));
  WalkEveryStep(box, GetParam(), [](const Flow& run) {
    run.Send(protocol::WM_SET_TOUCH_STATE, 1, 0);
    run.ChooseOtherDevice();
    run.Send(WM_COMMAND, ID_CLEAN_SCREEN);  // a cleaning begun and ended early
    run.Send(WM_COMMAND, ID_CLEAN_SCREEN);
    run.Send(protocol::WM_SET_TOUCH_STATE, 0, 0);
    run.Send(WM_COMMAND, ID_APP_EXIT);
  });
}

INSTANTIATE_TEST_SUITE_P(EndedAtEveryStep, UseOfTheWindowAndTheExit,
                         ::testing::Values(WalkPart{1, 6}, WalkPart{6, 11}, WalkPart{11, 16}, WalkPart{16, 21},
                                           WalkPart{21, 0}),
                         PartName);

// The settings name a panel this machine does not have; the start takes the
// second device from the known list and switches it off as saved. Ended at
// any step, the boot task must enable that device, not the one the file
// named before.
class StartFromTheKnownList : public ::testing::TestWithParam<WalkPart> {};

TEST_P(StartFromTheKnownList, Walk) {
  Sandbox box(L"ending-known-list-" + std::to_wstring(GetParam().first));
  const std::wstring gone = L"HID\\VID_0000&PID_0000\\GONE";
  box.WriteFile(L"known_device_list.txt",
                "# the fleet's panels\r\nHID\\VID_FFFF&PID_0001\\0\r\n" + Narrow(kOtherId) + "\r\n");
  WalkEveryStep(box, GetParam(), [](const Flow& run) { run.Send(WM_COMMAND, ID_APP_EXIT); }, gone, kOtherId);
  EXPECT_EQ(box.Setting(L"hardware", L"device_instance_path"), kOtherId);
}

INSTANTIATE_TEST_SUITE_P(EndedAtEveryStep, StartFromTheKnownList,
                         ::testing::Values(WalkPart{1, 5}, WalkPart{5, 0}), PartName);

class EndOfTheLogon : public ::testing::TestWithParam<WalkPart> {};

TEST_P(EndOfTheLogon, Walk) {
  Sandbox box(L"ending-logon-" + std::to_wstring(GetParam().first));
  WalkEveryStep(box, GetParam(), [&box](const Flow& run) {
    WaitUntil([&] { return !run.alive() || StepsTaken(box) >= kStartSteps; });
    run.Send(protocol::WM_SET_TOUCH_STATE, 1, 0);
    run.Send(WM_COMMAND, ID_CLEAN_SCREEN);  // the logon ends while the screen is cleaned
    run.Send(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    run.Send(WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  });
  // What the user chose, not the cleaning's "off": the next start after
  // the walk's last run, the one not ended, came up enabled and saved it so.
  if (GetParam().end == 0) {
    EXPECT_EQ(box.Setting(L"status", L"touch_status"), L"1");
  }
}

// Its endings during the start are the other flows': the walk begins after
// them.
INSTANTIATE_TEST_SUITE_P(EndedAtEveryStep, EndOfTheLogon,
                         ::testing::Values(WalkPart{kStartSteps + 1, kStartSteps + 5}, WalkPart{kStartSteps + 5, 0}),
                         PartName);

}  // namespace
}  // namespace veltra::e2e
