// VeltraHook.dll installed in this process, driven with SendInput. A second
// low-level hook, installed before Veltra's and so called after it, records
// what the library passes on to the rest of the system; the test's own events
// carry a marker in their extra information, so the library's replacements
// (which carry none) are told apart from them.
#include "hook/veltra_hook.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/unique_handle.h"
#include "protocol/veltra_protocol.h"

namespace veltra {
namespace {

// IMAGE_FIRST_SECTION without the macro's C-style cast.
const IMAGE_SECTION_HEADER* FirstSection(const IMAGE_NT_HEADERS64* nt) {
  return reinterpret_cast<const IMAGE_SECTION_HEADER*>(reinterpret_cast<const unsigned char*>(&nt->OptionalHeader) +
                                                        nt->FileHeader.SizeOfOptionalHeader);
}

// Spelled out rather than taken from window/messages.h: a change of the name
// there would silently part the program from an older library.
constexpr const wchar_t* kMessageName = veltra::protocol::kWinKeyMessageName;
constexpr ULONG_PTR kTestMarker = 0x7E57;
constexpr WORD kVkE = 'E';

struct Seen {
  WPARAM kind;
  DWORD vk;
  bool ours;  // sent by the test rather than by the library
};

struct Posted {
  HWND window;
  WPARAM wparam;
  LPARAM lparam;
};

// Filled by the hook and the window procedure, on the thread that pumps.
std::vector<Seen> seen;
std::vector<Posted> posted;
UINT winkey_message = 0;

LRESULT CALLBACK ObserverProc(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HC_ACTION) {
    const auto* record = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lparam);
    seen.push_back({wparam, record->vkCode, record->dwExtraInfo == kTestMarker});
  }
  return ::CallNextHookEx(nullptr, code, wparam, lparam);
}

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == winkey_message) {
    posted.push_back({window, wparam, lparam});
    return 0;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

// Low-level hooks are called through the installing thread's message queue,
// and the posted message arrives there too: runs the queue until it has been
// quiet for a while.
void Pump() {
  using Clock = std::chrono::steady_clock;
  const auto give_up = Clock::now() + std::chrono::seconds(2);
  auto quiet_since = Clock::now();
  while (Clock::now() < give_up && Clock::now() - quiet_since < std::chrono::milliseconds(60)) {
    MSG message;
    bool any = false;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::DispatchMessageW(&message);
      any = true;
    }
    if (any) quiet_since = Clock::now();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void Key(DWORD vk, bool up, DWORD time = 0) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = static_cast<WORD>(vk);
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  input.ki.time = time;
  input.ki.dwExtraInfo = kTestMarker;
  ASSERT_EQ(::SendInput(1, &input, sizeof(input)), 1u);
  Pump();
}

int Count(bool ours, WPARAM kind, DWORD vk) {
  int count = 0;
  for (const Seen& event : seen) count += event.ours == ours && event.kind == kind && event.vk == vk;
  return count;
}

// Where the event is in what the system saw, or -1.
int Index(bool ours, WPARAM kind, DWORD vk) {
  for (std::size_t i = 0; i < seen.size(); ++i) {
    if (seen[i].ours == ours && seen[i].kind == kind && seen[i].vk == vk) return static_cast<int>(i);
  }
  return -1;
}

std::string Describe(const std::vector<Seen>& events) {
  std::string text;
  for (const Seen& event : events) {
    text += (event.ours ? "test " : "lib ") + std::to_string(event.kind) + " vk " + std::to_string(event.vk) + "\n";
  }
  return text;
}

bool KeyHeld(int vk) { return (::GetAsyncKeyState(vk) & 0x8000) != 0; }

struct WindowTraits {
  using pointer = HWND;
  static pointer invalid() noexcept { return nullptr; }
  static void close(pointer value) noexcept { ::DestroyWindow(value); }
};
using UniqueWindow = UniqueAny<WindowTraits>;
using UniqueHook = UniqueAny<HandleTraits<HHOOK, &::UnhookWindowsHookEx>>;

UniqueWindow MakeTarget() {
  static const ATOM window_class = [] {
    WNDCLASSW description{};
    description.lpfnWndProc = &TargetProc;
    description.hInstance = ::GetModuleHandleW(nullptr);
    description.lpszClassName = L"VeltraHookTestTarget";
    return ::RegisterClassW(&description);
  }();
  return UniqueWindow(::CreateWindowExW(0, MAKEINTATOM(window_class), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        ::GetModuleHandleW(nullptr), nullptr));
}

class HookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    seen.clear();
    posted.clear();
    winkey_message = ::RegisterWindowMessageW(kMessageName);
    target_ = MakeTarget();
    ASSERT_TRUE(target_);
    observer_.reset(::SetWindowsHookExW(WH_KEYBOARD_LL, &ObserverProc, ::GetModuleHandleW(nullptr), 0));
    ASSERT_TRUE(observer_);
    ASSERT_EQ(::SetLowKeyboardHook(target_.get()), 1);
  }

  void TearDown() override {
    ::ResetLowKeyboardHook();
    observer_.reset();
    Pump();
  }

  UniqueWindow target_;
  UniqueHook observer_;
};

