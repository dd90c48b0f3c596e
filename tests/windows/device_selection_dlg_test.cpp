// The target device selection dialog in this process, over the simulated
// device tree beside the test program. A modal run is driven by steps on a
// thread timer, which also ticks inside the message boxes' own loops; a box
// is answered by posting it its button's command.
#include "device/device_selection_dlg.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "../common/window_texts.h"
#include "modal_script.h"
#include "resources/resource.h"
#include "sim/sim_device_tree.h"
#include "status_window_fixture.h"
#include "platform/strings.h"

namespace veltra {
namespace {

using testing::kTouchId;
using testing::Step;
using testing::TooltipText;

constexpr wchar_t kOtherId[] = L"HID\\VID_04F3&PID_2536&COL02\\7&1A2B3C4D&0&0001";
constexpr wchar_t kTouchName[] = L"HID-compliant touch screen";
constexpr wchar_t kCaption[] = L"Select Control Target Device";
constexpr wchar_t kNotice[] =
    L"Press the OK button to disabling the selected device for 5 seconds.\r\n"
    L"Please confirm that the touch panel is disabled during that time.";

DeviceLister Fixed(const DeviceList& devices) {
  return [devices](DeviceList& out) { out = devices; };
}

std::wstring Text(HWND window, int id) {
  wchar_t text[1024] = {};
  ::GetDlgItemTextW(window, id, text, 1024);
  return text;
}
bool Enabled(HWND dialog, int id) { return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE; }
LRESULT Selected(HWND dialog) { return ::SendDlgItemMessageW(dialog, IDC_INIT_DEVICE_LIST, CB_GETCURSEL, 0, 0); }
// As a user's pick does: the box changes, then tells its dialog.
void Choose(HWND dialog, WPARAM index) {
  ::SendDlgItemMessageW(dialog, IDC_INIT_DEVICE_LIST, CB_SETCURSEL, index, 0);
  ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_INIT_DEVICE_LIST, CBN_SELCHANGE), 0);
}
void Click(HWND dialog, int id) {
  ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

class InitDlgTest : public StatusWindowFixture {
 protected:
  void SetUp() override {
    StatusWindowFixture::SetUp();
    testing::WriteSimDevices(Folder() / L"sim_devices.ini", {testing::TouchScreen(), testing::TouchScreen(kOtherId)});
  }
  static bool Started(const wchar_t* id) {
    const std::optional<SimDevice> device = FindSimDevice(id);
    return device && device->started;
  }

  // A message box of this program (captioned with its name) not answered yet.
  HWND Box() const {
    for (HWND box = nullptr; (box = ::FindWindowExW(nullptr, box, L"#32770", app_.app_name().c_str()));) {
      if (::IsWindowVisible(box) && std::find(answered_.begin(), answered_.end(), box) == answered_.end()) return box;
    }
    return nullptr;
  }
  // Waits for a box showing `text`, runs `also` and answers with `button`.
  Step Answer(std::wstring text, int button, std::function<void()> also = [] {}) {
    return [=, this] {
      const HWND box = Box();
      if (box == nullptr) return false;
      EXPECT_EQ(testing::MessageText(box), text);
      EXPECT_NE(::GetDlgItem(box, button), nullptr) << "a box of another type";
      also();
      answered_.push_back(box);
      ::PostMessageW(box, WM_COMMAND, button, 0);
      return true;
    };
  }

  std::vector<HWND> answered_;
};

// Which entry comes first is the selection rules' business (tested
// natively); the dialog lists the entries in order and shows the chosen one.
TEST_F(InitDlgTest, ListsTheDevicesInOrderShowsThePreselectedOneAndNumbersFromOne) {
  DeviceList twelve;
  for (int i = 0; i < 12; ++i) twelve.push_back({L"HID\\VID_00" + std::to_wstring(90 - i), L"Device"});  // unsorted
  twelve[0].description = kTouchName;
  twelve[3].id = twelve[11].id;
  twelve[11].description = L"Pen";
  CInitDlg dialog(app_, settings_, twelve[11].id, Fixed(twelve), 0x0409);
  ASSERT_TRUE(dialog.Create(nullptr));
  const HWND window = dialog.hwnd();
  ASSERT_EQ(::SendDlgItemMessageW(window, IDC_INIT_DEVICE_LIST, CB_GETCOUNT, 0, 0), std::ssize(twelve));
  for (std::size_t i = 0; i < twelve.size(); ++i) {
    wchar_t item[256] = {};
    ::SendDlgItemMessageW(window, IDC_INIT_DEVICE_LIST, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
    EXPECT_EQ(item, twelve[i].id);
  }
  EXPECT_EQ(Selected(window), 11);
  EXPECT_EQ(Text(window, IDC_INIT_DEVICE_NAME), L"Pen");
  EXPECT_EQ(Text(window, IDC_INIT_DEVICE_NUMBER), L"No. 12");
  EXPECT_FALSE(Enabled(window, IDOK));
  EXPECT_TRUE(Enabled(window, IDC_INIT_TEST_START));
}

// The first test is confirmed but not taken, the second fails; OK follows
// each item's own result and takes the selected item, not the last tested.
TEST_F(InitDlgTest, ATestDisablesTheDeviceForFiveTicksAndItsAnswerDecidesOk) {
  const std::wstring configured = settings_.device_instance_path;
  CInitDlg dialog(app_, settings_, L"", Fixed({{kOtherId, L"Keyboard"}, {kTouchId, kTouchName}}), 0x0409);
  HWND window = nullptr;
  std::vector<Step> steps = {[&] {
    window = dialog.hwnd();
    if (window == nullptr || !::IsWindowVisible(window)) return false;
    RECT rect{};  // where it is on the screen, for a picture of it
    ::GetWindowRect(window, &rect);
    std::printf("dialog rectangle: %ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left,
                rect.top);
    std::fflush(stdout);
    EXPECT_EQ(Selected(window), 1);
    EXPECT_EQ(TooltipText(window, IDC_INIT_DEVICE_LIST), L"Select the control target device of Veltra.");
    EXPECT_EQ(TooltipText(window, IDC_INIT_TEST_START),
              L"Disabling the currently selected device for 5 seconds.\r\n"
              L"Please check whether the touch function is disabled during that time.");
    Click(window, IDC_INIT_TEST_START);
    return true;
  }};
  std::chrono::steady_clock::time_point answered;
  steps.push_back(Answer(kNotice, IDOK, [&] {
    EXPECT_TRUE(Started(kTouchId));
    answered = std::chrono::steady_clock::now();
  }));
  for (const wchar_t* countdown : {L"Testing Now", L"Testing Now 5", L"Testing Now 4", L"Testing Now 3",
                                   L"Testing Now 2", L"Testing Now 1"}) {
    steps.push_back([&, countdown] {
      if (Text(window, IDC_INIT_TEST_START) != countdown) return false;
      EXPECT_FALSE(Started(kTouchId)) << countdown;
      EXPECT_FALSE(Enabled(window, IDOK) || Enabled(window, IDCANCEL) || Enabled(window, IDC_INIT_TEST_START));
      return true;
    });
  }
  steps.push_back(Answer(L"Has been disabled the touch panel?", IDYES, [&] {
    // Six ticks of a second and the two switches (about 8 s here) from the
    // notice to the question: load only makes it longer, and with ticks of
    // a few tenths of a second it stays below the lower bound (2.7 s at 0.1).
    const auto elapsed = std::chrono::steady_clock::now() - answered;
    EXPECT_TRUE(elapsed >= std::chrono::seconds(5) && elapsed <= std::chrono::seconds(16))
        << std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() << " ms";
    EXPECT_TRUE(Started(kTouchId));
    EXPECT_EQ(Text(window, IDC_INIT_TEST_START), L"Test Start");
    EXPECT_TRUE(Enabled(window, IDC_INIT_TEST_START) && Enabled(window, IDCANCEL));
  }));
  // No to the second question keeps the dialog (the steps below must run):
  // the device passed, so OK is on, but nothing was taken.
  steps.push_back(Answer(L"Do you want to set this device as a control target pf Veltra?", IDNO));
  steps.push_back([&] {
    if (Box() != nullptr || !Enabled(window, IDOK)) return false;
    Choose(window, 0);
    EXPECT_FALSE(Enabled(window, IDOK));
    ::SendMessageW(window, WM_COMMAND, IDOK, 0);  // Enter: the untested keyboard is not taken
    EXPECT_EQ(settings_.device_instance_path, configured);
    EXPECT_EQ(Text(window, IDC_INIT_DEVICE_NAME), L"Keyboard");
    EXPECT_EQ(Text(window, IDC_INIT_DEVICE_NUMBER), L"No. 01");
    Click(window, IDC_INIT_TEST_START);
    return true;
  });
  steps.push_back(Answer(kNotice, IDOK));
  // Choosing the passed device during the test changes nothing of the
  // test: the answer is about the keyboard, which is selected again.
  steps.push_back([&] {
    if (Text(window, IDC_INIT_TEST_START) != L"Testing Now 3") return false;
    Choose(window, 1);
    EXPECT_FALSE(Enabled(window, IDOK));
    return true;
  });
  steps.push_back(Answer(L"Has been disabled the touch panel?", IDNO, [&] { EXPECT_EQ(Selected(window), 0); }));
  steps.push_back(Answer(L"Select another device and try the test again.", IDOK));
  steps.push_back([&] {
    if (Box() != nullptr) return false;
    EXPECT_EQ(Text(window, IDC_INIT_DEVICE_NAME), L"Keyboard");
    EXPECT_EQ(settings_.device_instance_path, configured);  // a tested path stays in the dialog until OK
    EXPECT_FALSE(Enabled(window, IDOK));
    Choose(window, 1);
    EXPECT_TRUE(Enabled(window, IDOK));
    Click(window, IDOK);
    return true;
  });
  EXPECT_EQ(testing::RunModalScript(std::move(steps), [&] { return dialog.DoModal(nullptr); }), IDOK);
  EXPECT_EQ(settings_.device_instance_path, kTouchId);
  EXPECT_TRUE(Started(kTouchId) && Started(kOtherId));
}

// The caller's target is made to work first; Escape during a test gives the
// tested device back, and the caller keeps its path.
TEST_F(InitDlgTest, EscapeDuringATestEnablesTheDeviceAndTheCallerKeepsItsPath) {
  settings_.device_instance_path = kTouchId;
  ASSERT_TRUE(WriteSimDeviceStarted(kTouchId, false));
  HWND window = nullptr;
  const INT_PTR result = testing::RunModalScript(
      {[&] {
         window = ::FindWindowW(L"#32770", kCaption);
         if (window == nullptr) return false;
         EXPECT_TRUE(Started(kTouchId));
         EXPECT_EQ(Selected(window), 1);
         Choose(window, 0);
         Click(window, IDC_INIT_TEST_START);
         return true;
       },
       Answer(kNotice, IDOK),
       [&] {
         if (Text(window, IDC_INIT_TEST_START) != L"Testing Now 4") return false;
         EXPECT_FALSE(Started(kOtherId));
         EXPECT_EQ(settings_.device_instance_path, kTouchId);
         ::SetForegroundWindow(window);
         return ::GetForegroundWindow() == window && ::GetFocus() != nullptr;
       },
       [] {
         INPUT keys[2] = {};
         keys[0].type = keys[1].type = INPUT_KEYBOARD;
         keys[0].ki.wVk = keys[1].ki.wVk = VK_ESCAPE;
         keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
         ::SendInput(2, keys, sizeof(INPUT));
         return true;
       }},
      [&] {
        return RunDeviceSelection(app_, settings_, nullptr, nullptr, Fixed({{kOtherId, L"HID"}, {kTouchId, kTouchName}}));
      });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_TRUE(Started(kOtherId));
  EXPECT_EQ(settings_.device_instance_path, kTouchId);

  // Closed while the test's notice is up, the notice answered after: no
  // test starts, so the device is never disabled.
  std::filesystem::remove(Folder() / L"sim_devices.log");
  const INT_PTR closed = testing::RunModalScript(
      {[&] {
         window = ::FindWindowW(L"#32770", kCaption);
         if (window == nullptr) return false;
         Choose(window, 0);
         Click(window, IDC_INIT_TEST_START);
         return true;
       },
       [&] {
         const HWND box = Box();
         if (box == nullptr) return false;
         ::PostMessageW(window, WM_CLOSE, 0, 0);
         answered_.push_back(box);
         ::PostMessageW(box, WM_COMMAND, IDOK, 0);
         return true;
       }},
      [&] {
        return RunDeviceSelection(app_, settings_, nullptr, nullptr, Fixed({{kOtherId, L"HID"}, {kTouchId, kTouchName}}));
      });
  EXPECT_EQ(closed, IDCANCEL);
  EXPECT_TRUE(Started(kOtherId));
  std::ifstream log(Folder() / L"sim_devices.log");
  const std::string lines(std::istreambuf_iterator<char>(log), {});
  EXPECT_EQ(lines.find("DISABLE"), std::string::npos) << lines;
}

// Nothing to choose, in Japanese: the dialog says so and only Cancel acts.
TEST_F(InitDlgTest, AnEmptyListInJapaneseOffersOnlyCancel) {
  CInitDlg dialog(app_, settings_, L"", Fixed({}), 0x0411);
  HWND window = nullptr;
  const INT_PTR result = testing::RunModalScript(
      {[&] {
         window = dialog.hwnd();
         if (window == nullptr) return false;
         EXPECT_EQ(Text(window, IDC_INIT_DEVICE_NAME), L"無効化できるHIDデバイスが見つかりません。");
         EXPECT_EQ(Text(window, IDC_INIT_DEVICE_NUMBER), L"");
         EXPECT_EQ(TooltipText(window, IDC_INIT_DEVICE_LIST), L"Veltraの制御対象デバイスを選択します。");
         if ((::GetSystemMetrics(SM_DIGITIZER) & 0x80) == 0) {  // what Wine reports
           EXPECT_EQ(Text(window, IDC_INIT_SYSTEM_INFO), L"System info : タッチ機能がありません。");
         }
         EXPECT_FALSE(Enabled(window, IDC_INIT_TEST_START) || Enabled(window, IDOK));
         // What a keyboard or a stray message could still send.
         Choose(window, 0);
         Click(window, IDC_INIT_TEST_START);
         Click(window, IDOK);
         return true;
       },
       [&] {
         EXPECT_EQ(Box(), nullptr);
         Click(window, IDCANCEL);
         return true;
       }},
      [&] { return dialog.DoModal(nullptr); });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(LoadLocalizedText(app_.instance(), IDS_INIT_TEST_NOTICE, 0x0411),
            L"OKボタンを押すと選択したデバイスを5秒間だけ無効化します。\r\n"
            L"その間にタッチパネルが無効化されたかどうか確認してください。");
}

}  // namespace
}  // namespace veltra
