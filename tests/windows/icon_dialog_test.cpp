// The icon picker in this process, run modally and driven by steps on a
// thread timer, which also ticks inside the message boxes' own loops.
// Whether the picker let go of an icon is read from the platform: a
// destroyed icon handle no longer answers GetIconInfo.
#include "config/icon_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "../common/test_app.h"
#include "../common/window_texts.h"
#include "modal_script.h"
#include "resources/resource.h"
#include "temp_dir.h"
#include "platform/paths.h"

namespace veltra {
namespace {

using testing::Step;

constexpr COLORREF kIconColour = RGB(0x20, 0x60, 0xC0);

std::wstring Text(HWND window) {
  wchar_t text[1024] = {};
  ::GetWindowTextW(window, text, 1024);
  return text;
}
std::wstring Text(HWND dialog, int id) { return Text(::GetDlgItem(dialog, id)); }
LRESULT ListMessage(HWND dialog, UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
  return ::SendDlgItemMessageW(dialog, IDC_ICON_LIST, message, wparam, lparam);
}
LRESULT Count(HWND dialog) { return ListMessage(dialog, LB_GETCOUNT); }
LRESULT Selected(HWND dialog) { return ListMessage(dialog, LB_GETCURSEL); }
bool Ready(HWND dialog) { return dialog != nullptr && ::IsWindowVisible(dialog) && ::IsWindowEnabled(dialog); }

// The icon handles the list's items carry, and how many of them still exist.
std::vector<HICON> Icons(HWND dialog) {
  std::vector<HICON> icons;
  for (WPARAM i = 0; i < static_cast<WPARAM>(Count(dialog)); ++i) {
    icons.push_back(reinterpret_cast<HICON>(ListMessage(dialog, LB_GETITEMDATA, i)));
  }
  return icons;
}
std::ptrdiff_t Live(const std::vector<HICON>& icons) {
  return std::count_if(icons.begin(), icons.end(), [](HICON icon) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) return false;
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return true;
  });
}

// An icon file of one 16 x 16 image in kIconColour.
void WriteIcoFile(const std::wstring& path) {
  std::ofstream file(std::filesystem::path(path), std::ios::binary);
  const auto put = [&](std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) file.put(static_cast<char>(i < 4 ? value >> (8 * i) : 0));
  };
  put(0, 2), put(1, 2), put(1, 2);  // directory: an icon file of one image of 16 x 16, 32 bits
  put(16, 1), put(16, 1), put(0, 2), put(1, 2), put(32, 2), put(40 + 16 * 16 * 4 + 16 * 4, 4), put(22, 4);
  put(40, 4), put(16, 4), put(32, 4), put(1, 2), put(32, 2), put(0, 24);  // colours over the mask
  for (int i = 0; i < 16 * 16; ++i) put(0xFF2060C0, 4);  // opaque kIconColour, as blue, green, red, alpha
  put(0, 64);
}

// The colour the list shows at a point of its client area, painted anew.
COLORREF ListPixel(HWND dialog, int x, int y) {
  const HWND list = ::GetDlgItem(dialog, IDC_ICON_LIST);
  ::RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  const HDC dc = ::GetDC(list);
  const COLORREF colour = ::GetPixel(dc, x, y);
  ::ReleaseDC(list, dc);
  return colour;
}