TEST_F(HookTest, LoneWindowsKeyIsReportedWithItsTimeAndItsReleaseReplaced) {
  const DWORD keys[] = {VK_LWIN, VK_RWIN};
  for (const DWORD vk : keys) {
    SCOPED_TRACE(vk);
    seen.clear();
    posted.clear();
    const DWORD stamp = ::GetTickCount() + 12345;
    Key(vk, false);
    Key(vk, true, stamp);

    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].window, target_.get());
    EXPECT_EQ(posted[0].wparam, stamp);
    EXPECT_EQ(posted[0].lparam, static_cast<LPARAM>(vk));

    // The real release never reaches the system; the library's filler key
    // goes down before its own release of the Windows key does, so the
    // system sees a chord, opens no Start menu and is left with no Windows
    // key held. Where the filler's release lands is the system's affair:
    // Wine runs the hook again inside SendInput, so it arrives first there.
    ASSERT_EQ(seen.size(), 4u) << Describe(seen);
    EXPECT_EQ(Count(true, WM_KEYDOWN, vk), 1) << Describe(seen);
    EXPECT_EQ(Count(true, WM_KEYUP, vk), 0) << Describe(seen);
    EXPECT_EQ(Count(false, WM_KEYUP, 0xFF), 1) << Describe(seen);
    EXPECT_EQ(Index(false, WM_KEYDOWN, 0xFF) + 1, Index(false, WM_KEYUP, vk)) << Describe(seen);
    EXPECT_FALSE(KeyHeld(static_cast<int>(vk)));
  }
}

TEST_F(HookTest, AnotherKeyBetweenPressAndReleaseLeavesTheWindowsKeyToTheSystem) {
  Key(VK_LWIN, false);
  Key(kVkE, false);
  Key(kVkE, true);
  Key(VK_LWIN, true);
  EXPECT_TRUE(posted.empty());
  EXPECT_EQ(Count(true, WM_KEYUP, VK_LWIN), 1) << Describe(seen);
  EXPECT_EQ(Count(false, WM_KEYDOWN, 0xFF), 0) << Describe(seen);

  // The other Windows key counts as another key; the last one pressed alone
  // is the one reported.
  seen.clear();
  Key(VK_LWIN, false);
  Key(VK_RWIN, false);
  Key(VK_LWIN, true);
  Key(VK_RWIN, true);
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].lparam, VK_RWIN);
  EXPECT_EQ(Count(true, WM_KEYUP, VK_LWIN), 1) << Describe(seen);
  EXPECT_EQ(Count(true, WM_KEYUP, VK_RWIN), 0) << Describe(seen);
  EXPECT_FALSE(KeyHeld(VK_LWIN));
  EXPECT_FALSE(KeyHeld(VK_RWIN));
}

TEST_F(HookTest, FillerKeyDownIsReleasedAtOnceAndCancelsThePress) {
  Key(VK_LWIN, false);
  Key(0xFF, false);
  EXPECT_EQ(Count(false, WM_KEYUP, 0xFF), 1) << Describe(seen);
  Key(VK_LWIN, true);
  EXPECT_TRUE(posted.empty());
  EXPECT_EQ(Count(true, WM_KEYUP, VK_LWIN), 1) << Describe(seen);
}

TEST_F(HookTest, SystemKeysPassWithoutCancellingThePress) {
  // Alt makes its own events system-key events, which the library lets by
  // without looking; the Windows key is still alone when released.
  Key(VK_LWIN, false);
  Key(VK_MENU, false);
  Key(VK_MENU, true);
  ASSERT_EQ(Count(true, WM_SYSKEYDOWN, VK_LMENU) + Count(true, WM_SYSKEYDOWN, VK_MENU), 1) << Describe(seen);
  Key(VK_LWIN, true);
  ASSERT_EQ(posted.size(), 1u) << Describe(seen);
  EXPECT_EQ(posted[0].lparam, VK_LWIN);
}

