// The baselines of the start-up benchmark, one source built twice with the
// same options as Veltra.exe. As it stands: a program that shows one plain
// top-level window and ends when it is closed. With VELTRA_BENCH_NOTIFY_ICON
// (veltra_bench_bare_notify.exe): the floor of a resident program with an
// icon, which also loads the common controls its manifest (Veltra's own)
// binds to version 6 and puts one icon in the notification area before its
// window shows, as Veltra does.
#include <windows.h>

#ifdef VELTRA_BENCH_NOTIFY_ICON
#include <commctrl.h>
#include <shellapi.h>
#endif

namespace {

#ifdef VELTRA_BENCH_NOTIFY_ICON
NOTIFYICONDATAW g_icon{};

bool AddNotifyIcon(HWND window) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  g_icon.cbSize = sizeof(g_icon);
  g_icon.hWnd = window;
  g_icon.uID = 1;
  g_icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  g_icon.uCallbackMessage = WM_APP;
  g_icon.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);  // the system's, not owned
  ::lstrcpynW(g_icon.szTip, L"Bare", ARRAYSIZE(g_icon.szTip));
  return ::Shell_NotifyIconW(NIM_ADD, &g_icon) != FALSE;
}

void DeleteNotifyIcon() { ::Shell_NotifyIconW(NIM_DELETE, &g_icon); }
#else
bool AddNotifyIcon(HWND) { return true; }
void DeleteNotifyIcon() {}
#endif

LRESULT CALLBACK BareProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    DeleteNotifyIcon();
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = &BareProc;
  window_class.hInstance = instance;
  window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  window_class.lpszClassName = L"VeltraBenchBareWindow";
  if (::RegisterClassExW(&window_class) == 0) return 1;
  const HWND window = ::CreateWindowExW(WS_EX_TOOLWINDOW, window_class.lpszClassName, L"Bare", WS_POPUP | WS_CAPTION,
                                        100, 100, 200, 80, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  // A refused icon ends the program before its window shows: the benchmark
  // then reports the baseline as failed instead of timing less work.
  if (!AddNotifyIcon(window)) return 1;
  ::ShowWindow(window, SW_SHOWNORMAL);
  ::UpdateWindow(window);
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return 0;
}
