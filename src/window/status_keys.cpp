// The status window's hot key, Windows key and keyboard lock.
#include "window/status_keys.h"

#include "platform/strings.h"
#include "platform/trace.h"
#include "resources/resource.h"
#include "window/messages.h"
#include "window/panel_switch.h"

namespace veltra {

StatusKeys::HotKeySettings StatusKeys::StoredHotKey() const {
  const Settings& s = host_.settings();
  return {s.enable_hotkey, s.fsModifiers, s.virtkey};
}

void StatusKeys::Start() {
  hot_key_.Attach(host_.window());
  applied_hot_key_ = StoredHotKey();
  UpdateHotKeyRegistration(HotKeyRule::WhileOn);
}

void StatusKeys::Started() {
  const Settings& s = host_.settings();
  if (s.hotkey_single_use) UpdateHotKeyRegistration(HotKeyRule::WhileItCanAct);
  if (s.override_winkey) InstallWinKeyHook(host_.window());
  applied_override_ = s.override_winkey != 0;
}

void StatusKeys::SettingsChanged() {
  if (StoredHotKey() != applied_hot_key_) {
    applied_hot_key_ = StoredHotKey();
    UpdateHotKeyRegistration(HotKeyRule::WhileOn);
  }
  if ((host_.settings().override_winkey != 0) != applied_override_) ApplyWinKeyOverride(host_.BoxOwner());
}

void StatusKeys::UpdateHotKeyRegistration(HotKeyRule rule) {
  const Settings& s = host_.settings();
  const bool on = s.enable_hotkey != 0;
  const bool wanted = rule == HotKeyRule::WhileOn
                          ? on
                          : HotKeyWanted(on, s.hotkey_toggle_mode, host_.panel().enabled() ? 1 : 0);
  if (wanted) {
    hot_key_.Register(s.fsModifiers, s.virtkey);
  } else {
    hot_key_.Unregister();
  }
}

// The registration follows switches and device changes, not a look at the
// device (the debug poll's, every second).
void StatusKeys::StateShown(ShowReason reason) {
  if (reason != ShowReason::Change || !host_.running()) return;
  if (host_.settings().hotkey_single_use) UpdateHotKeyRegistration(HotKeyRule::WhileItCanAct);
}

void StatusKeys::Trigger(std::int32_t mode) {
  PanelSwitch& panel = host_.panel();
  const std::uint8_t shown = panel.enabled() ? 1 : 0;
  const std::uint8_t state = StateAfterTrigger(mode, shown);
  // A press that changes nothing shown still ends what holds the panel
  // (a cleaning): the user took the panel in hand.
  if (state == shown && !panel.held()) return;
  panel.Choose(state, Asker::Hand);
}

void StatusKeys::OnHotKey() { Trigger(host_.settings().hotkey_toggle_mode); }

bool StatusKeys::PreTranslate(const MSG& message) {
  if (message.message != WM_HOTKEY) return false;
  OnHotKey();
  return true;
}

std::optional<LRESULT> StatusKeys::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_WINKEY_TRIGGER) {
    // The hook ended a keyboard lock by itself. A running cleaning hears it
    // first; one that is over has already let go, and a lock left from it
    // is let go here.
    if (lparam == VK_ESCAPE) {
      UnlockKeyboard();
      return 0;
    }
    const auto stamp = static_cast<std::int32_t>(static_cast<std::uint32_t>(wparam));
    if (winkey_.Accept(stamp, host_.settings().override_winkey_resp)) Trigger(host_.settings().override_winkey_mode);
    return 0;
  }
  if (message == WM_HOTKEY) {
    // Normally taken before dispatch; this serves the loops of the
    // platform's own modal windows (message boxes, colour and font
    // choosers), which know nothing of the pre-translation.
    OnHotKey();
    return 0;
  }
  return std::nullopt;
}

void StatusKeys::InstallWinKeyHook(HWND owner) {
  if (winkey_hook_.Install(host_.window())) return;
  // Saved off with the rest, so the next start does not fail the same way.
  // Every answer has the same effect.
  host_.settings().override_winkey = 0;
  host_.app().ShowMessage(LoadLocalizedText(host_.app().instance(), IDS_HOOK_FAILED),
                          MB_ICONWARNING | MB_ABORTRETRYIGNORE, owner);
}

void StatusKeys::ApplyWinKeyOverride(HWND owner) {
  if (host_.settings().override_winkey != 0) {
    InstallWinKeyHook(owner);
  } else if (!keyboard_locked_) {
    // A locked keyboard keeps its hook until the lock ends.
    winkey_hook_.Remove();
  }
  applied_override_ = host_.settings().override_winkey != 0;
}

bool StatusKeys::LockKeyboard(std::uint32_t milliseconds) {
  // The hook of the Windows key does the locking; without that setting it
  // is installed for the lock alone.
  if (!winkey_hook_.Install(host_.window())) {
    TraceFailure(L"locking the keyboard", ERROR_HOOK_NOT_INSTALLED);
    return false;
  }
  winkey_hook_.Lock(milliseconds);
  keyboard_locked_ = true;
  return true;
}

void StatusKeys::UnlockKeyboard() noexcept {
  if (!keyboard_locked_) return;
  keyboard_locked_ = false;
  winkey_hook_.Unlock();
  if (host_.settings().override_winkey == 0) winkey_hook_.Remove();
}

void StatusKeys::Exit() {
  UnlockKeyboard();
  hot_key_.Unregister();
  winkey_hook_.Remove();
}

}  // namespace veltra