// The lock ends by itself, told once: at the deadline (by a poll or a key, which passes) or Escape held two
// seconds without repeat. No event of a press it took passes, even after the end; a key down before it gets
// its key-up through; the owner's unlock is not reported.
TEST_F(HookTest, TheLockEndsByItselfAndTellsTheWindowOnce) {
  Key(VK_SHIFT, false);
  ::SetLowKeyboardLock(TRUE, 300);
  Key(VK_SHIFT, true);
  Key(kVkE, false);
  const DWORD left = ::PollLowKeyboardLock();
  EXPECT_TRUE(left > 0 && left <= 300) << left;
  std::thread([] { EXPECT_EQ(::PollLowKeyboardLock(), INFINITE) << "only the hook's thread may end it"; }).join();
  ::Sleep(400);  // no key meanwhile: nothing for the hook to be called for
  EXPECT_EQ(::PollLowKeyboardLock(), INFINITE);
  Pump();
  ASSERT_TRUE(posted.size() == 1 && posted[0].lparam == VK_ESCAPE);
  Key(kVkE, true);
  ::SetLowKeyboardLock(TRUE, 300);
  Key(VK_ESCAPE, false);
  ::Sleep(400);
  for (const bool up : {false, true}) Key('F', up);
  Key(VK_ESCAPE, true);
  ::SetLowKeyboardLock(TRUE, 60000);
  Key(VK_ESCAPE, false);
  ::Sleep(2100);
  Key(VK_ESCAPE, true);
  EXPECT_EQ(posted.size(), 3u);
  ::SetLowKeyboardLock(TRUE, 60000);
  ::SetLowKeyboardLock(FALSE, 0);
  for (const bool up : {false, true}) Key(kVkE, up);
  EXPECT_EQ(posted.size(), 3u);
  EXPECT_EQ(Count(true, WM_KEYUP, VK_SHIFT) + Count(true, WM_KEYUP, VK_LSHIFT), 1) << Describe(seen);
  EXPECT_EQ(Count(true, WM_KEYDOWN, 'F') + Count(true, WM_KEYUP, 'F'), 2) << Describe(seen);
  EXPECT_EQ(Count(true, WM_KEYDOWN, kVkE) + Count(true, WM_KEYUP, kVkE), 2) << Describe(seen);
  EXPECT_EQ(Count(true, WM_KEYDOWN, VK_ESCAPE) + Count(true, WM_KEYUP, VK_ESCAPE), 0) << Describe(seen);
}

TEST(HookInstall, ResetWithoutAHookDoesNothing) {
  EXPECT_EQ(::ResetLowKeyboardHook(), 0);
  EXPECT_EQ(::ResetLowKeyboardHook(), 0);
}

TEST(HookInstall, InstallingAgainRetargetsAndOneResetRemovesTheLatestHook) {
  winkey_message = ::RegisterWindowMessageW(kMessageName);
  posted.clear();
  const UniqueWindow first = MakeTarget();
  const UniqueWindow second = MakeTarget();
  ASSERT_TRUE(first && second);
  // The hook installed first is not removed by the library and is lost to
  // it; a thread's hooks end with the thread, so it is installed on one.
  std::thread installer([&] {
    EXPECT_EQ(::SetLowKeyboardHook(first.get()), 1);
    EXPECT_EQ(::SetLowKeyboardHook(second.get()), 1);
    Key(VK_LWIN, false);
    Key(VK_LWIN, true, 777);
    EXPECT_NE(::ResetLowKeyboardHook(), 0);
    EXPECT_EQ(::ResetLowKeyboardHook(), 0);
  });
  installer.join();
  Pump();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].window, second.get());
  EXPECT_EQ(posted[0].wparam, 777u);

  // With the hook gone a lone press is the system's again.
  posted.clear();
  Key(VK_LWIN, false);
  Key(VK_LWIN, true);
  EXPECT_TRUE(posted.empty());
  EXPECT_FALSE(KeyHeld(VK_LWIN));
}

// Takes down whatever hook the library still holds when a test leaves early.
struct ResetOnExit {
  ~ResetOnExit() { ::ResetLowKeyboardHook(); }
};

std::wstring LibraryPath() {
  wchar_t path[MAX_PATH * 4] = {};
  const DWORD length = ::GetModuleFileNameW(::GetModuleHandleW(L"VeltraHook.dll"), path, MAX_PATH * 4);
  return std::wstring(path, length);
}

