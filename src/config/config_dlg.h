// CConfigDlg: the configuration dialog. Modeless, created on the first
// "&Configuration" command and kept; every control writes its setting the
// moment it is used and most then have the status window re-apply the
// settings. The controls are driven by one table (config_controls.h).
#pragma once

#include <windows.h>

#include <optional>

#include "config/config_controls.h"
#include "core/settings.h"
#include "startup/scheduled_tasks.h"
#include "ui/win_app.h"
#include "window/status_link.h"

namespace veltra {

class CConfigDlg final : public ConfigDialogLink {
 public:
  // Creates no window. The tooltips are Japanese exactly when `language`,
  // the user's interface language read now, is 0x0411.
  CConfigDlg(const ui::WinApp& app, Settings& settings, StatusWindowLink& status,
             LANGID language = ::GetUserDefaultUILanguage());

  // The start-up refresh of the tasks, if one may still run: the task boxes
  // wait for it before they show or change a task.
  void set_task_refresh(TaskRefresh* refresh) { task_refresh_ = refresh; }

  // What the status window asks (status_link.h).
  void ShowSetting(int control_id) override;

 protected:
  std::optional<LRESULT> OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  BOOL OnInitDialog() override;

 private:
  void NotifySettingsChanged() { status_.SettingsChanged(); }
  void ShowControl(const ConfigControl& control);
  void CreateTooltips();

  void OnCommand(int id, int code);
  void OnClicked(const ConfigControl& control);
  void OnScroll(HWND bar, int request, int thumb);
  void OnWheel(WPARAM wparam);

  // Hot key and Windows key (config_keys.cpp).
  void ShowStoredHotKey();
  void EnableHotKeyControls();
  void EnableWinKeyControls();
  void ApplyHotKey();
  void OnHotKeyEnable();
  void OnOverrideWinKey();
  void OnResponseTime(int position);

  // Choosers (config_choosers.cpp).
  void PickColour(const ColorFields& colour);
  void PickFont(FontRecord& font);
  void PickIcon(const IconFields& icon);

  // Wallpapers, tasks, position (config_system.cpp).
  bool WallpaperSideMatches(bool horizontal) const;
  void SetWallpaperIfWanted(bool horizontal);
  void SelectWallpaper(bool horizontal);
  void OnTaskBox(int id);
  void TakeStartUpRefresh();
  void CapturePosition();

  const ui::WinApp& app_;
  Settings& settings_;
  StatusWindowLink& status_;
  LANGID language_;
  TaskRefresh* task_refresh_ = nullptr;
};

}  // namespace veltra
