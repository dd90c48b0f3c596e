// Dialog.
#include "ui/dialog.h"

namespace ui {
namespace {

// Messages whose dialog-procedure result is the answer itself rather than a
// handled flag with the answer in DWLP_MSGRESULT.
bool ReturnsValueDirectly(UINT message) {
  switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
      return true;
    default:
      return false;
  }
}

}  // namespace

INT_PTR Dialog::DoModal(HWND parent) {
  ended_ = false;
  hwnd_ = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(template_id_), parent, &DialogProc,
                               reinterpret_cast<LPARAM>(this));
  if (hwnd_ == nullptr) return -1;
  MSG message;
  while (!ended_) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      ::PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (got < 0) break;
    if (PreTranslateMessage(message)) continue;
    if (::IsDialogMessageW(hwnd_, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  const HWND window = hwnd_;
  ::DestroyWindow(window);
  hwnd_ = nullptr;
  return result_;
}

void Dialog::EndDialog(INT_PTR result) noexcept {
  result_ = result;
  ended_ = true;
  // Wake the loop if it is waiting.
  if (hwnd_ != nullptr) ::PostMessageW(hwnd_, WM_NULL, 0, 0);
}

INT_PTR CALLBACK Dialog::DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  try {
    if (message == WM_INITDIALOG) {
      auto* self = reinterpret_cast<Dialog*>(lparam);
      ::SetWindowLongPtrW(window, DWLP_USER, lparam);
      self->hwnd_ = window;
      return self->OnInitDialog();
    }
    auto* self = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(window, DWLP_USER));
    if (self == nullptr) return FALSE;
    const std::optional<LRESULT> answer = self->OnMessage(message, wparam, lparam);
    if (!answer) return FALSE;
    if (ReturnsValueDirectly(message)) return static_cast<INT_PTR>(*answer);
    ::SetWindowLongPtrW(window, DWLP_MSGRESULT, *answer);
    return TRUE;
  } catch (...) {
    return FALSE;
  }
}

}  // namespace ui
