// The status window of the simulated Veltra.exe as a real process, driven
// from outside the way the shell, another program or a user would.
#include <windows.h>
#include <dbt.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "e2e_support.h"

namespace veltra::e2e {
namespace {

using Lines = std::vector<std::wstring>;
using namespace std::chrono_literals;

const std::wstring kEnabledText = L"Double click for Touch disable.";
const std::wstring kDisabledText = L"Double click for Touch enable.";
constexpr UINT kSetTouchState = protocol::WM_SET_TOUCH_STATE;
constexpr UINT kTrayNotify = protocol::WM_TRAY_NOTIFY;

std::size_t CountLines(const Lines& lines, const std::wstring& prefix) {
  return static_cast<std::size_t>(
      std::count_if(lines.begin(), lines.end(), [&](const std::wstring& l) { return l.rfind(prefix, 0) == 0; }));
}

TEST(StatusWindow, StartsInTheSavedStateAndADoubleClickSwitches) {
  TouchSandbox box(L"sw-start", "[status]\r\ntouch_status=0\r\n");
  RunningVeltra veltra(box);
  ASSERT_NE(veltra.window(), nullptr);
  EXPECT_TRUE(WaitUntil([&] { return veltra.Text() == kDisabledText; }));
  EXPECT_EQ(box.DeviceStarted(kId), 0);
  EXPECT_TRUE(veltra.Visible());

  veltra.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
  EXPECT_EQ(veltra.Text(), kEnabledText);
  EXPECT_EQ(box.DeviceStarted(kId), 1);
  veltra.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
  EXPECT_EQ(veltra.Text(), kDisabledText);
  EXPECT_EQ(box.DeviceStarted(kId), 0);
}

// Every way out leaves the panel enabled and keeps the last choice for the
// next start.
TEST(StatusWindow, EveryExitPathEnablesThePanelAndKeepsTheChoice) {
  struct Path {
    const char* name;
    UINT message;
    WPARAM wparam;
  };
  const Path paths[] = {
      {"menu Exit", WM_COMMAND, ID_APP_EXIT},
      {"close", WM_CLOSE, 0},
      {"cancel", WM_COMMAND, IDCANCEL},
      {"end of session", WM_ENDSESSION, 1},
  };
  for (const Path& path : paths) {
    SCOPED_TRACE(path.name);
    TouchSandbox box(L"sw-exit", "[status]\r\ntouch_status=0\r\n");
    {
      RunningVeltra veltra(box);
      ASSERT_NE(veltra.window(), nullptr);
      ASSERT_TRUE(WaitUntil([&] { return box.DeviceStarted(kId) == 0; }));
      veltra.Send(path.message, path.wparam, 0);
      EXPECT_TRUE(veltra.WaitForExit());
    }
    EXPECT_EQ(box.DeviceStarted(kId), 1);
    EXPECT_EQ(box.Setting(L"status", L"touch_status"), L"0");
    // The next start disables it again.
    RunningVeltra again(box);
    ASSERT_NE(again.window(), nullptr);
    EXPECT_TRUE(WaitUntil([&] { return box.DeviceStarted(kId) == 0; }));
  }
}

TEST(StatusWindow, EnterAndSpaceDoNothingEscapeEndsThroughTheExitSequence) {
  TouchSandbox box(L"sw-keys", "[status]\r\ntouch_status=0\r\n");
  RunningVeltra veltra(box);
  ASSERT_NE(veltra.window(), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return box.DeviceStarted(kId) == 0; }));
  // Queued keys, as the keyboard would deliver them to the focused window.
  for (WPARAM key : {VK_RETURN, VK_SPACE}) {
    ::PostMessageW(veltra.window(), WM_KEYDOWN, key, 1);
    ::PostMessageW(veltra.window(), WM_KEYUP, key, 0xC0000001);
  }
  EXPECT_FALSE(veltra.WaitForExit(700ms));
  EXPECT_EQ(box.DeviceStarted(kId), 0);
  ::PostMessageW(veltra.window(), WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_TRUE(veltra.WaitForExit());
  EXPECT_EQ(box.DeviceStarted(kId), 1);
  EXPECT_EQ(box.Setting(L"status", L"touch_status"), L"0");
}

TEST(StatusWindow, EndOfSessionQuerySavesFirstAndAFalseEndKeepsRunning) {
  TouchSandbox box(L"sw-query");
  RunningVeltra veltra(box, L"/T 0");
  ASSERT_NE(veltra.window(), nullptr);
  EXPECT_FALSE(box.SettingsExist() && box.Setting(L"status", L"touch_status") == L"0");
  EXPECT_EQ(veltra.Send(WM_QUERYENDSESSION), TRUE);
  EXPECT_EQ(box.Setting(L"status", L"touch_status"), L"0");
  EXPECT_EQ(box.Setting(L"color", L"transparent"), L"85");
  veltra.Send(WM_ENDSESSION, 0, 0);
  EXPECT_FALSE(veltra.WaitForExit(500ms));
  EXPECT_EQ(box.DeviceStarted(kId), 0);
}

TEST(ControlMessages, SetAndToggleAndTheUnchangedStateTouchesNothing) {
  TouchSandbox box(L"cm-set", "[status]\r\ntouch_status=0\r\n");
  RunningVeltra veltra(box);
  ASSERT_NE(veltra.window(), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return veltra.Text() == kDisabledText; }));

  EXPECT_EQ(veltra.Send(kSetTouchState, 5, 0), 0);
  EXPECT_EQ(box.DeviceStarted(kId), 1);
  EXPECT_EQ(veltra.Text(), kEnabledText);
  EXPECT_EQ(veltra.Send(kSetTouchState, 0, 7), 0);
  EXPECT_EQ(box.DeviceStarted(kId), 0);
  EXPECT_EQ(veltra.Send(kSetTouchState, 1, 9), 0);  // a toggle whatever wParam says
  EXPECT_EQ(box.DeviceStarted(kId), 1);

  // Let the device-change notifications of the switches above settle: each
  // makes the window read the device's status once.
  std::size_t before = 0;
  WaitUntil([&] {
    const std::size_t now = box.LogLines().size();
    ::Sleep(300);
    before = box.LogLines().size();
    return now == before;
  });
  for (int i = 0; i < 20; ++i) veltra.Send(kSetTouchState, 1, 0);
  EXPECT_EQ(box.LogLines().size(), before);
  EXPECT_EQ(veltra.Text(), kEnabledText);

  // During a cleaning a request changes the choice only, and two toggles
  // cancel out; what the end of the logon saves is that choice, never the
  // cleaning's "off", and the cleaning's end applies it.
  veltra.Send(WM_COMMAND, ID_CLEAN_SCREEN);
  ASSERT_EQ(box.DeviceStarted(kId), 0);
  veltra.Send(kSetTouchState, 0, 0);
  veltra.Send(kSetTouchState, 1, 0);
  EXPECT_EQ(box.DeviceStarted(kId), 0) << "a request ended the cleaning";
  veltra.Send(kSetTouchState, 0, 1);
  veltra.Send(kSetTouchState, 0, 1);
  EXPECT_EQ(veltra.Send(WM_QUERYENDSESSION), TRUE);
  EXPECT_EQ(box.Setting(L"status", L"touch_status"), L"1");
  veltra.Send(kSetTouchState, 0, 1);
  EXPECT_EQ(veltra.Send(WM_QUERYENDSESSION), TRUE);
  EXPECT_EQ(box.Setting(L"status", L"touch_status"), L"0");
  veltra.Send(WM_COMMAND, ID_CLEAN_SCREEN);
  EXPECT_EQ(box.DeviceStarted(kId), 0);
  EXPECT_EQ(veltra.Text(), kDisabledText);
}

