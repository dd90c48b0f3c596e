// The panel's triggers: hot-key modes, the single-use rule and the Windows key's interval.
#include "window/key_triggers.h"

#include <gtest/gtest.h>

#include <climits>

namespace veltra {
namespace {

TEST(StateAfterTrigger, ModesEnableDisableOrToggle) {
  EXPECT_EQ(StateAfterTrigger(1, 0), 1);
  EXPECT_EQ(StateAfterTrigger(1, 1), 1);
  EXPECT_EQ(StateAfterTrigger(2, 1), 0);
  EXPECT_EQ(StateAfterTrigger(2, 0), 0);
  for (std::int32_t toggle : {0, 3, -1, 255}) {
    EXPECT_EQ(StateAfterTrigger(toggle, 0), 1);
    EXPECT_EQ(StateAfterTrigger(toggle, 1), 0);
  }
}

TEST(HotKeyModifiers, NeverRepeats) {
  EXPECT_EQ(HotKeyModifiers(6), 0x4006u);
  EXPECT_EQ(HotKeyModifiers(0), 0x4000u);
  EXPECT_EQ(HotKeyModifiers(0x4001), 0x4001u);
}

TEST(HotKeyWanted, RegisteredOnlyWhileItCanAct) {
  EXPECT_TRUE(HotKeyWanted(true, 1, 0));
  EXPECT_FALSE(HotKeyWanted(true, 1, 1));
  EXPECT_TRUE(HotKeyWanted(true, 2, 1));
  EXPECT_FALSE(HotKeyWanted(true, 2, 0));
  EXPECT_TRUE(HotKeyWanted(true, 0, 0));
  EXPECT_TRUE(HotKeyWanted(true, 7, 1));
  for (std::int32_t mode : {0, 1, 2}) {
    EXPECT_FALSE(HotKeyWanted(false, mode, 0));
    EXPECT_FALSE(HotKeyWanted(false, mode, 1));
  }
}

TEST(WinKeyDebounce, PressesWithinTheIntervalCountOnceAndExtendIt) {
  EXPECT_EQ(WinKeyResponseMs(2), 150);
  EXPECT_EQ(WinKeyResponseMs(0), 50);
  EXPECT_EQ(WinKeyResponseMs(19), 1000);

  WinKeyDebounce debounce;
  EXPECT_FALSE(debounce.Accept(100, 2));  // the previous time starts at 0
  EXPECT_TRUE(debounce.Accept(10000, 2));
  EXPECT_FALSE(debounce.Accept(10150, 2));  // exactly the interval: ignored
  EXPECT_FALSE(debounce.Accept(10300, 2));  // each ignored press moves the mark
  EXPECT_TRUE(debounce.Accept(10451, 2));
  EXPECT_EQ(debounce.last_time(), 10451);
}

TEST(WinKeyDebounce, ExtremeSettingsAndStampsDoNotOverflow) {
  WinKeyDebounce debounce;
  EXPECT_FALSE(debounce.Accept(INT_MAX, INT_MAX));
  EXPECT_TRUE(debounce.Accept(INT_MAX, INT_MIN));  // a negative interval always passes
  EXPECT_FALSE(debounce.Accept(INT_MIN, 2));       // time stamps that wrapped look older
  EXPECT_EQ(WinKeyResponseMs(INT_MAX), (static_cast<std::int64_t>(INT_MAX) + 1) * 50);
}

// In order: {at start?, indicator, slate mode, following, switch wanted}.
}  // namespace
}  // namespace veltra
