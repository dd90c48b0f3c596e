// The status window is a hub of parts: each part does one job (the switch,
// the icon, the keys, the cleaning, the screen, the posture, the look, the
// placement), owns its state, timers and system registrations, and takes
// its own messages. The window offers each message to its parts in a fixed
// order, and the first that answers takes it. A new job is a new part and
// one line in that list.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "core/settings.h"
#include "ui/win_app.h"
#include "window/touch_switch.h"

namespace veltra {

class PanelSwitch;

// Why the state is shown again.
enum class ShowReason : std::uint8_t {
  Change,     // a switch or the device's own change: announced, and the hot key follows
  Countdown,  // a step of a countdown: no news
  Display,    // a look at the device (the debug poll): announced if it differs, nothing registered
};

// What every part may ask of the window that holds it.
class StatusHost {
 public:
  virtual HWND window() const = 0;
  virtual const ui::WinApp& app() const = 0;
  virtual Settings& settings() = 0;
  virtual ProfileStore& store() = 0;
  // The one door every switch passes.
  virtual PanelSwitch& panel() = 0;
  // Whatever shows the panel's state shows it again (every part's
  // StateShown).
  virtual void ShowState(ShowReason reason = ShowReason::Change) = 0;
  // The state as a text: a part's own while it has one (a countdown),
  // else the state's from the settings; the window's text or the icon's tip.
  virtual std::wstring StateText(bool tooltip) const = 0;
  // The window placed again as the settings and the screen say.
  virtual void ApplyLayout(bool activate) = 0;
  // The configuration dialog's control `control_id` shown again, after a
  // part changed its setting.
  virtual void ShowSetting(int control_id) = 0;
  // What a part's box is shown over: the configuration dialog while it is
  // up (its change raised the box), else the status window.
  virtual HWND BoxOwner() const = 0;
  // False once the exit has begun.
  virtual bool running() const = 0;

 protected:
  ~StatusHost() = default;
};

class StatusPart {
 public:
  explicit StatusPart(StatusHost& host) noexcept : host_(host) {}
  virtual ~StatusPart() = default;
  StatusPart(const StatusPart&) = delete;
  StatusPart& operator=(const StatusPart&) = delete;

  // The window exists; the panel is not driven yet. In list order.
  virtual void Start() {}
  // The panel has been driven at start and the window is running.
  virtual void Started() {}
  // The window has painted its first picture (a hidden one has come as
  // far): what the start owes nobody looking at the window comes now, so
  // the window does not wait for it. In list order.
  virtual void Shown() {}
  // A queued message of the window before the dialog sees it: true takes it.
  virtual bool PreTranslate(const MSG&) { return false; }
  // A message of the window: an answer takes it, nothing passes it on.
  virtual std::optional<LRESULT> OnMessage(UINT, WPARAM, LPARAM) { return std::nullopt; }
  // The state the window shows has changed or is shown again.
  virtual void StateShown(ShowReason) {}
  // While this part has its own text for the state (a countdown): the
  // window's text, or the icon's tip with `tooltip`.
  virtual std::optional<std::wstring> StateText(bool /*tooltip*/) const { return std::nullopt; }
  // The configuration dialog changed the settings: what this part owns is
  // taken from them again.
  virtual void SettingsChanged() {}
  // The icon's menu is about to show: this part's items as they stand.
  virtual void PrepareMenu(HMENU) {}
  // The exit, in list order, after the panel was enabled for good: what
  // this part put into the system goes.
  virtual void Exit() {}

 protected:
  StatusHost& host_;
};

}  // namespace veltra
