// What the configuration dialog and the status window may ask of each
// other, and nothing more. Both share the settings record: the dialog edits
// it and then asks the window to act on the change; the window, changing a
// setting itself, asks the dialog to show it again.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "ui/dialog.h"
#include "window/placement.h"

namespace veltra {

// What decides whether the hot key is registered.
enum class HotKeyRule : std::uint8_t {
  WhileOn,        // whenever the hot key is on
  WhileItCanAct,  // the single-use rule: while on and a press could change the state
};

class StatusWindowLink {
 public:
  // Everything the window shows is taken from the settings again. Sent as
  // the window's message, so the change arrives as any other request does.
  virtual void SettingsChanged() = 0;
  // The notification icons of both states again from the settings.
  virtual void LoadStateIcons() = 0;
  // The hot key from the settings: the old combination let go, the stored
  // one registered while `rule` wants it.
  virtual void UpdateHotKeyRegistration(HotKeyRule rule) = 0;
  // The Windows-key hook installed or removed as override_winkey says. A
  // hook the platform refuses turns the setting off, with a warning over
  // `owner`.
  virtual void ApplyWinKeyOverride(HWND owner) = 0;
  // The device selection over the settings, owned by `owner`. While it runs
  // no switch reaches a device, so the user judges each device undisturbed.
  // Returns the dialog's result.
  virtual INT_PTR SelectDevice(HWND owner) = 0;
  // The window's top-left corner on the screen; nothing without a window.
  virtual std::optional<Point> WindowCorner() const = 0;

 protected:
  ~StatusWindowLink() = default;
};

// The configuration dialog as the status window sees it: a dialog of the
// program whose controls can be shown again from the settings.
class ConfigDialogLink : public ui::Dialog {
 public:
  using ui::Dialog::Dialog;
  // The control `control_id` shown as the settings hold it now; nothing
  // while the dialog has no window.
  virtual void ShowSetting(int control_id) = 0;
};

}  // namespace veltra
