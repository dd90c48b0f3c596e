// The start-up's choice of the target device with the simulated Veltra.exe:
// the known list beside the program, and the selection dialog as the last
// resort.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "e2e_support.h"

namespace veltra::e2e {
namespace {

using namespace std::chrono_literals;


void WriteKnownList(const Sandbox& box, const std::string& text) {
  std::ofstream(std::filesystem::path(box.File(L"known_device_list.txt")), std::ios::binary) << text;
}

TEST(DeviceSelection, AnUnusablePathIsReplacedByTheFirstListedLineOfTheKnownList) {
  Sandbox box(L"select-known");
  box.WriteDevices({TouchScreen(kOtherId), TouchScreen(kId)});
  box.WriteSettings("[hardware]\r\ndevice_instance_path=HID\\GONE\r\n");
  WriteKnownList(box, "# known panels\r\nhid\\not\\here\r\n  " + std::string(kId.begin(), kId.end()) +
                          "  # this machine's\r\nhid\\vid_04f3&pid_2a1c&col01\\5&1a2b3c&0&0000\r\n");
  {
    RunningVeltra veltra(box);
    ASSERT_NE(veltra.window(), nullptr);  // no dialog came first
    EXPECT_EQ(FindDialogOf(veltra.process_id()), nullptr);
    veltra.Send(WM_CLOSE);
    ASSERT_TRUE(veltra.WaitForExit());
  }
  EXPECT_EQ(box.Setting(L"hardware", L"device_instance_path"), kId);
}

// Cancel, or the removal's exit request while a device test has the panel
// off: the selection ends as Cancel ends it, and the closing steps run.
TEST(DeviceSelection, NothingMatchingOpensTheDialogAndCancelOrTheRemovalSkipsTheStatusWindow) {
  for (const bool removal : {false, true}) {
    TouchSandbox box(removal ? L"select-removal" : L"select-cancel", "[hardware]\r\ndevice_instance_path=HID\\GONE\r\n");
    WriteKnownList(box, "# nothing of this machine\r\nhid\\not\\here\r\n");
    const UniqueHandle process = box.Start(L"");
    const DWORD id = ::GetProcessId(process.get());
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = FindDialogOf(id)) != nullptr; }));
    wchar_t caption[64] = {};
    ::GetWindowTextW(dialog, caption, 64);
    EXPECT_STREQ(caption, L"Select Control Target Device");
    if (removal) {
      ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_INIT_TEST_START, BN_CLICKED), 0);
      const HWND notice = ShownWindowOf(id, L"#32770", L"Veltra");
      ASSERT_NE(notice, nullptr);
      ::PostMessageW(notice, WM_COMMAND, IDOK, 0);
      ASSERT_TRUE(WaitUntil([&] { return box.DeviceStarted(kId) == 0; }));
      // Well within the removal's own wait, after which it would end the
      // program without its closing steps.
      const auto asked = std::chrono::steady_clock::now();
      EXPECT_NE(box.Run(L"/X", 60s), -1);
      EXPECT_LT(std::chrono::steady_clock::now() - asked, 20s);
    } else {
      ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }
    ASSERT_TRUE(WaitPumping(process.get(), 15s));
    EXPECT_EQ(::FindWindowW(protocol::kWindowClass, nullptr), nullptr);
    // The closing steps ran (the whole record was saved), with the path as
    // it was.
    EXPECT_EQ(box.Setting(L"palette", L"palette16"), L"16777215");
    EXPECT_EQ(box.Setting(L"hardware", L"device_instance_path"), L"HID\\GONE");
    EXPECT_EQ(box.DeviceStarted(kId), 1);
  }
}

}  // namespace
}  // namespace veltra::e2e
