// The status window's switch: the device driven to the state and checked,
// the recovery when it refuses, and the display following what the device does.
#include <windows.h>

#include "device/device_control.h"
#include "device/device_manager.h"
#include "device/device_selection_dlg.h"
#include "device/os_version.h"
#include "device/taskbar_refresh.h"
#include "platform/strings.h"
#include "platform/trace.h"
#include "resources/resource.h"
#include "window/veltra_dlg.h"

namespace veltra {

void CVeltraDlg::SetTouchState(std::uint8_t state, bool drive_device) {
  if (drive_device && !AcceptsSwitches()) return;
  if (drive_device && cleaning_.running()) {
    StopCleaning();
    cleaning_.Abandon();
  }
  settings_.touch_status = state != 0 ? 1 : 0;
  if (drive_device) {
    ApplyTouchState();
  } else {
    ShowTouchState();
  }
}

void CVeltraDlg::ApplyTouchState() {
  if (!AcceptsSwitches()) return;
  SwitchDevice(settings_, enabled_state());
  ShowTouchState();
  if (settings_.hotkey_single_use) UpdateHotKeyRegistration(HotKeyRule::WhileItCanAct);
}

void CVeltraDlg::ToggleTouchState() { SetTouchState(settings_.touch_status ? 0 : 1); }

void CVeltraDlg::ShowStateText(bool announce) {
  const bool enable = enabled_state();
  const std::wstring text = cleaning_.running() ? CleaningText()
                            : enable            ? settings_.dialog_enable_txt
                                                : settings_.dialog_disable_txt;
  ShowStateFont();
  ::SetDlgItemTextW(hwnd(), IDC_STATE_TEXT, text.c_str());
  if (announce) {
    announcer_.Show(text, enable);
  } else {
    announcer_.Rename(text);
  }
}

void CVeltraDlg::ShowStateFont() {
  ::SendDlgItemMessageW(hwnd(), IDC_STATE_TEXT, WM_SETFONT,
                        reinterpret_cast<WPARAM>(enabled_state() ? enable_font_.get() : disable_font_.get()), TRUE);
}

// Display only: the hot key's registration follows switches and device
// changes, not every repaint of the state (the debug poll calls this every
// second).
void CVeltraDlg::ShowTouchState() {
  ShowStateText();
  tray_.Modify(enabled_state(), tooltip());
  // The window's own colours depend on the state too.
  ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void CVeltraDlg::SwitchTo(std::uint8_t state) {
  // During a cleaning the panel is off whatever the state asked: a press
  // for "off" still ends the cleaning, and the panel stays off.
  if (state == settings_.touch_status && !cleaning_.running()) return;
  SetTouchState(state);
}

void CVeltraDlg::SwitchAutomatically(std::uint8_t state) {
  if (!cleaning_.Defer(state)) SwitchTo(state);
}

void CVeltraDlg::OnSetTouchState(WPARAM wanted, LPARAM toggle) {
  if (toggle != 0) {
    if (!cleaning_.DeferToggle()) ToggleTouchState();
    return;
  }
  // Sent on every tick of the watcher: the unchanged state must cost
  // nothing beyond this comparison.
  SwitchAutomatically(wanted != 0 ? 1 : 0);
}

bool CVeltraDlg::DriveDeviceAndVerify() {
  if (exiting_) return false;
  const bool enable = enabled_state();
  const bool ok = SwitchDevice(settings_, enable) != 0;
  ShowStateText();
  // A device that cannot be queried (-1) counts as failing either way.
  return ok && GetDeviceState(settings_.device_instance_path) == (enable ? 1 : 0);
}

void CVeltraDlg::RecoverFromDeviceError() {
  OpenDeviceManager();
  const std::wstring text = LoadLocalizedText(app_.instance(), IDS_DEVICE_ERROR);
  for (;;) {
    const int answer = app_.ShowMessage(text, MB_ICONWARNING | MB_ABORTRETRYIGNORE, hwnd());
    // Whatever the answer, an exit that ran while the box was up has the
    // last word: the panel stays enabled.
    if (exiting_) return;
    if (answer == IDRETRY) {
      if (DriveDeviceAndVerify()) return;
      continue;
    }
    if (answer == IDABORT) AbortStart();
    return;
  }
}

void CVeltraDlg::Resynchronise() {
  const std::uint8_t observed = GetDeviceState(settings_.device_instance_path) == 1 ? 1 : 0;
  if (observed != settings_.touch_status) SetTouchState(observed, false);
  if (settings_.redraw_traynotifywnd) RefreshTaskbarTabletMode(QueryOsVersion());
  if (settings_.hotkey_single_use) UpdateHotKeyRegistration(HotKeyRule::WhileItCanAct);
}

INT_PTR CVeltraDlg::SelectDevice(HWND owner) {
  struct Selecting {
    bool& flag;
    explicit Selecting(bool& f) : flag(f) { flag = true; }
    ~Selecting() { flag = false; }
  } selecting(selecting_);
  const INT_PTR result = RunDeviceSelection(app_, settings_, &store_, owner);
  if (result == IDOK) SaveDevicePath();
  return result;
}

// Written at once, unlike the rest of the record: the boot and lock tasks,
// the removal and the next start read the device from the file, and must
// enable the one this window may disable next, however the process ends.
void CVeltraDlg::SaveDevicePath() {
  if (!store_.WriteString(L"hardware", L"device_instance_path", settings_.device_instance_path)) {
    TraceLastError(L"writing the device path");
  }
}

}  // namespace veltra
