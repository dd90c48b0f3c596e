// CVeltraDlg: the status window. Shows the panel state, owns the
// notification icon, and is the one place where every switch ends
// (ApplyTouchState), whatever asked for it. Its jobs lie in veltra_dlg.cpp
// and the status_*.cpp files, as the groups below say; what the
// configuration dialog may ask of it is marked override (status_link.h).
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "core/settings.h"
#include "device/panel_screen_rules.h"
#include "device/posture_rules.h"
#include "platform/unique_handle.h"
#include "ui/dialog.h"
#include "ui/win_app.h"
#include "window/key_registrations.h"
#include "window/cleaning_run.h"
#include "window/key_triggers.h"
#include "window/layered_window.h"
#include "window/placement.h"
#include "window/status_announcer.h"
#include "window/status_link.h"
#include "window/suspend_resume.h"
#include "window/tray_click.h"
#include "window/tray_icon.h"

namespace veltra {

class TaskRefresh;

class CVeltraDlg final : public ui::Dialog, public StatusWindowLink {
 public:
  // `app` gives the module and the message-box caption; `settings` is the
  // record the window reads and writes in place; `store` is the settings
  // file, written at the end of the logon and for the device path.
  CVeltraDlg(const ui::WinApp& app, Settings& settings, ProfileStore& store);

  // Start, exit and dispatch (veltra_dlg.cpp).
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
  void SettingsChanged() override;
  void RefreshAppearance();

  // The switch (status_switch.cpp).
  // Every change of touch_status goes through here: with `drive_device` the
  // device follows (ApplyTouchState), without it only the display does, for
  // a state learned from the device (ShowTouchState).
  // A switch that drives the device is one by hand: it ends a cleaning of
  // the screen, and stands.
  void SetTouchState(std::uint8_t state, bool drive_device = true);
  void ApplyTouchState();
  void ToggleTouchState();
  void ShowTouchState();
  INT_PTR SelectDevice(HWND owner) override;

  // Triggers (status_triggers.cpp).
  void UpdateHotKeyRegistration(HotKeyRule rule) override;
  void ApplyWinKeyOverride(HWND owner) override;

  // The notification icon and its menu (status_tray.cpp).
  void AddTrayIcon();
  void TrayAction(TrayActionKind action);

  // Look (status_look.cpp).
  void LoadStateIcons() override;

  // Placement (status_placement.cpp).
  std::optional<Point> WindowCorner() const override;

 protected:
  bool PreTranslateMessage(MSG& message) override;
  std::optional<LRESULT> OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  BOOL OnInitDialog() override;

 private:
  // Start, exit and dispatch (veltra_dlg.cpp).
  void AbortStart();
  void ExitSequence();
  void EndOfUse();  // what both the exit sequence and an aborted start undo
  void EndOfSession();
  void OnTimer(UINT_PTR timer_id);
  void OnTasksRefreshed();

  // The switch (status_switch.cpp).
  // Sets the device to touch_status and tells whether the device now is in
  // that state; the text and font follow the requested state either way.
  // Once the exit has begun it touches nothing and answers false.
  bool DriveDeviceAndVerify();
  // The device error box and its Retry loop; returns at once, whatever the
  // answer, when the exit began while the box was up.
  void RecoverFromDeviceError();
  void Resynchronise();
  void OnSetTouchState(WPARAM wanted, LPARAM toggle);
  void SwitchTo(std::uint8_t state);
  // Every automatic switch passes here (the watcher's requests, the
  // posture, and whatever else switches without the user's hand): while a
  // cleaning of the screen runs it waits, and the last one applies at the
  // cleaning's end.
  void SwitchAutomatically(std::uint8_t state);
  // The text, font and accessible name of the state (during a cleaning its
  // countdown), announced when they changed unless `announce` is false:
  // every switch passes here, whatever asked for it.
  void ShowStateText(bool announce = true);
  void ShowStateFont();
  void SaveDevicePath();

