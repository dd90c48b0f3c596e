// Veltra.exe /X, as the uninstaller runs it: the panel is enabled first, a
// running Veltra and its watcher end through their own exit (settings
// saved), then the scheduled tasks go; nothing is shown and no settings are
// written. A device a selection's test left off is enabled too.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "e2e_support.h"

namespace veltra::e2e {
namespace {

using namespace std::chrono_literals;

constexpr wchar_t kLockTask[] = L"Veltra_SessionLock";

TEST(Removal, EndsVeltraAndItsWatcherThroughTheirExitThenRemovesTheTasks) {
  TouchSandbox box(L"removal", "[task_scheduler]\r\ntask_lock=1\r\n");
  box.CopyProgram(L"sim\\Veltrawatch.exe", L"Veltrawatch.exe");
  // The watcher leaves the panel alone: only the test switches it.
  box.WriteFile(L"Veltrawatch.ini", "[config]\r\ndefault status=2\r\n");

  RunningVeltra veltra(box);
  ASSERT_NE(veltra.window(), nullptr);
  // The start-up refresh registers it beside the window.
  ASSERT_TRUE(WaitUntil([] { return TaskExists(kLockTask); }, 30s));
  veltra.Send(protocol::WM_SET_TOUCH_STATE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return box.DeviceStarted(kId) == 0; }));
  const UniqueHandle watcher = box.StartProgram(L"Veltrawatch.exe");
  ASSERT_TRUE(WaitUntil([] { return ::FindWindowW(protocol::kWatchWindowClass, nullptr) != nullptr; }));

  // A message box or a wait that never ends would leave it to be killed.
  EXPECT_NE(box.Run(L"/X", 60s), -1);
  EXPECT_EQ(::WaitForSingleObject(veltra.process(), 0), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_EQ(::WaitForSingleObject(watcher.get(), 0), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_EQ(box.DeviceStarted(kId), 1);
  // Saved by Veltra's own exit (a terminated Veltra saves nothing): the
  // removal enabled the panel before it asked, and Veltra saved the state
  // it then saw.
  EXPECT_EQ(box.Setting(L"status", L"touch_status"), L"1");
  // Veltra's exit registers the task again; /X removes it after that.
  EXPECT_FALSE(TaskExists(kLockTask));

  // With nothing running it ends at once and leaves no settings file.
  Sandbox empty(L"removal-empty");
  EXPECT_NE(empty.Run(L"/X", 30s), -1);
  EXPECT_FALSE(empty.SettingsExist());

  // A selection's test had the other device off when its process ended;
  // nothing runs, and the removal enables that device beside the panel.
  Sandbox tested(L"removal-tested");
  tested.WriteDevices({TouchScreen(kId), TouchScreen(kOtherId, false)});
  tested.WriteSettings("[hardware]\r\ndevice_instance_path=" + Narrow(kId) + "\r\ndevice_under_test=" +
                       Narrow(kOtherId) + "\r\n");
  EXPECT_NE(tested.Run(L"/X", 30s), -1);
  EXPECT_EQ(tested.DeviceStarted(kOtherId), 1);
  EXPECT_EQ(tested.DeviceStarted(kId), 1);
}

}  // namespace
}  // namespace veltra::e2e
