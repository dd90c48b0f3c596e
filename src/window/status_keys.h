// The status window's keys: the toggle hot key and the lone Windows key,
// each registered in the system by an object that lets it go at its end,
// and the keyboard lock a cleaning asks for through the same hook.
#pragma once

#include <windows.h>

#include <cstdint>

#include "window/key_registrations.h"
#include "window/key_triggers.h"
#include "window/status_link.h"
#include "window/status_part.h"

namespace veltra {

// What decides whether the hot key is registered.
enum class HotKeyRule : std::uint8_t {
  WhileOn,        // whenever the hot key is on: at start, and when its settings change
  WhileItCanAct,  // the single-use rule: while on and a press could change the state
};

class StatusKeys final : public StatusPart {
 public:
  using StatusPart::StatusPart;

  // Every key kept from the system for `milliseconds`, or until Escape is
  // held; the hook ends the lock by itself and then reports it. False when
  // the hook cannot be installed.
  bool LockKeyboard(std::uint32_t milliseconds);
  void UnlockKeyboard() noexcept;

  void Start() override;
  void Started() override;
  bool PreTranslate(const MSG& message) override;
  std::optional<LRESULT> OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void StateShown(ShowReason reason) override;
  // A new combination or a hot key turned on or off is registered whenever
  // on, whatever the single-use rule; a new override_winkey installs or
  // removes the hook. Other changes touch neither.
  void SettingsChanged() override;
  void Exit() override;

 private:
  struct HotKeySettings {
    std::int32_t on, fsModifiers, virtkey;
    friend bool operator==(const HotKeySettings&, const HotKeySettings&) = default;
  };
  HotKeySettings StoredHotKey() const;
  void UpdateHotKeyRegistration(HotKeyRule rule);
  // The Windows-key hook installed or removed as override_winkey says; a
  // hook the platform refuses turns the setting off, with a warning over
  // `owner`.
  void ApplyWinKeyOverride(HWND owner);
  void OnHotKey();
  // A trigger asks for the state its mode gives from the one shown.
  void Trigger(std::int32_t mode);
  void InstallWinKeyHook(HWND owner);

  HotKeyRegistration hot_key_;
  WinKeyHook winkey_hook_;
  WinKeyDebounce winkey_;
  bool keyboard_locked_ = false;
  HotKeySettings applied_hot_key_{};
  bool applied_override_ = false;
};

}  // namespace veltra
