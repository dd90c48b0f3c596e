// The settings record through the platform's real profile functions.
#include "app/ini_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "app/veltra_app.h"
#include "core/settings.h"
#include "temp_dir.h"
#include "platform/unique_handle.h"

namespace veltra {
namespace {

using testing::TempDir;

std::string ReadBytes(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(std::filesystem::path(path), std::ios::binary);
  out << bytes;
}

std::wstring ReadRaw(const std::wstring& path, const wchar_t* section, const wchar_t* key) {
  wchar_t buffer[4096] = {};
  ::GetPrivateProfileStringW(section, key, L"<missing>", buffer, 4096, path.c_str());
  return buffer;
}

Settings LoadFrom(const std::wstring& path) {
  Settings s;
  IniFileStore store(path);
  LoadSettings(s, store, {96, 96, 0, 0});
  return s;
}

void SaveTo(Settings& s, const std::wstring& path) {
  IniFileStore store(path);
  SaveSettings(s, store);
}

std::string Utf16LeBytes(std::wstring_view text) {
  std::string bytes;
  for (wchar_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

bool Hidden(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
}

// A file system that cannot keep the attribute (Wine keeps it in an
// extended attribute of the file) could show nothing: that fails the test.
void Hide(const std::wstring& path) {
  ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN) && Hidden(path)) << "cannot hide a file";
}

std::ptrdiff_t FilesIn(const TempDir& dir) {
  return std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator());
}

TEST(IniFileStore, NoFileGivesDefaultsAndCreatesNothing) {
  TempDir dir;
  const Settings s = LoadFrom(dir.File(L"Veltra.ini"));
  EXPECT_EQ(s.horizontal_width, 255);
  EXPECT_EQ(s.enable_font.lfHeight, -16);
  EXPECT_EQ(s.touch_status, 1);
  EXPECT_EQ(s.device_instance_path, L"HID\\VID_1B96&PID_0F00&Col03\\7&34568466&0&0002");
  EXPECT_FALSE(std::filesystem::exists(dir.File(L"Veltra.ini")));
}

TEST(IniFileStore, HandWrittenFileChangesOnlyItsKeysAndSavesEveryKey) {
  TempDir dir;
  const std::wstring ini = dir.File(L"Veltra.ini");
  WriteBytes(ini,
             "[status]\r\ntouch_status=0\r\nalways_top=7\r\n"
             "[font]\r\nenable_charset=300\r\nenable_clipprecision=3\r\ndisable_clipprecicion=4\r\n"
             "[palette]\r\npalette05=255\r\n"
             "[hotkey]\r\nhotkey_single_use=1\r\n"
             "[mine]\r\nnote=keep me\r\n");
  Settings s = LoadFrom(ini);
  EXPECT_EQ(s.touch_status, 0);
  EXPECT_EQ(s.always_top, 1);
  EXPECT_EQ(s.window_status, 1);
  EXPECT_EQ(s.enable_font.lfCharSet, 44);
  EXPECT_EQ(s.enable_font.lfClipPrecision, 0);
  EXPECT_EQ(s.disable_font.lfClipPrecision, 0);
  EXPECT_EQ(s.palette[4], 0x000000FFu);
  EXPECT_EQ(s.hotkey_single_use, 1);

  SaveTo(s, ini);
  EXPECT_EQ(ReadRaw(ini, L"status", L"touch_status"), L"0");
  EXPECT_EQ(ReadRaw(ini, L"status", L"always_top"), L"1");
  EXPECT_EQ(ReadRaw(ini, L"font", L"enable_charset"), L"44");
  EXPECT_EQ(ReadRaw(ini, L"font", L"enable_clipprecicion"), L"0");
  EXPECT_EQ(ReadRaw(ini, L"font", L"enable_clipprecision"), L"3");  // left alone
  EXPECT_EQ(ReadRaw(ini, L"palette", L"palette05"), L"255");
  EXPECT_EQ(ReadRaw(ini, L"hotkey", L"hotkey_single_use"), L"1");
  EXPECT_EQ(ReadRaw(ini, L"mine", L"note"), L"keep me");
  EXPECT_EQ(ReadRaw(ini, L"position", L"horizontal_height"), L"44");
  EXPECT_EQ(ReadRaw(ini, L"font", L"enable_height"), L"-16");
  EXPECT_EQ(ReadRaw(ini, L"string", L"tooltip_disable_txt"), L"TouchPanel disable");
  for (const KeyDef& def : SettingsKeyTable()) {
    if (!def.saved) continue;
    EXPECT_NE(ReadRaw(ini, std::wstring(def.section).c_str(), std::wstring(def.key).c_str()), L"<missing>")
        << std::string(def.key.begin(), def.key.end());
  }
}

TEST(IniFileStore, LongStringsAreCutAt1039) {
  TempDir dir;
  const std::wstring ini = dir.File(L"Veltra.ini");
  WriteBytes(ini, "[string]\r\ndialog_enable_txt=" + std::string(3000, 'a') + "\r\n[font]\r\nenable_name=" +
                      std::string(50, 'N') + "\r\n");
  const Settings s = LoadFrom(ini);
  EXPECT_EQ(s.dialog_enable_txt, std::wstring(1039, L'a'));
  EXPECT_EQ(s.enable_font.lfFaceName, std::wstring(31, L'N'));
}

TEST(IniFileStore, NewFileIsUtf16AndKeepsJapaneseText) {
  TempDir dir;
  const std::wstring ini = dir.File(L"Veltra.ini");
  Settings s = LoadFrom(ini);
  s.dialog_enable_txt = L"タッチパネル有効";
  s.enable_font.lfFaceName = L"ＭＳ ゴシック";
  SaveTo(s, ini);
  const std::string bytes = ReadBytes(ini);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFF);
  EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0xFE);
  const Settings again = LoadFrom(ini);
  EXPECT_EQ(again.dialog_enable_txt, L"タッチパネル有効");
  EXPECT_EQ(again.enable_font.lfFaceName, L"ＭＳ ゴシック");
}

