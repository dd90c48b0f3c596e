// SetDeviceState and GetDeviceState step by step over a recording fake of
// the device installer, and once over the real one.
#include "device/device_control.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/device_api.h"

namespace veltra {
namespace {

// What the fake installer does and what it saw. One instance per test.
struct FakeInstaller {
  // Behaviour.
  bool create_fails = false;
  bool device_present = true;
  bool detail_fails = false;
  bool global_set_fails = false;
  bool config_call_fails = false;
  bool install_params_fail = false;
  DWORD install_flags = 0;
  CONFIGRET status_result = CR_SUCCESS;
  ULONG status = DN_STARTED | DN_DISABLEABLE;
  // Observations.
  std::vector<std::string> calls;
  std::vector<SP_PROPCHANGE_PARAMS> params;
  std::vector<DWORD> param_sizes;
  std::wstring opened_path;
  int destroyed = 0;
  std::vector<OsVersion> refreshes;
  DEVINST status_devinst = 0;
  HMACHINE status_machine = reinterpret_cast<HMACHINE>(1);
};

FakeInstaller* g_fake = nullptr;
const HDEVINFO kList = reinterpret_cast<HDEVINFO>(0x1234);
constexpr DEVINST kDevInst = 77;

HDEVINFO WINAPI FakeCreate(const GUID*, HWND, PCWSTR, PVOID) {
  g_fake->calls.push_back("create");
  return g_fake->create_fails ? INVALID_HANDLE_VALUE : kList;
}
WINBOOL WINAPI FakeOpen(HDEVINFO, PCWSTR path, HWND, DWORD, PSP_DEVINFO_DATA) {
  g_fake->calls.push_back("open");
  g_fake->opened_path = path;
  return g_fake->device_present;
}
WINBOOL WINAPI FakeDetail(HDEVINFO, PSP_DEVINFO_LIST_DETAIL_DATA_W detail) {
  g_fake->calls.push_back("detail");
  if (g_fake->detail_fails || detail->cbSize != sizeof(*detail)) return FALSE;
  detail->RemoteMachineHandle = nullptr;
  return TRUE;
}
WINBOOL WINAPI FakeEnum(HDEVINFO, DWORD index, PSP_DEVINFO_DATA element) {
  g_fake->calls.push_back("enum");
  if (!g_fake->device_present || index != 0 || element->cbSize != sizeof(*element)) return FALSE;
  element->DevInst = kDevInst;
  return TRUE;
}
WINBOOL WINAPI FakeSetParams(HDEVINFO, PSP_DEVINFO_DATA element, PSP_CLASSINSTALL_HEADER header, DWORD size) {
  const auto* p = reinterpret_cast<const SP_PROPCHANGE_PARAMS*>(header);
  g_fake->calls.push_back(p->Scope == DICS_FLAG_GLOBAL ? "set-global" : "set-config");
  g_fake->params.push_back(*p);
  g_fake->param_sizes.push_back(size);
  if (element->DevInst != kDevInst) return FALSE;  // the empty element of a missing device
  return !(g_fake->global_set_fails && p->Scope == DICS_FLAG_GLOBAL);
}
WINBOOL WINAPI FakeCall(DI_FUNCTION function, HDEVINFO, PSP_DEVINFO_DATA) {
  g_fake->calls.push_back(function == DIF_PROPERTYCHANGE ? "call" : "call-other");
  const bool config_pass = g_fake->params.back().Scope == DICS_FLAG_CONFIGSPECIFIC;
  return !(g_fake->config_call_fails && config_pass);
}
WINBOOL WINAPI FakeInstallParams(HDEVINFO, PSP_DEVINFO_DATA, PSP_DEVINSTALL_PARAMS_W install) {
  g_fake->calls.push_back("install-params");
  if (g_fake->install_params_fail || install->cbSize != sizeof(*install)) return FALSE;
  install->Flags = g_fake->install_flags;
  return TRUE;
}
WINBOOL WINAPI FakeDestroy(HDEVINFO list) {
  g_fake->calls.push_back("destroy");
  if (list == kList) ++g_fake->destroyed;
  return TRUE;
}
CONFIGRET WINAPI FakeStatus(PULONG status, PULONG problem, DEVINST devinst, ULONG, HMACHINE machine) {
  g_fake->calls.push_back("status");
  g_fake->status_devinst = devinst;
  g_fake->status_machine = machine;
  if (*status != 0 || *problem != 0) return CR_FAILURE;  // outputs must be preset to 0
  if (g_fake->status_result != CR_SUCCESS) return g_fake->status_result;
  if (devinst != kDevInst) return CR_INVALID_DEVNODE;
  *status = g_fake->status;
  return CR_SUCCESS;
}
int FakeRefresh(OsVersion version) {
  g_fake->refreshes.push_back(version);
  return 1;
}

// The HID discovery's slots stay empty: the switching code must not use them.
const DeviceApi kFakeApi{&FakeCreate, &FakeOpen,          &FakeDetail,  &FakeEnum,   &FakeSetParams,
                         &FakeCall,   &FakeInstallParams, &FakeDestroy, &FakeStatus, nullptr,
                         nullptr,     nullptr,            nullptr,      nullptr,     &FakeRefresh};

class DeviceControl : public ::testing::Test {
 protected:
  DeviceControl() : scoped_(kFakeApi) { g_fake = &fake_; }
  ~DeviceControl() override { g_fake = nullptr; }

