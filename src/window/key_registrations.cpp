// The hot key's registration and the Windows-key hook, each with one owner.
#include "window/key_registrations.h"

#include "hook/veltra_hook.h"
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

bool WinKeyHook::Install(HWND target) {
  if (!installed_) installed_ = SetLowKeyboardHook(target) != 0;
  return installed_;
}

void WinKeyHook::Remove() noexcept {
  if (!installed_) return;
  ResetLowKeyboardHook();
  installed_ = false;
}

}  // namespace veltra
