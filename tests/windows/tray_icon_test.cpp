// The notification icon's record and menu, in this process.
#include "window/tray_icon.h"

#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"
#include "ui/unique_handle.h"

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
  EXPECT_EQ(data.uCallbackMessage, 0x8069u);
  EXPECT_EQ(data.hIcon, icon);
  EXPECT_EQ(std::wstring(data.szTip), std::wstring(127, L'x'));
  EXPECT_EQ(data.dwState, 0u);
  EXPECT_EQ(data.szInfo[0], L'\0');

  EXPECT_EQ(std::wstring(NotifyIconData(window, icon, L"TouchPanel enable").szTip), L"TouchPanel enable");
}

UINT State(HMENU menu, UINT id) { return ::GetMenuState(menu, id, MF_BYCOMMAND); }

TEST(TrayMenu, ItemsInOrderWithChecksAndGrayForTheState) {
  const ui::UniqueHmenu menu(::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU)));
  ASSERT_TRUE(menu);
  const HMENU popup = ::GetSubMenu(menu.get(), 0);
  ASSERT_NE(popup, nullptr);
  ASSERT_EQ(::GetMenuItemCount(popup), 8);
  const UINT ids[] = {ID_TOUCH_ENABLE, ID_TOUCH_DISABLE, 0, ID_MOVE_TO_CENTER, 0, ID_CONFIGURATION, 0, ID_APP_EXIT};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(::GetMenuItemID(popup, i), ids[i]) << i;
  wchar_t text[64] = {};
  ::GetMenuStringW(popup, ID_APP_EXIT, text, 64, MF_BYCOMMAND);
  EXPECT_STREQ(text, L"E&xit");

  PrepareTrayMenu(popup, true, false);
  EXPECT_TRUE(State(popup, ID_TOUCH_ENABLE) & MF_CHECKED);
  EXPECT_FALSE(State(popup, ID_TOUCH_DISABLE) & MF_CHECKED);
  EXPECT_FALSE(State(popup, ID_MOVE_TO_CENTER) & MF_GRAYED);

  PrepareTrayMenu(popup, false, true);
  EXPECT_FALSE(State(popup, ID_TOUCH_ENABLE) & MF_CHECKED);
  EXPECT_TRUE(State(popup, ID_TOUCH_DISABLE) & MF_CHECKED);
  EXPECT_TRUE(State(popup, ID_MOVE_TO_CENTER) & MF_GRAYED);
  EXPECT_FALSE(State(popup, ID_CONFIGURATION) & MF_GRAYED);
  EXPECT_FALSE(State(popup, ID_APP_EXIT) & MF_GRAYED);
}

}  // namespace
}  // namespace veltra
