// The notification icon's record and menu, in this process.
#include "window/tray_icon.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/unique_handle.h"
#include "protocol/veltra_protocol.h"
#include "resources/resource.h"

namespace veltra {
namespace {

TEST(NotifyIconData, CarriesTheStateAndCutsTheTipAt127) {
  const HWND window = reinterpret_cast<HWND>(0x1234);
  const HICON icon = reinterpret_cast<HICON>(0x5678);
  const std::wstring tip(200, L'x');
  const NOTIFYICONDATAW data = NotifyIconData(window, icon, tip);
  EXPECT_EQ(data.cbSize, 976u);
  EXPECT_EQ(data.hWnd, window);
  EXPECT_EQ(data.uID, 128u);
  EXPECT_EQ(data.uFlags, 7u);
  EXPECT_EQ(data.uCallbackMessage, protocol::WM_TRAY_NOTIFY);
  EXPECT_EQ(data.hIcon, icon);
  EXPECT_EQ(std::wstring(data.szTip), std::wstring(127, L'x'));
  EXPECT_EQ(data.dwState, 0u);
  EXPECT_EQ(data.szInfo[0], L'\0');

  EXPECT_EQ(std::wstring(NotifyIconData(window, icon, L"TouchPanel enable").szTip), L"TouchPanel enable");
}

UINT State(HMENU menu, UINT id) { return ::GetMenuState(menu, id, MF_BYCOMMAND); }

TEST(TrayMenu, ItemsInOrderWithChecksAndGrayForTheState) {
  const UniqueHmenu menu(::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU)));
  ASSERT_TRUE(menu);
  const HMENU popup = ::GetSubMenu(menu.get(), 0);
  ASSERT_NE(popup, nullptr);
  ASSERT_EQ(::GetMenuItemCount(popup), 14);
  const UINT ids[] = {ID_TOUCH_ENABLE,   ID_TOUCH_DISABLE,  0,             ID_MOVE_TO_CENTER, 0,
                      ID_CLEAN_SCREEN,   0,                 ID_FOLLOW_POSTURE, ID_FOLLOW_DISPLAY, ID_FOLLOW_PEN,
                      0,                 ID_CONFIGURATION,  0,             ID_APP_EXIT};
  for (int i = 0; i < 14; ++i) EXPECT_EQ(::GetMenuItemID(popup, i), ids[i]) << i;
  wchar_t text[64] = {};
  ::GetMenuStringW(popup, ID_APP_EXIT, text, 64, MF_BYCOMMAND);
  EXPECT_STREQ(text, L"E&xit");

  PrepareTrayMenu(popup, true, false);
  PrepareMenuItem(popup, ID_FOLLOW_POSTURE, L"タブレットの形態に追従(&F)", true);
  PrepareMenuItem(popup, ID_FOLLOW_DISPLAY, L"画面に追従(&S)", false);
  PrepareMenuItem(popup, ID_CLEAN_SCREEN, L"クリーニングを終了(&L)");
  ::GetMenuStringW(popup, ID_FOLLOW_POSTURE, text, 64, MF_BYCOMMAND);
  EXPECT_STREQ(text, L"タブレットの形態に追従(&F)");
  ::GetMenuStringW(popup, ID_FOLLOW_DISPLAY, text, 64, MF_BYCOMMAND);
  EXPECT_STREQ(text, L"画面に追従(&S)");
  ::GetMenuStringW(popup, ID_CLEAN_SCREEN, text, 64, MF_BYCOMMAND);
  EXPECT_STREQ(text, L"クリーニングを終了(&L)");
  EXPECT_TRUE(State(popup, ID_FOLLOW_POSTURE) & MF_CHECKED);
  EXPECT_FALSE(State(popup, ID_FOLLOW_DISPLAY) & MF_CHECKED);
  EXPECT_TRUE(State(popup, ID_TOUCH_ENABLE) & MF_CHECKED);
  EXPECT_FALSE(State(popup, ID_TOUCH_DISABLE) & MF_CHECKED);
  EXPECT_FALSE(State(popup, ID_MOVE_TO_CENTER) & MF_GRAYED);

  PrepareTrayMenu(popup, false, true);
  PrepareMenuItem(popup, ID_FOLLOW_POSTURE, L"&Follow tablet posture", false);
  PrepareMenuItem(popup, ID_FOLLOW_DISPLAY, L"Follow its &Screen", true);
  EXPECT_FALSE(State(popup, ID_FOLLOW_POSTURE) & MF_CHECKED);
  EXPECT_TRUE(State(popup, ID_FOLLOW_DISPLAY) & MF_CHECKED);
  EXPECT_FALSE(State(popup, ID_TOUCH_ENABLE) & MF_CHECKED);
  EXPECT_TRUE(State(popup, ID_TOUCH_DISABLE) & MF_CHECKED);
  EXPECT_TRUE(State(popup, ID_MOVE_TO_CENTER) & MF_GRAYED);
  EXPECT_FALSE(State(popup, ID_CONFIGURATION) & MF_GRAYED);
  EXPECT_FALSE(State(popup, ID_APP_EXIT) & MF_GRAYED);
}

}  // namespace
}  // namespace veltra

namespace veltra {
namespace {

// A stand-in for the shell's notification area: the chain of windows the
// sweep looks for, the last one recording the mouse moves it receives.
std::vector<LPARAM> g_moves;

LRESULT CALLBACK RecordMoves(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_MOUSEMOVE && wparam == 0) g_moves.push_back(lparam);
  return ::DefWindowProcW(window, message, wparam, lparam);
}

HWND MakeWindow(const wchar_t* class_name, HWND parent, int width, int height) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = &RecordMoves;
  window_class.hInstance = ::GetModuleHandleW(nullptr);
  window_class.lpszClassName = class_name;
  ::RegisterClassExW(&window_class);
  return ::CreateWindowExW(0, class_name, L"", parent != nullptr ? WS_CHILD : WS_POPUP, 0, 0, width, height, parent,
                           nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

TEST(SweepNotificationArea, PassesTheMouseOverTheToolbarInTenPixelSteps) {
  const HWND tray = MakeWindow(L"Shell_TrayWnd", nullptr, 100, 40);
  const HWND notify = MakeWindow(L"TrayNotifyWnd", tray, 100, 40);
  const HWND pager = MakeWindow(L"SysPager", notify, 100, 40);
  const HWND toolbar = MakeWindow(L"ToolbarWindow32", pager, 25, 15);
  ASSERT_NE(toolbar, nullptr);
  g_moves.clear();
  SweepNotificationArea();
  const std::vector<LPARAM> expected = {MAKELPARAM(0, 0),  MAKELPARAM(0, 10),  MAKELPARAM(10, 0),
                                        MAKELPARAM(10, 10), MAKELPARAM(20, 0), MAKELPARAM(20, 10)};
  EXPECT_EQ(g_moves, expected);

  // A toolbar without width is left alone; the chain without it too.
  ::SetWindowPos(toolbar, nullptr, 0, 0, 0, 15, SWP_NOMOVE | SWP_NOZORDER);
  g_moves.clear();
  SweepNotificationArea();
  EXPECT_TRUE(g_moves.empty());
  ::DestroyWindow(toolbar);
  SweepNotificationArea();
  EXPECT_TRUE(g_moves.empty());
  ::DestroyWindow(tray);
}

}  // namespace
}  // namespace veltra
