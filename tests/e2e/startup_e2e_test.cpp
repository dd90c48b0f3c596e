// Start-up of the simulated Veltra.exe as a real process: the one-shot mode
// used by the scheduled tasks, a normal run's settings file, the forwarding
// of a second start, and the refusal on an old Windows.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>
#include <thread>

#include "e2e_support.h"
#include "protocol/instance_names.h"

namespace veltra::e2e {
namespace {

using Lines = std::vector<std::wstring>;
using Sent = std::vector<std::pair<WPARAM, LPARAM>>;


TEST(OneShot, EnablesADisabledPanelGlobalPassFirstAndWritesNoSettings) {
  Sandbox box(L"oneshot-enable");
  box.WriteDevices({TouchScreen(kId, false)});
  EXPECT_EQ(box.Run(L"/T 1 /O"), 0);
  EXPECT_EQ(box.DeviceStarted(kId), 1);
  EXPECT_EQ(box.LogLines(), (Lines{L"STATUS " + kId, L"PROPERTYCHANGE " + kId + L" ENABLE GLOBAL",
                                   L"PROPERTYCHANGE " + kId + L" ENABLE CONFIGSPECIFIC"}));
  EXPECT_FALSE(box.SettingsExist());
}

TEST(OneShot, LeavesAStartedPanelAloneAndIgnoresTheTouchValue) {
  TouchSandbox box(L"oneshot-started");
  EXPECT_EQ(box.Run(L"/T 1 /O"), 0);
  EXPECT_EQ(box.LogLines(), (Lines{L"STATUS " + kId}));
  EXPECT_FALSE(box.SettingsExist());

  // Either order; the lock task's form with a saved 0 is the second.
  for (const wchar_t* arguments : {L"/O /T 0", L"/T 0 /O"}) {
    box.WriteDevices({TouchScreen(kId, false)});
    EXPECT_EQ(box.Run(arguments), 0);
    EXPECT_EQ(box.DeviceStarted(kId), 1) << Narrow(arguments);
  }
  EXPECT_FALSE(box.SettingsExist());
}

TEST(OneShot, UsesTheStoredDevicePathUpperCasedAndKeepsAnUnreadableDeviceTried) {
  Sandbox box(L"oneshot-path");
  SimDevice unreadable = TouchScreen(kOtherId, false);
  unreadable.status_readable = false;
  box.WriteDevices({TouchScreen(kId, false), unreadable});
  // Saved as UTF-16 without its mark, as some editors do: read all the
  // same, and left byte for byte.
  std::string settings;
  for (const char c : std::string_view("[hardware]\r\ndevice_instance_path=hid\\vid_04f3&pid_2a1c&col01\\5&1a2b3c&0&0000\r\n")) {
    settings += {c, '\0'};
  }
  box.WriteFile(L"Veltra.ini", settings);
  EXPECT_EQ(box.Run(L"/O"), 0);
  std::ifstream file(std::filesystem::path(box.File(L"Veltra.ini")), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), settings);
  EXPECT_EQ(box.DeviceStarted(kId), 0);
  EXPECT_EQ(box.DeviceStarted(kOtherId), 1);  // unreadable status still gets the enable request
  const Lines log = box.LogLines();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0], L"STATUS " + kOtherId);
}

TEST(NormalRun, SavesEveryKeyWithTheCommandLineValues) {
  TouchSandbox box(L"normal-save", "[status]\r\nalways_top=7\r\n[hotkey]\r\nhotkey_single_use=1\r\n[config]\r\nwait=-1\r\n");
  {
    RunningVeltra veltra(box, L"/T 0 /W 0");  // a negative wait must not stall the start
    ASSERT_NE(veltra.window(), nullptr);
    EXPECT_FALSE(veltra.Visible());
    veltra.Send(WM_CLOSE);
    EXPECT_TRUE(veltra.WaitForExit());
  }
  EXPECT_EQ(box.Setting(L"status", L"touch_status"), L"0");
  EXPECT_EQ(box.Setting(L"status", L"window_status"), L"0");
  EXPECT_EQ(box.Setting(L"status", L"always_top"), L"1");
  EXPECT_EQ(box.Setting(L"hotkey", L"hotkey_single_use"), L"1");
  EXPECT_EQ(box.Setting(L"hardware", L"device_instance_path"), kId);
  EXPECT_EQ(box.Setting(L"font", L"disable_name"), L"MS UI Gothic");
  EXPECT_EQ(box.Setting(L"palette", L"palette16"), L"16777215");
}