TEST(ControlMessages, ASecondStartTogglesOrSetsTheRunningInstance) {
  TouchSandbox box(L"cm-second");
  RunningVeltra veltra(box);
  ASSERT_NE(veltra.window(), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return veltra.Text() == kEnabledText; }));
  EXPECT_EQ(box.Run(L""), 0);
  EXPECT_EQ(box.DeviceStarted(kId), 0);
  EXPECT_EQ(box.Run(L""), 0);
  EXPECT_EQ(box.DeviceStarted(kId), 1);
  EXPECT_EQ(box.Run(L"/T 0"), 0);
  EXPECT_EQ(box.DeviceStarted(kId), 0);
  EXPECT_EQ(veltra.Text(), kDisabledText);
  EXPECT_EQ(box.Run(L"/T 0"), 0);
  EXPECT_EQ(box.DeviceStarted(kId), 0);
}

TEST(DeviceChanges, ADeviceDisabledFromOutsideTurnsTheWindowWithoutASwitch) {
  TouchSandbox box(L"dc-outside");
  RunningVeltra veltra(box);
  ASSERT_NE(veltra.window(), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return veltra.Text() == kEnabledText; }));
  const std::size_t changes = CountLines(box.LogLines(), L"PROPERTYCHANGE");

  box.WriteDevices({TouchScreen(kId, false)});
  veltra.Send(WM_DEVICECHANGE, 0x8000 /* arrival */, 0);
  EXPECT_EQ(veltra.Text(), kEnabledText);
  veltra.Send(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
  EXPECT_EQ(veltra.Text(), kDisabledText);
  EXPECT_EQ(CountLines(box.LogLines(), L"PROPERTYCHANGE"), changes);

  // The broadcast the way Windows sends it reaches the window too.
  box.WriteDevices({TouchScreen(kId)});
  DWORD_PTR ignored = 0;
  ::SendMessageTimeoutW(HWND_BROADCAST, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
  EXPECT_TRUE(WaitUntil([&] { return veltra.Text() == kEnabledText; }));
  EXPECT_EQ(CountLines(box.LogLines(), L"PROPERTYCHANGE"), changes);
}

TEST(DeviceChanges, ResumeEnablesOnlyWhenAsked) {
  for (const bool detect : {true, false}) {
    SCOPED_TRACE(detect ? "detect_resume 1" : "detect_resume 0");
    TouchSandbox box(L"dc-resume");
    box.WriteSettings(std::string("[status]\r\ntouch_status=0\r\ndetect_resume=") + (detect ? "1" : "0") + "\r\n");
    RunningVeltra veltra(box);
    ASSERT_NE(veltra.window(), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return box.DeviceStarted(kId) == 0; }));
    veltra.Send(WM_POWERBROADCAST, 0x12 /* PBT_APMRESUMEAUTOMATIC */, 0);
    EXPECT_EQ(box.DeviceStarted(kId), detect ? 1 : 0);
    EXPECT_EQ(veltra.Text(), detect ? kEnabledText : kDisabledText);
  }
}

