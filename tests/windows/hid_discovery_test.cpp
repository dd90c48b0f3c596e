// EnumerateHidDevices over the simulated device tree, over tables whose
// device sets cannot be made, and once over the platform's own installer.
#include "device/hid_discovery.h"

#include <windows.h>
#include <setupapi.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "../common/sim_devices.h"
#include "base/ascii.h"
#include "device/device_api.h"
#include "sim/sim_device_api.h"
#include "sim/sim_device_tree.h"

namespace veltra {
namespace {

namespace fs = std::filesystem;

const std::wstring kLongTail(300, L'8');
const std::wstring kLongName = L"Dock " + std::wstring(2000, L'b');

// Each way a device is left out, in both passes, between the ones listed;
// the last one's identifier and name outgrow any first guess of a buffer.
const SimDevice kTree[] = {
    {.id = L"hid\\vid_0001&pid_a000&col01\\1&aaaa&0&0000", .description = L"HID-compliant touch screen",
     .friendly_name = L"Front panel", .compatible_ids = {L"HID\\VID_0001&PID_A000&COL01", L"hid_device_up:000d_u:0004"},
     .setup_class = L"HID", .hid_interface = true},
    {.id = L"HID\\VID_0002&PID_B000\\2&BBBB&0&0000", .description = L"Consumer control", .setup_class = L"HID"},
    {.id = L"HID\\VID_0041&PID_D000\\41&0", .description = L"Fixed", .setup_class = L"HID", .hid_interface = true,
     .disableable = false},
    {.id = L"HID\\VID_0003&PID_C000&COL02\\3&CCCC&0&0001", .description = L"HID-compliant pen",
     .compatible_ids = {L"HID_DEVICE_UP:000D_U:0002", L"HID_DEVICE_UP:000D_U:00040"}, .setup_class = L"HID",
     .hid_interface = true},
    {.id = L"HID\\VID_0052&PID_E000\\52&0", .description = L"Unreadable", .setup_class = L"HID",
     .status_readable = false},
    {.id = L"ACPI\\PNP0F13\\4&1D54B1&0", .description = L"PS/2 mouse", .setup_class = L"Mouse"},
    {.id = L"HID\\VID_0007&PID_7000&MI_00\\7&GGGG&0&0000", .description = L"HID Keyboard Device",
     .setup_class = L"Keyboard", .hid_interface = true},
    {.id = L"HID\\VID_0042&PID_D000\\42&0", .description = L"Fixed", .setup_class = L"HID", .disableable = false},
    {.id = L"HID\\VID_0051&PID_E000\\51&0", .description = L"Unreadable", .setup_class = L"HID", .hid_interface = true,
     .status_readable = false},
    {.id = L"hid\\vid_0008&pid_8000\\" + kLongTail, .friendly_name = kLongName, .setup_class = L"HID"},
};

const std::wstring kA = L"HID\\VID_0001&PID_A000&COL01\\1&AAAA&0&0000 | HID-compliant touch screen (Front panel) | touch";
const std::wstring kC = L"HID\\VID_0003&PID_C000&COL02\\3&CCCC&0&0001 | HID-compliant pen | -";
const std::wstring kG = L"HID\\VID_0007&PID_7000&MI_00\\7&GGGG&0&0000 | HID Keyboard Device | -";
const std::wstring kH = L"HID\\VID_0008&PID_8000\\" + kLongTail + L" |  (" + kLongName + L") | -";

// One line per element, so a wrong, missing or extra field shows at once.
std::vector<std::wstring> Rows(const DeviceList& list) {
  std::vector<std::wstring> rows;
  for (const HidDevice& d : list) {
    rows.push_back(d.id + L" | " + d.description + (d.touch_screen ? L" | touch" : L" | -"));
  }
  return rows;
}

// The recording table: the simulated one, with device sets that can be
// made to fail and that are counted until destroyed.
struct Recorder {
  bool interface_set_fails = false;
  bool class_set_fails = false;
  std::vector<std::string> requests;
  int open_sets = 0;
};
Recorder* g_recorder = nullptr;

HDEVINFO WINAPI RecordingGetClassDevs(const GUID* guid, PCWSTR enumerator, HWND parent, DWORD flags) {
  GUID hid_interface{};
  SimDeviceApi().get_hid_guid(&hid_interface);
  g_recorder->requests.push_back((guid == nullptr                        ? "no GUID"
                                  : IsEqualGUID(*guid, hid_interface) ? "HID interface"
                                                                       : "other GUID") +
                                 std::string(", flags ") + std::to_string(flags));
  if ((g_recorder->interface_set_fails && (flags & DIGCF_DEVICEINTERFACE) != 0) ||
      (g_recorder->class_set_fails && (flags & DIGCF_ALLCLASSES) != 0)) {
    ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return INVALID_HANDLE_VALUE;
  }
  const HDEVINFO set = SimDeviceApi().get_class_devs(guid, enumerator, parent, flags);
  if (set != INVALID_HANDLE_VALUE) ++g_recorder->open_sets;
  return set;
}
BOOL WINAPI CountingDestroy(HDEVINFO set) {
  const BOOL destroyed = SimDeviceApi().destroy_device_info_list(set);
  if (destroyed) --g_recorder->open_sets;
  return destroyed;
}
bool NoHidDll(GUID*) { return false; }

class HidDiscoveryTest : public ::testing::Test {
 protected:
  HidDiscoveryTest() {
    g_recorder = &recorder_;
    api_.get_class_devs = &RecordingGetClassDevs;
    api_.destroy_device_info_list = &CountingDestroy;
  }
  ~HidDiscoveryTest() override { g_recorder = nullptr; }
  void SetUp() override {
    RemoveFiles();
    testing::WriteSimDevices(IniFile(), {std::begin(kTree), std::end(kTree)});
  }
  void TearDown() override { RemoveFiles(); }

