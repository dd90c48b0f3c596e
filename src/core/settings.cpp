// The key table of the settings file and the load/save passes over it.
#include "core/settings.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "base/decimal.h"

namespace veltra {
namespace {

using S = Settings;

constexpr std::wstring_view kDefaultDevicePath = L"HID\\VID_1B96&PID_0F00&Col03\\7&34568466&0&0002";
constexpr std::int32_t kWhite = 16777215;

// One row per key. The accessors are written with macros so the table reads
// like the file: section, key, type, default, saved, member.
#define VELTRA_FIELD(expr) [](S& s) -> FieldRef { return &(s.expr); }
#define INT_KEY(sec, key, def, member) \
  KeyDef{L##sec, L##key, KeyType::Int, def, ScreenDefault::None, {}, true, VELTRA_FIELD(member)}
#define SCREEN_KEY(sec, key, screen, member) \
  KeyDef{L##sec, L##key, KeyType::Int, 0, ScreenDefault::screen, {}, true, VELTRA_FIELD(member)}
#define BOOL_KEY(sec, key, def, member) \
  KeyDef{L##sec, L##key, KeyType::Bool, def, ScreenDefault::None, {}, true, VELTRA_FIELD(member)}
#define BYTE_KEY(sec, key, def, member) \
  KeyDef{L##sec, L##key, KeyType::Byte, def, ScreenDefault::None, {}, true, VELTRA_FIELD(member)}
#define TEXT_KEY(sec, key, def, member) \
  KeyDef{L##sec, L##key, KeyType::String, 0, ScreenDefault::None, def, true, VELTRA_FIELD(member)}
#define FACE_KEY(sec, key, def, member) \
  KeyDef{L##sec, L##key, KeyType::FaceName, 0, ScreenDefault::None, def, true, VELTRA_FIELD(member)}
#define FONT_KEYS(side)                                                                      \
  SCREEN_KEY("font", #side "_height", FontHeight, side##_font.lfHeight),                    \
      INT_KEY("font", #side "_width", 0, side##_font.lfWidth),                              \
      INT_KEY("font", #side "_weight", 400, side##_font.lfWeight),                          \
      BYTE_KEY("font", #side "_italic", 0, side##_font.lfItalic),                           \
      FACE_KEY("font", #side "_name", L"MS UI Gothic", side##_font.lfFaceName),             \
      INT_KEY("font", #side "_esc", 0, side##_font.lfEscapement),                           \
      INT_KEY("font", #side "_orientation", 0, side##_font.lfOrientation),                  \
      BYTE_KEY("font", #side "_uline", 0, side##_font.lfUnderline),                         \
      BYTE_KEY("font", #side "_sout", 0, side##_font.lfStrikeOut),                          \
      BYTE_KEY("font", #side "_charset", 1, side##_font.lfCharSet),                         \
      BYTE_KEY("font", #side "_outprecision", 0, side##_font.lfOutPrecision)
#define FONT_TAIL_KEYS(side)                                          \
  BYTE_KEY("font", #side "_quality", 0, side##_font.lfQuality),      \
      BYTE_KEY("font", #side "_pitch", 0, side##_font.lfPitchAndFamily)
#define PALETTE_KEY(n, index) \
  KeyDef{L"palette", L"palette" n, KeyType::Int, kWhite, ScreenDefault::None, {}, true, VELTRA_FIELD(palette[index])}

const KeyDef kKeys[] = {
    SCREEN_KEY("position", "horizontal_pos_x", Left, horizontal_pos_x),
    SCREEN_KEY("position", "horizontal_pos_y", Top, horizontal_pos_y),
    SCREEN_KEY("position", "horizontal_width", Width, horizontal_width),
    SCREEN_KEY("position", "horizontal_height", Height, horizontal_height),
    SCREEN_KEY("position", "vertical_pos_x", Left, vertical_pos_x),
    SCREEN_KEY("position", "vertical_pos_y", Top, vertical_pos_y),
    SCREEN_KEY("position", "vertical_width", Width, vertical_width),
    SCREEN_KEY("position", "vertical_height", Height, vertical_height),

    INT_KEY("color", "transparent", 85, transparent),
    INT_KEY("color", "enable_dlg_col_r", 0, enable_dlg_col_r),
    INT_KEY("color", "enable_dlg_col_g", 128, enable_dlg_col_g),
    INT_KEY("color", "enable_dlg_col_b", 255, enable_dlg_col_b),
    INT_KEY("color", "enable_txt_col_r", 255, enable_txt_col_r),
    INT_KEY("color", "enable_txt_col_g", 255, enable_txt_col_g),
    INT_KEY("color", "enable_txt_col_b", 255, enable_txt_col_b),
    INT_KEY("color", "disable_dlg_col_r", 0, disable_dlg_col_r),
    INT_KEY("color", "disable_dlg_col_g", 64, disable_dlg_col_g),
    INT_KEY("color", "disable_dlg_col_b", 64, disable_dlg_col_b),
    INT_KEY("color", "disable_txt_col_r", 192, disable_txt_col_r),
    INT_KEY("color", "disable_txt_col_g", 192, disable_txt_col_g),
    INT_KEY("color", "disable_txt_col_b", 192, disable_txt_col_b),

    INT_KEY("config", "snap_enable", 1, snap_enable),
    INT_KEY("config", "snap_width", 50, snap_width),
    INT_KEY("config", "wait", 0, wait),
    BOOL_KEY("config", "redraw_traynotifywnd", 0, redraw_traynotifywnd),
    KeyDef{L"config", L"follow_posture", KeyType::OptIn, 0, ScreenDefault::None, {}, true, VELTRA_FIELD(follow_posture)},
    KeyDef{L"config", L"follow_display", KeyType::OptIn, 0, ScreenDefault::None, {}, true, VELTRA_FIELD(follow_display)},
    KeyDef{L"config", L"follow_pen", KeyType::OptIn, 0, ScreenDefault::None, {}, true, VELTRA_FIELD(follow_pen)},
    KeyDef{L"config", L"pen_release_seconds", KeyType::PenSeconds, 5, ScreenDefault::None, {}, true,
           VELTRA_FIELD(pen_release_seconds)},
    KeyDef{L"config", L"clean_seconds", KeyType::CleanSeconds, 30, ScreenDefault::None, {}, true,
           VELTRA_FIELD(clean_seconds)},
    KeyDef{L"config", L"clean_keyboard", KeyType::OptIn, 0, ScreenDefault::None, {}, true,
           VELTRA_FIELD(clean_keyboard)},

    TEXT_KEY("string", "dialog_enable_txt", L"Double click for Touch disable.", dialog_enable_txt),
    TEXT_KEY("string", "dialog_disable_txt", L"Double click for Touch enable.", dialog_disable_txt),
    TEXT_KEY("string", "tooltip_enable_txt", L"TouchPanel enable", tooltip_enable_txt),
    TEXT_KEY("string", "tooltip_disable_txt", L"TouchPanel disable", tooltip_disable_txt),

    BOOL_KEY("hotkey", "enable_hotkey", 1, enable_hotkey),
    INT_KEY("hotkey", "virtkey", 90, virtkey),
    INT_KEY("hotkey", "fsModifiers", 6, fsModifiers),
    INT_KEY("hotkey", "hotkey_toggle_mode", 0, hotkey_toggle_mode),
    // Read so a hand-set value is honoured, never written so the save leaves
    // whatever the user put there.
    KeyDef{L"hotkey", L"hotkey_single_use", KeyType::Int, 0, ScreenDefault::None, {}, false,
           VELTRA_FIELD(hotkey_single_use)},
    BOOL_KEY("hotkey", "override_winkey", 0, override_winkey),
    INT_KEY("hotkey", "override_winkey_resp", 2, override_winkey_resp),
    INT_KEY("hotkey", "override_winkey_mode", 0, override_winkey_mode),

    FONT_KEYS(enable),
    BYTE_KEY("font", "enable_clipprecicion", 0, enable_font.lfClipPrecision),  // the file's own spelling
    FONT_TAIL_KEYS(enable),
    FONT_KEYS(disable),
    BYTE_KEY("font", "disable_clipprecision", 0, disable_font.lfClipPrecision),
    FONT_TAIL_KEYS(disable),

    PALETTE_KEY(L"01", 0), PALETTE_KEY(L"02", 1), PALETTE_KEY(L"03", 2), PALETTE_KEY(L"04", 3),
    PALETTE_KEY(L"05", 4), PALETTE_KEY(L"06", 5), PALETTE_KEY(L"07", 6), PALETTE_KEY(L"08", 7),
    PALETTE_KEY(L"09", 8), PALETTE_KEY(L"10", 9), PALETTE_KEY(L"11", 10), PALETTE_KEY(L"12", 11),
    PALETTE_KEY(L"13", 12), PALETTE_KEY(L"14", 13), PALETTE_KEY(L"15", 14), PALETTE_KEY(L"16", 15),

    TEXT_KEY("icon", "enable_icon", L"", enable_icon),
    INT_KEY("icon", "enable_icon_idx", 0, enable_icon_idx),
    TEXT_KEY("icon", "disable_icon", L"", disable_icon),
    INT_KEY("icon", "disable_icon_idx", 0, disable_icon_idx),

    // "horizonal" is the file's spelling of these keys.
    TEXT_KEY("wallpaper", "horizonal", L"", horizonal),
    INT_KEY("wallpaper", "horizonal_enable", 0, horizonal_enable),
    INT_KEY("wallpaper", "horizonal_style", 0, horizonal_style),
    TEXT_KEY("wallpaper", "vertical", L"", vertical),
    INT_KEY("wallpaper", "vertical_enable", 0, vertical_enable),
    INT_KEY("wallpaper", "vertical_style", 0, vertical_style),

    BOOL_KEY("mouse", "lbutton_mode", 0, lbutton_mode),

    BOOL_KEY("status", "touch_status", 1, touch_status),
    BOOL_KEY("status", "window_status", 1, window_status),
    BOOL_KEY("status", "window_enable", 1, window_enable),
    BOOL_KEY("status", "fixed_pos", 0, fixed_pos),
    BOOL_KEY("status", "always_top", 1, always_top),
    BOOL_KEY("status", "detect_resume", 0, detect_resume),
    BOOL_KEY("status", "debug_mode", 0, debug_mode),

    BOOL_KEY("task_scheduler", "task_boot", 0, task_boot),
    BOOL_KEY("task_scheduler", "task_startup", 0, task_startup),
    BOOL_KEY("task_scheduler", "task_lock", 0, task_lock),

    TEXT_KEY("hardware", "device_instance_path", kDefaultDevicePath, device_instance_path),
};

#undef VELTRA_FIELD
#undef INT_KEY
#undef SCREEN_KEY
#undef BOOL_KEY
#undef BYTE_KEY
#undef TEXT_KEY
#undef FACE_KEY
#undef FONT_KEYS
#undef FONT_TAIL_KEYS
#undef PALETTE_KEY

std::int32_t Normalise(KeyType type, std::int32_t value) {
  switch (type) {
    case KeyType::Bool: return value != 0 ? 1 : 0;
    case KeyType::OptIn: return value == 1 ? 1 : 0;
    case KeyType::CleanSeconds: return std::clamp(value, kCleanSecondsMin, kCleanSecondsMax);
    case KeyType::PenSeconds: return std::clamp(value, kPenSecondsMin, kPenSecondsMax);
    case KeyType::Byte: return static_cast<std::int32_t>(static_cast<std::uint32_t>(value) & 0xFFu);
    default: return value;
  }
}

template <class... F>
struct Overload : F... {
  using F::operator()...;
};
template <class... F>
Overload(F...) -> Overload<F...>;

void StoreInt(const FieldRef& field, std::int32_t value) {
  std::visit(Overload{[&](std::int32_t* p) { *p = value; },
                      [&](std::uint32_t* p) { *p = static_cast<std::uint32_t>(value); },
                      [&](std::uint8_t* p) { *p = static_cast<std::uint8_t>(value); },
                      [](std::wstring*) {}},
             field);
}

std::int32_t FetchInt(const FieldRef& field) {
  return std::visit(Overload{[](std::int32_t* p) { return *p; },
                             [](std::uint32_t* p) { return static_cast<std::int32_t>(*p); },
                             [](std::uint8_t* p) { return static_cast<std::int32_t>(*p); },
                             [](std::wstring*) { return 0; }},
                    field);
}

// Whether a value begins as a number does (spaces, a sign, a digit), which
// is all the platform's reading of a number looks at.
bool BeginsWithNumber(std::wstring_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
  if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) ++i;
  return i < text.size() && text[i] >= L'0' && text[i] <= L'9';
}

}  // namespace

std::span<const KeyDef> SettingsKeyTable() { return kKeys; }

std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c) {
  if (c == 0) return -1;
  const std::int64_t product = static_cast<std::int64_t>(a) * b;
  const std::int64_t divisor = c;
  const bool negative = (product < 0) != (divisor < 0);
  const std::uint64_t abs_product = product < 0 ? static_cast<std::uint64_t>(-product) : static_cast<std::uint64_t>(product);
  const std::uint64_t abs_divisor = divisor < 0 ? static_cast<std::uint64_t>(-divisor) : static_cast<std::uint64_t>(divisor);
  const std::uint64_t rounded = (abs_product + abs_divisor / 2) / abs_divisor;
  const std::int64_t result = negative ? -static_cast<std::int64_t>(rounded) : static_cast<std::int64_t>(rounded);
  if (result > std::numeric_limits<std::int32_t>::max() || result < std::numeric_limits<std::int32_t>::min()) return -1;
  return static_cast<std::int32_t>(result);
}

std::int32_t DefaultIntFor(const KeyDef& def, const ScreenMetrics& screen) {
  switch (def.screen_default) {
    case ScreenDefault::None: return def.default_int;
    case ScreenDefault::Left: return screen.work_left;
    case ScreenDefault::Top: return screen.work_top;
    case ScreenDefault::Width: return MulDiv(255, screen.dpi_x, 96);
    case ScreenDefault::Height: return MulDiv(44, screen.dpi_y, 96);
    case ScreenDefault::FontHeight: return -MulDiv(16, screen.dpi_y, 96);
  }
  return def.default_int;
}

bool WriteIniInt(ProfileStore& store, std::wstring_view section, std::wstring_view key, std::int32_t value) {
  return store.WriteString(section, key, base::DecimalText(value));
}

std::int32_t StartupWaitMs(std::int32_t wait) { return std::clamp(wait, 0, kLongestStartupWait); }

void LoadSettings(Settings& settings, ProfileStore& store, const ScreenMetrics& screen) {
  const ProfileReads reads(store);
  for (const KeyDef& def : kKeys) {
    const FieldRef field = def.field(settings);
    if (def.type == KeyType::String || def.type == KeyType::FaceName) {
      std::wstring text = store.ReadString(def.section, def.key, def.default_text);
      // A face name longer than LOGFONTW's field would overrun it when the
      // font is built; cut it where the field ends.
      const std::size_t limit = def.type == KeyType::FaceName ? kFaceNameMax : kIniStringMax;
      if (text.size() > limit) text.resize(limit);
      *std::get<std::wstring*>(field) = std::move(text);
    } else if (def.type == KeyType::PenSeconds && !BeginsWithNumber(store.ReadString(def.section, def.key, L""))) {
      // A word where a number belongs is no value at all, rather than the
      // platform's 0 and then the lowest bound.
      StoreInt(field, def.default_int);
    } else {
      StoreInt(field, Normalise(def.type, store.ReadInt(def.section, def.key, DefaultIntFor(def, screen))));
    }
  }
}

void LoadDeviceUnderTest(Settings& settings, ProfileStore& store) {
  settings.device_under_test = store.ReadString(L"hardware", L"device_under_test", L"");
}

bool SaveDeviceUnderTest(const std::wstring& id, ProfileStore& store) {
  return store.WriteString(L"hardware", L"device_under_test", id);
}

bool SaveDevicePath(const std::wstring& path, ProfileStore& store) {
  return store.WriteString(L"hardware", L"device_instance_path", path);
}

bool SaveSettings(Settings& settings, ProfileStore& store) {
  store.BeginSave();
  bool all_written = true;
  for (const KeyDef& def : kKeys) {
    if (!def.saved) continue;
    const FieldRef field = def.field(settings);
    if (def.type == KeyType::String || def.type == KeyType::FaceName) {
      all_written &= store.WriteString(def.section, def.key, *std::get<std::wstring*>(field));
    } else {
      all_written &= WriteIniInt(store, def.section, def.key, Normalise(def.type, FetchInt(field)));
    }
  }
  return store.CommitSave() && all_written;
}

}  // namespace veltra
