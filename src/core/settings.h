// The persistent settings record of Veltra, its key table with defaults, and
// the load and save passes over a profile store. Portable: no platform
// headers, so the table and its normalisation rules are tested natively.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace veltra {

// The fields of a Windows LOGFONTW, by the same names, so the status window
// can copy them over one to one. The face name holds at most 31 characters.
struct FontRecord {
  std::int32_t lfHeight = 0;
  std::int32_t lfWidth = 0;
  std::int32_t lfEscapement = 0;
  std::int32_t lfOrientation = 0;
  std::int32_t lfWeight = 0;
  std::uint8_t lfItalic = 0;
  std::uint8_t lfUnderline = 0;
  std::uint8_t lfStrikeOut = 0;
  std::uint8_t lfCharSet = 0;
  std::uint8_t lfOutPrecision = 0;
  std::uint8_t lfClipPrecision = 0;
  std::uint8_t lfQuality = 0;
  std::uint8_t lfPitchAndFamily = 0;
  std::wstring lfFaceName;
};

inline constexpr std::size_t kFaceNameMax = 31;      // LOGFONTW holds 32 with the terminator
inline constexpr std::size_t kIniStringMax = 1039;   // profile reads use a 1040-character buffer

// Every stored value of the main program. Before loading, everything is zero
// or empty, as in a static object; LoadSettings fills it from the file.
struct Settings {
  std::int32_t horizontal_pos_x = 0, horizontal_pos_y = 0, horizontal_width = 0, horizontal_height = 0;
  std::int32_t vertical_pos_x = 0, vertical_pos_y = 0, vertical_width = 0, vertical_height = 0;

  std::wstring dialog_enable_txt, dialog_disable_txt, tooltip_enable_txt, tooltip_disable_txt;

  std::int32_t transparent = 0;
  std::int32_t enable_dlg_col_r = 0, enable_dlg_col_g = 0, enable_dlg_col_b = 0;
  std::int32_t enable_txt_col_r = 0, enable_txt_col_g = 0, enable_txt_col_b = 0;
  std::int32_t disable_dlg_col_r = 0, disable_dlg_col_g = 0, disable_dlg_col_b = 0;
  std::int32_t disable_txt_col_r = 0, disable_txt_col_g = 0, disable_txt_col_b = 0;

  std::int32_t snap_enable = 0, snap_width = 0, wait = 0;
  std::int32_t redraw_traynotifywnd = 0;  // a 0/1 flag kept as a full integer
  std::uint8_t follow_posture = 0;        // the panel follows the tablet posture
  std::uint8_t follow_display = 0;        // the panel is off while its screen is
  std::uint8_t follow_pen = 0;            // the panel is off while the pen is near
  std::int32_t pen_release_seconds = 0;   // how long after the pen left the panel comes back
  std::int32_t clean_seconds = 0;         // how long "Clean Screen" keeps the panel off
  std::uint8_t clean_keyboard = 0;        // the keyboard is locked too while cleaning

  std::uint8_t enable_hotkey = 0;
  std::int32_t virtkey = 0, fsModifiers = 0, hotkey_toggle_mode = 0, hotkey_single_use = 0;
  std::uint8_t override_winkey = 0;
  std::int32_t override_winkey_resp = 0, override_winkey_mode = 0;

  FontRecord enable_font, disable_font;

  std::array<std::uint32_t, 16> palette{};  // COLORREF 0x00BBGGRR

  std::int32_t enable_icon_idx = 0, disable_icon_idx = 0;
  std::wstring enable_icon, disable_icon;

  std::wstring horizonal, vertical;
  std::int32_t horizonal_enable = 0, vertical_enable = 0, horizonal_style = 0, vertical_style = 0;

  std::uint8_t always_top = 0, fixed_pos = 0, touch_status = 0, window_status = 0, window_enable = 0,
               debug_mode = 0, portrait = 0, detect_resume = 0, task_boot = 0, task_startup = 0,
               task_lock = 0, one_shot = 0, lbutton_mode = 0;

  std::wstring device_instance_path;
  // The device the selection dialog's test has disabled, in the file while
  // it is off: whatever ends the process meanwhile, whoever enables the
  // panel next enables it too. Empty otherwise. Not in the key table.
  std::wstring device_under_test;
};

// What the screen-dependent defaults are computed from: the logical DPI of
// the screen and the top left corner of the primary monitor's work area.
struct ScreenMetrics {
  int dpi_x = 96;
  int dpi_y = 96;
  int work_left = 0;
  int work_top = 0;
};