TEST(IniFileStore, ExistingAnsiFileStaysReadableAndIsNotConverted) {
  TempDir dir;
  const std::wstring ini = dir.File(L"Veltra.ini");
  WriteBytes(ini, "[string]\r\ndialog_enable_txt=hand written\r\n");
  Settings s = LoadFrom(ini);
  EXPECT_EQ(s.dialog_enable_txt, L"hand written");
  SaveTo(s, ini);
  EXPECT_EQ(ReadBytes(ini).substr(0, 8), "[string]");
  EXPECT_EQ(LoadFrom(ini).dialog_enable_txt, L"hand written");
}

// The mended file stays hidden as the user left it, whatever copy an
// interrupted save left behind.
TEST(IniFileStore, Utf16FileSavedWithoutMarkGainsItAndSurvivesASave) {
  TempDir dir;
  const std::wstring ini = dir.File(L"Veltra.ini");
  const std::string original = Utf16LeBytes(
      L"[status]\r\ntouch_status=0\r\n[string]\r\ndialog_enable_txt=タッチパネル有効\r\n"
      L"[font]\r\nenable_name=ＭＳ ゴシック\r\n[mine]\r\nnote=keep me\r\n");
  WriteBytes(ini, original);
  ASSERT_NO_FATAL_FAILURE(Hide(ini));
  WriteBytes(dir.File(L"Veltra.new"), "[status]\r\ntouch_status=1\r\n");
  Settings s = LoadFrom(ini);
  EXPECT_EQ(ReadBytes(ini), "\xFF\xFE" + original);
  EXPECT_TRUE(Hidden(ini));
  EXPECT_EQ(s.touch_status, 0);
  EXPECT_EQ(s.dialog_enable_txt, L"タッチパネル有効");
  EXPECT_EQ(s.enable_font.lfFaceName, L"ＭＳ ゴシック");

  s.always_top = 1;
  SaveTo(s, ini);
  const Settings again = LoadFrom(ini);
  EXPECT_EQ(again.touch_status, 0);
  EXPECT_EQ(again.always_top, 1);
  EXPECT_EQ(again.dialog_enable_txt, L"タッチパネル有効");
  EXPECT_EQ(again.enable_font.lfFaceName, L"ＭＳ ゴシック");
  EXPECT_EQ(ReadRaw(ini, L"mine", L"note"), L"keep me");
  // A save that took the file for ANSI would have added a second section.
  const std::string bytes = ReadBytes(ini);
  std::wstring text(bytes.size() / 2, L'\0');
  std::memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
  EXPECT_EQ(text.find(L"[status]"), text.rfind(L"[status]"));
  EXPECT_EQ(FilesIn(dir), 1);
}

