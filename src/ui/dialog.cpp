// Dialog and the thread's message loop.
#include "ui/dialog.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/trace.h"
#include "ui/monitor_dpi.h"

namespace veltra::ui {
namespace {

// A width makes a tooltip break its lines at "\r\n".
constexpr int kTooltipWidth = 512;

void AddTool(HWND tooltip, HWND dialog, HWND control, const std::wstring& text) {
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND;
  tool.hwnd = dialog;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  // The tooltip keeps a copy of the text.
  tool.lpszText = const_cast<wchar_t*>(text.c_str());
  if (!::SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) TraceFailure(L"TTM_ADDTOOLW", 0);
}

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

// The open dialogs of the thread, so the loop can find the one a message
// belongs to. One user-interface thread, so no lock.
std::vector<Dialog*>& OpenDialogs() {
  static std::vector<Dialog*> dialogs;
  return dialogs;
}

}  // namespace

Dialog::~Dialog() {
  if (hwnd_ == nullptr) return;
  const HWND window = hwnd_;
  Detach(window);
  ::DestroyWindow(window);
}

void Dialog::Detach(HWND window) noexcept {
  std::erase(OpenDialogs(), this);
  if (::IsWindow(window) && ::GetWindowLongPtrW(window, DWLP_USER) == reinterpret_cast<LONG_PTR>(this)) {
    ::SetWindowLongPtrW(window, DWLP_USER, 0);
  }
  hwnd_ = nullptr;
  tooltips_.clear();
}

HWND Dialog::CreateWindowFor(HWND owner) {
  const HWND window = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(template_id_), owner,
                                           &DialogProc, reinterpret_cast<LPARAM>(this));
  if (window == nullptr) TraceLastError(L"CreateDialogParamW");
  return window;
}

INT_PTR Dialog::DoModal(HWND owner) {
  ended_ = false;
  result_ = 0;
  // As the platform's own modal dialogs do: the owner takes no input while
  // this runs, and only an owner we disabled is enabled again.
  const bool disable_owner = owner != nullptr && ::IsWindowEnabled(owner);
  if (disable_owner) ::EnableWindow(owner, FALSE);
  if (CreateWindowFor(owner) == nullptr) {
    if (disable_owner) ::EnableWindow(owner, TRUE);
    return -1;
  }
  modal_ = true;
  RunMessageLoop(ended_);
  modal_ = false;
  // The owner must be enabled before this window goes, or the activation
  // (and with it the focus) passes to some other program's window. An
  // owner destroyed meanwhile took this window with it.
  if (disable_owner && ::IsWindow(owner)) ::EnableWindow(owner, TRUE);
  if (hwnd_ != nullptr && ::GetActiveWindow() == hwnd_ && ::IsWindow(owner)) ::SetActiveWindow(owner);
  Destroy();
  return result_;
}

void Dialog::EndDialog(INT_PTR result) noexcept {
  if (ended_) return;
  result_ = result;
  ended_ = true;
  // Wake the loop if it is waiting.
  if (hwnd_ != nullptr) ::PostMessageW(hwnd_, WM_NULL, 0, 0);
}

bool Dialog::Create(HWND owner) {
  if (hwnd_ != nullptr) return true;
  return CreateWindowFor(owner) != nullptr;
}

void Dialog::Destroy() noexcept {
  if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
  // WM_NCDESTROY normally did this already.
  std::erase(OpenDialogs(), this);
  hwnd_ = nullptr;
  tooltips_.clear();
}

void Dialog::Centre(bool over_owner) const noexcept {
  const HWND owner = ::GetWindow(hwnd_, GW_OWNER);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (!::GetMonitorInfoW(::MonitorFromWindow(owner != nullptr ? owner : hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
    return;
  }
  const RECT& work = monitor.rcWork;
  RECT around = work;
  if (over_owner && owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
    ::GetWindowRect(owner, &around);
  }
  RECT rect{};
  ::GetWindowRect(hwnd_, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  const int x = std::clamp(around.left + (around.right - around.left - width) / 2, work.left,
                           std::max(work.left, work.right - width));
  const int y = std::clamp(around.top + (around.bottom - around.top - height) / 2, work.top,
                           std::max(work.top, work.bottom - height));
  ::SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Dialog::AddTooltip(int id, const std::wstring& text, bool always) {
  const HWND tooltip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | (always ? TTS_ALWAYSTIP : 0U),
                                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                         ::GetModuleHandleW(nullptr), nullptr);
  if (tooltip == nullptr) {
    TraceLastError(L"creating a tooltip");
    return;
  }
  tooltips_.push_back(tooltip);
  // The width is meant at 96 DPI; the tip's text grows with the dialog's.
  ::SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, ::MulDiv(kTooltipWidth, static_cast<int>(WindowDpi(hwnd_)), 96));
  const HWND control = Item(id);
  AddTool(tooltip, hwnd_, control, text);
  COMBOBOXINFO parts{};
  parts.cbSize = sizeof(parts);
  if (::GetComboBoxInfo(control, &parts) && parts.hwndItem != nullptr) AddTool(tooltip, hwnd_, parts.hwndItem, text);
}

bool Dialog::RouteMessage(MSG& message) {
  if (message.hwnd == nullptr) return false;
  const HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
  for (Dialog* dialog : OpenDialogs()) {
    if (dialog->hwnd_ != root) continue;
    if (message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST) {
      for (const HWND tooltip : dialog->tooltips_) {
        ::SendMessageW(tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&message));
      }
    }
    try {
      if (dialog->PreTranslateMessage(message)) return true;
    } catch (...) {
      TraceException(L"PreTranslateMessage");
    }
    return ::IsDialogMessageW(dialog->hwnd_, &message) != FALSE;
  }
  return false;
}

void RunMessageLoop(const bool& done) {
  MSG message;
  while (!done) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (got < 0) return;
    if (Dialog::RouteMessage(message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

INT_PTR CALLBACK Dialog::DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  try {
    if (message == WM_INITDIALOG) {
      auto* self = reinterpret_cast<Dialog*>(lparam);
      ::SetWindowLongPtrW(window, DWLP_USER, lparam);
      self->hwnd_ = window;
      OpenDialogs().push_back(self);
      return self->OnInitDialog();
    }
    auto* self = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(window, DWLP_USER));
    if (self == nullptr) return FALSE;
    if (message == WM_NCDESTROY) {
      self->Detach(window);
      // Destroyed from outside while its modal loop runs: that loop ends
      // as if the user had cancelled.
      if (self->modal_ && !self->ended_) {
        self->result_ = IDCANCEL;
        self->ended_ = true;
      }
      return FALSE;
    }
    const std::optional<LRESULT> answer = self->OnMessage(message, wparam, lparam);
    if (!answer) return FALSE;
    if (ReturnsValueDirectly(message)) return static_cast<INT_PTR>(*answer);
    ::SetWindowLongPtrW(window, DWLP_MSGRESULT, *answer);
    return TRUE;
  } catch (...) {
    TraceException(L"a dialog procedure");
    return FALSE;
  }
}

}  // namespace veltra::ui
