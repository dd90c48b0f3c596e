// The status window in this process, driven by messages: what a settings
// change refreshes, and which events may touch the hot key's registration.
#include "window/veltra_dlg.h"

#include <gtest/gtest.h>

#include <dbt.h>

#include <string>
#include <thread>

#include "resources/resource.h"
#include "../common/desktop_probes.h"
#include "status_window_fixture.h"
#include "window/messages.h"

namespace veltra {
namespace {

using StatusWindowInProcess = StatusWindowFixture;

using testing::Alpha;

std::wstring Text(HWND window) {
  wchar_t text[256] = {};
  ::GetDlgItemTextW(window, IDC_STATE_TEXT, text, 256);
  return text;
}

// Whether another thread could take Ctrl+Shift+Z now, i.e. nobody holds it.
bool CombinationFree() {
  bool free = false;
  std::thread([&] {
    if (::RegisterHotKey(nullptr, 0x65A, MOD_CONTROL | MOD_SHIFT, 'Z')) {
      free = true;
      ::UnregisterHotKey(nullptr, 0x65A);
    }
  }).join();
  return free;
}

TEST_F(StatusWindowInProcess, ASettingsChangeRefreshesOpacityDeviceVisibilityAndText) {
  settings_.transparent = 20;
  settings_.disable_font.lfHeight = -37;
  CVeltraDlg status(app_, settings_, profile_);
  ASSERT_TRUE(status.Create(nullptr));
  const HWND window = status.hwnd();
  EXPECT_EQ(Alpha(window), 76);  // the start-up floor
  EXPECT_TRUE(::IsWindowVisible(window));
  ASSERT_NE(profile_.Get(L"hardware", L"device_instance_path"), nullptr);
  EXPECT_EQ(*profile_.Get(L"hardware", L"device_instance_path"), testing::kTouchId);

  // The device was disabled behind the window's back; the dialog changed
  // the record.
  SetDeviceStarted(false);
  settings_.window_enable = 0;
  settings_.dialog_enable_txt = L"Touch is on";
  EXPECT_EQ(::SendMessageW(window, WM_SETTINGS_CHANGED, 0, 0), 0);
  EXPECT_EQ(Alpha(window), 51);  // no floor after a change
  EXPECT_TRUE(DeviceStarted());  // driven to the stored state again
  EXPECT_FALSE(::IsWindowVisible(window));
  EXPECT_EQ(Text(window), L"Touch is on");

  settings_.window_enable = 1;
  settings_.transparent = 100;
  ::SendMessageW(window, WM_SETTINGS_CHANGED, 0, 0);
  EXPECT_TRUE(::IsWindowVisible(window));
  EXPECT_EQ(Alpha(window), 255);
  // The disabled state in its own font.
  ::SendMessageW(window, WM_SET_TOUCH_STATE, 0, 0);
  LOGFONTW shown{};
  ::GetObjectW(reinterpret_cast<HFONT>(::SendDlgItemMessageW(window, IDC_STATE_TEXT, WM_GETFONT, 0, 0)), sizeof(shown),
               &shown);
  EXPECT_EQ(shown.lfHeight, -37);
  ::SendMessageW(window, WM_SET_TOUCH_STATE, 1, 0);
  ::SendMessageW(window, WM_CLOSE, 0, 0);
  // Once the exit has begun, nothing switches the panel off again.
  ::SendMessageW(window, WM_SET_TOUCH_STATE, 0, 0);
  ::SendMessageW(window, WM_HOTKEY, 0, 0);
  EXPECT_TRUE(DeviceStarted());
  EXPECT_EQ(settings_.touch_status, 1);
}

// Single use, disable-only: the key is held exactly while the panel is
// enabled. The debug poll only shows what it reads; a device change and a
// switch bring the registration in line.
TEST_F(StatusWindowInProcess, OnlySwitchesAndDeviceChangesMoveTheHotKeyRegistration) {
  settings_.hotkey_single_use = 1;
  settings_.hotkey_toggle_mode = 2;
  CVeltraDlg status(app_, settings_, profile_);
  ASSERT_TRUE(status.Create(nullptr));
  const HWND window = status.hwnd();
  ASSERT_FALSE(CombinationFree());

  SetDeviceStarted(false);
  ::SendMessageW(window, WM_TIMER, TIMER_STATUS_POLL, 0);
  EXPECT_EQ(settings_.touch_status, 0);
  EXPECT_EQ(Text(window), settings_.dialog_disable_txt);
  EXPECT_FALSE(CombinationFree());

  EXPECT_EQ(::SendMessageW(window, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0), 0);
  EXPECT_TRUE(CombinationFree());

  ::SendMessageW(window, WM_SET_TOUCH_STATE, 1, 0);
  EXPECT_TRUE(DeviceStarted());
  EXPECT_FALSE(CombinationFree());
  ::SendMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(CombinationFree());
}

}  // namespace
}  // namespace veltra
