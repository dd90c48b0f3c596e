// End-to-end helpers.
#include "e2e_support.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>

#include <gtest/gtest.h>

#include "../common/stand_in_window.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <stdexcept>
#include <thread>

namespace veltra::e2e {
namespace {

// The test program lies in the Windows build folder, beside sim/ with the
// simulated programs; each test works in its own folder under e2e-work/ (under the
// shard's folder there when the tests run in shards).
std::wstring BuildFolder() {
  wchar_t path[MAX_PATH + 1] = {};
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) throw std::runtime_error("cannot locate the test program");
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\'));
}

std::vector<std::pair<WPARAM, LPARAM>> g_received;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == protocol::WM_SET_TOUCH_STATE) {
    g_received.emplace_back(wparam, lparam);
    return 0;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

// Paths in the tests may be longer than MAX_PATH, which the library's file
// system functions mishandle under Wine; the \\?\ form of the Win32 calls
// takes them whole.
std::wstring Extended(const std::wstring& path) { return L"\\\\?\\" + path; }

void CreateFolders(const std::wstring& path) {
  for (std::size_t slash = path.find(L'\\', 3); ; slash = path.find(L'\\', slash + 1)) {
    ::CreateDirectoryW(Extended(path.substr(0, slash)).c_str(), nullptr);
    if (slash == std::wstring::npos) return;
  }
}

struct FindTraits {
  using pointer = HANDLE;
  static pointer invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void close(pointer value) noexcept { ::FindClose(value); }
};

void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW found;
  const UniqueAny<FindTraits> search(::FindFirstFileW(Extended(path + L"\\*").c_str(), &found));
  if (search) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = path + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        ::SetFileAttributesW(Extended(child).c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(Extended(child).c_str());
      }
    } while (::FindNextFileW(search.get(), &found));
  }
  ::RemoveDirectoryW(Extended(path).c_str());
}

// The status window's state text, asked for with a bound: a window whose
// thread is held (a slow switch, a hang) must not hold the test with it.
// Nothing when no answer came within `timeout_ms`.
std::optional<std::wstring> StateText(HWND window, UINT timeout_ms) {
  wchar_t text[2048] = {};
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutW(::GetDlgItem(window, IDC_STATE_TEXT), WM_GETTEXT, std::size(text),
                             reinterpret_cast<LPARAM>(text), SMTO_NORMAL, timeout_ms, &length)) {
    return std::nullopt;
  }
  return std::wstring(text, std::min<std::size_t>(length, std::size(text) - 1));
}

}  // namespace

std::string Narrow(const std::wstring& text) {
  std::string narrow;
  for (const wchar_t c : text) narrow += static_cast<char>(c);
  return narrow;
}

Sandbox::Sandbox(const std::wstring& folder_name) {
  std::wstring work = BuildFolder() + L"\\e2e-work";
  ::CreateDirectoryW(work.c_str(), nullptr);
  // Tests of other Wine shards run at the same time, some in folders of the
  // same name: each shard has its own.
  wchar_t shard[64] = {};
  const DWORD shard_length = ::GetEnvironmentVariableW(L"VELTRA_TEST_SHARD", shard, 64);
  if (shard_length > 0 && shard_length < 64) {
    work += L"\\" + std::wstring(shard, shard_length);
    ::CreateDirectoryW(work.c_str(), nullptr);
  }
  dir_ = work + L"\\" + folder_name;
  top_ = work + L"\\" + folder_name.substr(0, folder_name.find(L'\\'));
  RemoveTree(top_);
  CreateFolders(dir_);
  // A program of an earlier test that is still ending keeps its file: the
  // error says so (32, a sharing violation).
  if (!::CopyFileW(Extended(BuildFolder() + L"\\sim\\Veltra.exe").c_str(), Extended(exe()).c_str(), FALSE)) {
    throw std::runtime_error("cannot copy Veltra.exe: error " + std::to_string(::GetLastError()));
  }
  if (!::CopyFileW(Extended(BuildFolder() + L"\\sim\\VeltraHook.dll").c_str(), Extended(File(L"VeltraHook.dll")).c_str(),
                   FALSE)) {
    throw std::runtime_error("cannot copy VeltraHook.dll: error " + std::to_string(::GetLastError()));
  }
}

