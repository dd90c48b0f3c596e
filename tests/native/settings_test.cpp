// The settings table: defaults, normalisation on load and save, key order.
#include "core/settings.h"

#include <gtest/gtest.h>

#include <set>

#include "../common/fake_profile.h"

namespace veltra {
namespace {

using testing::FakeProfile;

Settings Load(FakeProfile& profile, ScreenMetrics screen = {}) {
  Settings settings;
  LoadSettings(settings, profile, screen);
  return settings;
}

// What the profile holds under the key; a key it lacks (a save that
// skipped it, a misspelt name) fails the case instead of the whole run.
std::wstring Stored(const FakeProfile& profile, std::wstring_view section, std::wstring_view key) {
  const std::wstring* text = profile.Get(section, key);
  EXPECT_NE(text, nullptr) << "nothing stored under " << std::string(key.begin(), key.end());
  return text != nullptr ? *text : L"";
}

TEST(SettingsDefaults, NoFileGivesTheTableDefaultsAt96Dpi) {
  FakeProfile empty;
  const Settings s = Load(empty, {96, 96, 0, 0});
  EXPECT_EQ(s.horizontal_width, 255);
  EXPECT_EQ(s.horizontal_height, 44);
  EXPECT_EQ(s.vertical_width, 255);
  EXPECT_EQ(s.vertical_height, 44);
  EXPECT_EQ(s.enable_font.lfHeight, -16);
  EXPECT_EQ(s.disable_font.lfHeight, -16);
  EXPECT_EQ(s.enable_font.lfFaceName, L"MS UI Gothic");
  EXPECT_EQ(s.enable_font.lfWeight, 400);
  EXPECT_EQ(s.enable_font.lfCharSet, 1);
  EXPECT_EQ(s.transparent, 85);
  EXPECT_EQ(s.enable_dlg_col_g, 128);
  EXPECT_EQ(s.enable_dlg_col_b, 255);
  EXPECT_EQ(s.disable_txt_col_r, 192);
  EXPECT_EQ(s.snap_enable, 1);
  EXPECT_EQ(s.snap_width, 50);
  EXPECT_EQ(s.pen_release_seconds, 5);
  EXPECT_EQ(s.dialog_enable_txt, L"Double click for Touch disable.");
  EXPECT_EQ(s.dialog_disable_txt, L"Double click for Touch enable.");
  EXPECT_EQ(s.tooltip_enable_txt, L"TouchPanel enable");
  EXPECT_EQ(s.tooltip_disable_txt, L"TouchPanel disable");
  EXPECT_EQ(s.enable_hotkey, 1);
  EXPECT_EQ(s.virtkey, 90);
  EXPECT_EQ(s.fsModifiers, 6);
  EXPECT_EQ(s.override_winkey_resp, 2);
  for (std::uint32_t colour : s.palette) EXPECT_EQ(colour, 0xFFFFFFu);
  EXPECT_EQ(s.touch_status, 1);
  EXPECT_EQ(s.window_status, 1);
  EXPECT_EQ(s.window_enable, 1);
  EXPECT_EQ(s.always_top, 1);
  EXPECT_EQ(s.fixed_pos, 0);
  EXPECT_EQ(s.device_instance_path, L"HID\\VID_1B96&PID_0F00&Col03\\7&34568466&0&0002");
  EXPECT_EQ(s.one_shot, 0);
  EXPECT_EQ(s.portrait, 0);
}

TEST(SettingsDefaults, ScreenDependentValuesFollowDpiAndWorkArea) {
  FakeProfile empty;
  const Settings s = Load(empty, {120, 120, -1280, 40});
  EXPECT_EQ(s.horizontal_width, 319);  // 318.75 rounds up, as MulDiv does
  EXPECT_EQ(s.horizontal_height, 55);
  EXPECT_EQ(s.enable_font.lfHeight, -20);
  EXPECT_EQ(s.horizontal_pos_x, -1280);
  EXPECT_EQ(s.horizontal_pos_y, 40);
  EXPECT_EQ(s.vertical_pos_x, -1280);
  EXPECT_EQ(s.vertical_pos_y, 40);

  const Settings wide = Load(empty, {144, 96, 0, 0});
  EXPECT_EQ(wide.horizontal_width, 383);  // 382.5 rounds half away from zero
  EXPECT_EQ(wide.horizontal_height, 44);
}

TEST(MulDiv, RoundsHalfAwayFromZeroAndRejectsZeroDivisor) {
  EXPECT_EQ(MulDiv(5, 1, 2), 3);
  EXPECT_EQ(MulDiv(-5, 1, 2), -3);
  EXPECT_EQ(MulDiv(5, -1, 2), -3);
  EXPECT_EQ(MulDiv(7, 1, 0), -1);
  EXPECT_EQ(MulDiv(0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF), 0x7FFFFFFF);
  EXPECT_EQ(MulDiv(0x7FFFFFFF, 2, 1), -1);
}

TEST(SettingsLoad, OnlyTheStoredKeyChanges) {
  FakeProfile profile;
  profile.Set(L"status", L"touch_status", L"0");
  const Settings s = Load(profile);
  EXPECT_EQ(s.touch_status, 0);
  FakeProfile empty;
  Settings expected = Load(empty);
  expected.touch_status = 0;
  FakeProfile a, b;
  Settings copy = s;
  SaveSettings(copy, a);
  SaveSettings(expected, b);
  ASSERT_EQ(a.writes().size(), b.writes().size());
  for (std::size_t i = 0; i < a.writes().size(); ++i) EXPECT_EQ(a.writes()[i].value, b.writes()[i].value) << i;
}

TEST(SettingsLoad, BooleansNormaliseBytesKeepLowEightBitsIntsStayAsRead) {
  FakeProfile profile;
  profile.Set(L"status", L"always_top", L"7");
  profile.Set(L"status", L"debug_mode", L"-3");
  profile.Set(L"config", L"redraw_traynotifywnd", L"42");
  profile.Set(L"config", L"follow_posture", L"2");  // only 1 turns an automatic switch on
  profile.Set(L"config", L"follow_display", L"2");
  profile.Set(L"config", L"clean_keyboard", L"2");  // nor the keyboard lock
  profile.Set(L"config", L"clean_seconds", L"301");  // the nearest bound, 300
  profile.Set(L"config", L"follow_pen", L"2");
  profile.Set(L"config", L"pen_release_seconds", L"0");  // the nearest bound, 1
  profile.Set(L"font", L"enable_charset", L"300");
  profile.Set(L"font", L"disable_charset", L"128");
  profile.Set(L"font", L"enable_italic", L"-1");
  profile.Set(L"color", L"transparent", L"250");
  profile.Set(L"palette", L"palette05", L"255");
  profile.Set(L"config", L"wait", L"-5");
  const Settings s = Load(profile);
  EXPECT_EQ(s.always_top, 1);
  EXPECT_EQ(s.debug_mode, 1);
  EXPECT_EQ(s.redraw_traynotifywnd, 1);
  EXPECT_EQ(s.follow_posture, 0);
  EXPECT_EQ(s.follow_display, 0);
  EXPECT_EQ(s.clean_keyboard, 0);
  EXPECT_EQ(s.clean_seconds, 300);
  EXPECT_EQ(s.follow_pen, 0);
  EXPECT_EQ(s.pen_release_seconds, 1);
  EXPECT_EQ(s.enable_font.lfCharSet, 44);
  EXPECT_EQ(s.disable_font.lfCharSet, 128);
  EXPECT_EQ(s.enable_font.lfItalic, 255);
  EXPECT_EQ(s.transparent, 250);
  EXPECT_EQ(s.palette[4], 0x000000FFu);
  EXPECT_EQ(s.wait, -5);

  Settings copy = s;
  FakeProfile saved;
  SaveSettings(copy, saved);
  EXPECT_EQ(Stored(saved, L"status", L"always_top"), L"1");
  EXPECT_EQ(Stored(saved, L"config", L"redraw_traynotifywnd"), L"1");
  EXPECT_EQ(Stored(saved, L"config", L"follow_posture"), L"0");
  EXPECT_EQ(Stored(saved, L"config", L"clean_keyboard"), L"0");
  EXPECT_EQ(Stored(saved, L"config", L"clean_seconds"), L"300");
  EXPECT_EQ(Stored(saved, L"config", L"follow_pen"), L"0");
  EXPECT_EQ(Stored(saved, L"config", L"pen_release_seconds"), L"1");
  EXPECT_EQ(Stored(saved, L"font", L"enable_charset"), L"44");
  EXPECT_EQ(Stored(saved, L"palette", L"palette05"), L"255");
  EXPECT_EQ(Stored(saved, L"color", L"transparent"), L"250");
  EXPECT_EQ(Stored(saved, L"font", L"enable_height"), L"-16");
  EXPECT_EQ(Stored(saved, L"palette", L"palette01"), L"16777215");
}

TEST(SettingsLoad, GarbageNumbersReadAsThePlatformReadsThem) {
  FakeProfile profile;
  profile.Set(L"color", L"transparent", L"abc");
  profile.Set(L"config", L"snap_width", L"12px");
  profile.Set(L"hotkey", L"virtkey", L"99999999999");
  profile.Set(L"config", L"clean_seconds", L"ten");  // 0, below the bound
  profile.Set(L"config", L"pen_release_seconds", L"ten");  // no number: the default, not the bound
  Settings s = Load(profile);
  EXPECT_EQ(s.transparent, 0);
  EXPECT_EQ(s.snap_width, 12);
  EXPECT_EQ(s.clean_seconds, 5);
  EXPECT_EQ(s.pen_release_seconds, 5);
  profile.Set(L"config", L"pen_release_seconds", L" 90s");  // a number first: read, then its bound
  s = Load(profile);
  EXPECT_EQ(s.pen_release_seconds, 60);
  (void)s.virtkey;  // any value; overflow must simply not crash
}

TEST(SettingsLoad, ClipPrecisionKeysUseTheirOwnSpellingOnly) {
  FakeProfile profile;
  profile.Set(L"font", L"enable_clipprecision", L"3");   // other side's spelling
  profile.Set(L"font", L"disable_clipprecicion", L"4");  // other side's spelling
  Settings s = Load(profile);
  EXPECT_EQ(s.enable_font.lfClipPrecision, 0);
  EXPECT_EQ(s.disable_font.lfClipPrecision, 0);

  profile.Set(L"font", L"enable_clipprecicion", L"5");
  profile.Set(L"font", L"disable_clipprecision", L"6");
  s = Load(profile);
  EXPECT_EQ(s.enable_font.lfClipPrecision, 5);
  EXPECT_EQ(s.disable_font.lfClipPrecision, 6);
}

TEST(SettingsLoad, StringsAreCutAt1039AndFaceNamesAt31) {
  FakeProfile profile;
  profile.Set(L"string", L"dialog_enable_txt", std::wstring(5000, L'x'));
  profile.Set(L"font", L"enable_name", std::wstring(40, L'F'));
  profile.Set(L"font", L"disable_name", std::wstring(31, L'G'));
  const Settings s = Load(profile);
  EXPECT_EQ(s.dialog_enable_txt.size(), 1039u);
  EXPECT_EQ(s.enable_font.lfFaceName, std::wstring(31, L'F'));
  EXPECT_EQ(s.disable_font.lfFaceName, std::wstring(31, L'G'));
}

TEST(SettingsSave, WritesEveryKeyButSingleUseInTableOrder) {
  FakeProfile profile;
  profile.Set(L"hotkey", L"hotkey_single_use", L"1");
  profile.Set(L"mystery", L"kept", L"yes");
  Settings s = Load(profile);
  EXPECT_EQ(s.hotkey_single_use, 1);
  s.hotkey_single_use = 0;
  SaveSettings(s, profile);

  EXPECT_EQ(Stored(profile, L"hotkey", L"hotkey_single_use"), L"1");
  EXPECT_EQ(Stored(profile, L"mystery", L"kept"), L"yes");
  for (const auto& write : profile.writes()) EXPECT_NE(write.key, L"hotkey_single_use");

  const std::vector<std::wstring> sections = {L"position", L"color",  L"config",    L"string", L"hotkey",
                                              L"font",     L"palette", L"icon",     L"wallpaper", L"mouse",
                                              L"status",   L"task_scheduler", L"hardware"};
  std::vector<std::wstring> seen;
  for (const auto& write : profile.writes()) {
    if (seen.empty() || seen.back() != write.section) seen.push_back(write.section);
  }
  EXPECT_EQ(seen, sections);
  EXPECT_EQ(profile.writes().size(), SettingsKeyTable().size() - 1);
  EXPECT_EQ(profile.writes().front().key, L"horizontal_pos_x");
  EXPECT_EQ(profile.writes().back().key, L"device_instance_path");
}

TEST(SettingsSave, LoadSaveLoadIsStable) {
  FakeProfile profile;
  profile.Set(L"string", L"dialog_enable_txt", L"タッチ無効");
  profile.Set(L"font", L"enable_esc", L"-900");
  profile.Set(L"wallpaper", L"horizonal", L"C:\\pics\\a b.jpg");
  Settings first = Load(profile);
  FakeProfile saved;
  SaveSettings(first, saved);
  Settings second = Load(saved);
  FakeProfile saved_again;
  SaveSettings(second, saved_again);
  ASSERT_EQ(saved.writes().size(), saved_again.writes().size());
  for (std::size_t i = 0; i < saved.writes().size(); ++i) {
    EXPECT_EQ(saved.writes()[i].value, saved_again.writes()[i].value) << saved.writes()[i].key;
  }
  EXPECT_EQ(second.dialog_enable_txt, L"タッチ無効");
  EXPECT_EQ(second.enable_font.lfEscapement, -900);
}

TEST(SettingsSave, AFailedWriteIsSkippedAndTheRestContinues) {
  FakeProfile empty;
  Settings s = Load(empty);
  FakeProfile read_only;
  read_only.set_read_only(true);
  EXPECT_FALSE(SaveSettings(s, read_only));
  EXPECT_EQ(read_only.size(), 0u);
  FakeProfile writable;
  EXPECT_TRUE(SaveSettings(s, writable));
}

// The pause is taken with the single-instance mutex held, so every start
// meanwhile is swallowed: a stored 99999999999 must not mean two weeks.
TEST(StartupWait, NegativeIsNoPauseAndTheLongestIsFiveMinutes) {
  EXPECT_EQ(StartupWaitMs(-5), 0);
  EXPECT_EQ(StartupWaitMs(INT32_MIN), 0);
  EXPECT_EQ(StartupWaitMs(0), 0);
  EXPECT_EQ(StartupWaitMs(1500), 1500);
  EXPECT_EQ(StartupWaitMs(300000), 300000);
  EXPECT_EQ(StartupWaitMs(300001), 300000);
  EXPECT_EQ(StartupWaitMs(INT32_MAX), 300000);
  FakeProfile profile;
  profile.Set(L"config", L"wait", L"99999999999");
  EXPECT_EQ(StartupWaitMs(Load(profile).wait), 300000);
}

TEST(SettingsTable, KeysAreUniqueAndMisspellingsAreTheFilesOwn) {
  std::set<std::wstring> keys;
  for (const KeyDef& def : SettingsKeyTable()) {
    EXPECT_TRUE(keys.insert(std::wstring(def.section) + L"/" + std::wstring(def.key)).second) ;
  }
  EXPECT_EQ(keys.count(L"wallpaper/horizonal_style"), 1u);
  EXPECT_EQ(keys.count(L"position/horizontal_pos_x"), 1u);
  EXPECT_EQ(keys.count(L"font/enable_clipprecicion"), 1u);
  EXPECT_EQ(keys.count(L"font/disable_clipprecision"), 1u);
  EXPECT_EQ(SettingsKeyTable().size(), 109u);
}

TEST(WriteIniInt, FormatsSignedDecimal) {
  FakeProfile profile;
  WriteIniInt(profile, L"s", L"a", -16);
  WriteIniInt(profile, L"s", L"b", 16777215);
  WriteIniInt(profile, L"s", L"c", INT32_MIN);
  EXPECT_EQ(Stored(profile, L"s", L"a"), L"-16");
  EXPECT_EQ(Stored(profile, L"s", L"b"), L"16777215");
  EXPECT_EQ(Stored(profile, L"s", L"c"), L"-2147483648");
}

}  // namespace
}  // namespace veltra
