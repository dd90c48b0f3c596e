// The simulated device installer, driven through the device operations the
// program uses and, where those cannot tell failures apart, through the table
// directly. Each test writes its own device file beside the test executable
// and starts without a log.
#include <windows.h>
#include <setupapi.h>
#include <cfgmgr32.h>
#include <dbt.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "../common/sim_devices.h"
#include "../common/stand_in_window.h"
#include "device/device_api.h"
#include "device/device_control.h"
#include "sim/sim_device_api.h"
#include "sim/sim_device_tree.h"

namespace {

namespace fs = std::filesystem;
using veltra::GetDeviceState;
using veltra::SetDeviceState;

using veltra::SimDevice;
using veltra::testing::TouchScreen;
constexpr auto& kTouch = veltra::testing::kTouchId;
const std::string kTouchText(kTouch, kTouch + std::wcslen(kTouch));  // as the log writes it
constexpr wchar_t kMouse[] = L"ACPI\\PNP0F13\\4&1D54B1&0";
constexpr veltra::OsVersion kWindows10{10, 0};

class SimDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override { RemoveFiles(); }
  void TearDown() override { RemoveFiles(); }

  static fs::path IniFile() { return fs::path(veltra::SimDeviceFolder()) / L"sim_devices.ini"; }
  static fs::path LogFile() { return fs::path(veltra::SimDeviceFolder()) / L"sim_devices.log"; }
  static void RemoveFiles() {
    std::error_code ignored;
    fs::remove(IniFile(), ignored);
    fs::remove(LogFile(), ignored);
  }
  static void WriteIni(const std::vector<SimDevice>& devices) { veltra::testing::WriteSimDevices(IniFile(), devices); }
  static std::string LogText() {
    std::ifstream file(LogFile(), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }
  static bool Started(const wchar_t* id) {
    const auto device = veltra::FindSimDevice(id);
    EXPECT_TRUE(device.has_value());
    return device && device->started;
  }
};

TEST_F(SimDeviceTest, MissingDeviceCannotBeSwitchedOrRead) {
  // No file at all is an empty tree, and asking must not create one.
  EXPECT_EQ(SetDeviceState(kWindows10, kTouch, DICS_ENABLE, 0), 0);
  EXPECT_EQ(GetDeviceState(kTouch), -1);
  EXPECT_FALSE(fs::exists(IniFile()));

  WriteIni({{.id = kMouse, .setup_class = L"Mouse"}});
  EXPECT_EQ(SetDeviceState(kWindows10, kTouch, DICS_DISABLE, 0), 0);
  EXPECT_EQ(GetDeviceState(kTouch), -1);
  EXPECT_TRUE(Started(kMouse));
  EXPECT_EQ(LogText(), "");
}

TEST_F(SimDeviceTest, StateIsReadAfreshAndEveryReadLogged) {
  WriteIni({TouchScreen()});
  EXPECT_EQ(GetDeviceState(kTouch), 1);
  WriteIni({TouchScreen(kTouch, false)});  // at once, as another process might
  EXPECT_EQ(GetDeviceState(kTouch), 0);
  WriteIni({{.id = kTouch, .status_readable = false}});
  EXPECT_EQ(GetDeviceState(kTouch), -1);
  const std::string status = "STATUS " + kTouchText + "\r\n";
  EXPECT_EQ(LogText(), status + status + status);
}

// A device is read in one go, and must read as the profile functions read
// each key of a hand-written file: names without case, the first of a
// repeat, blanks and quotes around a value left out, comments skipped; a
// section without keys is a device still.
TEST_F(SimDeviceTest, AHandWrittenSectionReadsAsTheProfileFunctionsReadEachKey) {
  {
    std::ofstream file(IniFile(), std::ios::binary);
    file << "[" << kTouchText << "]\r\n; started=0\r\nDESCRIPTION =  \"Touch  panel\" \r\n"
         << "friendly_name='x'\r\nfriendly_name=second\r\nsetup_class = HID ; a comment\r\n"
         << "compatible_ids=HID_DEVICE_UP:000D_U:0004; HID_DEVICE\r\nhid_interface=1 \r\n"
         << "Disableable=0\r\nno value here\r\nstatus_readable=\r\nswitch_delay_ms=-5\r\n"
         << "refuse_change=12abc\r\nneeds_restart=\"\r\n[ROOT\\EMPTY\\0]\r\n";
  }
  const auto profile = [](const wchar_t* key) {
    wchar_t value[256] = {};
    ::GetPrivateProfileStringW(kTouch, key, L"", value, 256, IniFile().c_str());
    return std::wstring(value);
  };
  const auto number = [](const wchar_t* key, int fallback) {
    return static_cast<int>(::GetPrivateProfileIntW(kTouch, key, fallback, IniFile().c_str()));
  };
  const auto device = veltra::FindSimDevice(kTouch);
  ASSERT_TRUE(device.has_value());
  EXPECT_EQ(device->description, profile(L"description"));
  EXPECT_EQ(device->friendly_name, profile(L"friendly_name"));
  EXPECT_EQ(device->setup_class, L"HID");
  EXPECT_EQ(device->compatible_ids, (std::vector<std::wstring>{L"HID_DEVICE_UP:000D_U:0004", L"HID_DEVICE"}));
  EXPECT_EQ(device->started, number(L"started", 1) != 0);
  EXPECT_EQ(device->hid_interface, number(L"hid_interface", 0) != 0);
  EXPECT_EQ(device->disableable, number(L"disableable", 1) != 0);
  EXPECT_EQ(device->status_readable, number(L"status_readable", 1) != 0);
  EXPECT_EQ(device->refuse_change, number(L"refuse_change", 0) != 0);
  EXPECT_EQ(device->needs_restart, number(L"needs_restart", 0) != 0);
  EXPECT_EQ(device->switch_delay_ms, 0);  // cut to the range
  // The oracle's own answers, so a change of the platform's shows here.
  EXPECT_EQ(device->description, L"Touch  panel");
  EXPECT_EQ(device->friendly_name, L"x");
  EXPECT_TRUE(device->started);
  EXPECT_FALSE(device->disableable);
  EXPECT_TRUE(device->refuse_change);
  // A section without keys is an ordinary device, not one that went.
  const auto plain = veltra::FindSimDevice(L"ROOT\\EMPTY\\0");
  ASSERT_TRUE(plain.has_value());
  EXPECT_TRUE(plain->started && plain->disableable && plain->status_readable);
  EXPECT_EQ(veltra::ReadSimDevices().size(), 2U);
}

TEST_F(SimDeviceTest, SwitchingDoesWhatTheDeviceAllows) {
  const std::string change = "PROPERTYCHANGE " + kTouchText;
  const struct {
    const char* name;
    SimDevice device;
    DWORD state_change;
    int result;
    std::string log;
    bool started_after;
  } cases[] = {
      {"enable clears the global disable, then the profile one", {.id = kTouch, .started = false}, DICS_ENABLE, 1,
       change + " ENABLE GLOBAL\r\n" + change + " ENABLE CONFIGSPECIFIC\r\n", true},
      {"disable changes only the profile", {.id = kTouch}, DICS_DISABLE, 1,
       change + " DISABLE CONFIGSPECIFIC\r\n", false},
      {"a change needing a restart fails and waits for it", {.id = kTouch, .needs_restart = true}, DICS_DISABLE, 0,
       change + " DISABLE CONFIGSPECIFIC\r\n", true},
      {"a refused change fails without trace", {.id = kTouch, .started = false, .refuse_change = true}, DICS_ENABLE,
       0, "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RemoveFiles();
    WriteIni({c.device});
    EXPECT_EQ(SetDeviceState(kWindows10, kTouch, c.state_change, 0), c.result);
    EXPECT_EQ(LogText(), c.log);
    EXPECT_EQ(Started(kTouch), c.started_after);
  }
}

TEST_F(SimDeviceTest, IdsMatchWithoutRegardToCaseAndAreLoggedAsWritten) {
  WriteIni({TouchScreen()});
  const std::wstring lower = L"hid\\vid_1b96&pid_0f00&col03\\7&34568466&0&0002";
  EXPECT_EQ(SetDeviceState(kWindows10, lower, DICS_DISABLE, 0), 1);
  EXPECT_EQ(GetDeviceState(lower), 0);
  EXPECT_EQ(LogText(), "PROPERTYCHANGE " + kTouchText + " DISABLE CONFIGSPECIFIC\r\nSTATUS " + kTouchText + "\r\n");
}

int g_devnode_changes = 0;

LRESULT CALLBACK CountingProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DEVICECHANGE && wparam == DBT_DEVNODES_CHANGED && lparam == 0) ++g_devnode_changes;
  return ::DefWindowProcW(window, message, wparam, lparam);
}