TEST(DeviceChanges, DebugModeFollowsTheDeviceWithinASecond) {
  TouchSandbox box(L"dc-debug", "[status]\r\ndebug_mode=1\r\n");
  RunningVeltra veltra(box);
  ASSERT_NE(veltra.window(), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return veltra.Text() == kEnabledText; }));
  box.WriteDevices({TouchScreen(kId, false)});  // no notification at all
  EXPECT_TRUE(WaitUntil([&] { return veltra.Text() == kDisabledText; }, 2500ms));
}

// The Device Manager console is started from the system folder, where the
// test puts a recording stand-in; a copy planted beside the program (where
// an elevated program looking for a bare "mmc" would find it first) must
// never run, and the console file is named by its full path.
class DeviceError : public ::testing::Test {
 protected:
  // The configured device is there (so the start takes it) but its class
  // installer refuses every change.
  static std::vector<SimDevice> Devices(int touch_started) {
    SimDevice broken = TouchScreen(kBroken);
    broken.refuse_change = true;
    return {TouchScreen(kId, touch_started != 0), broken};
  }
  void SetUp() override {
    box_.WriteDevices(Devices(1));
    box_.WriteSettings("[hardware]\r\ndevice_instance_path=HID\\VID_DEAD&PID_BEEF\\0\r\n");
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring fake(self);
    fake = fake.substr(0, fake.find_last_of(L'\\') + 1) + L"fake_mmc.exe";
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    system_dir_ = system;
    ::DeleteFileW((system_dir_ + L"\\mmc.log").c_str());
    ASSERT_TRUE(::CopyFileW(fake.c_str(), (system_dir_ + L"\\mmc.exe").c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW(fake.c_str(), box_.File(L"mmc.exe").c_str(), FALSE));
  }
  void TearDown() override {
    ::DeleteFileW((system_dir_ + L"\\mmc.exe").c_str());
    ::DeleteFileW((system_dir_ + L"\\mmc.log").c_str());
  }

  HWND WaitForBox(const RunningVeltra& veltra) {
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = FindDialogOf(veltra.process_id())) != nullptr; });
    return dialog;
  }

  static int Lines(const std::wstring& path) {
    std::ifstream in{std::filesystem::path(path)};
    return static_cast<int>(std::count(std::istreambuf_iterator<char>(in), {}, '\n'));
  }
  int MmcStarts() { return Lines(system_dir_ + L"\\mmc.log"); }
  std::string MmcArguments() {
    std::ifstream in{std::filesystem::path(system_dir_ + L"\\mmc.log")};
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  int PlantedMmcStarts() { return Lines(box_.File(L"mmc.log")); }

  static constexpr wchar_t kBroken[] = L"HID\\VID_DEAD&PID_BEEF\\0";
  Sandbox box_{L"device-error"};
  std::wstring system_dir_;
};

