// The one message loop with two real dialogs in it: the status window
// (modal, as the program runs it) and a modeless dialog like the
// configuration dialog, plus a modal dialog started from the second.
#include "ui/dialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

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

// Ends itself once its loop runs, noting whether its owner was disabled;
// or, told to, destroys its owner instead.
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

// The test's steps run from a thread timer inside the status window's
// modal loop; each step either acts or waits for its condition.
struct Script {
  struct Step {
    const char* name;
    std::function<bool()> run;  // true: go on to the next step
  };
  std::vector<Step> steps;
  std::size_t next = 0;
  int waited = 0;
  bool busy = false;
  const char* failed_at = nullptr;
};
Script* g_script = nullptr;

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
  Script& script = *g_script;
  if (script.busy || script.next >= script.steps.size()) return;
  script.busy = true;
  if (script.steps[script.next].run()) {
    ++script.next;
    script.waited = 0;
  } else if (++script.waited > 100) {  // 5 s
    if (script.failed_at == nullptr) script.failed_at = script.steps[script.next].name;
    script.next = script.steps.size() - 1;  // straight to the last step, which ends the run
  }
  script.busy = false;
}

using DialogLoop = StatusWindowFixture;

bool FocusIs(HWND window) { return ::GetFocus() == window; }

TEST_F(DialogLoop, EachDialogKeepsItsKeysAndTheHotKeyWorksFromBoth) {
  CVeltraDlg status(app_, settings_, profile_);
  OptionsDialog options;
  bool status_ended_by_keys = false;
  bool child_saw_owner_disabled = false;

  Script script;
  script.steps = {
      {"open the second dialog",
       [&] {
         if (!options.Create(status.hwnd())) return false;
         options.Show(true);
         ::SetForegroundWindow(options.hwnd());
         ::SetFocus(options.item(IDC_TEST_EDIT));
         return FocusIs(options.item(IDC_TEST_EDIT));
       }},
      {"Tab", [&] { Press(VK_TAB); return true; }},
      {"Tab moves the focus to the check box", [&] { return FocusIs(options.item(IDC_TEST_CHECK)); }},
      {"Space", [&] { Press(VK_SPACE); return true; }},
      {"Space ticks the check box",
       [&] { return ::IsDlgButtonChecked(options.hwnd(), IDC_TEST_CHECK) == BST_CHECKED; }},
      {"hot key from the second dialog", [&] { CtrlShiftZ(); return true; }},
      {"the panel is disabled", [&] { return settings_.touch_status == 0 && FocusIs(options.item(IDC_TEST_CHECK)); }},
      {"a modal dialog from the second",
       [&] {
         ChildDialog child(options.hwnd());
         EXPECT_EQ(child.DoModal(options.hwnd()), IDOK);
         child_saw_owner_disabled = child.owner_was_disabled;
         return true;
       }},
      {"the second dialog is enabled and has the focus back",
       [&] { return ::IsWindowEnabled(options.hwnd()) && FocusIs(options.item(IDC_TEST_CHECK)); }},
      {"focus the status window",
       [&] {
         ::SetForegroundWindow(status.hwnd());
         ::SetFocus(status.hwnd());
         return ::GetActiveWindow() == status.hwnd();
       }},
      {"Enter and Space in the status window",
       [&] {
         Press(VK_RETURN);
         Press(VK_SPACE);
         return true;
       }},
      {"hot key from the status window", [&] { CtrlShiftZ(); return true; }},
      {"the panel is enabled again and the status window still runs",
       [&] {
         status_ended_by_keys = !::IsWindow(status.hwnd());
         return settings_.touch_status == 1;
       }},
      {"close", [&] { ::PostMessageW(status.hwnd(), WM_CLOSE, 0, 0); return true; }},
  };
  g_script = &script;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &Tick);
  const INT_PTR result = status.DoModal(nullptr);
  ::KillTimer(nullptr, timer);
  g_script = nullptr;

  EXPECT_EQ(result, IDOK);
  EXPECT_STREQ(script.failed_at, nullptr) << "the step the run got stuck at";
  EXPECT_EQ(script.next, script.steps.size());
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

}  // namespace
}  // namespace veltra
