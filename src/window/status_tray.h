// The status window's notification icon: the icon with the state's picture
// and tip, its return after the taskbar restarts, its clicks, and its menu,
// whose items each part prepares for itself.
#pragma once

#include <windows.h>

#include "window/status_part.h"
#include "window/tray_click.h"
#include "window/tray_icon.h"

namespace veltra {

class StatusTray final : public StatusPart {
 public:
  // `parts` prepare their items of the menu before it shows.
  StatusTray(StatusHost& host, StatusPart* const* parts, std::size_t part_count) noexcept
      : StatusPart(host), parts_(parts), part_count_(part_count) {}

  void TrayAction(TrayActionKind action);

  // The icon comes after the window's first picture: the shell may take
  // its time (seconds while it starts at logon).
  void Shown() override;
  std::optional<LRESULT> OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void StateShown(ShowReason reason) override;
  void PrepareMenu(HMENU popup) override;
  // The icons again, if their files or numbers changed.
  void SettingsChanged() override;
  void Exit() override;

 private:
  // The icons of both states again from the settings.
  void LoadStateIcons();
  // The icon could not be added: the window is shown, and a box says why.
  void TellTrayIconMissing(DWORD last_error);
  void CarryOut(const TrayClickResult& result);
  void ShowTrayMenu();
  bool enabled() const;

  StatusPart* const* parts_;
  std::size_t part_count_;
  TrayIcon tray_;
  TrayClickMachine click_;
  std::wstring loaded_icons_;  // the files and numbers the icons were loaded from
};

}  // namespace veltra