// Dispatches this thread's messages for at most `rounds` short waits, or
// until `wanted` notifications came; returns how many did.
int PumpNotifications(int wanted, int rounds) {
  g_devnode_changes = 0;
  for (int round = 0; round < rounds && g_devnode_changes < wanted; ++round) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    if (g_devnode_changes < wanted) ::Sleep(10);
  }
  return g_devnode_changes;
}

TEST_F(SimDeviceTest, TopLevelWindowsHearOnlyOfActualChanges) {
  // Hidden but top-level: broadcasts reach it, as they reach the program's.
  const std::unique_ptr<std::remove_pointer_t<HWND>, decltype(&::DestroyWindow)> window(
      veltra::testing::CreateStandInWindow(L"VeltraSimDeviceTestWindow", &CountingProcedure), &::DestroyWindow);
  ASSERT_NE(window, nullptr);

  WriteIni({TouchScreen()});
  ASSERT_EQ(SetDeviceState(kWindows10, kTouch, DICS_DISABLE, 0), 1);
  EXPECT_EQ(PumpNotifications(1, 100), 1);
  ASSERT_EQ(SetDeviceState(kWindows10, kTouch, DICS_DISABLE, 0), 1);  // already disabled
  EXPECT_EQ(PumpNotifications(1, 20), 0);
  ASSERT_EQ(SetDeviceState(kWindows10, kTouch, DICS_ENABLE, 0), 1);  // second pass finds it started
  EXPECT_EQ(PumpNotifications(2, 20), 1);

  WriteIni({{.id = kTouch, .needs_restart = true}});
  ASSERT_EQ(SetDeviceState(kWindows10, kTouch, DICS_DISABLE, 0), 0);
  EXPECT_EQ(PumpNotifications(1, 20), 0);
}

