// The hot key's registration and the Windows-key hook, each with one owner.
#include "window/key_registrations.h"

#include <utility>

#include "base/program_paths.h"
#include "ui/paths.h"
#include "ui/trace.h"
#include "window/key_triggers.h"
#include "window/messages.h"

namespace veltra {

void HotKeyRegistration::Register(std::int32_t fsModifiers, std::int32_t virtkey) {
  if (window_ == nullptr) return;
  const int id = HotKeyId(fsModifiers, virtkey);
  if (id_ == id) return;
  Unregister();
  if (!::RegisterHotKey(window_, id, HotKeyModifiers(fsModifiers), static_cast<UINT>(virtkey))) {
    ui::TraceLastError(L"RegisterHotKey");
    return;
  }
  id_ = id;
}

void HotKeyRegistration::Unregister() noexcept {
  if (!id_) return;
  ::UnregisterHotKey(window_, *id_);
  id_.reset();
}

bool WinKeyHook::LoadLibraryBesideProgram() {
  if (library_) return true;
  const std::wstring program = ui::ModuleFileName(nullptr);
  if (program.empty()) return false;
  // A full path: the loader looks nowhere else.
  const std::wstring path = base::SplitProgramPath(program).program_dir + L"VeltraHook.dll";
  ui::UniqueModule library(::LoadLibraryExW(path.c_str(), nullptr, 0));
  if (!library) {
    ui::TraceLastError(L"LoadLibraryExW(VeltraHook.dll)");
    return false;
  }
  const auto set_hook = ui::ProcAddress<decltype(set_hook_)>(library.get(), "SetLowKeyboardHook");
  const auto reset_hook = ui::ProcAddress<decltype(reset_hook_)>(library.get(), "ResetLowKeyboardHook");
  if (set_hook == nullptr || reset_hook == nullptr) {
    ui::TraceFailure(L"VeltraHook.dll without its exports", ERROR_PROC_NOT_FOUND);
    return false;
  }
  library_ = std::move(library);
  set_hook_ = set_hook;
  reset_hook_ = reset_hook;
  return true;
}

bool WinKeyHook::Install(HWND target) {
  if (!installed_ && LoadLibraryBesideProgram()) installed_ = set_hook_(target) != 0;
  return installed_;
}

void WinKeyHook::Remove() noexcept {
  if (!installed_) return;
  reset_hook_();
  installed_ = false;
}

}  // namespace veltra
