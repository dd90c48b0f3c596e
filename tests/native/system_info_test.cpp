// Which touch-input line the digitizer flags call for.
#include "device/system_info.h"

#include <gtest/gtest.h>

#include "resources/resource.h"

namespace veltra {
namespace {

TEST(SystemInfo, EachRowOfTheDigitizerFlagsPicksItsTextAndOnlyMultiTouchShowsTheCount) {
  // Not ready: whatever else is set, no touch input.
  EXPECT_EQ(DescribeTouchInput(0, 10), (TouchInfoText{IDS_SYSINFO_NO_TOUCH, std::nullopt}));
  EXPECT_EQ(DescribeTouchInput(0x40 | 0x01, 10), (TouchInfoText{IDS_SYSINFO_NO_TOUCH, std::nullopt}));
  // Ready and multi-input: the count of touch points, touch bits or not.
  EXPECT_EQ(DescribeTouchInput(0x80 | 0x40, 10), (TouchInfoText{IDS_SYSINFO_MULTI_TOUCH, 10}));
  EXPECT_EQ(DescribeTouchInput(0x80 | 0x40 | 0x01, 2), (TouchInfoText{IDS_SYSINFO_MULTI_TOUCH, 2}));
  // Ready, single input: an integrated or an external touch digitizer.
  EXPECT_EQ(DescribeTouchInput(0x80 | 0x01, 10), (TouchInfoText{IDS_SYSINFO_DIGITIZER, std::nullopt}));
  EXPECT_EQ(DescribeTouchInput(0x80 | 0x02, 10), (TouchInfoText{IDS_SYSINFO_DIGITIZER, std::nullopt}));
  // Ready, single input, a pen only (integrated 0x04, external 0x08).
  EXPECT_EQ(DescribeTouchInput(0x80, 10), (TouchInfoText{IDS_SYSINFO_NO_DIGITIZER, std::nullopt}));
  EXPECT_EQ(DescribeTouchInput(0x80 | 0x04 | 0x08, 10), (TouchInfoText{IDS_SYSINFO_NO_DIGITIZER, std::nullopt}));
}

TEST(SystemInfo, TheMultiTouchFormatTakesThePrefixAndTheCountTheOtherRowsFollowThePrefix) {
  const std::wstring prefix = L"System info : ";
  EXPECT_EQ(TouchInfoLine(prefix, L"%sTouch Supoort with %d Touch Points.", 10),
            L"System info : Touch Supoort with 10 Touch Points.");
  EXPECT_EQ(TouchInfoLine(prefix, L"%s%dタッチ ポイントでWindowsタッチをサポート。", 256),
            L"System info : 256タッチ ポイントでWindowsタッチをサポート。");
  // A plain row is not a format: a percent sign in it stays.
  EXPECT_EQ(TouchInfoLine(prefix, L"touch digitizer was detected.", std::nullopt),
            L"System info : touch digitizer was detected.");
  EXPECT_EQ(TouchInfoLine(L"100% ", L"%d%s", 2), L"2100% ");
}

}  // namespace
}  // namespace veltra
