// The status window's cleaning of the screen.
#include "window/status_cleaning.h"

#include "platform/strings.h"
#include "platform/trace.h"
#include "resources/resource.h"
#include "window/messages.h"
#include "window/panel_switch.h"
#include "window/status_keys.h"
#include "window/tray_icon.h"

namespace veltra {

void StatusCleaning::Begin() {
  PanelSwitch& panel = host_.panel();
  if (!panel.open()) return;
  if (::SetTimer(host_.window(), TIMER_CLEANING, 1000, nullptr) == 0) {
    // Without its clock the countdown would never show: the panel stays on.
    TraceLastError(L"SetTimer(TIMER_CLEANING)");
    return;
  }
  const Settings& s = host_.settings();
  run_.Start(::GetTickCount64(), s.clean_seconds);
  panel.SetHold(Hold::Cleaning, true);
  // A switch by hand may have ended it while the device was switched.
  if (!run_.running()) return;
  // The wipe's time counts from the panel off, however long the device
  // took; the keyboard is locked only then, for that time. Refused, the
  // panel still stays off.
  run_.Start(::GetTickCount64(), s.clean_seconds);
  if (s.clean_keyboard != 0) keys_.LockKeyboard(static_cast<std::uint32_t>(s.clean_seconds) * 1000);
  host_.ShowState(ShowReason::Countdown);
}

// Once a second, and at a resume: the time is what counts, so a stall of
// this thread or a sleep past the end ends the run at the next look.
void StatusCleaning::Look() {
  if (!run_.running()) return;
  // The device selection holds every switch: the end waits for it.
  if (!host_.panel().open()) return;
  if (run_.Expired(::GetTickCount64())) {
    Finish();
    return;
  }
  host_.ShowState(ShowReason::Countdown);
}

void StatusCleaning::Finish() {
  Stop();
  host_.panel().SetHold(Hold::Cleaning, false);
}

void StatusCleaning::Stop() noexcept {
  keys_.UnlockKeyboard();
  ::KillTimer(host_.window(), TIMER_CLEANING);
  run_.Stop();
}

// A switch by hand (or the device found working) ended the hold: the run
// ends with it, and the keyboard comes back at once.
void StatusCleaning::StateShown(ShowReason) {
  if (run_.running() && !host_.panel().holding(Hold::Cleaning)) Stop();
}

std::optional<std::wstring> StatusCleaning::StateText(bool) const {
  if (!run_.running()) return std::nullopt;
  const int left = static_cast<int>(run_.Remaining(::GetTickCount64()));
  return FormatNumber(LoadLocalizedText(host_.app().instance(), IDS_CLEANING_LEFT), left > 0 ? left : 1);
}

void StatusCleaning::PrepareMenu(HMENU popup) {
  const UINT text = run_.running() ? IDS_MENU_END_CLEANING : IDS_MENU_CLEAN_SCREEN;
  PrepareMenuItem(popup, ID_CLEAN_SCREEN, LoadLocalizedText(host_.app().instance(), text));
}

void StatusCleaning::Exit() { Stop(); }

std::optional<LRESULT> StatusCleaning::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wparam) != ID_CLEAN_SCREEN) return std::nullopt;
      if (run_.running()) {
        Finish();
      } else {
        Begin();
      }
      return 0;
    case WM_TIMER:
      if (wparam != TIMER_CLEANING) return std::nullopt;
      Look();
      return 0;
    case WM_POWERBROADCAST:
      if (wparam == PBT_APMRESUMEAUTOMATIC) Look();
      return std::nullopt;
    default:
      // The hook ended the keyboard's lock (its time, or Escape held).
      if (message == WM_WINKEY_TRIGGER && lparam == VK_ESCAPE && run_.running()) {
        Finish();
        return 0;
      }
      return std::nullopt;
  }
}

}  // namespace veltra
