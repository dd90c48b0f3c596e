// The plain window base: class registration, creation, and the one
// window procedure that routes messages to the object and keeps
// exceptions inside it.
#include "ui/window.h"

#include <algorithm>

#include "platform/trace.h"

namespace veltra::ui {

Window::~Window() {
  if (hwnd_ == nullptr) return;
  ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  ::DestroyWindow(hwnd_);
}

bool Window::Create(const wchar_t* class_name, UINT class_style, const wchar_t* title, DWORD style, int x, int y,
                    int width, int height, HWND parent) {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  if (!::GetClassInfoExW(instance, class_name, &window_class)) {
    window_class.style = class_style;
    window_class.lpfnWndProc = &WindowProc;
    window_class.hInstance = instance;
    window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    window_class.lpszClassName = class_name;
    if (::RegisterClassExW(&window_class) == 0) {
      TraceLastError(L"RegisterClassExW");
      return false;
    }
  }
  if (::CreateWindowExW(0, class_name, title, style, x, y, width, height, parent, nullptr, instance, this) ==
      nullptr) {
    TraceLastError(L"CreateWindowExW");
    return false;
  }
  return true;
}

LRESULT CALLBACK Window::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  try {
    if (message == WM_NCCREATE) {
      auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
      self->hwnd_ = window;
      ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return ::DefWindowProcW(window, message, wparam, lparam);
    const std::optional<LRESULT> answer = self->OnMessage(message, wparam, lparam);
    const LRESULT result = answer ? *answer : ::DefWindowProcW(window, message, wparam, lparam);
    if (message == WM_NCDESTROY) {
      ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      self->hwnd_ = nullptr;
      self->PostNcDestroy();
    }
    return result;
  } catch (...) {
    TraceException(L"window procedure");
    return ::DefWindowProcW(window, message, wparam, lparam);
  }
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(std::max(::GetWindowTextLengthW(window), 0)) + 1, L'\0');
  const int length = ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(std::max(length, 0)));
  return text;
}

}  // namespace veltra::ui