  static fs::path IniFile() { return fs::path(SimDeviceFolder()) / L"sim_devices.ini"; }
  static void RemoveFiles() {
    std::error_code ignored;
    fs::remove(IniFile(), ignored);
    fs::remove(fs::path(SimDeviceFolder()) / L"sim_devices.log", ignored);
  }

  // Runs the discovery over the recording table; returns the messages.
  std::vector<std::wstring> Enumerate(DeviceList& list) {
    const ScopedDeviceApi scoped(api_);
    std::vector<std::wstring> failures;
    EnumerateHidDevices(list, [&](const std::wstring& message) { failures.push_back(message); });
    return failures;
  }

  Recorder recorder_;
  DeviceApi api_ = SimDeviceApi();
};

using Lines = std::vector<std::wstring>;
using Requests = std::vector<std::string>;

// The list starts with entries for A and B: the interface pass lists A
// again, the class pass skips both. Each pass goes on without the other,
// and the lists keep what was there and what was gathered.
TEST_F(HidDiscoveryTest, InterfacePassThenUnlistedClassDevices) {
  const std::wstring kEarlierA = L"HID\\VID_0001&PID_A000&COL01\\1&AAAA&0&0000 | earlier | -";
  const std::wstring kEarlierB = L"HID\\VID_0002&PID_B000\\2&BBBB&0&0000 | earlier | touch";
  const std::wstring kNoInterfaceSet = L"SetupDiGetClassDevs(HID) INVALID HANDLE!";
  const std::wstring kNoClassSet = L"SetupDiGetClassDevs(NULL) INVALID HANDLE!";
  const Requests kBoth{"HID interface, flags 16", "no GUID, flags 4"};
  const struct {
    const char* name;
    bool interface_set_fails, class_set_fails, hid_dll;
    Lines messages, rows;
    Requests requests;
  } cases[] = {
      // A, C and the HID keyboard by interface, then H, a HID-class device
      // without it; the rest are not disableable, unreadable, or of another
      // setup class without the interface.
      {"both passes", false, false, true, {}, {kEarlierA, kEarlierB, kA, kC, kG, kH}, kBoth},
      {"no interface set", true, false, true, {kNoInterfaceSet}, {kEarlierA, kEarlierB, kC, kH}, kBoth},
      {"no class set", false, true, true, {kNoClassSet}, {kEarlierA, kEarlierB, kA, kC, kG}, kBoth},
      {"neither set", true, true, true, {kNoInterfaceSet, kNoClassSet}, {kEarlierA, kEarlierB}, kBoth},
      {"no HID.DLL: the class pass alone, silently", false, false, false, {}, {kEarlierA, kEarlierB, kC, kH},
       {"no GUID, flags 4"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    recorder_ = Recorder{c.interface_set_fails, c.class_set_fails, {}, 0};
    api_.get_hid_guid = c.hid_dll ? SimDeviceApi().get_hid_guid : &NoHidDll;
    DeviceList list{{L"HID\\VID_0001&PID_A000&COL01\\1&AAAA&0&0000", L"earlier"},
                    {L"HID\\VID_0002&PID_B000\\2&BBBB&0&0000", L"earlier", true}};
    EXPECT_EQ(Enumerate(list), c.messages);
    EXPECT_EQ(Rows(list), c.rows);
    EXPECT_EQ(recorder_.requests, c.requests);
    EXPECT_EQ(recorder_.open_sets, 0) << "every device set made is destroyed";
  }
}

// The platform's own installer over Wine's device tree, whatever it holds.
TEST(HidDiscoveryOnThePlatform, ListsOnlyIdentifiedDevicesOnce) {
  GUID platform{}, simulated{};
  ASSERT_TRUE(RealDeviceApi().get_hid_guid(&platform)) << "HID.DLL and HidD_GetHidGuid are part of the system";
  ASSERT_TRUE(SimDeviceApi().get_hid_guid(&simulated));
  EXPECT_TRUE(IsEqualGUID(platform, simulated));

  const ScopedDeviceApi real(RealDeviceApi());
  DeviceList list;
  std::vector<std::wstring> failures;
  EnumerateHidDevices(list, [&](const std::wstring& message) { failures.push_back(message); });
  EXPECT_EQ(failures, Lines{});
  std::set<std::wstring> seen;
  for (const auto& [id, description, touch_screen] : list) {
    EXPECT_FALSE(id.empty());
    EXPECT_EQ(id, base::UpperCaseAscii(id));
    EXPECT_TRUE(seen.insert(id).second) << "listed twice";
  }
}

}  // namespace
}  // namespace veltra
