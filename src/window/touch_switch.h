// The one door every switch of the panel passes: it keeps the user's choice
// apart from the holds that keep the panel off for a while, decides the
// state the panel must be in, and says when the device must be driven. It
// never drives anything itself: the status window carries out its answers.
// Portable, so its rules are tested natively with random sequences of every
// event.
//
// The choice is `touch_status`, what the exit and the end of the logon save;
// the door writes it in place, so whatever saves the record saves a choice.
// A hold (a cleaning, the panel's screen away, the pen near) never writes it.
// The panel is off while any hold is on, otherwise it is the choice.
#pragma once

#include <cstdint>
#include <optional>

namespace veltra {

// What keeps the panel off for a while. One bit each.
enum class Hold : std::uint8_t {
  Cleaning = 1,  // the screen is being wiped
  Screen = 2,    // the panel's screen is not part of the desktop
  Pen = 4,       // a pen is near the panel
};

// Who asked for a switch.
enum class Asker : std::uint8_t {
  Hand,       // the user, at the window, the icon, its menu or a key: ends every hold and stands
  Automatic,  // another program, a second start, the posture, resume: the choice, applied when no hold is on
};

// Every answer: the state to drive the device to (true: enable), or
// nothing when the device already is where the door wants it.
using DriveOrder = std::optional<bool>;

class TouchSwitch {
 public:
  // `choice` is the record's touch_status, read and written in place.
  explicit TouchSwitch(std::uint8_t& choice) noexcept : choice_(choice) {}
  TouchSwitch(const TouchSwitch&) = delete;
  TouchSwitch& operator=(const TouchSwitch&) = delete;

  // The state the panel must be in, which is the state the window shows.
  bool wanted() const noexcept { return holds_ == 0 && choice_ != 0; }
  std::uint8_t choice() const noexcept { return choice_; }
  bool holding(Hold hold) const noexcept { return (holds_ & Bit(hold)) != 0; }
  bool held() const noexcept { return holds_ != 0; }
  // False while a device selection runs and after the exit: no switch passes.
  bool open() const noexcept { return !selecting_ && !ended_; }
  // The device's state as last driven or seen; nothing before the first.
  std::optional<bool> device() const noexcept { return device_; }

  // The first drive, and each retry after the device refused it: the
  // wanted state, whatever the device is thought to be in.
  DriveOrder Start() noexcept;
  // A choice of state (non-zero: enabled). By hand it ends every hold.
  DriveOrder Choose(std::uint8_t state, Asker asker) noexcept;
  // By hand the opposite of what the panel shows; automatically the
  // opposite of the choice, so two toggles during a hold cancel out.
  DriveOrder Toggle(Asker asker) noexcept;
  DriveOrder SetHold(Hold hold, bool on) noexcept;
  // The device was seen in `enabled` (a device-change notice, the debug
  // poll). A state that differs from what the door wants was set outside
  // this program, in the Device Manager for instance: it is the user's
  // choice, and it ends every hold. A device whose state cannot be read
  // (nothing) tells nothing: it is no choice of "off".
  DriveOrder Observed(std::optional<bool> enabled) noexcept;
  // The device read as `now` (nothing when it cannot be read): driven to
  // the wanted state if it is not there, as after a change of settings.
  DriveOrder Reassert(std::optional<bool> now) noexcept;

  // A device selection begins: no switch passes until it ends, while the
  // holds are still recorded. It ends with the device as read then.
  void BeginSelection() noexcept { selecting_ = true; }
  DriveOrder EndSelection(std::optional<bool> now) noexcept;

  // The exit: every hold ends and the door closes for good. The panel is
  // always left enabled; the choice stays as it was, for the next start.
  void Exit() noexcept;

 private:
  static constexpr std::uint8_t Bit(Hold hold) noexcept { return static_cast<std::uint8_t>(hold); }
  // The device to the wanted state, if it is not there already.
  DriveOrder Follow() noexcept;

  std::uint8_t& choice_;
  std::uint8_t holds_ = 0;
  std::optional<bool> device_;
  bool selecting_ = false;
  bool ended_ = false;
};

}  // namespace veltra
