// The status window in this process, driven by messages: what a settings
// change refreshes, which events touch the hot key, what screen readers hear.
#include "window/veltra_dlg.h"

#include <gtest/gtest.h>

#include <dbt.h>
#include <oleacc.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "resources/resource.h"
#include "../common/desktop_probes.h"
#include "../common/stand_in_window.h"
#include "status_window_fixture.h"
#include "platform/com.h"
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

LONG ShownFontHeight(HWND window) {
  LOGFONTW shown{};
  ::GetObjectW(reinterpret_cast<HFONT>(::SendDlgItemMessageW(window, IDC_STATE_TEXT, WM_GETFONT, 0, 0)), sizeof(shown),
               &shown);
  return shown.lfHeight;
}

Rect ToRect(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }
Rect WindowRect(HWND window) {
  RECT r{};
  return ::GetWindowRect(window, &r) ? ToRect(r) : Rect{};
}

TEST_F(StatusWindowInProcess, ASettingsChangeRefreshesOpacityDeviceVisibilityAndText) {
  settings_.transparent = 20;
  settings_.disable_font.lfHeight = -37;
  CVeltraDlg status(app_, settings_, profile_);
  ASSERT_TRUE(status.Create(nullptr));
  const HWND window = status.hwnd();
  EXPECT_EQ(Alpha(window), 76);  // the start-up floor
  EXPECT_TRUE(::IsWindowVisible(window));
  ASSERT_TRUE(PumpUntil([&] { return profile_.Get(L"hardware", L"device_instance_path") != nullptr; }));
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
  EXPECT_EQ(ShownFontHeight(window), -37);
  ::SendMessageW(window, WM_SET_TOUCH_STATE, 1, 0);
  ::SendMessageW(window, WM_CLOSE, 0, 0);
  // Once the exit has begun, nothing switches the panel off again.
  ::SendMessageW(window, WM_SET_TOUCH_STATE, 0, 0);
  ::SendMessageW(window, WM_HOTKEY, 0, 0);
  EXPECT_TRUE(DeviceStarted());
  EXPECT_EQ(settings_.touch_status, 1);
}

// Windows moves the window onto a monitor at twice the DPI and back, as
// it sends the message: the rectangle offered is taken, both fonts and
// every later layout follow the DPI, and nothing stored changes.
TEST_F(StatusWindowInProcess, ADpiChangeTakesTheOfferedRectangleAndScalesFontsAndLayout) {
  settings_.enable_font.lfHeight = -16;
  settings_.disable_font.lfHeight = -37;
  CVeltraDlg status(app_, settings_, profile_);
  ASSERT_TRUE(status.Create(nullptr));
  const HWND window = status.hwnd();
  const Settings& s = settings_;
  const Rect stored{s.horizontal_pos_x, s.horizontal_pos_y, s.horizontal_width, s.horizontal_height};
  const Rect shown = WindowRect(window);
  RECT first{shown.left, shown.top, shown.right, shown.bottom};
  const LONG width = shown.width();
  const LONG height = shown.height();
  ASSERT_EQ(width, s.horizontal_width);
  ASSERT_EQ(ShownFontHeight(window), -16);

  RECT offered{first.left + 40, first.top + 30, first.left + 40 + 2 * width, first.top + 30 + 2 * height};
  EXPECT_EQ(::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&offered)), 0);
  EXPECT_EQ(WindowRect(window), ToRect(offered));
  EXPECT_EQ(WindowRect(::GetDlgItem(window, IDC_STATE_TEXT)).width(), 2 * width);  // the text fills it
  EXPECT_EQ(ShownFontHeight(window), -32);
  ::SendMessageW(window, WM_SET_TOUCH_STATE, 0, 0);
  EXPECT_EQ(ShownFontHeight(window), -74);
  // A layout on that monitor keeps its size.
  ::SendMessageW(window, WM_SETTINGS_CHANGED, 0, 0);
  EXPECT_EQ(WindowRect(window).width(), 2 * width);
  EXPECT_EQ(ShownFontHeight(window), -74);

  ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&first));
  EXPECT_EQ(WindowRect(window), shown);
  EXPECT_EQ(ShownFontHeight(window), -37);
  ::SendMessageW(window, WM_SET_TOUCH_STATE, 1, 0);
  EXPECT_EQ(ShownFontHeight(window), -16);
  EXPECT_EQ((Rect{s.horizontal_pos_x, s.horizontal_pos_y, s.horizontal_width, s.horizontal_height}), stored);
  EXPECT_EQ((Point{s.enable_font.lfHeight, s.disable_font.lfHeight}), (Point{-16, -37}));
  ::SendMessageW(window, WM_CLOSE, 0, 0);
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
  ASSERT_FALSE(testing::HotKeyFree(MOD_CONTROL | MOD_SHIFT, 'Z'));

  SetDeviceStarted(false);
  ::SendMessageW(window, WM_TIMER, TIMER_STATUS_POLL, 0);
  EXPECT_EQ(settings_.touch_status, 0);
  EXPECT_EQ(Text(window), settings_.dialog_disable_txt);
  EXPECT_FALSE(testing::HotKeyFree(MOD_CONTROL | MOD_SHIFT, 'Z'));

  EXPECT_EQ(::SendMessageW(window, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0), 0);
  EXPECT_TRUE(testing::HotKeyFree(MOD_CONTROL | MOD_SHIFT, 'Z'));

  ::SendMessageW(window, WM_SET_TOUCH_STATE, 1, 0);
  EXPECT_TRUE(DeviceStarted());
  EXPECT_FALSE(testing::HotKeyFree(MOD_CONTROL | MOD_SHIFT, 'Z'));
  ::SendMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(testing::HotKeyFree(MOD_CONTROL | MOD_SHIFT, 'Z'));
}

