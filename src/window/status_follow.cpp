// The posture and the panel's screen, followed.
#include "window/status_follow.h"

#include <cwchar>

#include "device/panel_screen.h"
#include "device/pen_presence.h"
#include "device/posture.h"
#include "platform/strings.h"
#include "platform/trace.h"
#include "resources/resource.h"
#include "window/messages.h"
#include "window/panel_switch.h"
#include "window/tray_icon.h"

namespace veltra {
namespace {

// GUID_LIDSWITCH_STATE_CHANGE, whose definition the import libraries lack.
constexpr GUID kLidSwitchStateChange = {0xba3e0f4d, 0xb817, 0x4094, {0xa2, 0xd1, 0xd5, 0x63, 0x79, 0xe6, 0xa0, 0xf3}};

// Turns a following on or off and saves it at once (`key` in [config]),
// unlike the rest of the record (saved at the end): a following the user
// turned off must stay off even if this run never ends normally.
void TurnFollowing(StatusHost& host, std::uint8_t& setting, const wchar_t* key, int control) {
  setting = setting != 0 ? 0 : 1;
  if (!WriteIniInt(host.store(), L"config", key, setting)) TraceLastError(key);
  if (control != 0) host.ShowSetting(control);
}

void PrepareFollowItem(StatusHost& host, HMENU popup, UINT command, UINT text, std::uint8_t setting) {
  PrepareMenuItem(popup, command, LoadLocalizedText(host.app().instance(), text), setting != 0);
}

}  // namespace

// Before anything shows the state: where the machine reports its posture,
// the posture decides it over the saved state and /T.
void StatusPosture::Start() {
  const bool follow = host_.settings().follow_posture != 0;
  if (const auto state = posture_.Start(follow && HasPostureIndicator(), ReadSlateMode(), follow)) {
    host_.panel().Choose(*state, Asker::Automatic);
  }
}

std::optional<LRESULT> StatusPosture::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_COMMAND && LOWORD(wparam) == ID_FOLLOW_POSTURE) {
    TurnFollowing(host_, host_.settings().follow_posture, L"follow_posture", IDC_CFG_FOLLOW_POSTURE);
    return 0;
  }
  // Windows announces a new posture to every top-level window by name;
  // other announcements may carry no text at all. A switch like any other:
  // during a device selection it does nothing, and is not applied after.
  if (message == WM_SETTINGCHANGE && lparam != 0 &&
      std::wcscmp(reinterpret_cast<const wchar_t*>(lparam), L"ConvertibleSlateMode") == 0) {
    const auto state = posture_.Announced(ReadSlateMode(), host_.settings().follow_posture != 0);
    if (state) host_.panel().Choose(*state, Asker::Automatic);
  }
  return std::nullopt;
}

void StatusPosture::PrepareMenu(HMENU popup) {
  PrepareFollowItem(host_, popup, ID_FOLLOW_POSTURE, IDS_MENU_FOLLOW_POSTURE, host_.settings().follow_posture);
}

// A panel whose screen is dark at start starts held off.
void StatusScreen::Start() {
  const Settings& s = host_.settings();
  if (screen_.Start(PanelScreenActive(s.device_instance_path), s.follow_display != 0)) {
    host_.panel().SetHold(Hold::Screen, true);
  }
  lid_registration_.reset(
      ::RegisterPowerSettingNotification(host_.window(), &kLidSwitchStateChange, DEVICE_NOTIFY_WINDOW_HANDLE));
}

void StatusScreen::OnScreenChange() {
  const Settings& s = host_.settings();
  const auto hold = screen_.Reported(PanelScreenActive(s.device_instance_path), s.follow_display != 0);
  if (hold) host_.panel().SetHold(Hold::Screen, *hold);
}

std::optional<LRESULT> StatusScreen::OnMessage(UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_POWERBROADCAST:
      // The lid is the window's only power setting. Its report is not read:
      // any program may send this message with any pointer, and whether the
      // screen left the desktop is the seam's to say; a report that changes
      // nothing switches nothing.
      if (wparam != PBT_POWERSETTINGCHANGE) return std::nullopt;
      OnScreenChange();
      return TRUE;
    case WM_DISPLAYCHANGE:
      OnScreenChange();
      return std::nullopt;  // the window is placed again too
    case WM_COMMAND:
      if (LOWORD(wparam) != ID_FOLLOW_DISPLAY) return std::nullopt;
      // Not in the configuration dialog: its "Tablet" group has no room.
      TurnFollowing(host_, host_.settings().follow_display, L"follow_display", 0);
      if (host_.settings().follow_display == 0) host_.panel().SetHold(Hold::Screen, false);
      return 0;
    default:
      return std::nullopt;
  }
}

void StatusScreen::PrepareMenu(HMENU popup) {
  PrepareFollowItem(host_, popup, ID_FOLLOW_DISPLAY, IDS_MENU_FOLLOW_DISPLAY, host_.settings().follow_display);
}

void StatusScreen::Exit() { lid_registration_.reset(); }

void StatusPen::Start() {
  if (host_.settings().follow_pen != 0) Watch(true);
}

void StatusPen::Watch(bool on) {
  if (!WatchPen(host_.window(), on) && on) TraceLastError(L"WatchPen");
}

void StatusPen::Carry(PenFollower::Answer answer) {
  if (answer.timer) {
    if (*answer.timer) {
      const auto seconds = static_cast<UINT>(host_.settings().pen_release_seconds);
      ::SetTimer(host_.window(), TIMER_PEN_RELEASE, seconds * 1000, nullptr);
    } else {
      ::KillTimer(host_.window(), TIMER_PEN_RELEASE);
    }
  }
  if (answer.hold) host_.panel().SetHold(Hold::Pen, *answer.hold);
}

std::optional<LRESULT> StatusPen::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_COMMAND && LOWORD(wparam) == ID_FOLLOW_PEN) {
    // Not in the configuration dialog: its "Tablet" group has no room.
    TurnFollowing(host_, host_.settings().follow_pen, L"follow_pen", 0);
    const bool follow = host_.settings().follow_pen != 0;
    if (!follow) Carry(pen_.Off());
    Watch(follow);
    return 0;
  }
  if (message == WM_TIMER && wparam == TIMER_PEN_RELEASE) {
    Carry(pen_.Elapsed(host_.panel().holding(Hold::Pen)));
    return 0;
  }
  if (const auto in_range = PenReported(message, wparam, lparam)) {
    Carry(pen_.Reported(*in_range, host_.settings().follow_pen != 0, host_.panel().holding(Hold::Pen)));
  }
  // The simulated program's poll is the pen's own timer; raw input goes on
  // to the default handling, which frees it.
  if (message == WM_TIMER && wparam == kPenPollTimer) return 0;
  return std::nullopt;
}

void StatusPen::PrepareMenu(HMENU popup) {
  PrepareFollowItem(host_, popup, ID_FOLLOW_PEN, IDS_MENU_FOLLOW_PEN, host_.settings().follow_pen);
}

void StatusPen::Exit() {
  ::KillTimer(host_.window(), TIMER_PEN_RELEASE);
  if (host_.settings().follow_pen != 0) Watch(false);
}

}  // namespace veltra
