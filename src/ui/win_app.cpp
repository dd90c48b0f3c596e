// The application object: the program's path and name, InitInstance,
// and message boxes captioned with the program's name.
#include "ui/win_app.h"

#include "base/program_paths.h"
#include "platform/paths.h"
#include "platform/trace.h"

namespace veltra::ui {
namespace {

WinApp* g_app = nullptr;

}  // namespace

WinApp::WinApp() { g_app = this; }

WinApp::~WinApp() {
  if (g_app == this) g_app = nullptr;
}

WinApp* WinApp::Current() noexcept { return g_app; }

int WinApp::Run(HINSTANCE instance, const wchar_t* command_line) noexcept {
  try {
    instance_ = instance;
    command_line_ = command_line != nullptr ? command_line : L"";
    module_path_ = ModuleFileName(nullptr);
    app_name_ = base::SplitProgramPath(module_path_).app_name;
    InitInstance();
    return 0;
  } catch (...) {
    TraceException(L"InitInstance");
    return 1;
  }
}

int WinApp::ShowMessage(const std::wstring& text, UINT type, HWND owner) const {
  return ::MessageBoxW(owner, text.c_str(), app_name_.c_str(), type);
}

}  // namespace veltra::ui
