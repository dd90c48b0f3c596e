// The keyboard triggers of the simulated Veltra.exe, with input injected by
// SendInput the way a keyboard would deliver it.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "../common/desktop_probes.h"
#include "e2e_support.h"

namespace veltra::e2e {
namespace {

using namespace std::chrono_literals;

void CtrlShiftZ() {
  for (int vk : {VK_CONTROL, VK_SHIFT, int{'Z'}}) SendKey(static_cast<WORD>(vk), false);
  for (int vk : {int{'Z'}, VK_SHIFT, VK_CONTROL}) SendKey(static_cast<WORD>(vk), true);
}

class Keys : public ::testing::Test {
 protected:
  void Start(const std::string& settings, int started = 1, int switch_delay_ms = 0) {
    SimDevice panel = TouchScreen(kId, started != 0);
    panel.switch_delay_ms = switch_delay_ms;
    box_.WriteDevices({panel});
    box_.WriteSettings(settings);
    veltra_ = std::make_unique<RunningVeltra>(box_);
    ASSERT_NE(veltra_->window(), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !veltra_->Text().empty(); }));
    WaitUntil([] { return false; }, 300ms);  // let the start's own device notifications pass
  }
  int Started() const { return box_.DeviceStarted(kId); }
  bool BecomesStarted(int state) { return WaitUntil([&] { return Started() == state; }, 3s); }

  Sandbox box_{L"keys"};
  std::unique_ptr<RunningVeltra> veltra_;
};

TEST_F(Keys, CtrlShiftZTogglesByDefault) {
  Start("");
  CtrlShiftZ();
  EXPECT_TRUE(BecomesStarted(0));
  CtrlShiftZ();
  EXPECT_TRUE(BecomesStarted(1));
  EXPECT_FALSE(testing::HotKeyFree(MOD_CONTROL | MOD_SHIFT, 'Z'));
}

TEST_F(Keys, EnableOnlyAndDisableOnlyModes) {
  Start("[hotkey]\r\nhotkey_toggle_mode=2\r\n");
  CtrlShiftZ();
  EXPECT_TRUE(BecomesStarted(0));
  CtrlShiftZ();
  EXPECT_FALSE(BecomesStarted(1));
  veltra_->Send(WM_CLOSE);
  ASSERT_TRUE(veltra_->WaitForExit());

  Start("[hotkey]\r\nhotkey_toggle_mode=1\r\n[status]\r\ntouch_status=0\r\n");
  ASSERT_TRUE(BecomesStarted(0));
  CtrlShiftZ();
  EXPECT_TRUE(BecomesStarted(1));
  CtrlShiftZ();
  EXPECT_FALSE(BecomesStarted(0));
}

TEST_F(Keys, SingleUseHoldsTheCombinationOnlyWhileItCanAct) {
  Start("[hotkey]\r\nhotkey_toggle_mode=1\r\nhotkey_single_use=1\r\n");
  EXPECT_TRUE(testing::HotKeyFree(MOD_CONTROL | MOD_SHIFT, 'Z'));  // enabled already: enable-only cannot act
  veltra_->Send(protocol::WM_SET_TOUCH_STATE, 0, 0);
  EXPECT_EQ(Started(), 0);
  EXPECT_FALSE(testing::HotKeyFree(MOD_CONTROL | MOD_SHIFT, 'Z'));
  CtrlShiftZ();
  EXPECT_TRUE(BecomesStarted(1));
  EXPECT_TRUE(WaitUntil([] { return testing::HotKeyFree(MOD_CONTROL | MOD_SHIFT, 'Z'); }, 2s));
}

TEST_F(Keys, DisabledHotKeyWithSingleUseStaysUnregisteredAfterEverySwitch) {
  Start("[hotkey]\r\nenable_hotkey=0\r\nhotkey_single_use=1\r\n");
  EXPECT_TRUE(testing::HotKeyFree(MOD_CONTROL | MOD_SHIFT, 'Z'));
  veltra_->Send(protocol::WM_SET_TOUCH_STATE, 0, 1);
  EXPECT_TRUE(testing::HotKeyFree(MOD_CONTROL | MOD_SHIFT, 'Z'));
  veltra_->Send(protocol::WM_SET_TOUCH_STATE, 0, 1);
  EXPECT_TRUE(testing::HotKeyFree(MOD_CONTROL | MOD_SHIFT, 'Z'));
  CtrlShiftZ();
  EXPECT_FALSE(BecomesStarted(0));
}

