// When the screen the panel belongs to switches the panel: disabled while
// that screen is not part of the desktop (lid closed, "Second screen only",
// turned off by the machine), back to the user's state when it returns, and
// only when the screen's state changes. Portable, so every rule is tested
// natively; the status window reads the screen (device/panel_screen.h) and
// carries out the switch.
#pragma once

#include <cstdint>
#include <optional>

namespace veltra {

class ScreenFollower {
 public:
  // `active`: whether the panel's screen is part of the desktop, nothing
  // where the machine cannot tell; `state`: the panel's state as saved (or
  // asked for on the command line). A panel whose screen is dark at start
  // starts disabled.
  std::optional<std::uint8_t> Start(std::optional<bool> active, std::uint8_t state, bool follow);
  // At each report of a change of the desktop's screens or of the lid, with
  // the panel's current state. Only a screen state other than the last one
  // reported switches, so the report Windows sends right after the lid's
  // registration, or another program's broadcast, cannot undo a switch by
  // hand. A report that cannot tell is no report at all.
  std::optional<std::uint8_t> Reported(std::optional<bool> active, std::uint8_t state, bool follow);

 private:
  std::optional<std::uint8_t> Left(std::uint8_t state, bool follow);

  std::optional<bool> active_;             // the last screen state reported
  std::optional<std::uint8_t> return_to_;  // the user's state, while this follower holds the panel off
};

}  // namespace veltra
