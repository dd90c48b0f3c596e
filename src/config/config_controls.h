// The controls of the configuration dialog as one table: what kind each
// control is, which setting it edits, the value a radio button stands for,
// how a scroll bar or up-down is bounded and where it shows its value, and
// which tooltip it carries, and what a click on it does. The dialog's handlers work from this table; the
// template in resources/config_dialog.rc must list the same controls (a
// native test reads both). Portable: no platform headers.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "core/settings.h"

namespace veltra {

enum class ControlKind : std::uint8_t {
  PushButton,   // OK, which is the default button, is one too
  CheckBox,     // automatic check box
  RadioButton,  // automatic radio button
  Edit,         // single-line edit that scrolls horizontally
  ScrollBar,    // horizontal scroll bar
  HotKey,       // hot-key control
  UpDown,       // up-down control without a buddy
  Label,        // static that shows a value or a path
  ClickLabel,   // static that reports clicks: the text of a radio button that has none
};

// What a click on the control does beyond the generic handling of its
// kind (a check box or radio button stores its state, which comes first).
enum class ControlAction : std::uint8_t {
  None,
  PickColour,
  PickFont,
  PickIcon,
  ApplyHotKey,                // the hot-key control's combination becomes the hot key
  EnableHotKey,               // the hot key registered or let go
  OverrideWinKey,             // the Windows-key hook installed or removed
  SelectHorizontalWallpaper,  // a file chosen for the side
  SelectVerticalWallpaper,
  SetHorizontalWallpaper,     // the side's wallpaper applied if it is wanted now
  SetVerticalWallpaper,
  TaskBox,                    // the box's scheduled task registered or removed
  CapturePosition,            // the status window's place stored
  SelectDevice,               // the device selection run
};

// The settings a control reaches when it edits more than one value.
struct ColorFields {  // the chooser edits the three components together
  std::int32_t* r;
  std::int32_t* g;
  std::int32_t* b;
};
struct IconFields {
  std::wstring* file;
  std::int32_t* index;
};
struct HotKeyFields {  // in RegisterHotKey's terms
  std::int32_t* virtkey;
  std::int32_t* modifiers;
};

// What a control edits or shows in the settings record. Check boxes and
// radio buttons reach an 8-bit flag or a full integer, as the record keeps
// them; monostate: the control edits nothing there.
using ControlField = std::variant<std::monostate, std::int32_t*, std::uint8_t*, std::wstring*, FontRecord*, ColorFields,
                                  IconFields, HotKeyFields>;

inline constexpr int kConfigTooltipCount = 51;

struct ConfigControl {
  int id;
  ControlKind kind;
  ControlField (*field)(Settings&);  // null when the control edits no setting
  // Radio buttons and click labels: the value the setting takes.
  std::int32_t radio_value;
  // A change is followed by asking the status window to re-apply the
  // settings. Controls whose effect lies outside the program (hot key,
  // Windows-key hook, wallpaper, device) leave the status window alone, and
  // "Fixed Window position" leaves it to the position capture.
  bool notifies;
  // Scroll bars and the up-down control: the label showing the value, and
  // the inclusive range offered. Values outside it are shown as stored.
  int value_label;
  std::int32_t min, max;
  // 1 to kConfigTooltipCount: the place of its tooltip in the order of
  // creation; 0 for none. The text is a string id; its Japanese twin lies
  // at the id plus IDS_JAPANESE_OFFSET.
  int tooltip_order;
  unsigned tooltip_text;
  ControlAction action = ControlAction::None;
};

// Every control of the dialog that has an identifier, in template order
// (which is the tab order).
std::span<const ConfigControl> ConfigControls();

// The row of `id`; null when the dialog has no such control.
const ConfigControl* FindConfigControl(int id);

// The rows that carry a tooltip, in the order the tooltips are created.
std::vector<const ConfigControl*> ConfigTooltipOrder();

}  // namespace veltra
