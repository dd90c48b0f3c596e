// The taskbar refresh against a stand-in taskbar window of this process.
#include "device/taskbar_refresh.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "../common/stand_in_window.h"
#include "platform/unique_handle.h"

namespace veltra {
namespace {

std::vector<std::pair<WPARAM, LPARAM>> g_posted;

LRESULT CALLBACK TaskbarProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kTaskbarTabletModeMessage) g_posted.emplace_back(wparam, lparam);
  return ::DefWindowProcW(window, message, wparam, lparam);
}

constexpr wchar_t kShellKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ImmersiveShell";

class TaskbarRefresh : public ::testing::Test {
 protected:
  TaskbarRefresh() {
    // The newest top-level window is found first, ahead of any taskbar of
    // Wine's own.
    taskbar_ = testing::CreateStandInWindow(L"Shell_TrayWnd", &TaskbarProc, nullptr, 1, 1);
    // The class keeps the procedure of its first registration in this
    // process, which another test (the tray sweep's) may have made; the
    // window takes this test's procedure whatever the order.
    ::SetWindowLongPtrW(taskbar_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TaskbarProc));
    g_posted.clear();
  }
  ~TaskbarRefresh() override {
    ::DestroyWindow(taskbar_);
    ::RegDeleteKeyW(HKEY_CURRENT_USER, kShellKey);
  }

  static void SetTabletMode(DWORD mode) {
    UniqueHkey key;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, kShellKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr);
    ::RegSetValueExW(key.get(), L"TabletMode", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&mode), sizeof(mode));
  }

  static std::vector<std::pair<WPARAM, LPARAM>> Posted() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    return std::exchange(g_posted, {});
  }

  HWND taskbar_ = nullptr;
};

using Posts = std::vector<std::pair<WPARAM, LPARAM>>;

TEST_F(TaskbarRefresh, Windows10PostsTheTabletModeValue) {
  ASSERT_EQ(::FindWindowW(L"Shell_TrayWnd", nullptr), taskbar_);
  SetTabletMode(1);
  EXPECT_EQ(RefreshTaskbarTabletMode({10, 0}), 1);
  EXPECT_EQ(Posted(), (Posts{{1, 0}}));
  SetTabletMode(0);
  EXPECT_EQ(RefreshTaskbarTabletMode({10, 0}), 1);
  EXPECT_EQ(Posted(), (Posts{{0, 0}}));
}

TEST_F(TaskbarRefresh, OlderWindowsNeedsNothing) {
  SetTabletMode(1);
  EXPECT_EQ(RefreshTaskbarTabletMode({6, 3}), 1);
  EXPECT_EQ(RefreshTaskbarTabletMode({0, 0}), 1);
  EXPECT_TRUE(Posted().empty());
}

TEST_F(TaskbarRefresh, UnreadableModeStillNudgesTheTaskbarAndFails) {
  ::RegDeleteKeyW(HKEY_CURRENT_USER, kShellKey);
  EXPECT_EQ(RefreshTaskbarTabletMode({10, 0}), 0);
  EXPECT_EQ(Posted(), (Posts{{0, 0}}));

  UniqueHkey key;
  ::RegCreateKeyExW(HKEY_CURRENT_USER, kShellKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr);
  key.reset();
  EXPECT_EQ(RefreshTaskbarTabletMode({10, 0}), 0);  // key without the value
  EXPECT_EQ(Posted(), (Posts{{0, 0}}));
}

}  // namespace
}  // namespace veltra
