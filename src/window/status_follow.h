// The three things of the machine the panel may follow, each a part of the
// status window: the posture (tablet: enabled, laptop: disabled), which
// sets the user's choice as a switch would; the panel's own screen, whose
// absence holds the panel off without touching the choice; and the pen,
// whose approach holds it off until a while after the pen left. Each has
// its item in the icon's menu, saved at once when the user turns it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "device/panel_screen_rules.h"
#include "device/pen_rules.h"
#include "device/posture_rules.h"
#include "platform/unique_handle.h"
#include "window/status_part.h"

namespace veltra {

class StatusPosture final : public StatusPart {
 public:
  using StatusPart::StatusPart;

  void Start() override;
  std::optional<LRESULT> OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void PrepareMenu(HMENU popup) override;

 private:
  PostureFollower posture_;
};

class StatusScreen final : public StatusPart {
 public:
  using StatusPart::StatusPart;

  void Start() override;
  std::optional<LRESULT> OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void PrepareMenu(HMENU popup) override;
  void Exit() override;

 private:
  // At a change of the desktop's screens or of the lid.
  void OnScreenChange();

  ScreenFollower screen_;
  // Windows reports the lid's state through it, once right after the
  // registration and then at each change.
  UniquePowerNotify lid_registration_;
};

class StatusPen final : public StatusPart {
 public:
  using StatusPart::StatusPart;

  void Start() override;
  std::optional<LRESULT> OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void PrepareMenu(HMENU popup) override;
  void Exit() override;

 private:
  // The reports of the pen start or stop with the setting.
  void Watch(bool on);
  void Carry(PenFollower::Answer answer);

  PenFollower pen_;
};

}  // namespace veltra
