// The configuration dialog of the simulated Veltra.exe, opened from the
// notification icon's menu command and used from outside: its changes act
// at once, OK only hides it, and what it changed is saved at the end.
#include <gtest/gtest.h>

#include "e2e_support.h"

namespace veltra::e2e {
namespace {

using namespace std::chrono_literals;

HWND FindConfigDialog(DWORD process_id) {
  HWND found = nullptr;
  WaitUntil([&] {
    HWND window = nullptr;
    while ((window = ::FindWindowExW(nullptr, window, L"#32770", L"Veltra Configuration")) != nullptr) {
      DWORD owner = 0;
      ::GetWindowThreadProcessId(window, &owner);
      if (owner == process_id) {
        found = window;
        return true;
      }
    }
    return false;
  });
  return found;
}

TEST(Configuration, ChangesActAtOnceOkHidesAndTheEndSavesThem) {
  Sandbox box(L"config-dialog");
  box.WriteDevices(DeviceSection(kTouchId, 1));
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
  // A new text for the enabled state, keystroke by keystroke.
  ::SendMessageW(::GetDlgItem(dialog, IDC_CFG_ENABLE_TEXT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Pen off"));
  EXPECT_EQ(veltra.Text(), L"Pen off");

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

}  // namespace
}  // namespace veltra::e2e