Sandbox::~Sandbox() {
  EndWhatWasStarted();
  RemoveTree(top_);
}

void Sandbox::EndWhatWasStarted() const {
  // A program ended abruptly (a crash, a test's termination) leaves the
  // schtasks run it started running on; and Wine makes each new process
  // with its first thread suspended, resumed only once CreateProcessW
  // returns to its parent, so a run whose parent ended while starting it
  // never runs at all. Wine also hands every process the standard error of
  // its parent, here the test's output: CTest waits for that to close, so
  // such a run held the test past its time limit, and one that ends late
  // acts in the next test. Runs get the ten seconds the program itself
  // gives one, then they are ended; a program a test left running is ended
  // at once.
  std::set<DWORD> ours;
  for (const UniqueHandle& process : started_) {
    ours.insert(::GetProcessId(process.get()));
    if (::WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) {
      ::TerminateProcess(process.get(), 99);
      ::WaitForSingleObject(process.get(), 5000);
    }
  }
  const ULONGLONG deadline = ::GetTickCount64() + 10000;
  for (;;) {
    std::vector<UniqueHandle> left;
    const UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return;
    std::vector<PROCESSENTRY32W> entries;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
      entries.push_back(entry);
    }
    // Children of ours, their children, and so on.
    std::set<DWORD> family = ours;
    for (bool grew = true; grew;) {
      grew = false;
      for (const PROCESSENTRY32W& e : entries) {
        if (family.contains(e.th32ParentProcessID) && family.insert(e.th32ProcessID).second) grew = true;
      }
    }
    for (const PROCESSENTRY32W& e : entries) {
      if (ours.contains(e.th32ProcessID) || !family.contains(e.th32ProcessID)) continue;
      UniqueHandle process(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, e.th32ProcessID));
      if (process && ::WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) left.push_back(std::move(process));
    }
    if (left.empty()) return;
    const ULONGLONG now = ::GetTickCount64();
    if (now >= deadline) {
      // Said in the output: a helper that runs this long is worth a look.
      for (const PROCESSENTRY32W& e : entries) {
        if (!ours.contains(e.th32ProcessID) && family.contains(e.th32ProcessID)) {
          std::fprintf(stderr, "e2e: %ls (process %lu) still ran 10 s after the test's programs; ended\n", e.szExeFile,
                       static_cast<unsigned long>(e.th32ProcessID));
        }
      }
      for (const UniqueHandle& process : left) {
        ::TerminateProcess(process.get(), 1);
        ::WaitForSingleObject(process.get(), 5000);
      }
      return;
    }
    ::WaitForSingleObject(left.front().get(), static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 500)));
  }
}

void Sandbox::WriteDevices(const std::vector<SimDevice>& devices) const {
  testing::WriteSimDevices(std::filesystem::path(Extended(File(L"sim_devices.ini"))), devices);
}

void Sandbox::WriteDeviceValue(const wchar_t* section, const wchar_t* key, const wchar_t* value) const {
  testing::WriteSimValue(std::filesystem::path(ProfilePath(L"sim_devices.ini")), section, key, value);
}

void Sandbox::WriteSettings(const std::string& ini_bytes) const {
  std::ofstream out(std::filesystem::path(Extended(File(L"Veltra.ini"))), std::ios::binary);
  out << ini_bytes;
}

