// WinApp.
#include "ui/win_app.h"

#include "app/program_paths.h"

namespace ui {
namespace {

WinApp* g_app = nullptr;

}  // namespace

WinApp::WinApp() { g_app = this; }

WinApp::~WinApp() {
  if (g_app == this) g_app = nullptr;
}

WinApp* WinApp::Current() noexcept { return g_app; }

std::wstring ModuleFileName(HMODULE module) {
  // MAX_PATH is not a limit for a program started through a long path, and
  // a cut path would put the settings file somewhere else.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

int WinApp::Run(HINSTANCE instance, const wchar_t* command_line) noexcept {
  try {
    instance_ = instance;
    command_line_ = command_line != nullptr ? command_line : L"";
    module_path_ = ModuleFileName(nullptr);
    app_name_ = veltra::SplitProgramPath(module_path_).app_name;
    InitInstance();
    return 0;
  } catch (...) {
    return 1;
  }
}

int WinApp::ShowMessage(const std::wstring& text, UINT type, HWND owner) const {
  return ::MessageBoxW(owner, text.c_str(), app_name_.c_str(), type);
}

}  // namespace ui
