// The one message loop with two real dialogs in it: the status window
// (modal, as the program runs it) and a modeless dialog like the
// configuration dialog, plus a modal dialog started from the second.
#include "ui/dialog.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "modal_script.h"
#include "sim/sim_device_tree.h"
#include "status_window_fixture.h"
#include "test_resource.h"
#include "window/veltra_dlg.h"

namespace veltra {
namespace {

// A dialog of no behaviour of its own: what it does with keys comes from
// the loop and the dialog manager alone.
class OptionsDialog final : public ui::Dialog {
 public:
  OptionsDialog() : ui::Dialog(IDD_TEST_OPTIONS) {}
  HWND item(int id) const { return ::GetDlgItem(hwnd(), id); }

 protected:
  std::optional<LRESULT> OnMessage(UINT, WPARAM, LPARAM) override { return std::nullopt; }
};

// Ends itself once its loop runs (a second end right after the first),
// noting whether its owner was disabled; or, told to, destroys its owner
// instead.
class ChildDialog final : public ui::Dialog {
 public:
  explicit ChildDialog(HWND owner, bool destroy_owner = false)
      : ui::Dialog(IDD_TEST_CHILD), owner_(owner), destroy_owner_(destroy_owner) {}
  bool owner_was_disabled = false;

 protected:
  BOOL OnInitDialog() override {
    ::PostMessageW(hwnd(), WM_COMMAND, IDOK, 0);
    return TRUE;
  }
  std::optional<LRESULT> OnMessage(UINT message, WPARAM wparam, LPARAM) override {
    if (message == WM_COMMAND && LOWORD(wparam) == IDOK) {
      owner_was_disabled = !::IsWindowEnabled(owner_);
      if (destroy_owner_) {
        ::DestroyWindow(owner_);
      } else {
        EndDialog(IDOK);
        EndDialog(IDCANCEL);  // the first way out stays the result
      }
      return 0;
    }
    return std::nullopt;
  }