bool Sandbox::SettingsExist() const {
  return ::GetFileAttributesW(Extended(File(L"Veltra.ini")).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring Sandbox::ProfilePath(const std::wstring& name) const {
  if (File(name).size() < MAX_PATH) return File(name);
  // The profile functions cannot open longer paths; the short form can.
  wchar_t short_dir[MAX_PATH] = {};
  ::GetShortPathNameW(dir_.c_str(), short_dir, MAX_PATH);
  return std::wstring(short_dir) + L"\\" + name;
}

std::wstring Sandbox::Setting(const wchar_t* section, const wchar_t* key) const {
  return ProfileValue(L"Veltra.ini", section, key);
}

int Sandbox::DeviceStarted(const std::wstring& id) const {
  return static_cast<int>(::GetPrivateProfileIntW(id.c_str(), L"started", -1, ProfilePath(L"sim_devices.ini").c_str()));
}

std::vector<std::wstring> Sandbox::LogLines() const {
  std::ifstream in(std::filesystem::path(Extended(File(L"sim_devices.log"))), std::ios::binary);
  std::vector<std::wstring> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.emplace_back(line.begin(), line.end());
  }
  return lines;
}

void Sandbox::CopyProgram(const std::wstring& from_build, const std::wstring& name) const {
  const std::wstring target = File(name);
  CreateFolders(target.substr(0, target.find_last_of(L'\\')));
  if (!::CopyFileW(Extended(BuildFolder() + L"\\" + from_build).c_str(), Extended(target).c_str(), FALSE)) {
    throw std::runtime_error("cannot copy a program into the sandbox");
  }
}

void Sandbox::WriteFile(const std::wstring& name, const std::string& bytes) const {
  std::ofstream out(std::filesystem::path(Extended(File(name))), std::ios::binary);
  out << bytes;
}

bool Sandbox::Exists(const std::wstring& name) const {
  return ::GetFileAttributesW(Extended(File(name)).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring Sandbox::ProfileValue(const std::wstring& file, const wchar_t* section, const wchar_t* key) const {
  wchar_t buffer[2048] = {};
  ::GetPrivateProfileStringW(section, key, L"<missing>", buffer, 2048, ProfilePath(file).c_str());
  return buffer;
}

UniqueHandle Sandbox::Start(const std::wstring& arguments) const { return StartProgram(L"Veltra.exe", arguments); }

UniqueHandle Sandbox::StartProgram(const std::wstring& name, const std::wstring& arguments) const {
  const std::wstring program = File(name);
  std::wstring command = L"\"" + program + L"\"";
  if (!arguments.empty()) command += L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  std::wstring desktop = desktop_;
  if (!desktop.empty()) startup.lpDesktop = desktop.data();
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, dir_.c_str(), &startup,
                        &info)) {
    const DWORD error = ::GetLastError();
    // Wine answers ERROR_INTERNAL_ERROR when the new process ended before
    // its start-up was done and left no exit status: it died in Wine's own
    // start (its loader, a signal), before any of the program ran. Wine's
    // message, if it wrote one, is in the output just before this.
    throw std::runtime_error("CreateProcessW failed: " + std::to_string(error) +
                             (error == ERROR_INTERNAL_ERROR ? " (the new process died in Wine's start-up)" : ""));
  }
  ::CloseHandle(info.hThread);
  HANDLE kept = nullptr;
  if (::DuplicateHandle(::GetCurrentProcess(), info.hProcess, ::GetCurrentProcess(), &kept, 0, FALSE,
                        DUPLICATE_SAME_ACCESS)) {
    started_.emplace_back(kept);
  }
  return UniqueHandle(info.hProcess);
}

int Sandbox::Run(const std::wstring& arguments, std::chrono::milliseconds timeout) const {
  UniqueHandle process = Start(arguments);
  if (!WaitPumping(process.get(), timeout)) {
    ::TerminateProcess(process.get(), 99);
    ::WaitForSingleObject(process.get(), 5000);
    return -1;
  }
  DWORD code = 0;
  ::GetExitCodeProcess(process.get(), &code);
  return static_cast<int>(code);
}

bool WaitPumping(HANDLE process, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    const DWORD result =
        ::MsgWaitForMultipleObjects(1, &process, FALSE, static_cast<DWORD>(left.count()), QS_ALLINPUT);
    if (result == WAIT_OBJECT_0) return true;
    if (result == WAIT_FAILED) return false;
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
  }
}

