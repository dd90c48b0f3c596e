// The configuration dialog's hot-key conversion, scroll-bar steps and
// response-time label.
#include "config/config_rules.h"

#include <gtest/gtest.h>

namespace veltra {
namespace {

TEST(ConfigRules, HotKeyBothWaysDropsTheExtendedFlagAndUnknownModifiers) {
  EXPECT_EQ(HotKeyControlValue(6, 90), 0x035A);       // the default: Ctrl + Shift + Z
  EXPECT_EQ(HotKeyControlValue(0x5, 0x41), 0x0541);   // Alt + Shift + A
  EXPECT_EQ(HotKeyControlValue(0x8 | 0x2, 0x141), 0x0241);  // the Windows key and high key bits are not shown
  const StoredHotKey alt_shift_a = StoredHotKeyOf(0x0541);
  EXPECT_EQ(alt_shift_a.fsModifiers, 5);
  EXPECT_EQ(alt_shift_a.virtkey, 65);
  const StoredHotKey extended = StoredHotKeyOf(0x0E2D);  // Ctrl + Alt + extended Insert
  EXPECT_EQ(extended.fsModifiers, 3);
  EXPECT_EQ(extended.virtkey, 0x2D);
  for (std::int32_t mods = 0; mods < 8; ++mods) {
    const StoredHotKey back = StoredHotKeyOf(HotKeyControlValue(mods, 0x70));
    EXPECT_EQ(back.fsModifiers, mods);
    EXPECT_EQ(back.virtkey, 0x70);
  }
}

TEST(ConfigRules, ScrollStepsStayInTheRangeAndThumbsGoWhereTheyAreTaken) {
  struct Case {
    ScrollRequest request;
    std::int32_t position, thumb, expected;
  } const cases[] = {
      {ScrollRequest::LineLeft, 30, 0, 30},   // at the minimum: unchanged
      {ScrollRequest::LineLeft, 31, 0, 30},
      {ScrollRequest::LineRight, 100, 0, 100},
      {ScrollRequest::LineRight, 5, 0, 6},     // a stored 3 shows the thumb at 5
      {ScrollRequest::PageRight, 95, 0, 100},  // not 105
      {ScrollRequest::PageRight, 50, 0, 60},
      {ScrollRequest::PageLeft, 35, 0, 30},
      {ScrollRequest::PageLeft, 70, 0, 60},
      {ScrollRequest::ThumbPosition, 50, 77, 77},
      {ScrollRequest::ThumbTrack, 50, 31, 31},
      {ScrollRequest::Left, 50, 0, 30},
      {ScrollRequest::Right, 50, 0, 100},
      {ScrollRequest::EndScroll, 50, 99, 50},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScrolledPosition(static_cast<int>(c.request), c.position, 30, 100, c.thumb), c.expected)
        << "request " << static_cast<int>(c.request) << " at " << c.position;
  }
  EXPECT_EQ(ScrolledPosition(99, 42, 30, 100, 0), 42);  // an unknown request
}

TEST(ConfigRules, ResponseTimeLabel) {
  EXPECT_EQ(ResponseTimeText(0), L"50ms");
  EXPECT_EQ(ResponseTimeText(2), L"150ms");
  EXPECT_EQ(ResponseTimeText(19), L"1000ms");
}

}  // namespace
}  // namespace veltra
