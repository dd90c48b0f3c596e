// The status window in this process: a simulated touch screen beside the
// test program, the window's class, and a settings record with the
// defaults over an in-memory settings file.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "../common/sim_devices.h"
#include "../common/test_app.h"
#include "../common/fake_profile.h"
#include "base/ascii.h"
#include "core/settings.h"
#include "sim/sim_device_tree.h"
#include "window/veltra_dlg.h"

namespace veltra {

class StatusWindowFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDeviceStarted(true);
    app_.Run(::GetModuleHandleW(nullptr), L"");
    static const bool registered = RegisterStatusWindowClass(app_.instance());
    ASSERT_TRUE(registered);
    LoadSettings(settings_, profile_, ScreenMetrics{});
    settings_.device_instance_path = base::UpperCaseAscii(settings_.device_instance_path);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove(Folder() / L"sim_devices.ini", ignored);
    std::filesystem::remove(Folder() / L"sim_devices.log", ignored);
  }

  static std::filesystem::path Folder() { return SimDeviceFolder(); }
  // Rewrites the device tree from outside, as Device Manager would, without
  // any notification.
  static void SetDeviceStarted(bool started) {
    testing::WriteSimDevices(Folder() / L"sim_devices.ini", {testing::TouchScreen(testing::kTouchId, started)});
  }
  // Takes this thread's messages until `done` holds; false after two
  // seconds. The window's start ends after its first paint, on a timer.
  template <class Done>
  static bool PumpUntil(Done done) {
    const ULONGLONG deadline = ::GetTickCount64() + 2000;
    while (!done()) {
      if (::GetTickCount64() >= deadline) return false;
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      MSG message;
      while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    }
    return true;
  }
  static bool DeviceStarted() {
    const std::optional<SimDevice> device = FindSimDevice(testing::kTouchId);
    return device && device->started;
  }

  testing::TestApp app_;
  testing::FakeProfile profile_;
  Settings settings_;
};

}  // namespace veltra