TEST_F(Keys, WindowsKeyPressesWithinTheIntervalSwitchOnce) {
  Start("[hotkey]\r\noverride_winkey=1\r\noverride_winkey_resp=2\r\n");  // 150 ms
  const DWORD base = ::GetTickCount() + 10000;
  SendKey(VK_LWIN, false, base);
  SendKey(VK_LWIN, true, base + 10);
  SendKey(VK_LWIN, false, base + 60);
  SendKey(VK_LWIN, true, base + 100);  // within 150 ms of the first
  EXPECT_TRUE(BecomesStarted(0));
  EXPECT_FALSE(BecomesStarted(1));
  SendKey(VK_RWIN, false, base + 1000);
  SendKey(VK_RWIN, true, base + 1010);
  EXPECT_TRUE(BecomesStarted(1));

  veltra_->Send(WM_CLOSE);
  ASSERT_TRUE(veltra_->WaitForExit());
  EXPECT_EQ(box_.Setting(L"hotkey", L"override_winkey"), L"1");
}

// Every key in the session passes the hook, so it waits on a thread of its
// own: a switch holding the status window's thread holds no other program.
// A cleaning locks the keyboard through the same hook; a switch by hand ends
// it and gives the keyboard back, and the hook still serves the Windows key.
TEST_F(Keys, KeysReachAnotherProgramAtOnceWhileASwitchRuns) {
  Start("[hotkey]\r\noverride_winkey=1\r\n[config]\r\nclean_keyboard=1\r\n", 1, 1500);
  box_.CopyProgram(L"fake_app.exe", L"Other.exe");
  const UniqueHandle other = box_.StartProgram(L"Other.exe");
  const HWND window = ShownWindowOf(::GetProcessId(other.get()), L"VeltraTestForegroundApp");
  ASSERT_TRUE(WaitUntil([&] { return window != nullptr && ::GetForegroundWindow() == window; }, 2s));
  ::PostMessageW(veltra_->window(), protocol::WM_SET_TOUCH_STATE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] {
    const std::vector<std::wstring> log = box_.LogLines();
    return std::ranges::any_of(log, [](const std::wstring& line) { return line.find(L" DISABLE ") != line.npos; });
  }));
  const auto sent = std::chrono::steady_clock::now();
  SendKey('A', false);
  SendKey('A', true);
  wchar_t caption[16] = {};
  ASSERT_TRUE(WaitUntil([&] { return ::GetWindowTextW(window, caption, 16) && caption == std::wstring(L"Key down"); }));
  EXPECT_LT(std::chrono::steady_clock::now() - sent, 200ms);
  EXPECT_EQ(Started(), 1) << "the switch had ended: the check proves nothing";
  ASSERT_TRUE(WaitUntil([&] { return Started() == 0; }, 5s));

  const auto key_reaches_it = [&] {
    ::SetWindowTextW(window, L"");
    SendKey('B', false);
    SendKey('B', true);
    return WaitUntil([&] { return ::GetWindowTextW(window, caption, 16) && caption == std::wstring(L"Key down"); }, 1s);
  };
  veltra_->Send(WM_COMMAND, ID_TOUCH_ENABLE);
  ASSERT_EQ(Started(), 1);
  veltra_->Send(WM_COMMAND, ID_CLEAN_SCREEN);
  ASSERT_EQ(Started(), 0);
  EXPECT_FALSE(key_reaches_it()) << "the cleaning did not lock the keyboard";
  veltra_->Send(WM_COMMAND, ID_TOUCH_ENABLE);
  EXPECT_EQ(Started(), 1);
  EXPECT_TRUE(key_reaches_it()) << "the switch by hand left the keyboard locked";
  SendKey(VK_LWIN, false);
  SendKey(VK_LWIN, true);
  EXPECT_TRUE(WaitUntil([&] { return Started() == 0; }, 5s)) << "the Windows key no longer switches";
  ::TerminateProcess(other.get(), 0);
}

}  // namespace
}  // namespace veltra::e2e
