// Settings-file location and the device-path case rule.
#include "base/program_paths.h"

#include <gtest/gtest.h>

#include "base/ascii.h"

namespace base {
namespace {

TEST(SplitProgramPath, IniBesideTheProgramNamedAfterIt) {
  ProgramPaths p = SplitProgramPath(L"C:\\Tools\\Veltra.exe");
  EXPECT_EQ(p.program_dir, L"C:\\Tools\\");
  EXPECT_EQ(p.app_name, L"Veltra");
  EXPECT_EQ(p.ini_path, L"C:\\Tools\\Veltra.ini");

  p = SplitProgramPath(L"C:\\my.tools\\Veltra.copy.exe");
  EXPECT_EQ(p.app_name, L"Veltra.copy");
  EXPECT_EQ(p.ini_path, L"C:\\my.tools\\Veltra.copy.ini");

  p = SplitProgramPath(L"Veltra");
  EXPECT_EQ(p.program_dir, L"");
  EXPECT_EQ(p.ini_path, L"Veltra.ini");
  EXPECT_EQ(SplitProgramPath(std::string_view("C:\\a.b/W.exe")).app_name, "W");  // 8-bit; either slash
}

TEST(SplitProgramPath, LongPathsAreKeptWhole) {
  std::wstring dir = L"\\\\?\\C:";
  while (dir.size() < 600) dir += L"\\a-rather-long-folder-name";
  const ProgramPaths p = SplitProgramPath(dir + L"\\Veltra.exe");
  EXPECT_EQ(p.ini_path, dir + L"\\Veltra.ini");
}

TEST(UpperCaseAscii, OnlyLettersChange) {
  EXPECT_EQ(UpperCaseAscii(L"hid\\vid_1b96&pid_0f00&col03\\7&34568466&0&0002"),
            L"HID\\VID_1B96&PID_0F00&COL03\\7&34568466&0&0002");
  EXPECT_EQ(UpperCaseAscii(L"äz{"), L"äZ{");
}

}  // namespace
}  // namespace base