// ---- another process that loads the library ------------------------------

// Some tests start this program again as the other process: given
// kOtherSwitch it does the one thing asked, before any test runs, and ends
// with an exit code that tells what came of it.
//   reset        ResetLowKeyboardHook(); exits kExportResult + its result
//   set:N        SetLowKeyboardHook(window N), then ends with the hook
//   write:N      writes window N and a null hook into the shared data
constexpr wchar_t kOtherSwitch[] = L"--veltra-hook-other=";
constexpr DWORD kExportResult = 100;
constexpr DWORD kWroteSharedData = 90;
constexpr DWORD kBadRequest = 91;
constexpr DWORD kDidNotEnd = 92;

// The library's shared data as mapped in this process: {hook, target}.
volatile std::uint64_t* SharedWords() {
  auto* const base = reinterpret_cast<unsigned char*>(::GetModuleHandleW(L"VeltraHook.dll"));
  if (base == nullptr) return nullptr;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_SECTION_HEADER* section = FirstSection(nt);
  for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
    if (std::memcmp(section->Name, ".HOOKDAT", 8) == 0) {
      return reinterpret_cast<volatile std::uint64_t*>(base + section->VirtualAddress);
    }
  }
  return nullptr;
}

DWORD ActAsOtherProcess(const std::wstring& request) {
  if (request == L"reset") return kExportResult + static_cast<DWORD>(::ResetLowKeyboardHook());
  const std::size_t colon = request.find(L':');
  if (colon == std::wstring::npos) return kBadRequest;
  const std::uint64_t window = std::wcstoull(request.c_str() + colon + 1, nullptr, 10);
  const std::wstring what = request.substr(0, colon);
  if (what == L"set") {
    return kExportResult + static_cast<DWORD>(::SetLowKeyboardHook(reinterpret_cast<HWND>(window)));
  }
  volatile std::uint64_t* const words = SharedWords();
  if (what != L"write" || words == nullptr) return kBadRequest;
  words[0] = 0;
  words[1] = window;
  return kWroteSharedData;
}

[[maybe_unused]] const bool started_as_other_process = [] {
  const wchar_t* const request = std::wcsstr(::GetCommandLineW(), kOtherSwitch);
  if (request != nullptr) ::ExitProcess(ActAsOtherProcess(request + std::size(kOtherSwitch) - 1));
  return false;
}();

// Runs this program again and returns its exit code. Pumps meanwhile, so a
// hook call aimed at this thread cannot stall the other process.
DWORD RunOtherProcess(const std::wstring& arguments) {
  wchar_t self[MAX_PATH * 4] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH * 4);
  std::wstring command = L"\"" + std::wstring(self) + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(self, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    ADD_FAILURE() << "CreateProcessW: " << ::GetLastError();
    return kDidNotEnd;
  }
  ::CloseHandle(info.hThread);
  const UniqueHandle child(info.hProcess);
  for (int i = 0; i < 300 && ::WaitForSingleObject(child.get(), 0) == WAIT_TIMEOUT; ++i) Pump();
  DWORD code = kDidNotEnd;
  if (::WaitForSingleObject(child.get(), 0) == WAIT_OBJECT_0) ::GetExitCodeProcess(child.get(), &code);
  return code;
}

std::uint64_t Number(HWND window) { return reinterpret_cast<std::uintptr_t>(window); }

TEST(HookInstall, ResetFromAnotherProcessIsRefusedAndOnlyTheInstallersResetRemovesTheHook) {
  winkey_message = ::RegisterWindowMessageW(kMessageName);
  posted.clear();
  const UniqueWindow target = MakeTarget();
  const ResetOnExit reset;
  ASSERT_EQ(::SetLowKeyboardHook(target.get()), 1);
  volatile std::uint64_t* const words = SharedWords();
  ASSERT_NE(words, nullptr);
  const std::uint64_t hook = words[0];
  ASSERT_NE(hook, 0u);
  ASSERT_EQ(words[1], Number(target.get()));

  // The hook's handle is in the shared data for any process to read; another
  // process's reset still removes nothing and leaves the data as it was.
  EXPECT_EQ(RunOtherProcess(std::wstring(kOtherSwitch) + L"reset"), kExportResult + 0);
  EXPECT_EQ(words[0], hook);
  EXPECT_EQ(words[1], Number(target.get()));
  Key(VK_LWIN, false);
  Key(VK_LWIN, true);
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].window, target.get());

  // The installer's own reset removes it and withdraws what it published.
  posted.clear();
  EXPECT_NE(::ResetLowKeyboardHook(), 0);
  EXPECT_EQ(words[0], 0u);
  EXPECT_EQ(words[1], 0u);
  Key(VK_LWIN, false);
  Key(VK_LWIN, true);
  EXPECT_TRUE(posted.empty());
  EXPECT_FALSE(KeyHeld(VK_LWIN));
}