HWND FindDialogOf(DWORD process_id) {
  std::pair<DWORD, HWND> search{process_id, nullptr};
  ::EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<std::pair<DWORD, HWND>*>(param);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        wchar_t cls[32] = {};
        ::GetClassNameW(window, cls, 32);
        if (owner == s->first && ::lstrcmpW(cls, L"#32770") == 0 && ::IsWindowVisible(window)) {
          s->second = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.second;
}

HWND ShownWindowOf(DWORD process_id, const wchar_t* window_class, const wchar_t* caption, HANDLE process) {
  HWND found = nullptr;
  WaitUntil([&] {
    if (process != nullptr && ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0) return true;
    for (HWND window = nullptr; (window = ::FindWindowExW(nullptr, window, window_class, caption)) != nullptr;) {
      DWORD owner = 0;
      ::GetWindowThreadProcessId(window, &owner);
      if (owner == process_id && ::IsWindowVisible(window)) return (found = window) != nullptr;
    }
    return false;
  });
  return found;
}

bool TaskExists(const wchar_t* name) {
  wchar_t system[MAX_PATH] = {};
  const UINT length = std::min(::GetSystemDirectoryW(system, MAX_PATH), UINT{MAX_PATH - 1});
  const std::wstring file = std::wstring(system, length) + L"\\Tasks\\" + name;
  return length > 0 && ::GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES;
}

RunningVeltra::RunningVeltra(const Sandbox& box, const std::wstring& arguments,
                             std::chrono::milliseconds window_timeout)
    : process_(box.Start(arguments)) {
  const DWORD id = ::GetProcessId(process_.get());
  const auto find_window = [&] {
    HWND candidate = nullptr;
    while ((candidate = ::FindWindowExW(nullptr, candidate, protocol::kWindowClass, nullptr)) != nullptr) {
      DWORD owner = 0;
      ::GetWindowThreadProcessId(candidate, &owner);
      if (owner == id) return candidate;
    }
    return candidate;
  };
  // A box the program shows before its status window exists (an old
  // Windows, a start-up error) is one no test expects: a box a test waits
  // for comes from the status window, which is then found first. So such a
  // box fails the test at once, with its text.
  HWND dialog = nullptr;
  WaitUntil([&] {
    if ((window_ = find_window()) != nullptr) return true;
    if ((dialog = FindDialogOf(id)) != nullptr) {
      window_ = find_window();  // made just before the box: the box is its own
      return true;
    }
    return ::WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0;
  }, window_timeout);
  if (window_ == nullptr && dialog != nullptr) {
    wchar_t caption[256] = {};
    ::GetWindowTextW(dialog, caption, 256);
    ADD_FAILURE() << "Veltra showed \"" << caption << "\" before its status window: " << MessageText(dialog);
    ::TerminateProcess(process_.get(), 99);
    ::WaitForSingleObject(process_.get(), 5000);
  } else if (window_ == nullptr) {
    DWORD code = 0;
    ::GetExitCodeProcess(process_.get(), &code);
    ADD_FAILURE() << "no status window came up; Veltra "
                  << (code == STILL_ACTIVE ? std::string("still runs") : "ended with " + std::to_string(code));
  } else if (dialog == nullptr) {
    // The window exists from the start of its set-up, which then switches
    // the device and reads it back: a request, a second start or a change
    // of the device tree that came now would meet a start still under way.
    // The state text is set once the read-back is done; a box the start-up
    // puts up (left to the test) or the end of the process ends the wait too.
    const bool through = WaitUntil([&] {
      return !StateText(window_, 500).value_or(L"").empty() || FindDialogOf(id) != nullptr ||
             ::WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0;
    }, window_timeout);
    if (!through) ADD_FAILURE() << "the status window came up, but its start-up did not end";
  }
}

RunningVeltra::~RunningVeltra() {
  if (::WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0) return;
  if (window_ != nullptr) ::PostMessageW(window_, WM_CLOSE, 0, 0);
  if (WaitForExit(std::chrono::seconds(10))) return;
  // Terminating takes a moment under Wine; until the process is gone its
  // program file stays mapped, and the next test cannot replace it.
  ::TerminateProcess(process_.get(), 99);
  ::WaitForSingleObject(process_.get(), 5000);
}

std::wstring RunningVeltra::Text() const {
  std::optional<std::wstring> text = StateText(window_, 15000);
  // A window that is gone has no text, as before; one that is there must answer.
  if (!text && ::IsWindow(window_)) ADD_FAILURE() << "the status window did not give its text within 15 s";
  return text.value_or(L"");
}

LRESULT RunningVeltra::Send(UINT message, WPARAM wparam, LPARAM lparam) const {
  DWORD_PTR result = 0;
  ::SendMessageTimeoutW(window_, message, wparam, lparam, SMTO_NORMAL, 15000, &result);
  return static_cast<LRESULT>(result);
}

bool RunningVeltra::WaitForExit(std::chrono::milliseconds timeout) const { return WaitPumping(process_.get(), timeout); }

FakeRunningInstance::FakeRunningInstance(bool with_window) {
  // Owned, as a running instance owns it until it begins to end.
  mutex_.reset(::CreateMutexW(nullptr, TRUE, protocol::kAppMutex));
  if (!with_window) return;
  window_ = testing::CreateStandInWindow(protocol::kWindowClass, &RecordingProc);
  if (window_ == nullptr) ADD_FAILURE() << "the stand-in window could not be made";
  // Above the status window (topmost too), so a search by class finds it first.
  ::SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  g_received.clear();
}

FakeRunningInstance::~FakeRunningInstance() {
  if (window_ != nullptr) ::DestroyWindow(window_);
}

std::vector<std::pair<WPARAM, LPARAM>> FakeRunningInstance::TakeMessages() { return std::exchange(g_received, {}); }

VirtualDesktop::VirtualDesktop(const std::wstring& name, int width, int height) : name_(name) {
  // Wine gives a new desktop the size stored under its name.
  UniqueHkey key;
  const std::wstring size = std::to_wstring(width) + L"x" + std::to_wstring(height);
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\Explorer\\Desktops", 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, key.put(), nullptr) == ERROR_SUCCESS) {
    ::RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(size.c_str()),
                     static_cast<DWORD>((size.size() + 1) * sizeof(wchar_t)));
  }
  desktop_ = ::CreateDesktopW(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
}

