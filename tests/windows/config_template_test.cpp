// The configuration dialog as the dialog manager builds it from the
// program's resources: what the compiled template holds beyond what a
// reading of the script shows (styles the resource compiler adds, the
// common controls' classes, the size in dialog units, the tab walk).
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "config/config_controls.h"
#include "platform/unique_handle.h"
#include "resources/resource.h"

namespace veltra {
namespace {

using UniqueWindow = UniqueAny<HandleTraits<HWND, &::DestroyWindow>>;

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

// The window class each kind is built from, and whether Tab stops there.
struct Built {
  const wchar_t* window_class;
  bool tab_stop;
};
Built BuiltAs(ControlKind kind) {
  switch (kind) {
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
      return {L"Button", true};
    case ControlKind::RadioButton:
      return {L"Button", false};
    case ControlKind::Edit:
      return {L"Edit", true};
    case ControlKind::ScrollBar:
      return {L"ScrollBar", true};
    case ControlKind::HotKey:
      return {HOTKEY_CLASSW, true};
    case ControlKind::UpDown:
      return {UPDOWN_CLASSW, false};
    case ControlKind::Label:
    case ControlKind::ClickLabel:
      return {L"Static", false};
  }
  return {L"", false};
}

TEST(ConfigDialogTemplate, DialogManagerBuildsItHiddenWithoutCloseBoxAndWithEveryTableControl) {
  INITCOMMONCONTROLSEX classes{};
  classes.dwSize = sizeof(classes);
  classes.dwICC = ICC_HOTKEY_CLASS | ICC_UPDOWN_CLASS;
  ASSERT_TRUE(::InitCommonControlsEx(&classes));
  UniqueWindow dialog(::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_CONFIG_DIALOG), nullptr,
                                           PlainDialogProc, 0));
  ASSERT_TRUE(dialog) << ::GetLastError();
  const HWND window = dialog.get();

  // A caption but no system menu, so no close box; hidden until shown.
  const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
  EXPECT_EQ(style & WS_SYSMENU, 0);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_NE(style & WS_POPUP, 0);
  EXPECT_FALSE(::IsWindowVisible(window));
  wchar_t caption[64] = {};
  ::GetWindowTextW(window, caption, 64);
  EXPECT_STREQ(caption, L"Veltra Configuration");

  // 401 x 315 dialog units of client area in the dialog's own font.
  RECT expected{0, 0, 401, 315};
  ASSERT_TRUE(::MapDialogRect(window, &expected));
  RECT client{};
  ::GetClientRect(window, &client);
  EXPECT_EQ(client.right, expected.right);
  EXPECT_EQ(client.bottom, expected.bottom);

  // OK is the default button; Cancel exists but can be neither seen nor used.
  EXPECT_EQ(::SendMessageW(window, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
  const HWND cancel = ::GetDlgItem(window, IDCANCEL);
  ASSERT_NE(cancel, nullptr);
  EXPECT_EQ(::GetWindowLongPtrW(cancel, GWL_STYLE) & WS_VISIBLE, 0);
  EXPECT_FALSE(::IsWindowEnabled(cancel));

  std::vector<int> expected_tab_order;
  for (const ConfigControl& row : ConfigControls()) {
    SCOPED_TRACE("control " + std::to_string(row.id));
    const HWND control = ::GetDlgItem(window, row.id);
    ASSERT_NE(control, nullptr);
    const Built built = BuiltAs(row.kind);
    EXPECT_EQ(::CompareStringOrdinal(ClassOf(control).c_str(), -1, built.window_class, -1, TRUE), CSTR_EQUAL)
        << ClassOf(control).c_str();
    const LONG_PTR control_style = ::GetWindowLongPtrW(control, GWL_STYLE);
    EXPECT_EQ((control_style & WS_TABSTOP) != 0, built.tab_stop);
    // The dialog is hidden, so a control's own style says whether it shows.
    const bool shown = (control_style & WS_VISIBLE) != 0;
    if (built.tab_stop && shown && ::IsWindowEnabled(control)) expected_tab_order.push_back(row.id);
    if (row.kind == ControlKind::UpDown) {
      EXPECT_EQ(::SendMessageW(control, UDM_GETBUDDY, 0, 0), 0);
    }
  }

  // Every control, in template order, stands where the script puts it, in
  // dialog units of the dialog's font.
  std::ifstream script(VELTRA_SOURCE_DIR "/src/resources/config_dialog.rc");
  ASSERT_TRUE(script.is_open());
  const std::regex control_line(R"re(^\s*CONTROL .*, (\d+), (\d+), (\d+), (\d+)\s*$)re");
  HWND child = ::GetWindow(window, GW_CHILD);
  int placed = 0;
  for (std::string line; std::getline(script, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::smatch m;
    if (!std::regex_match(line, m, control_line)) continue;
    ASSERT_NE(child, nullptr) << line;
    // The dialog manager converts the corner and the size each by itself.
    RECT units{std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3]), std::stoi(m[4])};
    ::MapDialogRect(window, &units);
    const RECT want{units.left, units.top, units.left + units.right, units.top + units.bottom};
    RECT got{};
    ::GetWindowRect(child, &got);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&got), 2);
    // Wine's up-down control takes its own width when it has no buddy.
    if (line.find("msctls_updown32") != std::string::npos) got.right = want.right;
    EXPECT_TRUE(::EqualRect(&want, &got)) << line << " wanted " << want.left << "," << want.top << " " << want.right
                                          << "," << want.bottom << " at " << got.left << "," << got.top << " " << got.right << ","
                                          << got.bottom;
    child = ::GetWindow(child, GW_HWNDNEXT);
    ++placed;
  }
  EXPECT_EQ(child, nullptr);  // no control beyond the script's
  EXPECT_GT(placed, 70);

  // Tab walks the table's tab stops in table order and comes round again,
  // passing over the hidden Cancel.
  ASSERT_EQ(expected_tab_order.size(), 36u);  // 37 tab stops less Cancel
  std::vector<int> walked;
  HWND at = ::GetDlgItem(window, expected_tab_order.back());
  for (std::size_t i = 0; i < expected_tab_order.size(); ++i) {
    at = ::GetNextDlgTabItem(window, at, FALSE);
    walked.push_back(::GetDlgCtrlID(at));
  }
  EXPECT_EQ(walked, expected_tab_order);
}

}  // namespace
}  // namespace veltra