// The start's order as this thread sees it: the status window's first
// WM_PAINT taken from the queue (later ones are not the start's), the
// icon's addition reaching the shell.
std::vector<std::string> g_start_steps;
HWND g_painted = nullptr;

LRESULT CALLBACK SeePaint(int code, WPARAM removed, LPARAM message) {
  const MSG& taken = *reinterpret_cast<const MSG*>(message);
  if (code == HC_ACTION && removed == PM_REMOVE && taken.message == WM_PAINT && taken.hwnd == g_painted) {
    g_painted = nullptr;
    g_start_steps.push_back("paint");
  }
  return ::CallNextHookEx(nullptr, code, removed, message);
}

LRESULT CALLBACK SeeIconAdded(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message != WM_COPYDATA) return ::DefWindowProcW(window, message, wparam, lparam);
  // Wine's Shell_NotifyIconW hands each change to the shell's window, the
  // change (NIM_*) in dwData.
  if (reinterpret_cast<const COPYDATASTRUCT*>(lparam)->dwData == NIM_ADD) g_start_steps.push_back("icon");
  return TRUE;
}

// The window is shown with its state before the start's unseen steps: the
// icon, the device path written again and the start's announcement come
// after its first paint, not in its WM_INITDIALOG (or from a message
// posted there, which the queue hands out before the paint).
TEST_F(StatusWindowInProcess, TheIconsAndTheDevicePathWaitForTheFirstPaint) {
  g_start_steps.clear();
  // The newest top-level window of the class is the one the shell's calls
  // find, ahead of Wine's own.
  const HWND shell = testing::CreateStandInWindow(L"Shell_TrayWnd", &SeeIconAdded, nullptr, 1, 1);
  ::SetWindowLongPtrW(shell, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SeeIconAdded));
  ASSERT_EQ(::FindWindowW(L"Shell_TrayWnd", nullptr), shell);
  const HHOOK hook = ::SetWindowsHookExW(WH_GETMESSAGE, &SeePaint, nullptr, ::GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  {
    CVeltraDlg status(app_, settings_, profile_);
    ASSERT_TRUE(status.Create(nullptr));
    g_painted = status.hwnd();
    EXPECT_TRUE(::IsWindowVisible(status.hwnd()));
    EXPECT_EQ(Text(status.hwnd()), settings_.dialog_enable_txt);
    EXPECT_TRUE(g_start_steps.empty());
    EXPECT_EQ(profile_.Get(L"hardware", L"device_instance_path"), nullptr);
    EXPECT_EQ(::SendMessageW(status.hwnd(), WM_GETICON, ICON_SMALL, 0), 0);  // nor the window's icons

    EXPECT_TRUE(PumpUntil([] { return g_start_steps.size() >= 2; }));
    EXPECT_EQ(g_start_steps, (std::vector<std::string>{"paint", "icon"}));
    EXPECT_NE(profile_.Get(L"hardware", L"device_instance_path"), nullptr);
    EXPECT_NE(::SendMessageW(status.hwnd(), WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_NE(::SendMessageW(status.hwnd(), WM_GETICON, ICON_BIG, 0), 0);
    ::SendMessageW(status.hwnd(), WM_CLOSE, 0, 0);
  }
  ::UnhookWindowsHookEx(hook);
  ::DestroyWindow(shell);
}

// What a screen reader's out-of-context hook hears: the client areas whose
// name or live region changed, delivered while this thread takes messages.
std::vector<HWND> g_announced;

void CALLBACK Hear(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
  const bool change = event == EVENT_OBJECT_NAMECHANGE || event == EVENT_OBJECT_LIVEREGIONCHANGED;
  if (change && object == OBJID_CLIENT && child == CHILDID_SELF) g_announced.push_back(window);
}

// How often `window` was announced since the last look, and the name a
// screen reader then reads for it through the platform's proxy.
using Announced = std::pair<std::ptrdiff_t, std::wstring>;
Announced Heard(HWND window) {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
  const std::ptrdiff_t count = std::count(g_announced.begin(), g_announced.end(), window);
  g_announced.clear();
  ComPtr<IAccessible> accessible;
  VARIANT self{};
  self.vt = VT_I4;
  UniqueBstr name;
  if (FAILED(::AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_PPV_ARGS(&accessible))) ||
      accessible->get_accName(self, name.put()) != S_OK) {
    return {count, L"(no name)"};
  }
  return {count, name.get()};
}

// The start and every switch, from the watcher, the hot key or the menu,
// are announced once, the window and its text then named by the new text;
// a request for the state held is not news.
TEST_F(StatusWindowInProcess, EverySwitchIsAnnouncedWithTheShownTextAsTheName) {
  const ComApartment apartment;
  const HWINEVENTHOOK hook = ::SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr, &Hear,
                                               ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(hook, nullptr);
  CVeltraDlg status(app_, settings_, profile_);
  ASSERT_TRUE(status.Create(nullptr));
  const HWND window = status.hwnd();
  const Announced on{1, settings_.dialog_enable_txt}, off{1, settings_.dialog_disable_txt};
  // The start's announcement comes once the window is marked a live
  // region, after its first paint.
  EXPECT_TRUE(PumpUntil([&] { return !g_announced.empty(); }));
  EXPECT_EQ(Heard(window), on);
  ::SendMessageW(window, WM_SET_TOUCH_STATE, 0, 0);
  ::SendMessageW(window, WM_SET_TOUCH_STATE, 0, 0);
  EXPECT_EQ(Heard(window), off);
  EXPECT_EQ(Heard(::GetDlgItem(window, IDC_STATE_TEXT)).second, off.second);
  ::SendMessageW(window, WM_HOTKEY, 0, 0);
  EXPECT_EQ(Heard(window), on);
  ::SendMessageW(window, WM_COMMAND, ID_TOUCH_DISABLE, 0);
  EXPECT_EQ(Heard(window), off);
  ::SendMessageW(window, WM_CLOSE, 0, 0);
  ::UnhookWinEvent(hook);
}

}  // namespace
}  // namespace veltra
