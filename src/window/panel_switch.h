// The status window's switch: every request to switch the panel passes the
// door (TouchSwitch) here, saying who asked, and the device is driven only
// when the door says so. Also the first drive with its check and the
// recovery box, and the device's own changes followed.
#pragma once

#include <windows.h>

#include <cstdint>

#include "window/status_part.h"
#include "window/suspend_resume.h"
#include "window/touch_switch.h"

namespace veltra {

class PanelSwitch final : public StatusPart {
 public:
  explicit PanelSwitch(StatusHost& host) noexcept;

  // The state the panel is in, or is being put in: what the window shows.
  bool enabled() const noexcept { return door_.wanted(); }
  bool open() const noexcept { return door_.open(); }
  bool holding(Hold hold) const noexcept { return door_.holding(hold); }
  bool held() const noexcept { return door_.held(); }

  void Choose(std::uint8_t state, Asker asker);
  void Toggle(Asker asker);
  void SetHold(Hold hold, bool on);
  // WM_SET_TOUCH_STATE from another program or a second start; its fast
  // path (an unchanged state) is the window's own.
  void OnRequest(WPARAM wanted, LPARAM toggle);
  // After a change of settings: the device put right if it is not where
  // the door wants it, and nothing driven if it is.
  void Reassert();
  // The device selection, owned by `owner`; no switch passes while it runs.
  INT_PTR SelectDevice(HWND owner);

  enum class StartOutcome { Running, Aborted, Ended };
  // The first drive, checked against the device; the recovery box when it
  // fails. Aborted: the user chose to end the program (the panel enabled);
  // Ended: the window's exit ran while the box was up.
  StartOutcome DriveAtStart();

  void Start() override;
  void Started() override;
  void Shown() override;
  std::optional<LRESULT> OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  // The door closes for good and the panel is enabled: whatever the user
  // chose, the panel is left working; the choice stays for the next start.
  void Exit() override;

 private:
  void Carry(DriveOrder order);
  bool DriveAndVerify();
  void Observe(ShowReason reason);
  void SaveDevicePath();

  TouchSwitch door_;
  SuspendResumeRegistration suspend_resume_registration_;
  bool driven_ = false;   // the first drive has been made: the door's answers reach the device
  bool started_ = false;  // the device's own changes are followed
};

}  // namespace veltra
