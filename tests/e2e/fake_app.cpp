// A program for the watcher to look at: a plain visible window that takes
// the foreground when it starts and whenever it gets WM_APP, and ends when
// it is closed. A key that reaches it shows in its caption.
#include <windows.h>

namespace {

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) ::PostQuitMessage(0);
  if (message == WM_APP) ::SetForegroundWindow(window);
  if (message == WM_KEYDOWN) ::SetWindowTextW(window, L"Key down");
  return ::DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = &Proc;
  window_class.hInstance = instance;
  window_class.lpszClassName = L"VeltraTestForegroundApp";
  ::RegisterClassW(&window_class);
  const HWND window = ::CreateWindowExW(0, window_class.lpszClassName, L"Foreground app",
                                        WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 200, 300, 200, nullptr, nullptr,
                                        instance, nullptr);
  if (window == nullptr) return 1;
  ::SetForegroundWindow(window);
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
  return 0;
}