TEST_F(DeviceError, AbortEndsWithTheDeviceEnabledAndThePathWrittenBack) {
  box_.WriteDevices(Devices(0));
  RunningVeltra veltra(box_);
  const HWND dialog = WaitForBox(veltra);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(MessageText(dialog),
            L"Device control error.\nPlease check the device status \nand device instance path in device manager.");
  EXPECT_TRUE(WaitUntil([&] { return MmcStarts() == 1; }));
  EXPECT_EQ(MmcArguments(), Narrow(system_dir_) + "\\devmgmt.msc\n");
  ::PostMessageW(dialog, WM_COMMAND, IDABORT, 0);
  EXPECT_TRUE(veltra.WaitForExit());
  EXPECT_EQ(box_.Setting(L"hardware", L"device_instance_path"), L"HID\\VID_DEAD&PID_BEEF\\0");
  EXPECT_EQ(MmcStarts(), 1);
  EXPECT_EQ(PlantedMmcStarts(), 0);
}

TEST_F(DeviceError, IgnoreKeepsRunningShowingTheSavedState) {
  RunningVeltra veltra(box_);
  const HWND dialog = WaitForBox(veltra);
  ASSERT_NE(dialog, nullptr);
  ::PostMessageW(dialog, WM_COMMAND, IDIGNORE, 0);
  ASSERT_NE(veltra.window(), nullptr);
  EXPECT_TRUE(WaitUntil([&] { return FindDialogOf(veltra.process_id()) == nullptr; }));
  EXPECT_FALSE(veltra.WaitForExit(500ms));
  EXPECT_EQ(veltra.Text(), kEnabledText);
}

TEST_F(DeviceError, RetryAfterTheDeviceWasRepairedGoesOnWithoutASecondBox) {
  RunningVeltra veltra(box_);
  HWND dialog = WaitForBox(veltra);
  ASSERT_NE(dialog, nullptr);
  // Still broken: the box comes back, Device Manager is not opened again.
  ::PostMessageW(dialog, WM_COMMAND, IDRETRY, 0);
  EXPECT_TRUE(WaitUntil([&] { return ::IsWindow(dialog) == FALSE; }));
  dialog = WaitForBox(veltra);
  ASSERT_NE(dialog, nullptr);
  // Repaired: the device now answers under the configured path.
  box_.WriteDevices({TouchScreen(kId), TouchScreen(kBroken)});
  ::PostMessageW(dialog, WM_COMMAND, IDRETRY, 0);
  EXPECT_TRUE(WaitUntil([&] { return FindDialogOf(veltra.process_id()) == nullptr && veltra.Text() == kEnabledText; }));
  EXPECT_FALSE(veltra.WaitForExit(500ms));
  EXPECT_EQ(MmcStarts(), 1);
}

// A close that the box's own loop dispatches runs the exit; a Retry answered
// after it must not drive the device back to the saved 0.
TEST_F(DeviceError, AnExitWhileTheBoxIsUpLeavesThePanelEnabledWhateverTheAnswer) {
  box_.WriteSettings("[status]\r\ntouch_status=0\r\n[hardware]\r\ndevice_instance_path=HID\\VID_DEAD&PID_BEEF\\0\r\n");
  RunningVeltra veltra(box_);
  const HWND dialog = WaitForBox(veltra);
  ASSERT_NE(dialog, nullptr);
  box_.WriteDevices({TouchScreen(kId), TouchScreen(kBroken)});  // repaired: a switch would take now
  ::PostMessageW(veltra.window(), WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return CountLines(box_.LogLines(), L"PROPERTYCHANGE " + std::wstring(kBroken) + L" ENABLE") > 0; }))
      << "the exit did not run inside the box";
  ::PostMessageW(dialog, WM_COMMAND, IDRETRY, 0);
  EXPECT_TRUE(veltra.WaitForExit());
  EXPECT_EQ(box_.DeviceStarted(kBroken), 1);
  EXPECT_EQ(CountLines(box_.LogLines(), L"PROPERTYCHANGE " + std::wstring(kBroken) + L" DISABLE"), 0u);
}

TEST(CrashHandler, AnUnhandledExceptionLeavesThePanelEnabled) {
  TouchSandbox box(L"crash", "[status]\r\ntouch_status=0\r\n");
  RunningVeltra veltra(box);
  ASSERT_NE(veltra.window(), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return box.DeviceStarted(kId) == 0; }));
  ::PostMessageW(veltra.window(), ::RegisterWindowMessageW(protocol::kSimulatedCrashMessageName), 0, 0);
  ASSERT_TRUE(veltra.WaitForExit());
  DWORD code = 0;
  ::GetExitCodeProcess(veltra.process(), &code);
  EXPECT_EQ(code, 0xE0000001u);
  EXPECT_EQ(box.DeviceStarted(kId), 1);
}

}  // namespace
}  // namespace veltra::e2e
