// When the screen the panel belongs to holds the panel off: while that
// screen is not part of the desktop (lid closed, "Second screen only",
// turned off by the machine), and only from a change of the screen's state
// to the next. Portable, so every rule is tested natively; the status
// window reads the screen (device/panel_screen.h) and sets the hold.
#pragma once

#include <optional>

namespace veltra {

class ScreenFollower {
 public:
  // `active`: whether the panel's screen is part of the desktop, nothing
  // where the machine cannot tell. True when the panel starts held off: its
  // screen is dark and the panel follows it.
  bool Start(std::optional<bool> active, bool follow) noexcept;
  // At each report of a change of the desktop's screens or of the lid: the
  // hold to set (true: on), or nothing. Only a screen state other than the
  // last one reported counts, so the report Windows sends right after the
  // lid's registration, or another program's broadcast, cannot undo a
  // switch by hand; a report that cannot tell is no report at all.
  std::optional<bool> Reported(std::optional<bool> active, bool follow) noexcept;

 private:
  std::optional<bool> active_;  // the last screen state reported
};

}  // namespace veltra
