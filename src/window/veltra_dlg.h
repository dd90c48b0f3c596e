// CVeltraDlg: the status window. It keeps the window's life (start, exit,
// the end of the logon) and one dispatch: the fast path of
// WM_SET_TOUCH_STATE, then each message offered to its parts in a fixed
// order (status_part.h). Every switch passes the parts' one door, the
// PanelSwitch. What the configuration dialog may ask of it is marked
// override (status_link.h).
#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <string>

#include "core/settings.h"
#include "ui/dialog.h"
#include "ui/win_app.h"
#include "window/panel_switch.h"
#include "window/status_appearance.h"
#include "window/status_cleaning.h"
#include "window/status_follow.h"
#include "window/status_keys.h"
#include "window/status_link.h"
#include "window/status_part.h"
#include "window/status_tray.h"

namespace veltra {

class TaskRefresh;

class CVeltraDlg final : public ui::Dialog, public StatusWindowLink, private StatusHost {
 public:
  // `app` gives the module and the message-box caption; `settings` is the
  // record the window reads and writes in place; `store` is the settings
  // file, written at the end of the logon and for the device path.
  CVeltraDlg(const ui::WinApp& app, Settings& settings, ProfileStore& store);

  // The configuration dialog, which lives beside this window: shown by
  // "&Configuration", its window made on the first one and kept until the
  // program ends.
  void set_config_dialog(ConfigDialogLink* dialog) noexcept { config_dialog_ = dialog; }
  // The start-up task refresh beside the window: its end is reported here,
  // and this window takes its outcome and shows its message.
  void set_task_refresh(TaskRefresh* refresh) noexcept { task_refresh_ = refresh; }
  // The window ended with the logon: the settings are saved and nothing of
  // the closing steps may follow.
  bool session_ended() const noexcept { return session_ended_; }

  // What the configuration dialog asks.
  void SettingsChanged() override;
  INT_PTR SelectDevice(HWND owner) override { return panel_.SelectDevice(owner); }
  std::optional<Point> WindowCorner() const override { return appearance_.WindowCorner(); }

 protected:
  bool PreTranslateMessage(MSG& message) override;
  std::optional<LRESULT> OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  BOOL OnInitDialog() override;

 private:
  // What the parts may ask of the window.
  HWND window() const override { return hwnd(); }
  const ui::WinApp& app() const override { return app_; }
  Settings& settings() override { return settings_; }
  ProfileStore& store() override { return store_; }
  PanelSwitch& panel() override { return panel_; }
  void ShowState(ShowReason reason = ShowReason::Change) override;
  std::wstring StateText(bool tooltip) const override;
  void ApplyLayout(bool activate) override { appearance_.ApplyLayout(activate); }
  void ShowSetting(int control_id) override;
  HWND BoxOwner() const override;
  bool running() const override { return !exiting_; }

  void RefreshAppearance();
  void ExitSequence();
  void EndOfSession();
  void OnTasksRefreshed();
  // The parts' steps after the window's first paint, once.
  void OnShown();
  std::optional<LRESULT> OnCommand(WORD command);

  const ui::WinApp& app_;
  Settings& settings_;
  ProfileStore& store_;
  // The parts, in the order they are offered each message, started and
  // ended. The cleaning comes first: its lock of the keyboard is the first
  // thing the exit lets go, and the lock's end is its message. The screen
  // hears a change of the display before the look answers it; the window
  // is hidden before the panel is enabled, which may take a while.
  PanelSwitch panel_{*this};
  StatusKeys keys_{*this};
  StatusCleaning cleaning_{*this, keys_};
  StatusPosture posture_{*this};
  StatusScreen screen_{*this};
  StatusPen pen_{*this};
  StatusAppearance appearance_;
  StatusTray tray_;
  std::array<StatusPart*, 8> parts_{&cleaning_, &screen_, &pen_, &appearance_, &panel_, &keys_, &posture_, &tray_};
  bool exiting_ = false;
  bool session_ended_ = false;
  bool shown_ = false;
  ConfigDialogLink* config_dialog_ = nullptr;
  TaskRefresh* task_refresh_ = nullptr;
};

// Registers the status window's class, the standard dialog class under the
// name other programs find the window by. False (and traced) on failure.
bool RegisterStatusWindowClass(HINSTANCE instance);

}  // namespace veltra