// Through the table, for the failures the operations reduce to 0 or -1.
class SimDeviceTableTest : public SimDeviceTest {
 protected:
  const veltra::DeviceApi& api = veltra::SimDeviceApi();
  const std::unique_ptr<void, BOOL(WINAPI*)(HDEVINFO)> list{
      api.create_device_info_list_ex(nullptr, nullptr, nullptr, nullptr), api.destroy_device_info_list};

  static SP_DEVINFO_DATA Element() {
    SP_DEVINFO_DATA element{};
    element.cbSize = sizeof(element);
    return element;
  }
  static DWORD Error() { return ::GetLastError(); }
};

TEST_F(SimDeviceTableTest, ListsHoldOpenedDevicesWithClassAndStableNode) {
  WriteIni({TouchScreen(), {.id = kMouse, .setup_class = L"Mouse"}});
  EXPECT_FALSE(api.open_device_info(list.get(), L"HID\\NO_SUCH_DEVICE\\0", nullptr, 0, nullptr));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_NO_SUCH_DEVINST));
  ASSERT_TRUE(api.open_device_info(list.get(), kTouch, nullptr, 0, nullptr));
  ASSERT_TRUE(api.open_device_info(list.get(), kMouse, nullptr, 0, nullptr));

  const GUID hid_class{0x745a17a0, 0x74d3, 0x11d0, {0xb6, 0xfe, 0x00, 0xa0, 0xc9, 0x0f, 0x57, 0xda}};
  SP_DEVINFO_DATA touch = Element(), mouse = Element(), past_end = Element();
  ASSERT_TRUE(api.enum_device_info(list.get(), 0, &touch));
  ASSERT_TRUE(api.enum_device_info(list.get(), 1, &mouse));
  EXPECT_FALSE(api.enum_device_info(list.get(), 2, &past_end));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
  EXPECT_TRUE(IsEqualGUID(touch.ClassGuid, hid_class));
  EXPECT_FALSE(IsEqualGUID(mouse.ClassGuid, hid_class));
  EXPECT_NE(touch.DevInst, 0u);
  EXPECT_NE(touch.DevInst, mouse.DevInst);

  // Another list, another spelling: the same device node.
  const HDEVINFO other = api.create_device_info_list_ex(nullptr, nullptr, nullptr, nullptr);
  EXPECT_NE(other, list.get());
  EXPECT_NE(other, INVALID_HANDLE_VALUE);
  EXPECT_NE(other, nullptr);
  SP_DEVINFO_DATA again = Element();
  EXPECT_TRUE(api.open_device_info(other, L"hid\\vid_1b96&pid_0f00&col03\\7&34568466&0&0002", nullptr, 0, &again));
  EXPECT_EQ(again.DevInst, touch.DevInst);
  EXPECT_TRUE(api.destroy_device_info_list(other));
  EXPECT_FALSE(api.destroy_device_info_list(other));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(SimDeviceTableTest, PropertyChangeNeedsAnElementOfTheListAndParameters) {
  WriteIni({TouchScreen()});
  SP_PROPCHANGE_PARAMS change{};
  change.ClassInstallHeader.cbSize = sizeof(SP_CLASSINSTALL_HEADER);
  change.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
  change.StateChange = DICS_DISABLE;
  change.Scope = DICS_FLAG_CONFIGSPECIFIC;

  // What the device code holds after enumerating a list that found nothing;
  // it names no element, before and after the list has one.
  SP_DEVINFO_DATA nothing = Element();
  EXPECT_FALSE(api.set_class_install_params(list.get(), &nothing, &change.ClassInstallHeader, sizeof(change)));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  SP_DEVINFO_DATA touch = Element();
  ASSERT_TRUE(api.open_device_info(list.get(), kTouch, nullptr, 0, &touch));
  EXPECT_FALSE(api.set_class_install_params(list.get(), &nothing, &change.ClassInstallHeader, sizeof(change)));

  EXPECT_FALSE(api.call_class_installer(DIF_PROPERTYCHANGE, list.get(), &touch));  // nothing set yet
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  ASSERT_TRUE(api.set_class_install_params(list.get(), &touch, &change.ClassInstallHeader, sizeof(change)));
  EXPECT_TRUE(api.call_class_installer(DIF_REGISTERDEVICE, list.get(), &touch));
  EXPECT_EQ(LogText(), "") << "only a property change acts on the device";

  WriteIni({TouchScreen(kMouse)});  // the device left between opening and changing
  EXPECT_FALSE(api.call_class_installer(DIF_PROPERTYCHANGE, list.get(), &touch));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_NO_SUCH_DEVINST));
}

