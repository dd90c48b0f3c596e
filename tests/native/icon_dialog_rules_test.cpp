// The icon picker's failure texts and cell painting, without the platform.
#include "config/icon_dialog_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace veltra {
namespace {

TEST(IconDialogRules, FailureTextsAndCellBackgrounds) {
  EXPECT_EQ(OpenFailureText(L"C:\\a.dll", false, L"Access denied.\r\n"), L"Access denied.");
  EXPECT_EQ(OpenFailureText(L"C:\\a.dll", false, L"\r\n"), L"C:\\a.dll could not be opened.");
  // Cut at the limit, but never through a character outside the basic plane.
  const std::wstring long_path = std::wstring(kMaxOpenFailureText - 1, L'b') + L"\xD83D\xDE00.ico";
  EXPECT_EQ(OpenFailureText(long_path, true, L""), std::wstring(kMaxOpenFailureText - 1, L'b'));
  EXPECT_EQ(OpenFailureText(L"C:\\" + long_path, true, L""), (L"C:\\" + long_path).substr(0, kMaxOpenFailureText));

  EXPECT_FALSE(HasIcons(0));
  EXPECT_TRUE(HasIcons(1));  // every .ico file

  using enum CellBackground;  // arguments: selected, drawn whole, selection changed
  EXPECT_EQ(CellBackgroundFor(true, true, false), kHighlight);
  EXPECT_EQ(CellBackgroundFor(true, false, true), kHighlight);
  EXPECT_EQ(CellBackgroundFor(false, false, true), kWhite);
  EXPECT_EQ(CellBackgroundFor(false, true, false), kUnchanged);
  EXPECT_EQ(CellBackgroundFor(true, false, false), kUnchanged);  // a focus change only
}

}  // namespace
}  // namespace veltra