// Veltra runs elevated: a library planted beside it under a system library's
// name must not load (listing the devices asks HID.DLL, by name, for the
// interface class), and its hook library comes from beside it or nowhere:
// with none there, one on PATH stays unloaded and the Windows-key override
// fails with its warning, the program running on.
TEST(NormalRun, LoadsNoLibraryPlantedBesideItNorAHookLibraryFromElsewhere) {
  TouchSandbox box(L"planted", "[hotkey]\r\noverride_winkey=1\r\n");
  box.CopyProgram(L"planted.dll", L"hid.dll");
  ASSERT_TRUE(::DeleteFileW(box.File(L"VeltraHook.dll").c_str()));
  box.CopyProgram(L"planted.dll", L"on-path\\VeltraHook.dll");
  std::wstring path(32767, L'\0');
  path.resize(::GetEnvironmentVariableW(L"PATH", path.data(), static_cast<DWORD>(path.size())));
  ASSERT_TRUE(::SetEnvironmentVariableW(L"PATH", (box.File(L"on-path") + L";" + path).c_str()));
  {
    RunningVeltra veltra(box);
    ::SetEnvironmentVariableW(L"PATH", path.c_str());
    ASSERT_NE(veltra.window(), nullptr);
    HWND warning = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (warning = FindDialogOf(veltra.process_id())) != nullptr; }));
    EXPECT_EQ(MessageText(warning), L"Fail to Install Hook for override Windows Key.");
    ::PostMessageW(warning, WM_COMMAND, IDIGNORE, 0);
    EXPECT_TRUE(WaitUntil([&] { return veltra.Visible(); }));
    veltra.Send(WM_CLOSE);
    EXPECT_TRUE(veltra.WaitForExit());
  }
  EXPECT_FALSE(box.Exists(L"hid.dll.loaded"));
  EXPECT_FALSE(box.Exists(L"on-path\\VeltraHook.dll.loaded"));
  EXPECT_EQ(box.Setting(L"hotkey", L"override_winkey"), L"0");
}

TEST(NormalRun, WaitsTheConfiguredTimeBeforeShowingTheWindow) {
  TouchSandbox box(L"normal-wait", "[config]\r\nwait=1500\r\n");
  const auto start = std::chrono::steady_clock::now();
  RunningVeltra veltra(box);
  ASSERT_NE(veltra.window(), nullptr);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1400));
}

