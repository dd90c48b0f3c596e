// What the configuration dialog and the status window may ask of each
// other, and nothing more. Both share the settings record: the dialog edits
// it and then asks the window to act on the change; the window, changing a
// setting itself, asks the dialog to show it again.
#pragma once

#include <windows.h>

#include <optional>

#include "ui/dialog.h"
#include "window/placement.h"

namespace veltra {

class StatusWindowLink {
 public:
  // The settings changed: each part of the window takes again what it
  // owns and what changed (the look, the icons, the hot key, the hook).
  // Sent as the window's message, so the change arrives as any other
  // request does; a box it raises (a hook refused) shows over the dialog.
  virtual void SettingsChanged() = 0;
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
