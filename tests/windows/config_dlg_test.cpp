// The configuration dialog in this process beside a real status window over
// the simulated touch screen: opened by the menu command, its controls
// loaded from the settings, and each kind of control writing its setting
// and telling the status window at once.
#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <functional>
#include <map>
#include <set>
#include <thread>
#include <tuple>

#include "../common/desktop_probes.h"
#include "../common/window_texts.h"
#include "config/config_dlg.h"
#include "modal_script.h"
#include "resources/resource.h"
#include "startup/task_commands.h"
#include "startup/task_service.h"
#include "status_window_fixture.h"
#include "platform/paths.h"
#include "window/messages.h"

namespace veltra {
namespace {

class ConfigDialog : public StatusWindowFixture {
 protected:
  // The status window alone, reporting to `refresh`'s end.
  bool CreateStatus(TaskRefresh* refresh = nullptr) {
    status_.emplace(app_, settings_, profile_);
    status_->set_task_refresh(refresh);
    return status_->Create(nullptr);
  }
  HWND Open(LANGID language = 0x0409, TaskRefresh* refresh = nullptr) {
    if (!status_ && !CreateStatus(refresh)) return nullptr;
    config_.emplace(app_, settings_, *status_, language);
    config_->set_task_refresh(refresh);
    status_->set_config_dialog(&*config_);
    ::SendMessageW(status_->hwnd(), WM_COMMAND, ID_CONFIGURATION, 0);
    return config_->hwnd();
  }
  void TearDown() override {
    if (status_ && status_->hwnd() != nullptr) ::SendMessageW(status_->hwnd(), WM_CLOSE, 0, 0);
    StatusWindowFixture::TearDown();
  }
  HWND Item(int id) const { return ::GetDlgItem(config_->hwnd(), id); }
  bool IsChecked(int id) const { return ::SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  std::wstring TextOf(int id, HWND dialog = nullptr) const {
    wchar_t text[MAX_PATH] = {};
    ::GetWindowTextW(::GetDlgItem(dialog != nullptr ? dialog : config_->hwnd(), id), text, MAX_PATH);
    return text;
  }
  void Click(int id) const {
    ::SendMessageW(Item(id), BM_CLICK, 0, 0);
  }
  void Scroll(int id, int request, int thumb = 0) const {
    ::SendMessageW(config_->hwnd(), WM_HSCROLL, MAKEWPARAM(request, thumb), reinterpret_cast<LPARAM>(Item(id)));
  }
  std::wstring StatusText() const {
    wchar_t text[256] = {};
    ::GetDlgItemTextW(status_->hwnd(), IDC_STATE_TEXT, text, 256);
    return text;
  }

  std::optional<CVeltraDlg> status_;
  std::optional<CConfigDlg> config_;
};

using testing::Alpha;
using testing::WriteBitmap;
std::wstring Wallpaper() { return testing::DesktopValue(L"Wallpaper"); }

std::size_t TooltipsOf(HWND dialog) {
  std::pair<HWND, std::size_t> count{dialog, 0};
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND window, LPARAM param) -> BOOL {
        auto* c = reinterpret_cast<std::pair<HWND, std::size_t>*>(param);
        wchar_t name[64] = {};
        ::GetClassNameW(window, name, 64);
        if (::lstrcmpiW(name, TOOLTIPS_CLASSW) == 0 && ::GetWindow(window, GW_OWNER) == c->first) ++c->second;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count.second;
}

TEST_F(ConfigDialog, OpensOnceWithTheDefaultsAndOkOnlyHides) {
  const HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(::IsWindowVisible(dialog));
  EXPECT_EQ(::GetWindow(dialog, GW_OWNER), status_->hwnd());

  EXPECT_TRUE(IsChecked(IDC_CFG_HOTKEY_ENABLE));
  EXPECT_EQ(::SendMessageW(Item(IDC_CFG_HOTKEY), HKM_GETHOTKEY, 0, 0), 0x035A);  // Ctrl + Shift + Z
  EXPECT_TRUE(IsChecked(IDC_CFG_HOTKEY_MODE_TOGGLE));
  EXPECT_FALSE(IsChecked(IDC_CFG_OVERRIDE_WINKEY));
  for (const int id : {IDC_CFG_WINKEY_MODE_TOGGLE, IDC_CFG_WINKEY_MODE_ENABLE, IDC_CFG_WINKEY_MODE_DISABLE,
                       IDC_CFG_WINKEY_MODE_ENABLE_LABEL, IDC_CFG_WINKEY_MODE_DISABLE_LABEL}) {
    EXPECT_FALSE(::IsWindowEnabled(Item(id))) << id;
  }
  EXPECT_TRUE(::IsWindowEnabled(Item(IDC_CFG_WINKEY_RESPONSE)));
  EXPECT_EQ(TextOf(IDC_CFG_WINKEY_RESPONSE_VALUE), L"150ms");
  EXPECT_EQ(TextOf(IDC_CFG_SNAP_WIDTH_VALUE), L"50");
  EXPECT_EQ(TextOf(IDC_CFG_TRANSPARENT_VALUE), L"85");
  EXPECT_EQ(::GetScrollPos(Item(IDC_CFG_TRANSPARENT), SB_CTL), 85);
  for (const int id : {IDC_CFG_SNAP_ENABLE, IDC_CFG_WINDOW_ENABLE, IDC_CFG_ALWAYS_TOP, IDC_CFG_LBUTTON_MODE_0}) {
    EXPECT_TRUE(IsChecked(id)) << id;
  }
  for (const int id : {IDC_CFG_TASK_STARTUP, IDC_CFG_TASK_BOOT, IDC_CFG_TASK_LOCK, IDC_CFG_LBUTTON_MODE_1}) {
    EXPECT_FALSE(IsChecked(id)) << id;
  }
  EXPECT_EQ(TextOf(IDC_CFG_ENABLE_TEXT), settings_.dialog_enable_txt);
  EXPECT_EQ(TooltipsOf(dialog), 51u);

  // A combination typed but not applied is dropped by OK, which hides; the
  // next command shows the same window.
  ::SendMessageW(Item(IDC_CFG_HOTKEY), HKM_SETHOTKEY, 0x0541, 0);
  ::SendMessageW(dialog, WM_COMMAND, IDOK, 0);
  EXPECT_FALSE(::IsWindowVisible(dialog));
  EXPECT_EQ(settings_.virtkey, 'Z');
  ::SendMessageW(status_->hwnd(), WM_COMMAND, ID_CONFIGURATION, 0);
  EXPECT_EQ(config_->hwnd(), dialog);
  EXPECT_TRUE(::IsWindowVisible(dialog));
  EXPECT_EQ(::SendMessageW(Item(IDC_CFG_HOTKEY), HKM_GETHOTKEY, 0, 0), 0x035A);
}

TEST_F(ConfigDialog, ControlsWriteTheirSettingsAtOnce) {
  settings_.snap_width = 3;  // outside the bar's range
  settings_.lbutton_mode = 2;  // read as 1, as the notification icon does
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(std::pair(IsChecked(IDC_CFG_LBUTTON_MODE_0), IsChecked(IDC_CFG_LBUTTON_MODE_1)), std::pair(false, true));

  // Scroll bars: a stored 3 shows as 3 with the thumb at 5; a line right
  // stores 6. A line left at the minimum changes nothing; a page stops at
  // the end; a wheel notch moves the focused bar by one.
  EXPECT_EQ(TextOf(IDC_CFG_SNAP_WIDTH_VALUE), L"3");
  Scroll(IDC_CFG_SNAP_WIDTH, SB_LINERIGHT);
  EXPECT_EQ(settings_.snap_width, 6);
  EXPECT_EQ(TextOf(IDC_CFG_SNAP_WIDTH_VALUE), L"6");
  ::SendMessageW(Item(IDC_CFG_TRANSPARENT), SBM_SETPOS, 95, TRUE);
  settings_.transparent = 95;
  Scroll(IDC_CFG_TRANSPARENT, SB_PAGERIGHT);
  EXPECT_EQ(settings_.transparent, 100);
  EXPECT_EQ(TextOf(IDC_CFG_TRANSPARENT_VALUE), L"100");
  EXPECT_EQ(Alpha(status_->hwnd()), 255);
  Scroll(IDC_CFG_TRANSPARENT, SB_THUMBTRACK, 50);
  EXPECT_EQ(Alpha(status_->hwnd()), 127);
  Scroll(IDC_CFG_HORIZONTAL_WIDTH, SB_THUMBPOSITION, 200);
  EXPECT_EQ(settings_.horizontal_width, 200);
  ::SetFocus(Item(IDC_CFG_HORIZONTAL_WIDTH));
  ::SendMessageW(config_->hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_EQ(settings_.horizontal_width, 201);
  ::SetFocus(Item(IDC_CFG_ENABLE_TEXT));
  ::SendMessageW(config_->hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_EQ(settings_.horizontal_width, 201);

  // Each keystroke of the text reaches the status window.
  ::SetWindowTextW(Item(IDC_CFG_ENABLE_TEXT), L"Touch on");
  EXPECT_EQ(settings_.dialog_enable_txt, L"Touch on");
  EXPECT_EQ(StatusText(), L"Touch on");
  // A pasted text stops where the settings file would cut it at the next start.
  const std::wstring long_text(kIniStringMax + 100, L'x');
  ::SendMessageW(Item(IDC_CFG_DISABLE_TEXT), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(long_text.c_str()));
  EXPECT_EQ(settings_.dialog_disable_txt.size(), kIniStringMax);

  // Check boxes and radio buttons; a label selects its radio button.
  Click(IDC_CFG_WINDOW_ENABLE);
  EXPECT_EQ(settings_.window_enable, 0);
  EXPECT_FALSE(::IsWindowVisible(status_->hwnd()));
  Click(IDC_CFG_WINDOW_ENABLE);
  EXPECT_TRUE(::IsWindowVisible(status_->hwnd()));
  Click(IDC_CFG_LBUTTON_MODE_1);
  EXPECT_EQ(settings_.lbutton_mode, 1);
  ::SendMessageW(config_->hwnd(), WM_COMMAND, MAKEWPARAM(IDC_CFG_HOTKEY_MODE_DISABLE_LABEL, STN_CLICKED),
                 reinterpret_cast<LPARAM>(Item(IDC_CFG_HOTKEY_MODE_DISABLE_LABEL)));
  EXPECT_EQ(settings_.hotkey_toggle_mode, 2);
  EXPECT_TRUE(IsChecked(IDC_CFG_HOTKEY_MODE_DISABLE));
  EXPECT_FALSE(IsChecked(IDC_CFG_HOTKEY_MODE_TOGGLE));

  // Fixing the window captures where it stands now.
  ::SetWindowPos(status_->hwnd(), nullptr, 123, 77, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Click(IDC_CFG_FIXED_POS);
  EXPECT_EQ(settings_.fixed_pos, 1);
  EXPECT_EQ(settings_.horizontal_pos_x, 123);
  EXPECT_EQ(settings_.horizontal_pos_y, 77);

  // The response time.
  ::SendMessageW(config_->hwnd(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 19),
                 reinterpret_cast<LPARAM>(Item(IDC_CFG_WINKEY_RESPONSE)));
  EXPECT_EQ(settings_.override_winkey_resp, 19);
  EXPECT_EQ(TextOf(IDC_CFG_WINKEY_RESPONSE_VALUE), L"1000ms");
}

TEST_F(ConfigDialog, HotKeyApplyEnableAndTheWindowsKeyOverride) {
  ASSERT_NE(Open(), nullptr);
  ASSERT_FALSE(testing::HotKeyFree(MOD_CONTROL | MOD_SHIFT, 'Z'));

  // Alt + Shift + A applied: stored, registered, the old one let go.
  ::SendMessageW(Item(IDC_CFG_HOTKEY), HKM_SETHOTKEY, 0x0541, 0);
  Click(IDC_CFG_HOTKEY_APPLY);
  EXPECT_EQ(settings_.fsModifiers, 5);
  EXPECT_EQ(settings_.virtkey, 65);
  EXPECT_TRUE(testing::HotKeyFree(MOD_CONTROL | MOD_SHIFT, 'Z'));
  EXPECT_FALSE(testing::HotKeyFree(MOD_ALT | MOD_SHIFT, 'A'));

  // Off: let go at once, the controls disabled; on again: whatever the
  // control holds now is stored and registered.
  Click(IDC_CFG_HOTKEY_ENABLE);
  EXPECT_EQ(settings_.enable_hotkey, 0);
  EXPECT_TRUE(testing::HotKeyFree(MOD_ALT | MOD_SHIFT, 'A'));
  EXPECT_FALSE(::IsWindowEnabled(Item(IDC_CFG_HOTKEY_MODE_DISABLE_LABEL)));
  ::SendMessageW(Item(IDC_CFG_HOTKEY), HKM_SETHOTKEY, 0x0242, 0);  // Ctrl + B
  Click(IDC_CFG_HOTKEY_ENABLE);
  EXPECT_EQ(settings_.enable_hotkey, 1);
  EXPECT_EQ(settings_.fsModifiers, MOD_CONTROL);
  EXPECT_EQ(settings_.virtkey, 'B');
  EXPECT_FALSE(testing::HotKeyFree(MOD_CONTROL, 'B'));

  // The Windows-key override installs the hook and enables its modes.
  Click(IDC_CFG_OVERRIDE_WINKEY);
  EXPECT_EQ(settings_.override_winkey, 1);
  EXPECT_TRUE(IsChecked(IDC_CFG_OVERRIDE_WINKEY));
  EXPECT_TRUE(::IsWindowEnabled(Item(IDC_CFG_WINKEY_MODE_DISABLE)));
  Click(IDC_CFG_OVERRIDE_WINKEY);
  EXPECT_EQ(settings_.override_winkey, 0);
  EXPECT_FALSE(::IsWindowEnabled(Item(IDC_CFG_WINKEY_MODE_DISABLE)));
  // On a third time the hook is there again: a lone Windows key switches.
  Click(IDC_CFG_OVERRIDE_WINKEY);
  const std::uint8_t before = settings_.touch_status;
  for (const DWORD flags : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
    INPUT key{};
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = VK_LWIN;
    key.ki.dwFlags = flags;
    ::SendInput(1, &key, sizeof(key));
  }
  for (int waited = 0; waited < 3000 && settings_.touch_status == before; waited += 20) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    ::Sleep(20);
  }
  EXPECT_NE(settings_.touch_status, before) << "no hook after the override was turned on again";
}

// Clicks `button` and acts in the modal window (a dialog or message box)
// captioned `title` that the click runs, once it shows; the test fails when
// none comes. An empty title: no window may keep the click from returning.
void ClickAndAct(HWND button, const std::wstring& title, const std::function<void(HWND)>& act) {
  std::vector<testing::Step> steps;
  if (!title.empty()) {
    steps.push_back([&] {
      const HWND window = ::FindWindowW(L"#32770", title.c_str());
      if (window == nullptr || !::IsWindowVisible(window)) return false;
      act(window);
      return true;
    });
  }
  testing::RunModalScript(std::move(steps), [&] { return ::SendMessageW(button, BM_CLICK, 0, 0); });
}

// Counts the settings changes the status window hears of, passing every
// message on.
struct SettingsChanges {
  static inline WNDPROC original = nullptr;
  static inline int count = 0;
  static LRESULT CALLBACK Count(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    count += message == protocol::WM_SETTINGS_CHANGED ? 1 : 0;
    return ::CallWindowProcW(original, window, message, wparam, lparam);
  }
};

// Every control of the table used twice as a user would (a chooser once, to
// its end): the status window hears of exactly the changes it shows, and
// each scroll bar offers its own range, both ends stored as they are reached.
TEST_F(ConfigDialog, EachControlTellsTheStatusWindowExactlyWhenItShouldAndEachBarHasItsRange) {
  const std::set<int> notifying = {
      IDC_CFG_ENABLE_WINDOW_COLOR, IDC_CFG_DISABLE_WINDOW_COLOR, IDC_CFG_ENABLE_TEXT_COLOR, IDC_CFG_DISABLE_TEXT_COLOR,
      IDC_CFG_ENABLE_FONT, IDC_CFG_DISABLE_FONT, IDC_CFG_ENABLE_ICON, IDC_CFG_DISABLE_ICON, IDC_CFG_ENABLE_TEXT,
      IDC_CFG_DISABLE_TEXT, IDC_CFG_HOTKEY_MODE_TOGGLE, IDC_CFG_HOTKEY_MODE_ENABLE, IDC_CFG_HOTKEY_MODE_DISABLE,
      IDC_CFG_HOTKEY_MODE_ENABLE_LABEL, IDC_CFG_HOTKEY_MODE_DISABLE_LABEL, IDC_CFG_WINKEY_MODE_TOGGLE,
      IDC_CFG_WINKEY_MODE_ENABLE, IDC_CFG_WINKEY_MODE_DISABLE, IDC_CFG_WINKEY_MODE_ENABLE_LABEL,
      IDC_CFG_WINKEY_MODE_DISABLE_LABEL, IDC_CFG_TASK_STARTUP, IDC_CFG_TASK_BOOT, IDC_CFG_TASK_LOCK,
      IDC_CFG_DETECT_RESUME, IDC_CFG_WINDOW_ENABLE, IDC_CFG_FIXED_POS /* by the capture */, IDC_CFG_ALWAYS_TOP,
      IDC_CFG_REDRAW_TRAY, IDC_CFG_HOTKEY_ENABLE, IDC_CFG_HOTKEY_APPLY, IDC_CFG_OVERRIDE_WINKEY};
  const std::map<int, std::pair<int, int>> bars = {  // they notify too
      {IDC_CFG_HORIZONTAL_WIDTH, {10, 640}}, {IDC_CFG_HORIZONTAL_HEIGHT, {10, 640}}, {IDC_CFG_SNAP_WIDTH, {5, 100}},
      {IDC_CFG_VERTICAL_WIDTH, {10, 640}}, {IDC_CFG_VERTICAL_HEIGHT, {10, 640}}, {IDC_CFG_TRANSPARENT, {30, 100}}};
  // The buttons that open a window: its caption and the button that ends it.
  const std::map<int, std::pair<std::wstring, int>> modal = {
      {IDC_CFG_ENABLE_WINDOW_COLOR, {L"Color", IDOK}}, {IDC_CFG_DISABLE_WINDOW_COLOR, {L"Color", IDOK}},
      {IDC_CFG_ENABLE_TEXT_COLOR, {L"Color", IDOK}}, {IDC_CFG_DISABLE_TEXT_COLOR, {L"Color", IDOK}},
      {IDC_CFG_ENABLE_FONT, {L"Font", IDOK}}, {IDC_CFG_DISABLE_FONT, {L"Font", IDOK}},
      {IDC_CFG_ENABLE_ICON, {L"Select Icon", IDOK}}, {IDC_CFG_DISABLE_ICON, {L"Select Icon", IDOK}},
      {IDC_CFG_HWALLPAPER_SELECT, {L"Open", IDCANCEL}}, {IDC_CFG_VWALLPAPER_SELECT, {L"Open", IDCANCEL}},
      {IDC_CFG_DEVICE_SELECT, {L"Select Control Target Device", IDCANCEL}}};
  ASSERT_NE(Open(), nullptr);
  SettingsChanges::original = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(status_->hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SettingsChanges::Count)));
  const auto send = [&](UINT message, WPARAM wparam, int id) {
    ::SendMessageW(config_->hwnd(), message, wparam, reinterpret_cast<LPARAM>(Item(id)));
  };
  for (const ConfigControl& control : ConfigControls()) {
    const int id = control.id, before = SettingsChanges::count;
    const auto chooser = modal.find(id);
    const int uses = chooser != modal.end() ? 1 : control.kind == ControlKind::Label ? 0 : 2;
    if (chooser != modal.end()) {
      SCOPED_TRACE(id);
      ClickAndAct(Item(id), chooser->second.first, [&](HWND window) {
        ::SetFocus(::GetDlgItem(window, IDC_ICON_LIST));  // Enter in the picker's file name would load the file
        ::PostMessageW(window, WM_COMMAND, chooser->second.second, 0);
      });
    } else if (control.kind == ControlKind::ScrollBar) {
      int low = -1, high = -1;
      ::GetScrollRange(Item(id), SB_CTL, &low, &high);
      Scroll(id, SB_LEFT);
      const std::int32_t left = *std::get<std::int32_t*>(control.field(settings_));
      Scroll(id, SB_RIGHT);
      const auto [min, max] = bars.at(id);
      EXPECT_EQ(std::tuple(low, high, left, *std::get<std::int32_t*>(control.field(settings_))),
                std::tuple(min, max, min, max)) << "bar " << id;
    } else {
      for (int use = 0; use < uses; ++use) {
        if (control.kind == ControlKind::CheckBox) Click(id);  // and back
        else if (control.kind == ControlKind::Edit) ::SetWindowTextW(Item(id), use == 0 ? L"one" : L"two");
        else if (control.kind == ControlKind::UpDown) send(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, use * 19), id);
        else send(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), id);  // radios and labels, disabled or not; other buttons
      }
    }
    EXPECT_EQ(SettingsChanges::count - before, notifying.contains(id) || bars.contains(id) ? uses : 0)
        << "control " << id;
  }
}

// Where hooks are refused (a desktop handle without the right to set them),
// the Windows-key override warns and is off again: setting, box and modes.
TEST_F(ConfigDialog, AWindowsKeyHookThatCannotBeInstalledTurnsTheOverrideOffWithAWarning) {
  wchar_t desktop[64] = {};
  ASSERT_TRUE(::GetUserObjectInformationW(::GetThreadDesktop(::GetCurrentThreadId()), UOI_NAME, desktop,
                                          sizeof(desktop), nullptr));
  const UniqueAny<HandleTraits<HDESK, &::CloseDesktop>> no_hooks(::OpenDesktopW(
      desktop, 0, FALSE, DESKTOP_CREATEWINDOW | DESKTOP_CREATEMENU | DESKTOP_READOBJECTS | DESKTOP_WRITEOBJECTS));
  ASSERT_TRUE(no_hooks);
  std::wstring warning;
  std::thread([&] {
    ASSERT_TRUE(::SetThreadDesktop(no_hooks.get()));
    ASSERT_NE(Open(), nullptr);
    ClickAndAct(Item(IDC_CFG_OVERRIDE_WINKEY), app_.app_name(), [&](HWND box) {
      warning = testing::MessageText(box);
      ::PostMessageW(box, WM_COMMAND, IDIGNORE, 0);
    });
    EXPECT_EQ(settings_.override_winkey, 0);
    EXPECT_FALSE(IsChecked(IDC_CFG_OVERRIDE_WINKEY));
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_CFG_WINKEY_MODE_DISABLE)));
    ::SendMessageW(status_->hwnd(), WM_CLOSE, 0, 0);  // its windows end with this thread
  }).join();
  EXPECT_EQ(warning, L"Fail to Install Hook for override Windows Key.");
}