TEST_F(SimDeviceTableTest, DevNodeStatusReportsTheFileOrWhyNot) {
  WriteIni({TouchScreen(kTouch, false)});
  SP_DEVINFO_DATA touch = Element();
  ASSERT_TRUE(api.open_device_info(list.get(), kTouch, nullptr, 0, &touch));

  ULONG status = 0xDEAD, problem = 0xBEEF;
  EXPECT_EQ(api.get_devnode_status_ex(&status, nullptr, touch.DevInst, 0, nullptr), CONFIGRET{CR_INVALID_POINTER});
  EXPECT_EQ(api.get_devnode_status_ex(&status, &problem, 0, 0, nullptr), CONFIGRET{CR_INVALID_DEVNODE});
  EXPECT_EQ(status, 0xDEADu);
  EXPECT_EQ(problem, 0xBEEFu);

  ASSERT_EQ(api.get_devnode_status_ex(&status, &problem, touch.DevInst, 0, nullptr), CONFIGRET{CR_SUCCESS});
  EXPECT_EQ(status, ULONG{DN_DRIVER_LOADED | DN_DISABLEABLE});
  EXPECT_EQ(problem, ULONG{CM_PROB_DISABLED});
  WriteIni({{.id = kTouch, .disableable = false}});
  ASSERT_EQ(api.get_devnode_status_ex(&status, &problem, touch.DevInst, 0, nullptr), CONFIGRET{CR_SUCCESS});
  EXPECT_EQ(status, ULONG{DN_DRIVER_LOADED | DN_STARTED});
  EXPECT_EQ(problem, 0u);

  WriteIni({TouchScreen(kMouse)});
  EXPECT_EQ(api.get_devnode_status_ex(&status, &problem, touch.DevInst, 0, nullptr), CONFIGRET{CR_NO_SUCH_DEVINST});
}

