// The application object: one per program, created statically, whose
// InitInstance does the program's whole work. wWinMain hands control to it.
#pragma once

#include <windows.h>

#include <string>

namespace veltra::ui {

class WinApp {
 public:
  WinApp();
  virtual ~WinApp();
  WinApp(const WinApp&) = delete;
  WinApp& operator=(const WinApp&) = delete;

  // The running application, or null before it is constructed.
  static WinApp* Current() noexcept;

  // Runs InitInstance; the process ends when it returns. Nothing thrown
  // leaves this function.
  int Run(HINSTANCE instance, const wchar_t* command_line) noexcept;

  HINSTANCE instance() const noexcept { return instance_; }
  const std::wstring& command_line() const noexcept { return command_line_; }
  // The program's file name without extension: the caption of its messages.
  const std::wstring& app_name() const noexcept { return app_name_; }
  const std::wstring& module_path() const noexcept { return module_path_; }

  int ShowMessage(const std::wstring& text, UINT type, HWND owner = nullptr) const;

 protected:
  // Returns false when the process should end, which for a dialog-based
  // program is always.
  virtual bool InitInstance() = 0;

 private:
  HINSTANCE instance_ = nullptr;
  std::wstring command_line_;
  std::wstring app_name_;
  std::wstring module_path_;
};

}  // namespace veltra::ui