// A start while the last instance runs its closing steps waits until it has
// ended and then starts, with what that one saved: once the window is gone,
// and while the window, hidden, still waits for the panel to switch on (a
// real panel takes about a second; this one takes longer than a fixed wait
// of ten seconds after an unanswered message would cover) and answers that
// it is ending.
TEST(NormalRun, AStartWhileTheLastInstanceEndsWaitsForItAndStarts) {
  for (const bool window_gone : {true, false}) {
    SCOPED_TRACE(window_gone ? "window gone" : "window hidden, panel switching");
    Sandbox box(L"restart");
    box.WriteDevices({TouchScreen(kId)});
    RunningVeltra first(box, L"/T 0");
    ASSERT_NE(first.window(), nullptr);
    // Through its start-up before the tree changes: the window shows the
    // state only once the start's switch has been read back. A read caught
    // by the change would put up the device error's box, whose loop runs
    // the close below but keeps the window until someone answers it.
    ASSERT_TRUE(WaitUntil([&] { return first.Text() == L"Double click for Touch enable."; }));
    ASSERT_EQ(box.DeviceStarted(kId), 0);
    // Only the exit's switch is slow: once it is done the tree is quick again.
    SimDevice panel = TouchScreen(kId, false);
    panel.switch_delay_ms = window_gone ? 0 : 17000;
    box.WriteDevices({panel});
    std::jthread quick_again([&] {
      if (window_gone || !WaitUntil([&] { return box.DeviceStarted(kId) == 1; }, std::chrono::seconds(30))) return;
      box.WriteDevices({TouchScreen(kId)});
    });
    ::PostMessageW(first.window(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return window_gone ? !::IsWindow(first.window()) : !first.Visible(); }));
    ASSERT_EQ(::WaitForSingleObject(first.process(), 0), WAIT_TIMEOUT) << "the closing steps were over already";
    ASSERT_TRUE(window_gone || ::IsWindow(first.window()));
    RunningVeltra second(box, L"", std::chrono::seconds(30));
    EXPECT_NE(second.window(), nullptr);
    EXPECT_TRUE(first.WaitForExit());
    quick_again.join();
    // It started with what the first one saved: the panel off.
    EXPECT_TRUE(WaitUntil([&] { return box.DeviceStarted(kId) == 0; }, std::chrono::seconds(5)));
  }
}

// A settings file that cannot be written is named in a message at the end
// of a normal run.
TEST(NormalRun, SettingsThatCannotBeSavedAreReported) {
  TouchSandbox box(L"unwritable");
  ASSERT_TRUE(::CreateDirectoryW(box.File(L"Veltra.ini").c_str(), nullptr));
  RunningVeltra veltra(box);
  ASSERT_NE(veltra.window(), nullptr);
  veltra.Send(WM_CLOSE);
  HWND message = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (message = FindDialogOf(veltra.process_id())) != nullptr; }, std::chrono::seconds(20)));
  EXPECT_NE(MessageText(message).find(box.File(L"Veltra.ini")), std::wstring::npos) << Narrow(MessageText(message));
  ::PostMessageW(message, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(veltra.WaitForExit());
}

// Each case from the state the one before left, chosen so that a toggle and
// a set give different states.
TEST(SecondStart, ForwardsItsCommandLineToTheRunningInstance) {
  TouchSandbox box(L"second-start");
  RunningVeltra veltra(box);
  ASSERT_NE(veltra.window(), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return box.DeviceStarted(kId) == 1; }));
  const std::pair<std::wstring, int> cases[] = {
      {L"", 0},          // toggles
      {L"/T 0", 0},      {L"/T 1", 1},
      {L"\"C:\\Program Files\\Veltra\\Veltra.exe\" /T 1", 1},
      {L"/W 1", 0},      // sets 0
      {L"/t 1", 1},      {L"/T1", 0},  {L"\"unclosed /T 1", 1},  // toggle
      {L"/T 0", 0},      {L"/T 1 /O", 1},  // the one-shot run enables by itself
  };
  for (const auto& [arguments, expected] : cases) {
    EXPECT_EQ(box.Run(arguments), 0) << Narrow(arguments);
    EXPECT_EQ(box.DeviceStarted(kId), expected) << Narrow(arguments);
  }
  EXPECT_EQ(veltra.Text(), L"Double click for Touch disable.");
}

