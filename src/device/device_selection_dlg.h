// CInitDlg: the choice of the device Veltra switches. The user picks a HID
// device, may test it (it is disabled for five seconds and then asked about),
// and accepts it; only the accepted choice is kept.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/settings.h"
#include "device/hid_discovery.h"
#include "ui/dialog.h"
#include "ui/win_app.h"

namespace veltra {

// Fills a device list; the start-up enumerates the machine, tests give a
// fixed list.
using DeviceLister = std::function<void(DeviceList&)>;

class CInitDlg final : public ui::Dialog {
 public:
  static constexpr UINT_PTR kTestTimer = 206;
  static constexpr std::int32_t kTestSeconds = 5;

  // `preset_path` chooses the item selected at first (empty: the last touch
  // screen of the list). An empty `lister` enumerates the machine's HID
  // devices and reports a device set that cannot be read in a plain message
  // box. `language` decides the texts once, for the dialog's whole life.
  CInitDlg(const ui::WinApp& app, Settings& settings, std::wstring preset_path, DeviceLister lister = {},
           LANGID language = ::GetUserDefaultUILanguage());
  // A window still open goes here, while its handlers can still give the
  // devices under test back.
  ~CInitDlg() override;
  // Where the device under test is written (settings.device_under_test)
  // while it is off; none: it is only kept in the record.
  void set_store(ProfileStore* store) noexcept { store_ = store; }

 protected:
  std::optional<LRESULT> OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  BOOL OnInitDialog() override;

 private:
  std::wstring Text(UINT id) const;
  void EnableItem(int id, bool enable) const { ::EnableWindow(Item(id), enable ? TRUE : FALSE); }

  // The item the user chose, item 0 when the box has none (its edit may
  // hold typed text); nothing when the list is empty.
  std::optional<std::size_t> Selection() const;
  // Selection(), selected again, so typed text gives way to the item.
  std::optional<std::size_t> ReselectCurrent() const;
  void ShowDevice(std::size_t index) const;
  void ShowSystemInfo() const;
  void CreateTooltips();

  void OnSelectionChange();
  void OnTestStart();
  void OnTestTick();
  void FinishTest();
  void Accept();
  void Cancel();
  // Ends a running test at once: the timer goes and the device works again.
  void AbandonTest();
  // Every device tested in this dialog, enabled again: whatever the window's
  // end, no device it switched stays off.
  void EnableTestedDevices();
  // Records `id` as the device under test (empty: none), in the file at once.
  void MarkUnderTest(const std::wstring& id);

  std::wstring preset_path_;
  LANGID language_;
  std::int32_t ticks_ = 0;
  const ui::WinApp& app_;
  Settings& settings_;
  DeviceLister lister_;
  DeviceList list_;
  std::vector<std::int32_t> passed_;  // 1: a test of the device was confirmed
  bool testing_ = false;  // the device is disabled and the timer runs
  std::size_t tested_ = 0;  // the device under test, whatever is selected meanwhile
  // Kept here, not in the settings, until OK: the status window goes on
  // switching the configured device meanwhile.
  std::wstring tested_path_;
  std::vector<bool> ever_tested_;
  ProfileStore* store_ = nullptr;
};

// Runs the dialog over the machine's devices with the current target (made
// to work first) preselected. Only OK changes settings.device_instance_path.
// Returns the dialog's result.
INT_PTR RunDeviceSelection(const ui::WinApp& app, Settings& settings, ProfileStore* store, HWND owner,
                           DeviceLister lister = {});

}  // namespace veltra