  int Set(DWORD change, int redraw = 0) { return SetDeviceState({10, 0}, L"HID\\DEV", change, redraw); }

  FakeInstaller fake_;
  ScopedDeviceApi scoped_;
};

using Calls = std::vector<std::string>;

TEST_F(DeviceControl, EnableRunsTheGlobalPassBeforeTheConfigSpecificOne) {
  EXPECT_EQ(Set(DICS_ENABLE), 1);
  EXPECT_EQ(fake_.calls, (Calls{"create", "open", "detail", "enum", "set-global", "call", "set-config", "call",
                                "install-params", "destroy"}));
  EXPECT_EQ(fake_.opened_path, L"HID\\DEV");
  ASSERT_EQ(fake_.params.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(fake_.params[i].ClassInstallHeader.cbSize, sizeof(SP_CLASSINSTALL_HEADER));
    EXPECT_EQ(fake_.params[i].ClassInstallHeader.InstallFunction, static_cast<DI_FUNCTION>(0x12));
    EXPECT_EQ(fake_.params[i].StateChange, static_cast<DWORD>(DICS_ENABLE));
    EXPECT_EQ(fake_.params[i].HwProfile, 0u);
    EXPECT_EQ(fake_.param_sizes[i], sizeof(SP_PROPCHANGE_PARAMS));
  }
  EXPECT_EQ(fake_.params[0].Scope, static_cast<DWORD>(DICS_FLAG_GLOBAL));
  EXPECT_EQ(fake_.params[1].Scope, static_cast<DWORD>(DICS_FLAG_CONFIGSPECIFIC));
}

TEST_F(DeviceControl, DisableUsesOnlyTheConfigSpecificScope) {
  EXPECT_EQ(Set(DICS_DISABLE), 1);
  EXPECT_EQ(fake_.calls, (Calls{"create", "open", "detail", "enum", "set-config", "call", "install-params", "destroy"}));
  ASSERT_EQ(fake_.params.size(), 1u);
  EXPECT_EQ(fake_.params[0].StateChange, static_cast<DWORD>(DICS_DISABLE));
}

TEST_F(DeviceControl, GlobalPassFailureDoesNotDecide) {
  fake_.global_set_fails = true;
  EXPECT_EQ(Set(DICS_ENABLE), 1);
  EXPECT_EQ(fake_.calls, (Calls{"create", "open", "detail", "enum", "set-global", "set-config", "call",
                                "install-params", "destroy"}));
}

TEST_F(DeviceControl, ConfigSpecificFailureGivesZeroAndStillDestroysTheList) {
  fake_.config_call_fails = true;
  EXPECT_EQ(Set(DICS_DISABLE), 0);
  EXPECT_EQ(fake_.destroyed, 1);
  EXPECT_EQ(fake_.calls.back(), "destroy");
  EXPECT_EQ(std::count(fake_.calls.begin(), fake_.calls.end(), "install-params"), 0);
}

TEST_F(DeviceControl, RestartRequestsCountAsFailureButAFailedReadDoesNot) {
  fake_.install_flags = DI_NEEDRESTART;
  EXPECT_EQ(Set(DICS_ENABLE), 0);
  fake_.install_flags = DI_NEEDREBOOT;
  EXPECT_EQ(Set(DICS_DISABLE), 0);
  fake_.install_flags = DI_NEEDRESTART | DI_NEEDREBOOT;
  EXPECT_EQ(Set(DICS_DISABLE), 0);
  fake_.install_flags = 0x40 | 0x200;  // neighbouring bits mean nothing here
  EXPECT_EQ(Set(DICS_DISABLE), 1);
  fake_.install_flags = DI_NEEDRESTART;
  fake_.install_params_fail = true;
  EXPECT_EQ(Set(DICS_ENABLE), 1);
  EXPECT_EQ(fake_.destroyed, 5);
}

TEST_F(DeviceControl, MissingDeviceGivesZeroAndMinusOne) {
  fake_.device_present = false;
  EXPECT_EQ(Set(DICS_ENABLE), 0);
  EXPECT_EQ(fake_.destroyed, 1);
  fake_.calls.clear();
  EXPECT_EQ(GetDeviceState(L"HID\\DEV"), -1);
  EXPECT_EQ(fake_.calls, (Calls{"create", "open", "detail", "enum", "status", "destroy"}));
  EXPECT_EQ(fake_.destroyed, 2);
}

TEST_F(DeviceControl, ListFailuresGiveZeroAndMinusOne) {
  fake_.create_fails = true;
  EXPECT_EQ(Set(DICS_ENABLE), 0);
  EXPECT_EQ(GetDeviceState(L"HID\\DEV"), -1);
  EXPECT_EQ(fake_.calls, (Calls{"create", "create"}));  // nothing to destroy
  EXPECT_EQ(fake_.destroyed, 0);

  fake_.create_fails = false;
  fake_.detail_fails = true;
  fake_.calls.clear();
  EXPECT_EQ(Set(DICS_ENABLE), 0);
  EXPECT_EQ(GetDeviceState(L"HID\\DEV"), -1);
  EXPECT_EQ(fake_.calls, (Calls{"create", "open", "detail", "destroy", "create", "open", "detail", "destroy"}));
}

TEST_F(DeviceControl, StatusTellsStartedFromStoppedFromUnreadable) {
  EXPECT_EQ(GetDeviceState(L"HID\\DEV"), 1);
  EXPECT_EQ(fake_.status_devinst, kDevInst);
  EXPECT_EQ(fake_.status_machine, nullptr);
  fake_.status = DN_DISABLEABLE | DN_HAS_PROBLEM;
  EXPECT_EQ(GetDeviceState(L"HID\\DEV"), 0);
  fake_.status = 0;
  EXPECT_EQ(GetDeviceState(L"HID\\DEV"), 0);
  fake_.status_result = CR_NO_SUCH_DEVINST;
  EXPECT_EQ(GetDeviceState(L"HID\\DEV"), -1);
  fake_.status_result = CR_FAILURE;
  EXPECT_EQ(GetDeviceState(L"HID\\DEV"), -1);
  EXPECT_EQ(fake_.destroyed, 5);
}

TEST_F(DeviceControl, RedrawFlagOneRefreshesTheTaskbarAfterEverySwitchOnly) {
  EXPECT_EQ(Set(DICS_ENABLE, 1), 1);
  fake_.config_call_fails = true;
  EXPECT_EQ(Set(DICS_DISABLE, 1), 0);
  fake_.create_fails = true;
  EXPECT_EQ(SetDeviceState({6, 3}, L"X", DICS_ENABLE, 1), 0);
  ASSERT_EQ(fake_.refreshes.size(), 3u);
  EXPECT_EQ(fake_.refreshes[0].major, 10u);
  EXPECT_EQ(fake_.refreshes[2].major, 6u);
  EXPECT_EQ(fake_.refreshes[2].minor, 3u);

  for (int redraw : {0, 2, -1, 257}) Set(DICS_ENABLE, redraw);
  GetDeviceState(L"HID\\DEV");
  EXPECT_EQ(fake_.refreshes.size(), 3u);

  // A switch by the settings tells the taskbar the running version (the
  // test prefix reports Windows 10), which it reads only for the redraw.
  fake_.create_fails = false;
  fake_.config_call_fails = false;
  Settings settings;
  settings.redraw_traynotifywnd = 1;
  EXPECT_EQ(SwitchDevice(settings, L"HID\\DEV", false), 1);
  ASSERT_EQ(fake_.refreshes.size(), 4u);
  EXPECT_EQ(fake_.refreshes[3].major, 10u);
  settings.redraw_traynotifywnd = 0;
  EXPECT_EQ(SwitchDevice(settings, L"HID\\DEV", true), 1);
  EXPECT_EQ(fake_.refreshes.size(), 4u);
}

// The platform's own installer: a path that names no device must fail
// cleanly.
TEST(RealDeviceInstaller, UnknownPathGivesZeroWithoutCrashing) {
  ScopedDeviceApi real(RealDeviceApi());
  // The version the switch passes on comes from NETAPI32.DLL, found at run
  // time; the test prefix reports Windows 10.
  EXPECT_EQ(QueryOsVersion().major, 10u);
  EXPECT_EQ(SetDeviceState(QueryOsVersion(), L"HID\\VID_0000&PID_0000\\NO&SUCH&DEVICE", DICS_DISABLE, 0), 0);
  EXPECT_EQ(SetDeviceState(QueryOsVersion(), std::wstring(5000, L'A'), DICS_ENABLE, 0), 0);
  EXPECT_EQ(SetDeviceState(QueryOsVersion(), L"", DICS_ENABLE, 0), 0);
}

}  // namespace
}  // namespace veltra