// The mutex held by another program's process and no window: a start runs
// all the same and shows its window, which a later start then finds; the
// one-shot run of the boot and lock tasks enables the panel anyway. A start
// while a Veltra of the same file still starts (it holds the mutex and has
// no window yet) ends without a word.
TEST(SecondStart, EndsSilentlyWhileTheRunningInstanceHasNoWindowYetButNotForAMutexOfAnotherProgram) {
  Sandbox box(L"second-no-window");
  box.WriteDevices({TouchScreen(kId, false)});
  {
    FakeRunningInstance running(false);
    {
      RunningVeltra veltra(box, L"/T 1");
      ASSERT_NE(veltra.window(), nullptr);
      EXPECT_TRUE(WaitUntil([&] { return box.DeviceStarted(kId) == 1; }));
      EXPECT_EQ(box.Run(L"/T 0"), 0);
      EXPECT_EQ(box.DeviceStarted(kId), 0);
    }
    box.WriteDevices({TouchScreen(kId, false)});
    EXPECT_EQ(box.Run(L"/T 1 /O"), 0);
    EXPECT_EQ(box.DeviceStarted(kId), 1);
  }
  box.WriteSettings("[config]\r\nwait=3000\r\n");
  const UniqueHandle starting = box.Start(L"/T 1");
  // The first start holds the single-instance mutex once its exit request
  // exists (made right after the mutex; Wine has no private namespace, so
  // under the shared name): only then is a second start the one to test.
  const DWORD first = ::GetProcessId(starting.get());
  const std::wstring exit_request = protocol::ChooseInstanceNames(false, 0, first).exit_request;
  const auto claimed = [&] { return UniqueHandle(::OpenEventW(SYNCHRONIZE, FALSE, exit_request.c_str())).get() != nullptr; };
  ASSERT_TRUE(WaitUntil(claimed)) << "the first start never claimed the single-instance mutex";
  EXPECT_EQ(box.Run(L"/T 0", std::chrono::seconds(2)), 0);
  EXPECT_EQ(::FindWindowW(protocol::kWindowClass, nullptr), nullptr);
  EXPECT_EQ(box.DeviceStarted(kId), 1);
  ::TerminateProcess(starting.get(), 0);
  ::WaitForSingleObject(starting.get(), 5000);
}

// Wine reports the version set for a program name under AppDefaults; the key
// is removed again whatever happens.
class Windows7ForVeltra {
 public:
  Windows7ForVeltra() {
    ::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key_.put(), nullptr);
    ::RegSetValueExW(key_.get(), L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"win7"), 10);
  }
  ~Windows7ForVeltra() {
    key_.reset();
    ::RegDeleteKeyW(HKEY_CURRENT_USER, kKey);
  }

 private:
  static constexpr wchar_t kKey[] = L"Software\\Wine\\AppDefaults\\Veltra.exe";
  UniqueHkey key_;
};

// A one-shot run has nobody to read a message: it ends without one.
TEST(OldWindows, Windows7GetsTheMessageAndNothingElseHappens) {
  Sandbox box(L"windows7");
  box.WriteDevices({TouchScreen(kId, false)});
  UniqueHandle process;
  {
    Windows7ForVeltra old_windows;
    EXPECT_EQ(box.Run(L"/T 1 /O", std::chrono::seconds(10)), 0);
    process = box.Start(L"/T 1");
    HWND dialog = nullptr;
    for (int i = 0; i < 200 && dialog == nullptr; ++i) {
      if (::WaitForSingleObject(process.get(), 50) == WAIT_OBJECT_0) break;
      dialog = FindDialogOf(::GetProcessId(process.get()));
    }
    ASSERT_NE(dialog, nullptr) << "no message box appeared";
    wchar_t caption[64] = {};
    ::GetWindowTextW(dialog, caption, 64);
    EXPECT_STREQ(caption, L"Veltra");
    EXPECT_EQ(MessageText(dialog), L"You need at least Windows 8\nVersion Not Supported.");
    ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  }
  EXPECT_TRUE(WaitPumping(process.get(), std::chrono::seconds(10)));
  EXPECT_EQ(box.DeviceStarted(kId), 0);
  EXPECT_TRUE(box.LogLines().empty());
  EXPECT_FALSE(box.SettingsExist());
}

}  // namespace
}  // namespace veltra::e2e