VirtualDesktop::~VirtualDesktop() {
  if (desktop_ != nullptr) ::CloseDesktop(desktop_);
}

void VirtualDesktop::Run(const std::function<void()>& body) const {
  // A body that did not run on the desktop checked nothing: that fails the
  // test, as does an exception, which must not end the thread.
  std::string failure;
  std::thread([&] {
    // Wine closes a thread's desktop handle when the thread ends, so each
    // thread joins through a handle of its own; desktop_ keeps the desktop.
    const HDESK own = ::OpenDesktopW(name_.c_str(), 0, FALSE, GENERIC_ALL);
    if (own == nullptr || !::SetThreadDesktop(own)) {
      failure = "cannot enter the desktop " + Narrow(name_) + ": error " + std::to_string(::GetLastError());
      if (own != nullptr) ::CloseDesktop(own);
      return;
    }
    try {
      body();
    } catch (const std::exception& error) {
      failure = std::string("exception on the desktop's thread: ") + error.what();
    } catch (...) {
      failure = "exception on the desktop's thread";
    }
  }).join();
  if (!failure.empty()) ADD_FAILURE() << failure;
}

bool VirtualDesktop::ChangeMode(int width, int height) {
  DEVMODEW mode{};
  mode.dmSize = sizeof(mode);
  mode.dmPelsWidth = static_cast<DWORD>(width);
  mode.dmPelsHeight = static_cast<DWORD>(height);
  mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
  return ::ChangeDisplaySettingsExW(nullptr, &mode, nullptr, 0, nullptr) == DISP_CHANGE_SUCCESSFUL;
}

}  // namespace veltra::e2e