void DoubleClick(HWND dialog, WPARAM item) {
  RECT cell{};
  ListMessage(dialog, LB_GETITEMRECT, item, reinterpret_cast<LPARAM>(&cell));
  for (const UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
    ::PostMessageW(::GetDlgItem(dialog, IDC_ICON_LIST), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                   MAKELPARAM(cell.left + 10, cell.top + 10));
  }
}
// BM_CLICK moves the focus to the button, as a mouse click does.
void Click(HWND dialog, int id) { ::PostMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
void TypeAndEnter(HWND dialog, const std::wstring& path) {
  const HWND edit = ::GetDlgItem(dialog, IDC_ICON_FILE);
  ::SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
  ::SetWindowTextW(edit, path.c_str());
  ::PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
}

class IconDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app_.Run(::GetModuleHandleW(nullptr), L"");
    WriteIcoFile(ico_);
    std::ofstream(std::filesystem::path(text_)) << "No icons in here.\n";
  }

  HWND Box() const {
    const HWND box = ::FindWindowW(L"#32770", app_.app_name().c_str());
    return box != nullptr && ::IsWindowVisible(box) ? box : nullptr;
  }
  // Waits for a box that shows `text` with only an OK button and no icon
  // (a Wine box has its icon in control 1088), and presses OK.
  Step Answer(std::wstring text) {
    return [=, this] {
      const HWND box = Box();
      if (box == nullptr) return false;
      EXPECT_EQ(testing::MessageText(box), text);
      EXPECT_TRUE(::GetDlgItem(box, IDOK) != nullptr && ::GetDlgItem(box, IDCANCEL) == nullptr);
      EXPECT_EQ(::SendDlgItemMessageW(box, 1088, STM_GETICON, 0, 0), 0);
      ::PostMessageW(box, WM_COMMAND, IDOK, 0);
      return true;
    };
  }

  INT_PTR Run(CIconDialog& dialog, std::vector<Step> steps) {
    return testing::RunModalScript(std::move(steps), [&] { return dialog.DoModal(nullptr); });
  }

  testing::TestApp app_;
  testing::TempDir dir_;
  const std::wstring ico_ = dir_.File(L"single.ico");
  const std::wstring text_ = dir_.File(L"notes.txt");
  const std::wstring shell32_ = SystemProgramPath(L"SHELL32.dll");
};

// Unset, the picker is on the system's SHELL32.dll; a preset index selects
// its cell among all the file's icons, each a 20 x 20 cell with an icon of
// its own, and a double click ends with the cell clicked. A file that
// cannot be opened leaves nothing to select, so OK reports -1.
TEST_F(IconDialogTest, OpensOnItsFileAndIndexAndEndsWithTheChosenCell) {
  CIconDialog dialog(app_);
  EXPECT_TRUE(dialog.path == shell32_ && shell32_.ends_with(L"\\SHELL32.dll")) << dialog.path;
  EXPECT_EQ(dialog.index, 0);
  dialog.index = 5;
  std::vector<HICON> icons;
  INT_PTR result = Run(dialog, {[&] {
                         const HWND window = dialog.hwnd();
                         if (!Ready(window)) return false;
                         EXPECT_EQ(Text(window), L"Select Icon");
                         EXPECT_EQ(Text(window, IDC_ICON_FILE), shell32_);
                         EXPECT_EQ(Selected(window), 5);
                         RECT cell{};
                         ListMessage(window, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&cell));
                         EXPECT_TRUE(cell.left == 0 && cell.top == 20 && cell.right == 20 && cell.bottom == 40);
                         icons = Icons(window);
                         EXPECT_GE(icons.size(), 8u);  // Wine's has many
                         EXPECT_EQ(Live(icons), std::ssize(icons));
                         EXPECT_EQ(std::set<HICON>(icons.begin(), icons.end()).size(), icons.size());
                         DoubleClick(window, 7);
                         return true;
                       }});
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(dialog.path, shell32_);
  EXPECT_EQ(dialog.index, 7);
  EXPECT_EQ(Live(icons), 0);  // gone with the window

  const std::wstring missing = dir_.File(L"gone\\icons.dll");
  dialog.path = missing;
  result = Run(dialog, {Answer(missing + L" was not found."), [&] {
                          if (!Ready(dialog.hwnd())) return false;
                          EXPECT_EQ(Count(dialog.hwnd()), 0);
                          Click(dialog.hwnd(), IDOK);
                          return true;
                        }});
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(dialog.index, -1);
}