TEST_F(HookTest, AnotherProcessWritingTheSharedDataNeitherRedirectsNorLosesTheHook) {
  // The other process names a window of ours, so what reaches it can be seen
  // here; whose window it is makes no difference to the library.
  const UniqueWindow decoy = MakeTarget();
  ASSERT_TRUE(decoy);
  const std::wstring decoy_number = std::to_wstring(Number(decoy.get()));
  volatile std::uint64_t* const words = SharedWords();
  ASSERT_NE(words, nullptr);
  ASSERT_EQ(words[1], Number(target_.get()));

  // Through the exports: it installs a hook of its own for the decoy and
  // ends, its unloading withdrawing what it published.
  EXPECT_EQ(RunOtherProcess(kOtherSwitch + (L"set:" + decoy_number)), kExportResult + 1);
  EXPECT_EQ(words[1], 0u);
  Key(VK_LWIN, false);
  Key(VK_LWIN, true, 4141);
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].window, target_.get());
  EXPECT_EQ(posted[0].wparam, 4141u);

  // Straight into the shared data: the decoy as target and no hook.
  posted.clear();
  ASSERT_EQ(RunOtherProcess(kOtherSwitch + (L"write:" + decoy_number)), kWroteSharedData);
  ASSERT_EQ(words[1], Number(decoy.get()));
  ASSERT_EQ(words[0], 0u);
  Key(VK_LWIN, false);
  Key(VK_LWIN, true, 4242);
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].window, target_.get());
  EXPECT_EQ(posted[0].wparam, 4242u);

  // This process's reset still finds its own hook, and leaves the values
  // that are not its own; a lone press is then the system's again.
  posted.clear();
  seen.clear();
  EXPECT_NE(::ResetLowKeyboardHook(), 0);
  EXPECT_EQ(words[1], Number(decoy.get()));
  Key(VK_LWIN, false);
  Key(VK_LWIN, true);
  EXPECT_TRUE(posted.empty());
  EXPECT_EQ(Count(true, WM_KEYUP, VK_LWIN), 1) << Describe(seen);
  EXPECT_EQ(::ResetLowKeyboardHook(), 0);
}

TEST(HookInstall, AnotherProcessThatOnlyLoadsTheLibraryLeavesTheHook) {
  winkey_message = ::RegisterWindowMessageW(kMessageName);
  posted.clear();
  const UniqueWindow target = MakeTarget();
  const ResetOnExit reset;
  ASSERT_EQ(::SetLowKeyboardHook(target.get()), 1);

  // This test program imports the library: a copy of it that only lists the
  // tests loads and unloads it, as a second start of the main program does.
  ASSERT_EQ(RunOtherProcess(L"--gtest_list_tests"), 0u);

  Key(VK_LWIN, false);
  Key(VK_LWIN, true);
  Pump();
  EXPECT_EQ(posted.size(), 1u);
}

// ---- the built file -------------------------------------------------------

