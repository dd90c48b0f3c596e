// The status window's switch: the door's answers carried out on the device.
#include "window/panel_switch.h"

#include <dbt.h>

#include "device/device_control.h"
#include "device/device_manager.h"
#include "device/device_selection_dlg.h"
#include "device/os_version.h"
#include "device/taskbar_refresh.h"
#include "platform/strings.h"
#include "platform/trace.h"
#include "resources/resource.h"
#include "window/messages.h"

namespace veltra {
namespace {

std::optional<bool> ReadDevice(const Settings& settings) {
  const int state = GetDeviceState(settings.device_instance_path);
  if (state < 0) return std::nullopt;
  return state == 1;
}

}  // namespace

PanelSwitch::PanelSwitch(StatusHost& host) noexcept : StatusPart(host), door_(host.settings().touch_status) {}

// Before the first drive the door only gathers what the start decides (the
// posture, a dark screen); the first drive then takes it all at once.
void PanelSwitch::Carry(DriveOrder order) {
  if (!driven_) return;
  if (order) SwitchDevice(host_.settings(), *order);
  host_.ShowState();
}

void PanelSwitch::Choose(std::uint8_t state, Asker asker) {
  if (door_.open()) Carry(door_.Choose(state, asker));
}

void PanelSwitch::Toggle(Asker asker) {
  if (door_.open()) Carry(door_.Toggle(asker));
}

void PanelSwitch::SetHold(Hold hold, bool on) {
  if (door_.holding(hold) == on) return;
  Carry(door_.SetHold(hold, on));
}

void PanelSwitch::OnRequest(WPARAM wanted, LPARAM toggle) {
  if (toggle != 0) {
    Toggle(Asker::Automatic);
  } else {
    Choose(wanted != 0 ? 1 : 0, Asker::Automatic);
  }
}

void PanelSwitch::Reassert() { Carry(door_.Reassert(ReadDevice(host_.settings()))); }

INT_PTR PanelSwitch::SelectDevice(HWND owner) {
  door_.BeginSelection();
  const INT_PTR result = RunDeviceSelection(host_.app(), host_.settings(), &host_.store(), owner);
  if (result == IDOK) SaveDevicePath();
  // The selection leaves the devices it tried working; the new target
  // takes the state the window shows.
  Carry(door_.EndSelection(ReadDevice(host_.settings())));
  return result;
}

bool PanelSwitch::DriveAndVerify() {
  const auto order = door_.Start();
  if (!order) return false;
  driven_ = true;
  // A device that cannot be queried (-1) counts as failing either way.
  const bool ok = SwitchDevice(host_.settings(), *order) != 0 &&
                  GetDeviceState(host_.settings().device_instance_path) == (*order ? 1 : 0);
  // From a drive that held, the device's own changes are followed: showing
  // the state lets other programs' messages in, a device change among them.
  if (ok) started_ = true;
  host_.ShowState();
  return ok;
}

PanelSwitch::StartOutcome PanelSwitch::DriveAtStart() {
  if (DriveAndVerify()) return StartOutcome::Running;
  if (!host_.running()) return StartOutcome::Ended;
  OpenDeviceManager();
  const std::wstring text = LoadLocalizedText(host_.app().instance(), IDS_DEVICE_ERROR);
  for (;;) {
    const int answer = host_.app().ShowMessage(text, MB_ICONWARNING | MB_ABORTRETRYIGNORE, host_.window());
    // Whatever the answer, an exit that ran while the box was up has the
    // last word: the panel stays enabled.
    if (!host_.running()) return StartOutcome::Ended;
    if (answer == IDRETRY) {
      if (DriveAndVerify()) return StartOutcome::Running;
      continue;
    }
    if (answer == IDABORT) return StartOutcome::Aborted;
    return StartOutcome::Running;
  }
}

void PanelSwitch::Start() { suspend_resume_registration_.Register(host_.window()); }

// Written at once, unlike the rest of the record: the boot and lock tasks,
// the removal and the next start read the device from the file, and must
// enable the one this window may disable next, however the process ends.
void PanelSwitch::SaveDevicePath() {
  if (!host_.store().WriteString(L"hardware", L"device_instance_path", host_.settings().device_instance_path)) {
    TraceLastError(L"writing the device path");
  }
}

void PanelSwitch::Started() {
  started_ = true;  // after a drive the user chose to ignore, too
  if (host_.settings().debug_mode) ::SetTimer(host_.window(), TIMER_STATUS_POLL, 1000, nullptr);
}

// The start wrote a device it took from the list or the selection before
// the window existed, and a configured one is in the file already: this
// write, the same path again, need not hold the first picture back.
void PanelSwitch::Shown() { SaveDevicePath(); }

// The device's own state, as a device-change notice or the debug poll finds
// it: a change nobody here asked for is the user's.
void PanelSwitch::Observe(ShowReason reason) {
  door_.Observed(ReadDevice(host_.settings()));
  host_.ShowState(reason);
}

std::optional<LRESULT> PanelSwitch::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_DEVICECHANGE:
      if (wparam == DBT_DEVNODES_CHANGED && started_ && host_.running()) {
        Observe(ShowReason::Change);
        if (host_.settings().redraw_traynotifywnd) RefreshTaskbarTabletMode(QueryOsVersion());
      }
      return 0;
    case WM_TIMER:
      if (wparam != TIMER_STATUS_POLL) return std::nullopt;
      host_.ApplyLayout(true);
      Observe(ShowReason::Display);
      return 0;
    case WM_POWERBROADCAST:
      if (wparam == PBT_APMRESUMEAUTOMATIC && host_.settings().detect_resume) Choose(1, Asker::Automatic);
      return std::nullopt;
    case WM_LBUTTONDBLCLK:
      Toggle(Asker::Hand);
      return std::nullopt;
    case WM_COMMAND:
      if (LOWORD(wparam) == ID_TOUCH_ENABLE || LOWORD(wparam) == ID_TOUCH_DISABLE) {
        Choose(LOWORD(wparam) == ID_TOUCH_ENABLE ? 1 : 0, Asker::Hand);
        return 0;
      }
      return std::nullopt;
    default:
      (void)lparam;
      return std::nullopt;
  }
}

void PanelSwitch::Exit() {
  door_.Exit();
  SwitchDevice(host_.settings(), true);
  suspend_resume_registration_.reset();
}

}  // namespace veltra