TEST(IniFileStore, LoadingLeavesAnyOtherFileByteForByte) {
  const struct {
    const char* name;
    std::string bytes;
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    bool held_open = false;  // by a program that lets others read it, but not replace it
  } cases[] = {
      {"ANSI", "[status]\r\ntouch_status=0\r\n[string]\r\ndialog_enable_txt=caf\xE9\r\n"},
      {"UTF-8 Japanese", "[string]\r\ndialog_enable_txt=\xE3\x82\xBF\xE3\x83\x83\r\n"},
      {"UTF-16LE with mark", "\xFF\xFE" + Utf16LeBytes(L"[status]\r\ntouch_status=0\r\n")},
      {"empty", ""},
      {"binary", std::string("\x01\x00\x02\x00\xFF\x7F\x00\x00zz", 10)},
      // Files the mend must not or cannot replace.
      {"read-only UTF-16LE without mark", Utf16LeBytes(L"[status]\r\n"), FILE_ATTRIBUTE_READONLY},
      {"held UTF-16LE without mark", Utf16LeBytes(L"[status]\r\n"), FILE_ATTRIBUTE_NORMAL, true},
  };
  for (const auto& c : cases) {
    TempDir dir;
    const std::wstring ini = dir.File(L"Veltra.ini");
    WriteBytes(ini, c.bytes);
    ::SetFileAttributesW(ini.c_str(), c.attributes);
    {
      UniqueFile holder;
      if (c.held_open) {
        holder.reset(::CreateFileW(ini.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder) << c.name;
      }
      LoadFrom(ini);
    }
    ::SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBytes(ini), c.bytes) << c.name;
    EXPECT_EQ(FilesIn(dir), 1) << c.name;
  }
}

TEST(IniFileStore, BinaryAndHugeLinesDoNotBreakLoading) {
  TempDir dir;
  const std::wstring ini = dir.File(L"Veltra.ini");
  std::string junk = "[color]\r\ntransparent=\x01\x02\xff\xfe\r\n[config]\r\nwait=-7\r\nsnap_width=99999999999999\r\n";
  junk += std::string(200000, 'z') + "\r\n" + std::string(1000, '\0') + "\r\n[status]\r\ntouch_status=0\r\n";
  WriteBytes(ini, junk);
  const Settings s = LoadFrom(ini);
  EXPECT_EQ(s.transparent, 0);
  EXPECT_EQ(s.wait, -7);
  EXPECT_EQ(s.horizontal_width, 255);
}

// The store reads a key's section whole, and within a load takes the
// section's next keys from that read; every key must read as the platform's
// one-key reads read it, in a load or not. A write within a load is read
// back.
TEST(IniFileStore, ASectionReadWholeAnswersAsReadsKeyByKey) {
  TempDir dir;
  const std::wstring ini = dir.File(L"Veltra.ini");
  WriteBytes(ini,
             "[config]\r\n; wait=3\r\nWAIT = 12abc \r\nwait=4\r\nsnap_width=99999999999999\r\n"
             "snap_height= -4294967295\r\nx='7'\r\ny=\"\r\nz=\"\"\r\nplain\r\nempty=\r\n"
             "digits=000000000000000000000000000015\r\nhex=0x1F\r\nupper=0X10\r\nbin=-0b101\r\noct=0o19\r\n"
             "\t tabbed\t=\t+8\t\r\n[String]\r\nname = \"two  words\" \r\nlong=" + std::string(1100, 'l') +
                 "\r\n[config]\r\nlater=1\r\n");
  const std::vector<std::pair<const wchar_t*, const wchar_t*>> keys = {
      {L"config", L"wait"},   {L"config", L"snap_width"}, {L"config", L"snap_height"}, {L"config", L"x"},
      {L"config", L"y"},      {L"config", L"z"},          {L"config", L"plain"},       {L"config", L"empty"},
      {L"config", L"digits"}, {L"config", L"hex"},        {L"config", L"tabbed"},      {L"config", L"later"},
      {L"string", L"name"},   {L"string", L"long"},       {L"missing", L"wait"},
      {L"config", L"bin"},    {L"config", L"oct"},        {L"config", L"upper"}};
  std::vector<std::wstring> one_by_one;
  for (const auto& [section, key] : keys) {
    wchar_t text[kIniStringMax + 1] = {};
    ::GetPrivateProfileStringW(section, key, L"<none>", text, kIniStringMax + 1, ini.c_str());
    one_by_one.push_back(text + (L" | " + std::to_wstring(static_cast<int>(
                                              ::GetPrivateProfileIntW(section, key, -1, ini.c_str())))));
  }
  IniFileStore store(ini);
  const auto read = [&](std::size_t i) {
    const auto& [section, key] = keys[i];
    return store.ReadString(section, key, L"<none>") + L" | " + std::to_wstring(store.ReadInt(section, key, -1));
  };
  for (std::size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(read(i), one_by_one[i]) << i;
  {
    const ProfileReads reads(store);
    for (std::size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(read(i), one_by_one[i]) << i;
    ASSERT_TRUE(store.WriteString(L"config", L"wait", L"5"));
    EXPECT_EQ(store.ReadInt(L"config", L"wait", -1), 5);
  }
  // The oracle's own answers, so a change of the platform's shows here.
  EXPECT_EQ(one_by_one[0], L"12abc | 12");
  EXPECT_EQ(one_by_one[6], L"<none> | -1");
  EXPECT_EQ(one_by_one[12], L"two  words | 0");
  EXPECT_EQ(one_by_one[13].size(), 1039U + 4U);
}

// A save goes through a copy that replaces the file, which keeps its
// attributes: a copy an interrupted save left behind is never read and goes
// with the next save, and a read-only file is left exactly as it is (the
// save fails).
TEST(IniFileStore, SavesReplaceTheFileWholeAndLeaveNoCopy) {
  TempDir dir;
  const std::wstring ini = dir.File(L"Veltra.ini");
  const std::wstring copy = dir.File(L"Veltra.new");
  WriteBytes(ini, "; mine\r\n[status]\r\ntouch_status=1\r\n");
  ASSERT_NO_FATAL_FAILURE(Hide(ini));
  WriteBytes(copy, "[status]\r\ntouch_status=0\r\n[hardware]\r\ndevice_instance_path=HID\\LEFT\r\n");
  Settings s = LoadFrom(ini);
  EXPECT_EQ(s.touch_status, 1);
  s.touch_status = 0;
  {
    IniFileStore store(ini);
    EXPECT_TRUE(store.Writable());
    EXPECT_TRUE(SaveSettings(s, store));
  }
  EXPECT_TRUE(Hidden(ini));
  EXPECT_FALSE(std::filesystem::exists(copy));
  EXPECT_EQ(ReadBytes(ini).rfind("; mine\r\n", 0), 0u);
  EXPECT_EQ(LoadFrom(ini).touch_status, 0);
  EXPECT_NE(LoadFrom(ini).device_instance_path, L"HID\\LEFT");

  const std::string before = ReadBytes(ini);
  ASSERT_TRUE(::SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_READONLY));
  s.touch_status = 1;
  {
    IniFileStore store(ini);
    EXPECT_FALSE(store.Writable());
    EXPECT_FALSE(SaveSettings(s, store));
    EXPECT_FALSE(store.WriteString(L"status", L"touch_status", L"1"));
  }
  ::SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadBytes(ini), before);
  EXPECT_FALSE(std::filesystem::exists(copy));
}

