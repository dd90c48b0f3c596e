// The wallpaper operation in this process: under Wine the active-desktop
// object refuses every call, so this is the fallback through the system
// parameter, checked in the user's desktop settings.
#include "window/wallpaper.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "temp_dir.h"

namespace veltra {
namespace {

std::wstring DesktopValue(const wchar_t* name) {
  wchar_t value[1024] = {};
  DWORD size = sizeof(value);
  ::RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", name, RRF_RT_REG_SZ, nullptr, value, &size);
  return value;
}

void SetDesktopValue(const wchar_t* name, const std::wstring& value) {
  ::RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", name, REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

TEST(Wallpaper, SetWithItsStyleOnlyForAFileThatExistsAndPerOrientation) {
  const std::wstring saved[] = {DesktopValue(L"Wallpaper"), DesktopValue(L"WallpaperStyle"),
                                DesktopValue(L"TileWallpaper")};
  testing::TempDir dir;
  const std::wstring landscape = dir.path() + L"\\landscape.bmp";
  const std::wstring portrait = dir.path() + L"\\portrait.bmp";
  std::ofstream(std::filesystem::path(landscape)) << "BM";
  std::ofstream(std::filesystem::path(portrait)) << "BM";

  EXPECT_EQ(SetDesktopWallpaper(dir.path() + L"\\missing.bmp", 2), 0);
  EXPECT_EQ(SetDesktopWallpaper(L"", 2), 0);
  EXPECT_EQ(DesktopValue(L"Wallpaper"), saved[0]);

  EXPECT_EQ(SetDesktopWallpaper(landscape, 1), 1);
  EXPECT_EQ(DesktopValue(L"Wallpaper"), landscape);
  EXPECT_EQ(DesktopValue(L"WallpaperStyle"), L"0");
  EXPECT_EQ(DesktopValue(L"TileWallpaper"), L"1");

  Settings settings;
  settings.horizonal = landscape;
  settings.vertical = portrait;
  settings.vertical_style = 2;
  settings.portrait = 1;
  ApplyOrientationWallpaper(settings);  // the portrait side is off
  EXPECT_EQ(DesktopValue(L"Wallpaper"), landscape);
  settings.vertical_enable = 1;
  ApplyOrientationWallpaper(settings);
  EXPECT_EQ(DesktopValue(L"Wallpaper"), portrait);
  EXPECT_EQ(DesktopValue(L"WallpaperStyle"), L"2");
  EXPECT_EQ(DesktopValue(L"TileWallpaper"), L"0");

  SetDesktopValue(L"Wallpaper", saved[0]);
  SetDesktopValue(L"WallpaperStyle", saved[1]);
  SetDesktopValue(L"TileWallpaper", saved[2]);
}

}  // namespace
}  // namespace veltra
