// CVeltraDlg: the status window. Shows the panel state, owns the
// notification icon, and is the one place where every switch ends
// (ApplyTouchState), whatever asked for it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "app/veltra_app.h"
#include "device/os_version.h"
#include "ui/dialog.h"
#include "ui/unique_handle.h"
#include "window/key_triggers.h"
#include "window/tray_click.h"

namespace veltra {

struct SuspendResumeTraits {
  using pointer = HPOWERNOTIFY;
  static pointer invalid() noexcept { return nullptr; }
  static void close(pointer value) noexcept { ::UnregisterSuspendResumeNotification(value); }
};
using UniqueSuspendResume = ui::UniqueAny<SuspendResumeTraits>;

class CVeltraDlg final : public ui::Dialog {
 public:
  explicit CVeltraDlg(CVeltraApp& app);

  void ApplyTouchState();
  void ToggleTouchState();
  void ShowTouchState();
  void AddTrayIcon(bool add);
  void TrayAction(TrayActionKind action);

 protected:
  bool PreTranslateMessage(MSG& message) override;
  std::optional<LRESULT> OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  BOOL OnInitDialog() override;

 private:
  // Sets the device to touch_status and tells whether the device now is in
  // that state; the text and font follow the requested state either way.
  bool DriveDeviceAndVerify();
  void AbortStart();
  void ExitSequence();
  void EndOfUse();  // what both the exit sequence and an aborted start undo
  void Resynchronise();
  void OnSetTouchState(WPARAM wanted, LPARAM toggle);
  void OnTrayNotify(UINT mouse_message);
  void OnTimer(UINT_PTR timer_id);
  void CarryOut(const TrayClickResult& result);
  void ShowTrayMenu();
  void ShowStateText();
  void ShowStateIndicators();
  void LoadStateIcons();
  void CreateLookObjects();
  void ApplyLayout(bool activate);
  LRESULT PaintBackground(HDC dc);
  void PaintMinimised();
  LRESULT ColourStatic(HDC dc);

  void RegisterToggleHotKey();
  void UnregisterToggleHotKey();
  void UpdateHotKeyRegistration();
  void OnHotKey();
  void OnWinKeyTrigger(WPARAM time_stamp);
  void SwitchTo(std::uint8_t state);
  void InstallWinKeyHook();

  bool enabled_state() const { return settings_.touch_status != 0; }

  CVeltraApp& settings_;
  ui::UniqueHicon program_icon_;
  UniqueSuspendResume suspend_resume_registration_;
  ui::UniqueHbrush enable_brush_, disable_brush_;
  ui::UniqueHfont enable_font_, disable_font_;
  ui::UniqueHicon enable_icon_, disable_icon_;
  TrayClickMachine click_;
  WinKeyDebounce winkey_;
  bool initialised_ = false;
  OsVersion os_version_;
};

// Alpha of the status window at start: the opacity percentage with a 30 %
// floor, so a bad value cannot make the window vanish.
BYTE StartupAlpha(std::int32_t transparent);

}  // namespace veltra
