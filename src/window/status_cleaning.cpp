// The status window's cleaning of the screen: the panel off for
// clean_seconds while the screen is wiped, a countdown in the window and the
// icon's tip, then the panel back as it was (CleaningRun decides).
#include <windows.h>

#include "platform/strings.h"
#include "platform/trace.h"
#include "resources/resource.h"
#include "window/messages.h"
#include "window/veltra_dlg.h"

namespace veltra {

void CVeltraDlg::ToggleCleaning() {
  if (!cleaning_.running()) {
    StartCleaning();
  } else if (const auto state = cleaning_.End()) {
    FinishCleaning(*state);
  }
}

void CVeltraDlg::StartCleaning() {
  if (!AcceptsSwitches()) return;
  if (::SetTimer(hwnd(), TIMER_CLEANING, 1000, nullptr) == 0) {
    // Without its clock the cleaning would never end: the panel stays on.
    TraceLastError(L"SetTimer(TIMER_CLEANING)");
    return;
  }
  cleaning_.Start(settings_.touch_status, settings_.clean_seconds);
  settings_.touch_status = 0;
  ApplyTouchState();
  if (settings_.clean_keyboard != 0 && !keyboard_locked_) {
    // The hook of the Windows key does the locking; without that setting it
    // is installed for the cleaning alone. Refused, the panel still goes off.
    if (winkey_hook_.Install(hwnd())) {
      winkey_hook_.Lock(settings_.clean_seconds * 1000);
      keyboard_locked_ = true;
    } else {
      TraceFailure(L"locking the keyboard", ERROR_HOOK_NOT_INSTALLED);
    }
  }
}

void CVeltraDlg::OnCleaningTick() {
  // The device selection holds every switch: the count waits for it.
  if (selecting_ || exiting_) return;
  if (const auto state = cleaning_.Tick()) {
    FinishCleaning(*state);
    return;
  }
  if (!cleaning_.running()) return;  // a tick queued before the end
  ShowStateText(false);
  tray_.Modify(enabled_state(), tooltip());
}

void CVeltraDlg::FinishCleaning(std::uint8_t state) {
  StopCleaning();
  // The run has ended: this is no hand switch, and it is announced.
  SetTouchState(state);
}

void CVeltraDlg::StopCleaning() {
  ::KillTimer(hwnd(), TIMER_CLEANING);
  if (!keyboard_locked_) return;
  keyboard_locked_ = false;
  winkey_hook_.Unlock();
  if (settings_.override_winkey == 0) winkey_hook_.Remove();
}

std::wstring CVeltraDlg::CleaningText() const {
  return FormatNumber(LoadLocalizedText(app_.instance(), IDS_CLEANING_LEFT), static_cast<int>(cleaning_.remaining()));
}

std::wstring CVeltraDlg::tooltip() const {
  if (cleaning_.running()) return CleaningText();
  return enabled_state() ? settings_.tooltip_enable_txt : settings_.tooltip_disable_txt;
}

bool CVeltraDlg::SaveChosenSettings() {
  const std::uint8_t now = settings_.touch_status;
  if (cleaning_.running()) settings_.touch_status = cleaning_.before();
  const bool saved = SaveSettings(settings_, store_);
  settings_.touch_status = now;
  return saved;
}

}  // namespace veltra
