// The status window's triggers: the hot key, the Windows key, the posture and
// the panel's screen.
#include <windows.h>

#include "device/panel_screen.h"
#include "device/posture.h"
#include "platform/strings.h"
#include "platform/trace.h"
#include "resources/resource.h"
#include "window/key_triggers.h"
#include "window/veltra_dlg.h"

namespace veltra {

// The configuration dialog asks for the key whenever it is on; the
// single-use rule follows the window's own switches and device changes.
void CVeltraDlg::UpdateHotKeyRegistration(HotKeyRule rule) {
  const bool on = settings_.enable_hotkey != 0;
  const bool wanted =
      rule == HotKeyRule::WhileOn ? on : HotKeyWanted(on, settings_.hotkey_toggle_mode, settings_.touch_status);
  if (wanted) {
    hot_key_.Register(settings_.fsModifiers, settings_.virtkey);
  } else {
    hot_key_.Unregister();
  }
}

void CVeltraDlg::OnHotKey() { SwitchTo(StateAfterTrigger(settings_.hotkey_toggle_mode, settings_.touch_status)); }

void CVeltraDlg::OnWinKeyTrigger(WPARAM time_stamp, LPARAM key) {
  // The hook ended the keyboard's lock by itself (Escape held, or its time
  // up): the cleaning ends with it.
  if (key == VK_ESCAPE) {
    if (keyboard_locked_) {
      if (const auto state = cleaning_.End()) FinishCleaning(*state);
    }
    return;
  }
  const auto stamp = static_cast<std::int32_t>(static_cast<std::uint32_t>(time_stamp));
  if (winkey_.Accept(stamp, settings_.override_winkey_resp)) {
    SwitchTo(StateAfterTrigger(settings_.override_winkey_mode, settings_.touch_status));
  }
}

void CVeltraDlg::InstallWinKeyHook(HWND owner) {
  if (winkey_hook_.Install(hwnd())) return;
  // Saved off with the rest, so the next start does not fail the same way.
  // Every answer has the same effect.
  settings_.override_winkey = 0;
  app_.ShowMessage(LoadLocalizedText(app_.instance(), IDS_HOOK_FAILED), MB_ICONWARNING | MB_ABORTRETRYIGNORE,
                   owner);
}

void CVeltraDlg::ApplyWinKeyOverride(HWND owner) {
  if (settings_.override_winkey != 0) {
    InstallWinKeyHook(owner);
  } else if (!keyboard_locked_) {
    // A locked keyboard keeps its hook until the cleaning ends.
    winkey_hook_.Remove();
  }
}

// A switch like any other: during the exit or a device selection it does
// nothing, and the posture it missed is not applied afterwards.
void CVeltraDlg::OnPostureChange() {
  const auto state = posture_.Announced(ReadSlateMode(), settings_.follow_posture != 0);
  if (state) SwitchAutomatically(*state);
}

// The same switch as the posture's, so with both on the last change wins,
// and whatever holds the automatic switches back holds this one too.
void CVeltraDlg::OnScreenChange() {
  const auto state = screen_.Reported(PanelScreenActive(settings_.device_instance_path), settings_.touch_status,
                                      settings_.follow_display != 0);
  if (state) SwitchAutomatically(*state);
}

void CVeltraDlg::ToggleFollow(std::uint8_t& setting, const wchar_t* key, int control) {
  setting = setting != 0 ? 0 : 1;
  // Saved at once, unlike the rest of the record (saved at the end): an
  // automatic switch the user turned off must stay off even if this run
  // never ends normally.
  if (!WriteIniInt(store_, L"config", key, setting)) TraceLastError(key);
  if (config_dialog_ != nullptr && control != 0) config_dialog_->ShowSetting(control);
}

}  // namespace veltra
