// The numbers other programs rely on, written out once: a renumbering here
// would cut off the watcher and older second starts.
#include "protocol/veltra_protocol.h"

#include <gtest/gtest.h>

#include "base/peer_rules.h"
#include "protocol/instance_names.h"

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

// Inside the private namespace the single-instance names carry the session
// (the namespace spans sessions); outside it they are today's, so older
// versions and the tests' stand-ins still meet them.
TEST(Protocol, InstanceNamesFollowWhatThePlatformOffers) {
  const InstanceNames shared = ChooseInstanceNames(false, 3, 4242);
  EXPECT_EQ(shared.app_mutex, L"VeltraAppMain");
  EXPECT_EQ(shared.watch_mutex, L"VeltraPcocDetect");
  EXPECT_EQ(shared.exit_request, L"Global\\VeltraExitRequest-4242");
  const InstanceNames own = ChooseInstanceNames(true, 3, 4242);
  EXPECT_EQ(own.app_mutex, L"Veltra\\VeltraAppMain-3");
  EXPECT_EQ(own.watch_mutex, L"Veltra\\VeltraPcocDetect-3");
  EXPECT_EQ(own.exit_request, L"Veltra\\VeltraExitRequest-4242");
  EXPECT_EQ(ChooseInstanceNames(true, 0, 1).app_mutex, L"Veltra\\VeltraAppMain-0");

  EXPECT_EQ(ExitRequestNamesToTry(true, 7),
            (std::vector<std::wstring>{L"Veltra\\VeltraExitRequest-7", L"Global\\VeltraExitRequest-7"}));
  EXPECT_EQ(ExitRequestNamesToTry(false, 7), (std::vector<std::wstring>{L"Global\\VeltraExitRequest-7"}));
}

TEST(Protocol, APeerCountsByItsFileAndByElevationWhereThisProcessIsElevated) {
  using base::Elevation;
  struct Row {
    bool runs_our_file;
    Elevation self, peer;
    bool counts;
  };
  const Row rows[] = {
      {false, Elevation::Elevated, Elevation::Elevated, false},
      {false, Elevation::Unknown, Elevation::Unknown, false},
      {true, Elevation::Elevated, Elevation::Elevated, true},
      {true, Elevation::Elevated, Elevation::Limited, false},  // started with RunAsInvoker
      {true, Elevation::Elevated, Elevation::Unknown, false},
      {true, Elevation::Limited, Elevation::Limited, true},
      {true, Elevation::Limited, Elevation::Elevated, true},
      {true, Elevation::Unknown, Elevation::Limited, true},  // cannot tell: the image decides
  };
  for (const Row& row : rows) {
    EXPECT_EQ(base::PeerCounts(row.runs_our_file, row.self, row.peer), row.counts)
        << row.runs_our_file << static_cast<int>(row.self) << static_cast<int>(row.peer);
  }
}

}  // namespace
}  // namespace veltra::protocol
