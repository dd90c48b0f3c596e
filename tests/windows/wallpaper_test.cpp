// The wallpaper operation in this process: under Wine the active-desktop
// object refuses every call, so this is the fallback through the system
// parameter, checked in the user's desktop settings.
#include "window/wallpaper.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "../common/desktop_probes.h"
#include "temp_dir.h"

namespace veltra {
namespace {

using testing::DesktopValue;
using testing::SetDesktopValue;


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
