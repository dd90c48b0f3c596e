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

// Copies of a program started suspended through `paths` (an id of 0: one
// that could not start, which fails the checks), ended with the test.
class Started {
 public:
  explicit Started(std::initializer_list<std::wstring> paths) {
    for (std::wstring path : paths) {
      STARTUPINFOW startup{};
      startup.cb = sizeof(startup);
      PROCESS_INFORMATION info{};
      ::CreateProcessW(path.c_str(), path.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                       &info);
      processes_.emplace_back(info.hProcess);
      const UniqueHandle thread(info.hThread);
    }
  }
  ~Started() {
    for (std::size_t i = 0; i < processes_.size(); ++i) End(i);
  }
  DWORD id(std::size_t i) const { return processes_[i] ? ::GetProcessId(processes_[i].get()) : 0; }
  // Ended, its handle still held.
  void End(std::size_t i) const {
    if (processes_[i] && ::TerminateProcess(processes_[i].get(), 0)) ::WaitForSingleObject(processes_[i].get(), 10000);
  }

 private:
  std::vector<UniqueHandle> processes_;
};

bool Lists(const std::vector<veltra::RunningProcess>& found, DWORD id) {
  return std::any_of(found.begin(), found.end(), [id](const veltra::RunningProcess& p) { return p.id == id; });
}

// This program copied under a name too long for 8.3, so its short name is
// one of its own, started through each spelling and looked for through
// each; once ended it no longer counts, though a handle to it is held.
TEST(RunningProcesses, AProgramIsFoundByEitherSpellingUntilItEnds) {
  const veltra::testing::TempDir dir;
  const std::wstring program = dir.File(L"LongProgramName.exe");
  ASSERT_TRUE(::CopyFileW(veltra::ModuleFileName(nullptr).c_str(), program.c_str(), FALSE));
  const std::wstring short_path = veltra::ShortPathName(program);
  ASSERT_FALSE(short_path.empty() || veltra::SamePath(short_path, program)) << "no short form of the program's path";

  const Started started({program, short_path});
  for (const std::wstring& asked : {program, short_path}) {
    const std::vector<veltra::RunningProcess> found = veltra::OtherInstancesOf(asked);
    EXPECT_TRUE(Lists(found, started.id(0)) && Lists(found, started.id(1)))
        << "looked for as " << std::string(asked.begin(), asked.end());
  }
  started.End(0);
  EXPECT_FALSE(Lists(veltra::OtherInstancesOf(program), started.id(0)));
  // Windows may still list it while a handle is held, Wine does not: the
  // step after the listing is asked directly.
  EXPECT_FALSE(veltra::OpenLiveProcess(started.id(0), SYNCHRONIZE));
  EXPECT_TRUE(veltra::OpenLiveProcess(started.id(1), SYNCHRONIZE));
}

}  // namespace
