// The control table of the configuration dialog.
#include "config/config_controls.h"

#include <algorithm>
#include <iterator>

#include "resources/resource.h"

namespace veltra {
namespace {

using Field = ControlField (*)(Settings&);

constexpr bool kNotify = true;  // the status window re-applies after a change
constexpr bool kQuiet = false;

constexpr ConfigControl Row(int id, ControlKind kind, Field field, bool notifies, int tooltip_order = 0,
                            unsigned tooltip_text = 0) {
  return ConfigControl{id, kind, field, 0, notifies, 0, 0, 0, tooltip_order, tooltip_text};
}
constexpr ConfigControl Radio(int id, Field field, std::int32_t value, bool notifies, int tooltip_order,
                              unsigned tooltip_text) {
  return ConfigControl{id, ControlKind::RadioButton, field, value, notifies, 0, 0, 0, tooltip_order, tooltip_text};
}
// A static beside a radio button without text; a click on it selects that
// radio button's value.
constexpr ConfigControl ClickLabel(int id, Field field, std::int32_t value) {
  return ConfigControl{id, ControlKind::ClickLabel, field, value, kNotify, 0, 0, 0, 0, 0};
}
constexpr ConfigControl Bar(int id, Field field, int label, std::int32_t min, std::int32_t max, int tooltip_order,
                            unsigned tooltip_text) {
  return ConfigControl{id, ControlKind::ScrollBar, field, 0, kNotify, label, min, max, tooltip_order, tooltip_text};
}
constexpr ConfigControl Label(int id, Field field) { return Row(id, ControlKind::Label, field, kQuiet); }
// A row whose click does more than its kind's generic handling.
constexpr ConfigControl Does(ControlAction action, ConfigControl row) {
  row.action = action;
  return row;
}

// The accessors are lambdas so each row names its member as plainly as the
// settings key table does.
#define FIELD(member) [](Settings& s) -> ControlField { return &s.member; }
#define COLOR(side, part)                                                                             \
  [](Settings& s) -> ControlField {                                                                   \
    return ColorFields{&s.side##_##part##_col_r, &s.side##_##part##_col_g, &s.side##_##part##_col_b}; \
  }
#define ICON(side) [](Settings& s) -> ControlField { return IconFields{&s.side##_icon, &s.side##_icon_idx}; }
#define HOTKEY_FIELDS [](Settings& s) -> ControlField { return HotKeyFields{&s.virtkey, &s.fsModifiers}; }

using K = ControlKind;
using A = ControlAction;

constexpr std::int32_t kSizeMin = 10, kSizeMax = 640;
// The dialog manager's IDOK and IDCANCEL, which are not ours to define.
constexpr int kOk = 1, kCancel = 2;

const ConfigControl kControls[] = {
    // Enabled-state look.
    Does(A::PickColour, Row(IDC_CFG_ENABLE_WINDOW_COLOR, K::PushButton, COLOR(enable, dlg), kNotify, 3,
                            IDS_CFG_TIP_ENABLE_WINDOW_COLOR)),
    Does(A::PickColour, Row(IDC_CFG_ENABLE_TEXT_COLOR, K::PushButton, COLOR(enable, txt), kNotify, 5,
                            IDS_CFG_TIP_ENABLE_TEXT_COLOR)),
    Does(A::PickFont, Row(IDC_CFG_ENABLE_FONT, K::PushButton, FIELD(enable_font), kNotify, 7, IDS_CFG_TIP_ENABLE_FONT)),
    Does(A::PickIcon, Row(IDC_CFG_ENABLE_ICON, K::PushButton, ICON(enable), kNotify, 9, IDS_CFG_TIP_ENABLE_ICON)),
    Row(IDC_CFG_ENABLE_TEXT, K::Edit, FIELD(dialog_enable_txt), kNotify, 1, IDS_CFG_TIP_ENABLE_TEXT),
    // Disabled-state look.
    Does(A::PickColour, Row(IDC_CFG_DISABLE_WINDOW_COLOR, K::PushButton, COLOR(disable, dlg), kNotify, 4,
                            IDS_CFG_TIP_DISABLE_WINDOW_COLOR)),
    Does(A::PickColour, Row(IDC_CFG_DISABLE_TEXT_COLOR, K::PushButton, COLOR(disable, txt), kNotify, 6,
                            IDS_CFG_TIP_DISABLE_TEXT_COLOR)),
    Does(A::PickFont, Row(IDC_CFG_DISABLE_FONT, K::PushButton, FIELD(disable_font), kNotify, 8,
                          IDS_CFG_TIP_DISABLE_FONT)),
    Does(A::PickIcon, Row(IDC_CFG_DISABLE_ICON, K::PushButton, ICON(disable), kNotify, 10, IDS_CFG_TIP_DISABLE_ICON)),
    Row(IDC_CFG_DISABLE_TEXT, K::Edit, FIELD(dialog_disable_txt), kNotify, 2, IDS_CFG_TIP_DISABLE_TEXT),
    // Landscape window size and wallpaper.
    Bar(IDC_CFG_HORIZONTAL_WIDTH, FIELD(horizontal_width), IDC_CFG_HORIZONTAL_WIDTH_VALUE, kSizeMin, kSizeMax, 11,
        IDS_CFG_TIP_HORIZONTAL_WIDTH),
    Bar(IDC_CFG_HORIZONTAL_HEIGHT, FIELD(horizontal_height), IDC_CFG_HORIZONTAL_HEIGHT_VALUE, kSizeMin, kSizeMax, 13,
        IDS_CFG_TIP_HORIZONTAL_HEIGHT),
    Does(A::SetHorizontalWallpaper, Row(IDC_CFG_HWALLPAPER_ENABLE, K::CheckBox, FIELD(horizonal_enable), kQuiet, 21,
                                        IDS_CFG_TIP_HWALLPAPER_ENABLE)),
    Does(A::SelectHorizontalWallpaper, Row(IDC_CFG_HWALLPAPER_SELECT, K::PushButton, FIELD(horizonal), kQuiet, 23,
                                           IDS_CFG_TIP_HWALLPAPER_SELECT)),
    Does(A::SetHorizontalWallpaper, Radio(IDC_CFG_HWALLPAPER_CENTER, FIELD(horizonal_style), 0, kQuiet, 15,
                                          IDS_CFG_TIP_HWALLPAPER_CENTER)),
    Does(A::SetHorizontalWallpaper, Radio(IDC_CFG_HWALLPAPER_TILE, FIELD(horizonal_style), 1, kQuiet, 17,
                                          IDS_CFG_TIP_HWALLPAPER_TILE)),
    Does(A::SetHorizontalWallpaper, Radio(IDC_CFG_HWALLPAPER_STRETCH, FIELD(horizonal_style), 2, kQuiet, 19,
                                          IDS_CFG_TIP_HWALLPAPER_STRETCH)),
    // Portrait window size and wallpaper.
    Bar(IDC_CFG_VERTICAL_WIDTH, FIELD(vertical_width), IDC_CFG_VERTICAL_WIDTH_VALUE, kSizeMin, kSizeMax, 12,
        IDS_CFG_TIP_VERTICAL_WIDTH),
    Bar(IDC_CFG_VERTICAL_HEIGHT, FIELD(vertical_height), IDC_CFG_VERTICAL_HEIGHT_VALUE, kSizeMin, kSizeMax, 14,
        IDS_CFG_TIP_VERTICAL_HEIGHT),
    Does(A::SetVerticalWallpaper, Row(IDC_CFG_VWALLPAPER_ENABLE, K::CheckBox, FIELD(vertical_enable), kQuiet, 22,
                                      IDS_CFG_TIP_VWALLPAPER_ENABLE)),
    Does(A::SelectVerticalWallpaper, Row(IDC_CFG_VWALLPAPER_SELECT, K::PushButton, FIELD(vertical), kQuiet, 24,
                                         IDS_CFG_TIP_VWALLPAPER_SELECT)),
    Does(A::SetVerticalWallpaper, Radio(IDC_CFG_VWALLPAPER_CENTER, FIELD(vertical_style), 0, kQuiet, 16,
                                        IDS_CFG_TIP_VWALLPAPER_CENTER)),
    Does(A::SetVerticalWallpaper, Radio(IDC_CFG_VWALLPAPER_TILE, FIELD(vertical_style), 1, kQuiet, 18,
                                        IDS_CFG_TIP_VWALLPAPER_TILE)),
    Does(A::SetVerticalWallpaper, Radio(IDC_CFG_VWALLPAPER_STRETCH, FIELD(vertical_style), 2, kQuiet, 20,
                                        IDS_CFG_TIP_VWALLPAPER_STRETCH)),
    // Snapping and opacity. Snapping only acts while the window is dragged,
    // so the status window has nothing to re-apply.
    Row(IDC_CFG_SNAP_ENABLE, K::CheckBox, FIELD(snap_enable), kQuiet, 25, IDS_CFG_TIP_SNAP_ENABLE),
    Bar(IDC_CFG_SNAP_WIDTH, FIELD(snap_width), IDC_CFG_SNAP_WIDTH_VALUE, 5, 100, 26, IDS_CFG_TIP_SNAP_WIDTH),
    Bar(IDC_CFG_TRANSPARENT, FIELD(transparent), IDC_CFG_TRANSPARENT_VALUE, 30, 100, 27, IDS_CFG_TIP_TRANSPARENT),
    // Hot key. The control's entry is stored only by Apply (or by checking
    // "HotKey enable"), which registers it itself.
    Does(A::EnableHotKey, Row(IDC_CFG_HOTKEY_ENABLE, K::CheckBox, FIELD(enable_hotkey), kQuiet, 28,
                              IDS_CFG_TIP_HOTKEY_ENABLE)),
    Row(IDC_CFG_HOTKEY, K::HotKey, HOTKEY_FIELDS, kQuiet, 29, IDS_CFG_TIP_HOTKEY),
    Does(A::ApplyHotKey, Row(IDC_CFG_HOTKEY_APPLY, K::PushButton, HOTKEY_FIELDS, kQuiet, 30, IDS_CFG_TIP_HOTKEY_APPLY)),
    Radio(IDC_CFG_HOTKEY_MODE_TOGGLE, FIELD(hotkey_toggle_mode), 0, kNotify, 31, IDS_CFG_TIP_HOTKEY_MODE_TOGGLE),
    Radio(IDC_CFG_HOTKEY_MODE_ENABLE, FIELD(hotkey_toggle_mode), 1, kNotify, 32, IDS_CFG_TIP_HOTKEY_MODE_ENABLE),
    Radio(IDC_CFG_HOTKEY_MODE_DISABLE, FIELD(hotkey_toggle_mode), 2, kNotify, 33, IDS_CFG_TIP_HOTKEY_MODE_DISABLE),
    // Scheduled tasks and resume; each task box registers or removes its
    // task before the status window is told.
    Does(A::TaskBox, Row(IDC_CFG_TASK_STARTUP, K::CheckBox, FIELD(task_startup), kNotify, 34,
                         IDS_CFG_TIP_TASK_STARTUP)),
    Does(A::TaskBox, Row(IDC_CFG_TASK_BOOT, K::CheckBox, FIELD(task_boot), kNotify, 35, IDS_CFG_TIP_TASK_BOOT)),
    Does(A::TaskBox, Row(IDC_CFG_TASK_LOCK, K::CheckBox, FIELD(task_lock), kNotify, 36, IDS_CFG_TIP_TASK_LOCK)),
    Row(IDC_CFG_DETECT_RESUME, K::CheckBox, FIELD(detect_resume), kNotify, 37, IDS_CFG_TIP_DETECT_RESUME),
    // The status window itself.
    Row(IDC_CFG_WINDOW_ENABLE, K::CheckBox, FIELD(window_enable), kNotify, 38, IDS_CFG_TIP_WINDOW_ENABLE),
    Does(A::CapturePosition, Row(IDC_CFG_FIXED_POS, K::CheckBox, FIELD(fixed_pos), kQuiet, 39, IDS_CFG_TIP_FIXED_POS)),
    Row(IDC_CFG_ALWAYS_TOP, K::CheckBox, FIELD(always_top), kNotify, 40, IDS_CFG_TIP_ALWAYS_TOP),
    // Mouse on the notification icon: read at each click, nothing to re-apply.
    Radio(IDC_CFG_LBUTTON_MODE_0, FIELD(lbutton_mode), 0, kQuiet, 41, IDS_CFG_TIP_LBUTTON_MODE_0),
    Radio(IDC_CFG_LBUTTON_MODE_1, FIELD(lbutton_mode), 1, kQuiet, 42, IDS_CFG_TIP_LBUTTON_MODE_1),
    Row(IDC_CFG_REDRAW_TRAY, K::CheckBox, FIELD(redraw_traynotifywnd), kNotify, 43, IDS_CFG_TIP_REDRAW_TRAY),
    Row(kOk, K::PushButton, nullptr, kQuiet),
    Row(kCancel, K::PushButton, nullptr, kQuiet),
    // Value labels.
    Label(IDC_CFG_HORIZONTAL_WIDTH_VALUE, FIELD(horizontal_width)),
    Label(IDC_CFG_VERTICAL_WIDTH_VALUE, FIELD(vertical_width)),
    Label(IDC_CFG_HORIZONTAL_HEIGHT_VALUE, FIELD(horizontal_height)),
    Label(IDC_CFG_VERTICAL_HEIGHT_VALUE, FIELD(vertical_height)),
    Label(IDC_CFG_SNAP_WIDTH_VALUE, FIELD(snap_width)),
    Label(IDC_CFG_TRANSPARENT_VALUE, FIELD(transparent)),
    Label(IDC_CFG_HWALLPAPER_PATH, FIELD(horizonal)),
    Label(IDC_CFG_VWALLPAPER_PATH, FIELD(vertical)),
    ClickLabel(IDC_CFG_HOTKEY_MODE_ENABLE_LABEL, FIELD(hotkey_toggle_mode), 1),
    ClickLabel(IDC_CFG_HOTKEY_MODE_DISABLE_LABEL, FIELD(hotkey_toggle_mode), 2),
    // Windows key and device.
    Does(A::OverrideWinKey, Row(IDC_CFG_OVERRIDE_WINKEY, K::CheckBox, FIELD(override_winkey), kQuiet, 44,
                                IDS_CFG_TIP_OVERRIDE_WINKEY)),
    Does(A::SelectDevice, Row(IDC_CFG_DEVICE_SELECT, K::PushButton, FIELD(device_instance_path), kQuiet, 50,
                              IDS_CFG_TIP_DEVICE_SELECT)),
    // Read at each announcement of a posture change: nothing to re-apply.
    Row(IDC_CFG_FOLLOW_POSTURE, K::CheckBox, FIELD(follow_posture), kQuiet, 51, IDS_CFG_TIP_FOLLOW_POSTURE),
    // The response time is read when the Windows key is used. The up-down
    // control counts steps of 50 ms from 0 (50 ms) to 19 (1000 ms).
    ConfigControl{IDC_CFG_WINKEY_RESPONSE, K::UpDown, FIELD(override_winkey_resp), 0, kQuiet,
                  IDC_CFG_WINKEY_RESPONSE_VALUE, 0, 19, 46, IDS_CFG_TIP_WINKEY_RESPONSE},
    ConfigControl{IDC_CFG_WINKEY_RESPONSE_VALUE, K::Label, FIELD(override_winkey_resp), 0, kQuiet, 0, 0, 0, 45,
                  IDS_CFG_TIP_WINKEY_RESPONSE},
    Radio(IDC_CFG_WINKEY_MODE_TOGGLE, FIELD(override_winkey_mode), 0, kNotify, 47, IDS_CFG_TIP_WINKEY_MODE_TOGGLE),
    Radio(IDC_CFG_WINKEY_MODE_ENABLE, FIELD(override_winkey_mode), 1, kNotify, 48, IDS_CFG_TIP_WINKEY_MODE_ENABLE),
    Radio(IDC_CFG_WINKEY_MODE_DISABLE, FIELD(override_winkey_mode), 2, kNotify, 49, IDS_CFG_TIP_WINKEY_MODE_DISABLE),
    ClickLabel(IDC_CFG_WINKEY_MODE_ENABLE_LABEL, FIELD(override_winkey_mode), 1),
    ClickLabel(IDC_CFG_WINKEY_MODE_DISABLE_LABEL, FIELD(override_winkey_mode), 2),
};

#undef FIELD
#undef COLOR
#undef ICON
#undef HOTKEY_FIELDS

}  // namespace

std::span<const ConfigControl> ConfigControls() { return kControls; }

const ConfigControl* FindConfigControl(int id) {
  const auto found = std::ranges::find(kControls, id, &ConfigControl::id);
  return found == std::end(kControls) ? nullptr : &*found;
}

std::vector<const ConfigControl*> ConfigTooltipOrder() {
  std::vector<const ConfigControl*> rows;
  for (const ConfigControl& control : kControls) {
    if (control.tooltip_order != 0) rows.push_back(&control);
  }
  std::ranges::sort(rows, {}, &ConfigControl::tooltip_order);
  return rows;
}

}  // namespace veltra
