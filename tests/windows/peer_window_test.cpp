// Our programs known by their files whichever spelling either side has: the
// owner check against this test program's own window (a program started
// through an 8.3 short path must still know its own window), and the
// process list a start and the removal search.
#include "platform/peer_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../common/stand_in_window.h"
#include "platform/paths.h"
#include "platform/running_processes.h"
#include "temp_dir.h"

namespace {

using veltra::UniqueHandle;

TEST(PeerWindow, TheOwnerIsKnownByItsLongOrShortPathAndNoOtherFile) {
  const HWND window = veltra::testing::CreateStandInWindow(L"VeltraPeerTest", ::DefWindowProcW);
  ASSERT_NE(window, nullptr);
  const std::wstring self = veltra::ModuleFileName(nullptr);
  std::wstring short_path(MAX_PATH, L'\0');
  short_path.resize(::GetShortPathNameW(self.c_str(), short_path.data(), MAX_PATH));
  ASSERT_FALSE(short_path.empty() || veltra::SamePath(short_path, self)) << "no short form of this program's path";
  EXPECT_TRUE(veltra::WindowBelongsTo(window, self));
  EXPECT_TRUE(veltra::WindowBelongsTo(window, short_path));
  EXPECT_FALSE(veltra::WindowBelongsTo(window, self + L".other"));
  ::DestroyWindow(window);
}

// A program started for the test through `path`, ended with it.
class StartedProgram {
 public:
  explicit StartedProgram(std::wstring path) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(path.c_str(), path.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
      ADD_FAILURE() << "cannot start a program: error " << ::GetLastError();
      return;
    }
    ::CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    ::WaitForInputIdle(info.hProcess, 10000);
  }
  ~StartedProgram() { End(); }
  StartedProgram(const StartedProgram&) = delete;
  StartedProgram& operator=(const StartedProgram&) = delete;

  DWORD id() const { return process_ ? ::GetProcessId(process_.get()) : 0; }
  // Ends it; the handle stays open.
  void End() const {
    if (process_ && ::TerminateProcess(process_.get(), 0)) ::WaitForSingleObject(process_.get(), 10000);
  }

 private:
  UniqueHandle process_;
};

bool Lists(const std::vector<veltra::RunningProcess>& found, DWORD id) {
  return std::any_of(found.begin(), found.end(), [id](const veltra::RunningProcess& p) { return p.id == id; });
}

// A helper program under a name too long for 8.3, so its short name is a
// name of its own, started through each spelling; looked for through
// each, it is found both times, and no longer once it ended, though a
// handle to it is still held.
TEST(RunningProcesses, AProgramIsFoundByEitherSpellingUntilItEnds) {
  const veltra::testing::TempDir dir;
  const std::wstring self = veltra::ModuleFileName(nullptr);
  const std::wstring helper = self.substr(0, self.find_last_of(L'\\') + 1) + L"fake_app.exe";
  const std::wstring program = dir.File(L"LongProgramName.exe");
  ASSERT_TRUE(::CopyFileW(helper.c_str(), program.c_str(), FALSE)) << "no helper program beside the tests";
  const std::wstring short_path = veltra::ShortPathName(program);
  ASSERT_FALSE(short_path.empty() || veltra::SamePath(short_path, program)) << "no short form of the program's path";

  const StartedProgram by_long(program), by_short(short_path);
  for (const std::wstring& asked : {program, short_path}) {
    const std::vector<veltra::RunningProcess> found = veltra::OtherInstancesOf(asked);
    EXPECT_TRUE(Lists(found, by_long.id())) << "looked for as " << std::string(asked.begin(), asked.end());
    EXPECT_TRUE(Lists(found, by_short.id())) << "looked for as " << std::string(asked.begin(), asked.end());
  }

  by_long.End();
  EXPECT_FALSE(Lists(veltra::OtherInstancesOf(program), by_long.id()));
  // The snapshot may still list it (Windows does while a handle is held;
  // Wine does not), so the step after the listing is asked directly.
  EXPECT_FALSE(veltra::OpenLiveProcess(by_long.id(), SYNCHRONIZE));
  EXPECT_TRUE(veltra::OpenLiveProcess(by_short.id(), SYNCHRONIZE));
}

}  // namespace