TEST(IniFileStore, UnwritableLocationLosesTheSaveSilently) {
  TempDir dir;
  const std::wstring ini = dir.File(L"missing-folder\\Veltra.ini");
  Settings s = LoadFrom(ini);
  SaveTo(s, ini);
  EXPECT_FALSE(std::filesystem::exists(ini));
  EXPECT_EQ(LoadFrom(ini).touch_status, 1);
}

// Wine cannot start a program from a folder this deep, so the settings path
// of such a program is checked here: it must lead into that folder through
// the profile functions, which cannot open the long form themselves.
TEST(IniFileStore, SettingsBesideAProgramDeeperThanMaxPathAreReachable) {
  TempDir dir;
  std::vector<std::wstring> folders{dir.path()};
  while (folders.back().size() < 320) {
    folders.push_back(folders.back() + L"\\a-rather-long-folder-name");
    ::CreateDirectoryW((L"\\\\?\\" + folders.back()).c_str(), nullptr);
  }
  const std::wstring& deep = folders.back();
  const base::ProgramPaths paths = base::SplitProgramPath(deep + L"\\Veltra.exe");
  ASSERT_GE(paths.ini_path.size(), static_cast<std::size_t>(MAX_PATH));
  const std::wstring reachable = ReachableIniPath(paths);
  EXPECT_LT(reachable.size(), static_cast<std::size_t>(MAX_PATH));

  Settings s = LoadFrom(reachable);
  s.touch_status = 0;
  SaveTo(s, reachable);
  EXPECT_EQ(LoadFrom(reachable).touch_status, 0);
  EXPECT_TRUE(::DeleteFileW((L"\\\\?\\" + paths.ini_path).c_str()));
  // The library's recursive removal mishandles paths this long under Wine.
  for (auto it = folders.rbegin(); it + 1 != folders.rend(); ++it) ::RemoveDirectoryW((L"\\\\?\\" + *it).c_str());

  const base::ProgramPaths shallow = base::SplitProgramPath(L"C:\\Tools\\Veltra.exe");
  EXPECT_EQ(ReachableIniPath(shallow), L"C:\\Tools\\Veltra.ini");
}

}  // namespace
}  // namespace veltra
