// The configuration dialog of the simulated Veltra.exe, opened from the
// notification icon's menu command and used from outside: its changes act
// at once, OK only hides it, and what it changed is saved at the end.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "e2e_support.h"

namespace veltra::e2e {
namespace {

using namespace std::chrono_literals;

HWND FindConfigDialog(DWORD process_id) { return ShownWindowOf(process_id, L"#32770", L"Veltra Configuration"); }

TEST(Configuration, ChangesActAtOnceOkHidesAndTheEndSavesThem) {
  TouchSandbox box(L"config-dialog");
  RunningVeltra veltra(box);
  ASSERT_NE(veltra.window(), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return veltra.Visible(); }));

  veltra.Send(WM_COMMAND, ID_CONFIGURATION);
  const HWND dialog = FindConfigDialog(veltra.process_id());
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(::IsWindowVisible(dialog));

  // "Window mode enable" off: the status window goes at once.
  ::SendMessageW(::GetDlgItem(dialog, IDC_CFG_WINDOW_ENABLE), BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return !veltra.Visible(); }, 3s));
  // A new text for the enabled state, keystroke by keystroke: shown at
  // once, and no device is driven for it (each switch of a real panel
  // blocks the window for about a second).
  const auto switches = [&] {
    const auto lines = box.LogLines();
    return std::count_if(lines.begin(), lines.end(), [](const std::wstring& l) { return l.starts_with(L"PROPERTYCHANGE"); });
  };
  const HWND text = ::GetDlgItem(dialog, IDC_CFG_ENABLE_TEXT);
  ::SendMessageW(text, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
  const auto before = switches();
  for (const wchar_t c : std::wstring(L"Pen off")) ::SendMessageW(text, WM_CHAR, c, 0);
  EXPECT_EQ(veltra.Text(), L"Pen off");
  EXPECT_EQ(switches(), before);

  // OK hides the dialog; the menu command shows the same window again.
  ::SendMessageW(dialog, WM_COMMAND, IDOK, 0);
  EXPECT_FALSE(::IsWindowVisible(dialog));
  veltra.Send(WM_COMMAND, ID_CONFIGURATION);
  EXPECT_EQ(FindConfigDialog(veltra.process_id()), dialog);
  EXPECT_TRUE(::IsWindowVisible(dialog));

  veltra.Send(WM_COMMAND, ID_APP_EXIT);
  ASSERT_TRUE(veltra.WaitForExit());
  EXPECT_FALSE(::IsWindow(dialog));
  EXPECT_EQ(box.Setting(L"status", L"window_enable"), L"0");
  EXPECT_EQ(box.Setting(L"string", L"dialog_enable_txt"), L"Pen off");
}

// Exit while a dialog of the configuration runs its own modal loop: the
// process ends, saves, and leaves every device working; while the device
// selection runs, no switch request touches a device.
TEST(Configuration, ExitWithTheIconPickerOrADeviceTestRunningEndsCleanly) {
  for (const bool device_test : {false, true}) {
    Sandbox box(device_test ? L"config-exit-test" : L"config-exit-picker");
    box.WriteDevices({TouchScreen(kId), TouchScreen(kOtherId)});
    RunningVeltra veltra(box, L"/T 1");
    ASSERT_NE(veltra.window(), nullptr);
    veltra.Send(WM_COMMAND, ID_CONFIGURATION);
    const HWND config = FindConfigDialog(veltra.process_id());
    ASSERT_NE(config, nullptr);
    const int button = device_test ? IDC_CFG_DEVICE_SELECT : IDC_CFG_ENABLE_ICON;
    ::PostMessageW(config, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    const HWND dialog =
        ShownWindowOf(veltra.process_id(), L"#32770", device_test ? L"Select Control Target Device" : L"Select Icon");
    ASSERT_NE(dialog, nullptr);
    if (device_test) {
      ::SendDlgItemMessageW(dialog, IDC_INIT_DEVICE_LIST, CB_SETCURSEL, 1, 0);
      ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_INIT_TEST_START, BN_CLICKED), 0);
      const HWND notice = ShownWindowOf(veltra.process_id(), L"#32770", L"Veltra");
      ASSERT_NE(notice, nullptr);
      ::PostMessageW(notice, WM_COMMAND, IDOK, 0);
      ASSERT_TRUE(WaitUntil([&] { return box.DeviceStarted(kOtherId) == 0; }));
      veltra.Send(protocol::WM_SET_TOUCH_STATE, 0, 0);
      veltra.Send(protocol::WM_SET_TOUCH_STATE, 0, 1);
      EXPECT_EQ(box.DeviceStarted(kId), 1);
    }
    veltra.Send(WM_COMMAND, ID_APP_EXIT);
    ASSERT_TRUE(veltra.WaitForExit());
    EXPECT_EQ(box.DeviceStarted(kId), 1);
    EXPECT_EQ(box.DeviceStarted(kOtherId), 1);
    EXPECT_EQ(box.Setting(L"status", L"touch_status"), L"1");
    EXPECT_EQ(box.Setting(L"hardware", L"device_instance_path"), kId);
    for (const std::wstring& line : box.LogLines()) EXPECT_EQ(line.find(kId + L" DISABLE"), std::wstring::npos);
  }
}

}  // namespace
}  // namespace veltra::e2e