  // Triggers (status_triggers.cpp).
  void OnHotKey();
  void OnWinKeyTrigger(WPARAM time_stamp, LPARAM key);
  void OnPostureChange();
  // At a change of the desktop's screens or of the lid.
  void OnScreenChange();
  // Turns an automatic switch on or off and saves it at once (`key` in
  // [config]); `control` is its box in the configuration dialog.
  void ToggleFollow(std::uint8_t& setting, const wchar_t* key, int control);
  // Installs the hook; one the platform refuses turns the setting off
  // with a warning over `owner`.
  void InstallWinKeyHook(HWND owner);

  // The notification icon and its menu (status_tray.cpp).
  // The icon could not be added: the window is shown, and a box says why.
  void TellTrayIconMissing(DWORD last_error);
  void OnTrayNotify(UINT mouse_message);
  void CarryOut(const TrayClickResult& result);
  void ShowTrayMenu();

  // The cleaning of the screen (status_cleaning.cpp).
  // "C&lean Screen" starts one; while it runs the same item ends it.
  void ToggleCleaning();
  void StartCleaning();
  void OnCleaningTick();
  // The end, by time or from the menu: the panel back to `state`.
  void FinishCleaning(std::uint8_t state);
  // The timer and the keyboard lock let go; the run itself is the caller's.
  void StopCleaning();
  std::wstring CleaningText() const;
  // The record as the user chose it saved: a cleaning's panel-off is no
  // choice, so the state before it is what the file keeps.
  bool SaveChosenSettings();

  // Placement (status_placement.cpp).
  void ApplyLayout(bool activate);
  void OnWindowPosChanging(WINDOWPOS& change) const;
  void StartDrag(LPARAM client_point);
  void RecordDragOffset(LPARAM screen_point);
  void SnapOnMoving(RECT& proposed);
  void MoveToCenter();
  void StorePosition(Point corner);
  // Windows moved the window to a monitor of another DPI, or changed the
  // monitor's: `suggested` is the rectangle it offers for the new DPI.
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  // A stored size or font height (meant at the system DPI) at the DPI of
  // the monitor the window is drawn on.
  std::int32_t AtWindowDpi(std::int32_t stored) const { return ScaleForDpi(stored, window_dpi_, system_dpi_); }

  // Look (status_look.cpp).
  void CreateLookObjects();
  UniqueHfont CreateFontAtDpi(const FontRecord& font) const;
  void SetOpacity(bool startup_floor);
  LRESULT PaintBackground(HDC dc);
  void PaintMinimised();
  LRESULT ColourStatic(HDC dc);

  bool enabled_state() const { return settings_.touch_status != 0; }
  // False once the exit has begun (the panel was enabled for good) and
  // while the device selection runs.
  bool AcceptsSwitches() const { return !exiting_ && !selecting_; }
  // The icon's tip: the state's, or the countdown of a cleaning.
  std::wstring tooltip() const;

  const ui::WinApp& app_;
  Settings& settings_;
  ProfileStore& store_;
  UniqueHicon program_icon_;
  SuspendResumeRegistration suspend_resume_registration_;
  UniqueHbrush enable_brush_, disable_brush_;
  UniqueHfont enable_font_, disable_font_;
  CLayeredWindowHelperST layered_;
  Point drag_offset_;
  UINT system_dpi_ = 96;  // what the stored sizes and font heights are meant at
  UINT window_dpi_ = 96;  // the monitor's the window is drawn on
  TrayIcon tray_;
  StatusAnnouncer announcer_;
  HotKeyRegistration hot_key_;
  WinKeyHook winkey_hook_;
  TrayClickMachine click_;
  WinKeyDebounce winkey_;
  PostureFollower posture_;
  ScreenFollower screen_;
  // Windows reports the lid's state through it, once right after the
  // registration and then at each change.
  UniquePowerNotify lid_registration_;
  CleaningRun cleaning_;
  bool keyboard_locked_ = false;
  bool initialised_ = false;
  bool exiting_ = false;
  bool selecting_ = false;
  bool session_ended_ = false;
  ConfigDialogLink* config_dialog_ = nullptr;
  TaskRefresh* task_refresh_ = nullptr;
};

// Registers the status window's class, the standard dialog class under the
// name other programs find the window by. False (and traced) on failure.
bool RegisterStatusWindowClass(HINSTANCE instance);

}  // namespace veltra