// Enter in the edit (where the focus starts) loads the typed file and keeps
// the dialog open: a file without icons is reported and empties the list, a
// single-icon file lists its icon. Browse offers the resource files and
// loads the chosen one. OK takes the edit's text as it stands and the cell
// selected.
TEST_F(IconDialogTest, EnterAndBrowseLoadAnotherFileAndOkTakesWhatIsShown) {
  HWND window = nullptr;
  int browsed = 0;
  CIconDialog dialog(app_, [&](OPENFILENAMEW& request) {
    EXPECT_EQ(request.hwndOwner, window);
    EXPECT_STREQ(request.lpstrTitle, L"Select icon");
    std::vector<std::wstring> filter;  // read as the open-file dialog reads it: up to an empty string
    for (const wchar_t* s = request.lpstrFilter; *s != L'\0'; s += filter.back().size() + 1) filter.emplace_back(s);
    EXPECT_EQ(filter, (std::vector<std::wstring>{L"Resource files ", L" *.ico;*.exe;*.dll", L"All files", L"*.*"}));
    EXPECT_EQ(request.Flags, static_cast<DWORD>(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER));
    EXPECT_TRUE(request.lpstrFile[0] == L'\0' && request.lpstrDefExt == nullptr && request.nMaxFile >= MAX_PATH);
    if (++browsed == 1) return false;  // the user cancels the first time
    std::copy(shell32_.c_str(), shell32_.c_str() + shell32_.size() + 1, request.lpstrFile);
    return true;
  });
  dialog.path = ico_;
  std::vector<HICON> icons;
  const INT_PTR result = Run(dialog, {[&] {
                                        window = dialog.hwnd();
                                        if (!Ready(window)) return false;
                                        EXPECT_EQ(::GetFocus(), ::GetDlgItem(window, IDC_ICON_FILE));
                                        icons = Icons(window);
                                        EXPECT_EQ(Live(icons), 1);
                                        TypeAndEnter(window, text_);
                                        return true;
                                      },
                                      Answer(L"Can't find icon resource in " + text_),
                                      [&] {
                                        if (!Ready(window)) return false;
                                        EXPECT_EQ(Count(window), 0);
                                        EXPECT_EQ(Live(icons), 0);
                                        TypeAndEnter(window, ico_);
                                        return true;
                                      },
                                      [&] {
                                        if (Count(window) != 1) return false;
                                        EXPECT_EQ(Selected(window), 0);
                                        // The selected cell on the highlight, its icon 2 pixels in at 16 x 16.
                                        EXPECT_EQ(ListPixel(window, 1, 1), ::GetSysColor(COLOR_HIGHLIGHT));
                                        EXPECT_EQ(ListPixel(window, 2, 2), kIconColour);
                                        EXPECT_EQ(ListPixel(window, 17, 17), kIconColour);
                                        EXPECT_EQ(ListPixel(window, 18, 18), ::GetSysColor(COLOR_HIGHLIGHT));
                                        icons = Icons(window);
                                        Click(window, IDC_ICON_BROWSE);
                                        return true;
                                      },
                                      [&] {
                                        if (browsed != 1 || !Ready(window)) return false;
                                        EXPECT_EQ(Text(window, IDC_ICON_FILE), ico_);  // cancelled: nothing changed
                                        EXPECT_EQ(Icons(window), icons);
                                        Click(window, IDC_ICON_BROWSE);
                                        return true;
                                      },
                                      [&] {
                                        if (browsed != 2 || Count(window) <= 1) return false;
                                        EXPECT_EQ(Text(window, IDC_ICON_FILE), shell32_);
                                        EXPECT_EQ(Selected(window), 0);
                                        EXPECT_EQ(Live(icons), 0);
                                        ListMessage(window, LB_SETCURSEL, 4);
                                        ::SetDlgItemTextW(window, IDC_ICON_FILE, ico_.c_str());  // typed, without Enter
                                        Click(window, IDOK);
                                        return true;
                                      }});
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(dialog.path, ico_);
  EXPECT_EQ(dialog.index, 4);
}

}  // namespace
}  // namespace veltra
