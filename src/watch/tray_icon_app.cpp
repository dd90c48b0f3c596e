// Veltrawatch's start-up: its settings and lists read (bad values
// corrected and written back), then its hidden window and icon.
#include "watch/tray_icon_app.h"

#include <cstdio>
#include <string_view>
#include <utility>

#include "base/program_paths.h"
#include "platform/exit_request.h"
#include "platform/private_namespace.h"
#include "platform/running_processes.h"
#include "platform/trace.h"
#include "protocol/instance_names.h"
#include "protocol/veltra_protocol.h"
#include "ui/dialog.h"
#include "watch/main_wnd.h"
#include "watch/watch_step.h"

namespace veltra::watch {
namespace {

constexpr char kSection[] = "config";
constexpr char kIntervalKey[] = "interval";
constexpr char kDefaultStatusKey[] = "default status";

// The bytes of a file beside the program; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path) {
  std::string bytes;
  const UniqueStdioFile file(std::fopen(path.c_str(), "rb"));
  if (!file) return bytes;
  char buffer[4096];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof(buffer), file.get())) > 0) bytes.append(buffer, got);
  return bytes;
}

void WriteInt(const char* key, long value, const std::string& ini_path) {
  const std::string text = std::to_string(value);
  ::WritePrivateProfileStringA(kSection, key, text.c_str(), ini_path.c_str());
}

}  // namespace

bool CTrayIconApp::InitInstance() {
  // One watcher per session; a second start ends without a word. A name
  // held with no other watcher of this file in the session behind it is
  // another program's: this watcher runs without it, and a later start
  // finds this one by its process.
  const PrivateNamespace private_names(protocol::kPrivateNamespace, true);
  const protocol::InstanceNames names =
      protocol::ChooseInstanceNames(private_names.held(), CurrentSessionId(), ::GetCurrentProcessId());
  instance_mutex_.reset(::CreateMutexW(nullptr, FALSE, names.watch_mutex.c_str()));
  if (!instance_mutex_ || ::GetLastError() == ERROR_ALREADY_EXISTS) {
    if (!OtherInstancesOf(module_path()).empty()) return false;
    instance_mutex_.reset();
  }
  // For the installer's removal, from whatever session it runs in.
  const ExitRequestListener exit_request(names.exit_request, protocol::kWatchWindowClass);

  char module[520] = {};
  const DWORD length = ::GetModuleFileNameA(nullptr, module, sizeof(module));
  base::BasicProgramPaths<char> paths =
      base::SplitProgramPath(std::string_view(module, length < sizeof(module) ? length : 0));
  program_directory_ = std::move(paths.program_dir);
  program_name_ = std::move(paths.app_name);
  ini_path_ = std::move(paths.ini_path);

  ReadSettings();
  ReadLists();

  CMainWnd window(*this);
  if (!window.CreateHidden()) return false;
  if (!window.AddNotifyIcon()) return false;
  window.StartWatching();
  const bool never = false;
  ui::RunMessageLoop(never);
  return false;
}

void CTrayIconApp::ReadSettings() {
  // Both keys are written back as read, so a missing key appears with its
  // default; an interval out of bounds is replaced by the default only
  // while the watcher runs, and the user's value stays in the file.
  const INT stored_interval =
      ::GetPrivateProfileIntA(kSection, kIntervalKey, static_cast<INT>(kDefaultInterval), ini_path_.c_str());
  interval_ = WatchInterval(stored_interval);
  WriteInt(kIntervalKey, stored_interval, ini_path_);
  default_status_ = static_cast<std::int32_t>(::GetPrivateProfileIntA(kSection, kDefaultStatusKey, 0, ini_path_.c_str()));
  WriteInt(kDefaultStatusKey, default_status_, ini_path_);
}

void CTrayIconApp::ReadLists() {
  // A missing file is an empty list.
  lists_.enable = ReadProcessList(ReadFileBytes(program_directory_ + kEnableListName), &UpperCaseAnsi);
  lists_.disable = ReadProcessList(ReadFileBytes(program_directory_ + kDisableListName), &UpperCaseAnsi);
}

}  // namespace veltra::watch