TEST_F(ConfigDialog, TooltipsInTheUsersLanguageAndTheIconChoiceWithItsFallback) {
  const std::wstring shell32 = SystemProgramPath(L"shell32.dll");
  settings_.disable_icon = shell32;
  settings_.disable_icon_idx = 5;
  const HWND dialog = Open(0x0411);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(testing::TooltipText(dialog, IDC_CFG_DEVICE_SELECT), L"コントロール対象デバイスの再設定を行います。");
  EXPECT_EQ(TextOf(IDOK), L"OK");  // captions stay English

  // The stored icon presets the picker; the fourth one is chosen.
  std::wstring shown_path;
  LRESULT shown_index = -2;
  const auto shown = [&](HWND picker) {
    shown_path = TextOf(IDC_ICON_FILE, picker);
    shown_index = ::SendDlgItemMessageW(picker, IDC_ICON_LIST, LB_GETCURSEL, 0, 0);
  };
  ClickAndAct(Item(IDC_CFG_DISABLE_ICON), L"Select Icon", [&](HWND picker) {
    shown(picker);
    ::SendDlgItemMessageW(picker, IDC_ICON_LIST, LB_SETCURSEL, 3, 0);
    ::SetFocus(::GetDlgItem(picker, IDC_ICON_LIST));
    ::PostMessageW(picker, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(shown_path, shell32);
  EXPECT_EQ(shown_index, 5);
  EXPECT_EQ(settings_.disable_icon, shell32);
  EXPECT_EQ(settings_.disable_icon_idx, 3);

  // A typed file no icon can be taken from, taken by OK: the built-in
  // icon, an empty file name and index 0.
  const std::wstring text_file = (Folder() / L"not-an-icon.txt").wstring();
  std::ofstream(std::filesystem::path(text_file)) << "no icons here";
  ClickAndAct(Item(IDC_CFG_ENABLE_ICON), L"Select Icon", [&](HWND picker) {
    shown(picker);
    ::SetDlgItemTextW(picker, IDC_ICON_FILE, text_file.c_str());
    ::SetFocus(::GetDlgItem(picker, IDC_ICON_LIST));
    ::PostMessageW(picker, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(shown_index, 0);  // the default file, its first icon
  EXPECT_EQ(settings_.enable_icon, L"");
  EXPECT_EQ(settings_.enable_icon_idx, 0);
  std::filesystem::remove(text_file);
}

TEST_F(ConfigDialog, WallpaperTasksAndDeviceSelectionActOutsideAtOnce) {
  // A landscape screen: ticking the horizontal side's "Enable" sets its
  // wallpaper with its style; the portrait side's changes nothing.
  const std::filesystem::path folder = Folder() / L"config-system";
  std::filesystem::create_directories(folder);
  const std::wstring landscape = (folder / L"landscape.bmp").wstring();
  const std::wstring portrait = (folder / L"portrait.bmp").wstring();
  WriteBitmap(landscape);
  WriteBitmap(portrait);
  settings_.horizonal = landscape;
  settings_.vertical = portrait;
  settings_.horizonal_style = 2;
  const std::wstring before = Wallpaper();
  ASSERT_NE(Open(), nullptr);
  ASSERT_EQ(settings_.portrait, 0);
  Click(IDC_CFG_VWALLPAPER_ENABLE);
  EXPECT_EQ(settings_.vertical_enable, 1);
  EXPECT_EQ(Wallpaper(), before);
  Click(IDC_CFG_HWALLPAPER_ENABLE);
  EXPECT_EQ(settings_.horizonal_enable, 1);
  EXPECT_EQ(Wallpaper(), landscape);
  Click(IDC_CFG_HWALLPAPER_TILE);
  EXPECT_EQ(settings_.horizonal_style, 1);
  testing::SetDesktopValue(L"Wallpaper", before);

  // The lock task: registered when ticked, removed when cleared. Where its
  // definition cannot be written (a folder in the file's place) the message
  // comes, the setting is 0 and the tick stays.
  Click(IDC_CFG_TASK_LOCK);
  EXPECT_EQ(settings_.task_lock, 1);
  Click(IDC_CFG_TASK_LOCK);
  EXPECT_EQ(settings_.task_lock, 0);
  // A task that cannot be registered leaves its setting 0 and the tick:
  // Wine's schtasks takes no /sc, so the logon and boot tasks fail for real;
  // the lock task's definition cannot be written where a folder stands in the
  // file's place, and it says so.
  const std::filesystem::path blocker = TaskXmlPath(ModuleFileName(nullptr));
  std::filesystem::create_directory(blocker);
  const struct { int id; std::uint8_t Settings::*setting; std::wstring message; } boxes[] = {
      {IDC_CFG_TASK_STARTUP, &Settings::task_startup, L""}, {IDC_CFG_TASK_BOOT, &Settings::task_boot, L""},
      {IDC_CFG_TASK_LOCK, &Settings::task_lock, L"Could not generate xml file for task scheduler."}};
  for (const auto& box : boxes) {
    std::wstring message;
    ClickAndAct(Item(box.id), box.message.empty() ? L"" : app_.app_name(), [&](HWND shown) {
      message = testing::MessageText(shown);
      ::PostMessageW(shown, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(message, box.message) << box.id;
    EXPECT_EQ(settings_.*box.setting, 0) << box.id;
    EXPECT_TRUE(IsChecked(box.id)) << box.id;
    Click(box.id);  // cleared again, so no task is left behind
    EXPECT_EQ(settings_.*box.setting, 0) << box.id;
  }
  std::filesystem::remove(blocker);

  // "Select" runs the device selection; Cancel keeps the device.
  const std::wstring device = settings_.device_instance_path;
  ClickAndAct(Item(IDC_CFG_DEVICE_SELECT), L"Select Control Target Device",
              [](HWND selection) { ::PostMessageW(selection, WM_COMMAND, IDCANCEL, 0); });
  EXPECT_EQ(settings_.device_instance_path, device);
  std::filesystem::remove_all(folder);
}

// The start-up refresh runs on its own thread once the status window shows,
// and shows nothing: its end reaches the window, which shows its message in
// a box of its own and takes what it found, which the dialog then shows
// (Wine registers no boot or logon task; a folder blocks the lock task's
// file).
TEST_F(ConfigDialog, TheStartUpTaskRefreshReachesTheStatusWindowAndTheBoxes) {
  settings_.task_boot = settings_.task_startup = settings_.task_lock = 1;
  // A lock task an earlier test of this prefix left registered would leave
  // the refresh nothing to write: under Wine, which reads back no action,
  // any task of that name looks as wanted.
  DeleteLockTask();
  TaskPresence lock = TaskPresence::Unknown;
  std::thread([&] { lock = TaskService().Find(kLockTaskName).presence; }).join();
  ASSERT_EQ(lock, TaskPresence::Missing) << "the lock task left by an earlier test could not be deleted";
  const std::filesystem::path blocker = TaskXmlPath(ModuleFileName(nullptr));
  std::filesystem::create_directory(blocker);
  TaskRefresh refresh;
  refresh.Start(settings_);
  // Held until the window has been shown: the service's start would
  // compete with the window's first picture.
  ::Sleep(300);
  EXPECT_FALSE(refresh.Finished());
  ASSERT_TRUE(CreateStatus(&refresh));
  std::atomic<bool> answered = false;
  std::wstring text;
  HWND owner = nullptr;
  DWORD thread = 0;
  std::thread answer([&] {
    for (int waited = 0; waited < 30000 && !answered; waited += 50) {
      ::Sleep(50);
      const HWND box = ::FindWindowW(L"#32770", app_.app_name().c_str());
      if (box == nullptr || !::IsWindowVisible(box)) continue;
      text = testing::MessageText(box);
      owner = ::GetWindow(box, GW_OWNER);
      thread = ::GetWindowThreadProcessId(box, nullptr);
      ::PostMessageW(box, WM_COMMAND, IDOK, 0);
      answered = true;
    }
  });
  for (int waited = 0; waited < 31000 && !answered; waited += 20) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    ::Sleep(20);
  }
  answer.join();
  ASSERT_TRUE(answered) << "the refresh's message never came";
  EXPECT_EQ(text, L"Could not generate xml file for task scheduler.");
  EXPECT_EQ(owner, status_->hwnd());
  EXPECT_EQ(thread, ::GetCurrentThreadId());
  EXPECT_EQ(settings_.task_boot + settings_.task_startup + settings_.task_lock, 0);
  ASSERT_NE(Open(0x0409, &refresh), nullptr);
  std::filesystem::remove(blocker);
  for (const int id : {IDC_CFG_TASK_BOOT, IDC_CFG_TASK_STARTUP, IDC_CFG_TASK_LOCK}) EXPECT_FALSE(IsChecked(id)) << id;
  // The lock box ticked now registers its task, and the refresh's outcome
  // taken again, as the exit takes it, does not undo the tick.
  Click(IDC_CFG_TASK_LOCK);
  EXPECT_EQ(settings_.task_lock, 1);
  refresh.Apply(settings_);
  EXPECT_EQ(settings_.task_lock, 1);
  Click(IDC_CFG_TASK_LOCK);  // and the task goes again

  // The refresh's thread enters and leaves its own apartment for the task
  // service: an owner in an apartment stays in it, one level deep. With
  // nothing ticked and nothing registered, the service is only asked.
  Settings unticked = settings_;
  unticked.task_boot = unticked.task_startup = unticked.task_lock = 0;
  HRESULT kept = E_FAIL, left = S_OK;
  std::thread owning([&] {
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return;
    TaskRefresh quiet;
    quiet.Start(unticked);
    quiet.Apply(unticked);
    APTTYPE type{};
    APTTYPEQUALIFIER qualifier{};
    kept = ::CoGetApartmentType(&type, &qualifier);
    ::CoUninitialize();
    left = ::CoGetApartmentType(&type, &qualifier);
  });
  owning.join();
  EXPECT_EQ(kept, S_OK);
  EXPECT_EQ(left, CO_E_NOTINITIALIZED);
}

}  // namespace
}  // namespace veltra