// The platform's private-profile functions, one key at a time, on one file.
class ProfileStore {
 public:
  virtual ~ProfileStore() = default;
  // A missing key or file gives `fallback`; text that is not a number reads
  // as the platform's profile functions read it.
  virtual std::int32_t ReadInt(std::wstring_view section, std::wstring_view key, std::int32_t fallback) = 0;
  virtual std::wstring ReadString(std::wstring_view section, std::wstring_view key, std::wstring_view fallback) = 0;
  // False when the key could not be written; callers may ignore it.
  virtual bool WriteString(std::wstring_view section, std::wstring_view key, std::wstring_view value) = 0;
  // The writes between BeginSave and CommitSave reach the file together or
  // not at all, so a process ended in the middle leaves the file as it was;
  // outside such a pair each write is a save of its own. CommitSave is
  // false when the file could not take the writes.
  virtual void BeginSave() {}
  virtual bool CommitSave() { return true; }
  // The reads between BeginReads and EndReads may be answered from one read
  // of the file per section, taken at the first read of it: a load of every
  // key then opens the file once a section instead of once a key, and finds
  // each section as it was at one moment. After a write in between, a read
  // reads the file again, as it would outside the pair.
  virtual void BeginReads() {}
  virtual void EndReads() {}
};

// BeginReads and EndReads for a scope.
class ProfileReads {
 public:
  explicit ProfileReads(ProfileStore& store) : store_(store) { store_.BeginReads(); }
  ~ProfileReads() { store_.EndReads(); }
  ProfileReads(const ProfileReads&) = delete;
  ProfileReads& operator=(const ProfileReads&) = delete;

 private:
  ProfileStore& store_;
};

enum class KeyType : std::uint8_t {
  Int,       // kept as read
  Bool,      // any non-zero reads as 1
  OptIn,     // only 1 reads as 1: a stray value must not turn an automatic switch on
  CleanSeconds,  // kCleanSecondsMin to kCleanSecondsMax; a value outside reads as the nearest bound
  PenSeconds,    // kPenSecondsMin to kPenSecondsMax, the same way; a text that is no number reads as the default
  Byte,      // only the low 8 bits survive
  String,    // at most kIniStringMax characters
  FaceName,  // at most kFaceNameMax characters
};

enum class ScreenDefault : std::uint8_t { None, Left, Top, Width, Height, FontHeight };

using FieldRef = std::variant<std::int32_t*, std::uint32_t*, std::uint8_t*, std::wstring*>;

struct KeyDef {
  std::wstring_view section;
  std::wstring_view key;
  KeyType type;
  std::int32_t default_int;
  ScreenDefault screen_default;
  std::wstring_view default_text;
  bool saved;
  FieldRef (*field)(Settings&);
};

// Every key in the order it is read, which is also the order of saving.
std::span<const KeyDef> SettingsKeyTable();

// The value a key takes when the file has none.
std::int32_t DefaultIntFor(const KeyDef& def, const ScreenMetrics& screen);

// Windows' MulDiv: a * b / c rounded half away from zero; -1 when c is 0 or
// the result does not fit.
std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c);

// Formats like "%d" and writes the key.
bool WriteIniInt(ProfileStore& store, std::wstring_view section, std::wstring_view key, std::int32_t value);

// The start-up pause of `config`/`wait` in milliseconds: a negative value
// is no pause, and anything above five minutes is cut to five minutes, so a
// stray value cannot hold the single-instance mutex for days.
inline constexpr std::int32_t kLongestStartupWait = 5 * 60 * 1000;
std::int32_t StartupWaitMs(std::int32_t wait);

// The length of a cleaning of the screen, in seconds: long enough to wipe
// it, short enough that a forgotten run does not leave the panel off.
inline constexpr std::int32_t kCleanSecondsMin = 5;
inline constexpr std::int32_t kCleanSecondsMax = 300;

// The time the panel stays off after the pen left: long enough for a hand
// to leave the screen, short enough that touch is soon back.
inline constexpr std::int32_t kPenSecondsMin = 1;
inline constexpr std::int32_t kPenSecondsMax = 60;

void LoadSettings(Settings& settings, ProfileStore& store, const ScreenMetrics& screen);

// `[hardware]` `device_under_test`, apart from the key table: only the
// device selection writes it, at once, while its test has a device off.
void LoadDeviceUnderTest(Settings& settings, ProfileStore& store);
bool SaveDeviceUnderTest(const std::wstring& id, ProfileStore& store);
// `[hardware]` `device_instance_path` on its own, a save of its own: the
// boot and lock tasks, the removal and the next start enable the device
// the file names, so a device is written there as soon as it is chosen,
// before anything may disable it.
bool SaveDevicePath(const std::wstring& path, ProfileStore& store);
// Writes every saved key in one save (BeginSave, CommitSave), skipping one
// that cannot be written; false when any write or the commit failed.
bool SaveSettings(Settings& settings, ProfileStore& store);

}  // namespace veltra