class PeFile {
 public:
  explicit PeFile(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  template <class T>
  const T* At(std::size_t offset) const {
    return offset + sizeof(T) <= bytes_.size() ? reinterpret_cast<const T*>(bytes_.data() + offset) : nullptr;
  }

  const IMAGE_NT_HEADERS64* Headers() const {
    const auto* dos = At<IMAGE_DOS_HEADER>(0);
    if (dos == nullptr || dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
    const auto* nt = At<IMAGE_NT_HEADERS64>(static_cast<std::size_t>(dos->e_lfanew));
    return nt != nullptr && nt->Signature == IMAGE_NT_SIGNATURE ? nt : nullptr;
  }

  std::vector<IMAGE_SECTION_HEADER> Sections() const {
    const IMAGE_NT_HEADERS64* nt = Headers();
    const auto* first = FirstSection(nt);
    const std::size_t offset = reinterpret_cast<const char*>(first) - bytes_.data();
    std::vector<IMAGE_SECTION_HEADER> sections;
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
      const auto* section = At<IMAGE_SECTION_HEADER>(offset + i * sizeof(IMAGE_SECTION_HEADER));
      if (section != nullptr) sections.push_back(*section);
    }
    return sections;
  }

  // The file offset of an address relative to the image base.
  std::size_t Offset(DWORD rva) const {
    for (const IMAGE_SECTION_HEADER& section : Sections()) {
      if (rva >= section.VirtualAddress && rva < section.VirtualAddress + section.SizeOfRawData) {
        return rva - section.VirtualAddress + section.PointerToRawData;
      }
    }
    return bytes_.size();
  }

  std::string String(DWORD rva) const {
    const std::size_t offset = Offset(rva);
    if (offset >= bytes_.size()) return {};
    return std::string(bytes_.data() + offset, strnlen(bytes_.data() + offset, bytes_.size() - offset));
  }

  std::size_t size() const { return bytes_.size(); }

 private:
  std::vector<char> bytes_;
};

TEST(HookLibraryFile, ExportsByNameWithFixedOrdinals) {
  const HMODULE module = ::GetModuleHandleW(L"VeltraHook.dll");
  ASSERT_NE(module, nullptr);
  const PeFile file(LibraryPath());
  const IMAGE_NT_HEADERS64* nt = file.Headers();
  ASSERT_NE(nt, nullptr);
  ASSERT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
  EXPECT_TRUE(nt->FileHeader.Characteristics & IMAGE_FILE_DLL);
  const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  const auto* exports = file.At<IMAGE_EXPORT_DIRECTORY>(file.Offset(directory.VirtualAddress));
  ASSERT_NE(exports, nullptr);
  EXPECT_EQ(file.String(exports->Name), "VeltraHook.dll");
  EXPECT_EQ(exports->Base, 1u);
  ASSERT_EQ(exports->NumberOfFunctions, 4u);
  ASSERT_EQ(exports->NumberOfNames, 4u);

  const char* const names[] = {"PollLowKeyboardLock", "ResetLowKeyboardHook", "SetLowKeyboardHook",
                               "SetLowKeyboardLock"};
  const void* const imported[] = {
      reinterpret_cast<const void*>(&::PollLowKeyboardLock), reinterpret_cast<const void*>(&::ResetLowKeyboardHook),
      reinterpret_cast<const void*>(&::SetLowKeyboardHook), reinterpret_cast<const void*>(&::SetLowKeyboardLock)};
  for (DWORD i = 0; i < 4; ++i) {
    const auto* name_rva = file.At<DWORD>(file.Offset(exports->AddressOfNames) + i * sizeof(DWORD));
    const auto* index = file.At<WORD>(file.Offset(exports->AddressOfNameOrdinals) + i * sizeof(WORD));
    ASSERT_TRUE(name_rva != nullptr && index != nullptr);
    EXPECT_EQ(file.String(*name_rva), names[i]);
    const DWORD ordinal = exports->Base + *index;
    EXPECT_EQ(ordinal, i == 0 ? 4 : i) << names[i];  // the first three never change
    // The loader agrees: by ordinal, by name and through the import library
    // lead to the same code.
    const FARPROC by_ordinal = ::GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
    EXPECT_EQ(by_ordinal, ::GetProcAddress(module, names[i])) << names[i];
    EXPECT_EQ(reinterpret_cast<const void*>(by_ordinal), imported[i]) << names[i];
  }
}

TEST(HookLibraryFile, HookDataSectionIsSharedReadWriteAndSixteenBytes) {
  const PeFile file(LibraryPath());
  ASSERT_NE(file.Headers(), nullptr);
  int found = 0;
  for (const IMAGE_SECTION_HEADER& section : file.Sections()) {
    if (std::memcmp(section.Name, ".HOOKDAT", 8) != 0) continue;
    ++found;
    const DWORD wanted = IMAGE_SCN_MEM_SHARED | IMAGE_SCN_MEM_READ | IMAGE_SCN_MEM_WRITE;
    EXPECT_EQ(section.Characteristics & wanted, wanted) << std::hex << section.Characteristics;
    EXPECT_FALSE(section.Characteristics & IMAGE_SCN_MEM_EXECUTE);
    EXPECT_EQ(section.Misc.VirtualSize, 16u);
    // Initially zero: no hook and no target.
    ASSERT_GE(section.SizeOfRawData, 16u);
    const auto* data = file.At<std::uint64_t[2]>(section.PointerToRawData);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ((*data)[0], 0u);
    EXPECT_EQ((*data)[1], 0u);
  }
  EXPECT_EQ(found, 1);
}

}  // namespace
}  // namespace veltra
