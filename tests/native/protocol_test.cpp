// The numbers other programs rely on, written out once: a renumbering here
// would cut off the watcher and older second starts.
#include "protocol/veltra_protocol.h"

#include <gtest/gtest.h>

#include <string>

namespace veltra::protocol {
namespace {

TEST(Protocol, MessageNumbersAndNamesAreTheAgreedOnes) {
  EXPECT_EQ(WM_TRAY_NOTIFY, 0x8069u);
  EXPECT_EQ(WM_SETTINGS_CHANGED, 0x806Au);
  EXPECT_EQ(WM_SET_TOUCH_STATE, 0x812Cu);
  EXPECT_EQ(std::wstring(kWinKeyMessageName), L"UWM_VELTRA-3AB6C4C3-6882-42DF-AB2F-ADB5D8731F8F");
  EXPECT_EQ(std::wstring(kWindowClass), L"VeltraAppMain");
  EXPECT_EQ(std::string(kWindowClassA), "VeltraAppMain");
  EXPECT_EQ(std::wstring(kAppMutex), L"VeltraAppMain");
  EXPECT_EQ(std::string(kWatchMutexA), "VeltraPcocDetect");
}

}  // namespace
}  // namespace veltra::protocol