 private:
  HWND owner_;
  bool destroy_owner_;
};

void Key(WORD vk, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  ::SendInput(1, &input, sizeof(input));
}
void Press(WORD vk) {
  Key(vk, false);
  Key(vk, true);
}
void CtrlShiftZ() {
  for (WORD vk : {WORD{VK_CONTROL}, WORD{VK_SHIFT}, WORD{'Z'}}) Key(vk, false);
  for (WORD vk : {WORD{'Z'}, WORD{VK_SHIFT}, WORD{VK_CONTROL}}) Key(vk, true);
}

using DialogLoop = StatusWindowFixture;

bool FocusIs(HWND window) { return ::GetFocus() == window; }

TEST_F(DialogLoop, EachDialogKeepsItsKeysAndTheHotKeyWorksFromBoth) {
  CVeltraDlg status(app_, settings_, profile_);
  OptionsDialog options;
  bool status_ended_by_keys = false;
  bool child_saw_owner_disabled = false;

  const INT_PTR result = testing::RunModalScript(
      {
        // open the second dialog
        [&] {
          if (!options.Create(status.hwnd())) return false;
          options.Show(true);
          ::SetForegroundWindow(options.hwnd());
          ::SetFocus(options.item(IDC_TEST_EDIT));
          return FocusIs(options.item(IDC_TEST_EDIT));
        },
        [&] { Press(VK_TAB); return true; },
        // Tab moves the focus to the check box
        [&] { return FocusIs(options.item(IDC_TEST_CHECK)); },
        [&] { Press(VK_SPACE); return true; },
        // Space ticks the check box
        [&] { return ::IsDlgButtonChecked(options.hwnd(), IDC_TEST_CHECK) == BST_CHECKED; },
        // hot key from the second dialog
        [&] { CtrlShiftZ(); return true; },
        // the panel is disabled
        [&] { return settings_.touch_status == 0 && FocusIs(options.item(IDC_TEST_CHECK)); },
        // a modal dialog from the second
        [&] {
          ChildDialog child(options.hwnd());
          EXPECT_EQ(child.DoModal(options.hwnd()), IDOK);
          child_saw_owner_disabled = child.owner_was_disabled;
          return true;
        },
        // the second dialog is enabled and has the focus back
        [&] { return ::IsWindowEnabled(options.hwnd()) && FocusIs(options.item(IDC_TEST_CHECK)); },
        // focus the status window
        [&] {
          ::SetForegroundWindow(status.hwnd());
          ::SetFocus(status.hwnd());
          return ::GetActiveWindow() == status.hwnd();
        },
        // Enter and Space in the status window
        [&] {
          Press(VK_RETURN);
          Press(VK_SPACE);
          return true;
        },
        // hot key from the status window
        [&] { CtrlShiftZ(); return true; },
        // the panel is enabled again and the status window still runs
        [&] {
          status_ended_by_keys = !::IsWindow(status.hwnd());
          return settings_.touch_status == 1;
        },
        [&] { ::PostMessageW(status.hwnd(), WM_CLOSE, 0, 0); return true; },
      },
      [&] { return status.DoModal(nullptr); },
      // A stuck step ends the run as the last step would.
      [&] { ::PostMessageW(status.hwnd(), WM_CLOSE, 0, 0); });

  EXPECT_EQ(result, IDOK);
  EXPECT_TRUE(child_saw_owner_disabled);
  EXPECT_FALSE(status_ended_by_keys);
  // The modeless dialog outlives the status window's run until its owner
  // takes it down, and then it is gone from the loop.
  EXPECT_EQ(options.hwnd(), nullptr);
  EXPECT_EQ(settings_.touch_status, 1);
  EXPECT_TRUE(DeviceStarted());
}

// A modal dialog that goes with its owner ends its loop as Cancel (before,
// the loop waited for ever); a dialog object that ends with its window open
// takes the window along without a message reaching the half-gone object.
TEST(DialogEnd, ADialogDestroyedFromOutsideEndsItsLoopAndADeadObjectHearsNothing) {
  auto owner = std::make_unique<OptionsDialog>();
  ASSERT_TRUE(owner->Create(nullptr));
  const HWND owner_window = owner->hwnd();
  ChildDialog child(owner_window, true);
  EXPECT_EQ(child.DoModal(owner_window), IDCANCEL);
  EXPECT_FALSE(::IsWindow(owner_window));

  ASSERT_TRUE(owner->Create(nullptr));
  const HWND open_window = owner->hwnd();
  owner.reset();
  EXPECT_FALSE(::IsWindow(open_window));
}

// The script itself: a window that never comes fails the test and the
// stuck run is closed; steps left over fail it too; no tick outlives a run.
TEST(ModalScript, FailsWhenItsWindowNeverComesOrStepsAreLeftAndKeepsNoTimer) {
  ::testing::TestPartResultArray failures;
  {
    const ::testing::ScopedFakeTestPartResultReporter reporter(
        ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
    EXPECT_EQ(testing::RunModalScript({[] { return ::FindWindowW(L"#32770", L"No such window") != nullptr; }},
                                      [] { return INT_PTR{::MessageBoxW(nullptr, L"stuck", L"Script", MB_OK)}; }),
              IDOK);
    testing::RunModalScript({[] { return true; }, [] { return true; }}, [] { return INT_PTR{0}; });
  }
  const char* expected[] = {"step 0 of 1 still waits after 10 s", "ended (with 1) before", "ended (with 0) before"};
  ASSERT_EQ(failures.size(), 3);
  for (int i = 0; i < 3; ++i) {
    const std::string message = failures.GetTestPartResult(i).message();
    EXPECT_NE(message.find(expected[i]), std::string::npos) << message;
  }
  ::Sleep(100);
  MSG tick;
  EXPECT_FALSE(::PeekMessageW(&tick, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
}

}  // namespace
}  // namespace veltra