// The enumeration calls: which devices a set holds, and how identifiers
// and properties are read, size query first, as from the platform.
TEST_F(SimDeviceTableTest, ClassDevsHoldTheRequestedDevicesInFileOrder) {
  const std::wstring kPen = L"HID\\VID_2222&PID_0001\\1&0", kKeyboard = L"HID\\VID_3333&PID_0001&MI_00\\1&0";
  WriteIni({TouchScreen(), {.id = kMouse, .setup_class = L"Mouse"}, {.id = kPen, .setup_class = L"HID"},
            {.id = kKeyboard, .setup_class = L"Keyboard", .hid_interface = true}});
  GUID hid_interface{};
  ASSERT_TRUE(api.get_hid_guid(&hid_interface));
  const GUID hid_class{0x745a17a0, 0x74d3, 0x11d0, {0xb6, 0xfe, 0x00, 0xa0, 0xc9, 0x0f, 0x57, 0xda}};
  const GUID keyboard_interface{0x884b96c3, 0x56ef, 0x11d1, {0xbc, 0x8c, 0x00, 0xa0, 0xc9, 0x14, 0x05, 0xdd}};
  const struct {
    const char* name;
    const GUID* guid;
    const wchar_t* enumerator;
    DWORD flags;
    std::vector<std::wstring> ids;
  } cases[] = {
      {"HID interface", &hid_interface, nullptr, DIGCF_DEVICEINTERFACE, {kTouch, kKeyboard}},
      {"interface of one instance", &hid_interface, L"hid\\vid_3333&pid_0001&mi_00\\1&0", DIGCF_DEVICEINTERFACE,
       {kKeyboard}},
      {"another interface", &keyboard_interface, nullptr, DIGCF_DEVICEINTERFACE, {}},
      {"all classes", nullptr, nullptr, DIGCF_ALLCLASSES, {kTouch, kMouse, kPen, kKeyboard}},
      {"all classes of one bus", nullptr, L"ACPI", DIGCF_ALLCLASSES, {kMouse}},
      {"HID setup class, all present", &hid_class, nullptr, DIGCF_PRESENT, {kTouch, kPen}},
      {"HID setup class of one device", &hid_class, L"HID\\VID_2222&PID_0001", 0, {kPen}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::unique_ptr<void, BOOL(WINAPI*)(HDEVINFO)> set{
        api.get_class_devs(c.guid, c.enumerator, nullptr, c.flags), api.destroy_device_info_list};
    ASSERT_NE(set.get(), INVALID_HANDLE_VALUE);
    std::vector<std::wstring> ids;
    SP_DEVINFO_DATA element = Element();
    for (DWORD i = 0; api.enum_device_info(set.get(), i, &element); ++i) {
      wchar_t id[MAX_DEVICE_ID_LEN];
      ASSERT_TRUE(api.get_device_instance_id(set.get(), &element, id, MAX_DEVICE_ID_LEN, nullptr));
      ids.emplace_back(id);
    }
    EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
    EXPECT_EQ(ids, c.ids);
  }
  EXPECT_EQ(api.get_class_devs(nullptr, nullptr, nullptr, DIGCF_DEVICEINTERFACE), INVALID_HANDLE_VALUE);
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(SimDeviceTableTest, IdentifiersAndPropertiesAnswerSizeQueries) {
  SimDevice spaced = TouchScreen();
  spaced.compatible_ids = {L"HID_DEVICE_UP:000D_U:0004 ", L" HID_DEVICE"};  // blanks around the separator
  WriteIni({spaced, TouchScreen(kMouse)});
  SP_DEVINFO_DATA touch = Element(), mouse = Element();
  ASSERT_TRUE(api.open_device_info(list.get(), kTouch, nullptr, 0, &touch));
  ASSERT_TRUE(api.open_device_info(list.get(), kMouse, nullptr, 0, &mouse));

  // Identifiers count characters, the terminating NUL included.
  DWORD required = 0;
  EXPECT_FALSE(api.get_device_instance_id(list.get(), &touch, nullptr, 0, &required));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  ASSERT_EQ(required, std::size(kTouch));
  std::wstring id(required, L'#');
  ASSERT_TRUE(api.get_device_instance_id(list.get(), &touch, id.data(), required, nullptr));
  EXPECT_EQ(id, std::wstring(kTouch, std::size(kTouch)));

  // Properties count bytes and come with their type. The value is read
  // into one character more than it needs, which must keep its '#'.
  const auto read = [&](SP_DEVINFO_DATA& element, DWORD property, DWORD& type) -> std::wstring {
    DWORD bytes = 0;
    if (api.get_device_registry_property(list.get(), &element, property, &type, nullptr, 0, &bytes)) return L"?";
    if (Error() != ERROR_INSUFFICIENT_BUFFER) return L"error " + std::to_wstring(Error());
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'#');
    if (api.get_device_registry_property(list.get(), &element, property, &type, reinterpret_cast<PBYTE>(value.data()),
                                         bytes - 1, nullptr) ||
        Error() != ERROR_INSUFFICIENT_BUFFER || value != std::wstring(value.size(), L'#')) {
      return L"one byte short was not refused";
    }
    if (!api.get_device_registry_property(list.get(), &element, property, &type,
                                          reinterpret_cast<PBYTE>(value.data()), bytes, nullptr)) {
      return L"read failed";
    }
    return value;
  };
  using namespace std::string_literals;
  DWORD type = 0;
  EXPECT_EQ(read(touch, SPDRP_DEVICEDESC, type), L"HID-compliant touch screen\0#"s);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(read(touch, SPDRP_COMPATIBLEIDS, type), L"HID_DEVICE_UP:000D_U:0004\0HID_DEVICE\0\0#"s);
  EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));
  // Absent: an empty friendly name, no compatible identifiers, a property
  // the file does not describe.
  const std::wstring absent = L"error " + std::to_wstring(ERROR_INVALID_DATA);
  EXPECT_EQ(read(touch, SPDRP_FRIENDLYNAME, type), absent);
  EXPECT_EQ(read(mouse, SPDRP_COMPATIBLEIDS, type), absent);
  EXPECT_EQ(read(touch, SPDRP_HARDWAREID, type), absent);
}

}  // namespace
