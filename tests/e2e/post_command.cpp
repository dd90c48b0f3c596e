// Drives the running Veltra from outside, for scripts (scripts/screenshot):
//   post_command <command>              posts a menu command (decimal) to the
//                                       status window, as its menu would
//   post_command click <title> <id>     clicks control <id> of the dialog
//                                       captioned <title>
//   post_command hover <title> <id>     puts the mouse over that control
//   post_command tray <class> <message> <mouse message>
//                                       puts the mouse on the taskbar's
//                                       notification area, where a click on
//                                       an icon leaves it, and posts the
//                                       icon callback <message> (decimal) with
//                                       <mouse message> to the window of
//                                       class <class>, as the icon would
//   post_command point <x> <y>          puts the mouse at that point of the
//                                       screen (the icon's tooltip goes once
//                                       the mouse has left the icon)
//   post_command wait <seconds>         waits, at most that long, for the
//                                       status window (scripts/test's package
//                                       test, before it starts a second copy)
// Exits 1 when a window is not found, 2 on a bad command line.
#include <windows.h>

#include <cwchar>

#include "protocol/veltra_protocol.h"

namespace {

HWND ControlOf(const wchar_t* title, const wchar_t* id) {
  const HWND dialog = ::FindWindowW(L"#32770", title);
  return dialog != nullptr ? ::GetDlgItem(dialog, static_cast<int>(std::wcstol(id, nullptr, 10))) : nullptr;
}

// The notification icon's callback as the shell posts it: lParam's low word
// the mouse message. A menu it opens appears at the mouse, so the mouse goes
// first to the notification area at the taskbar's right end.
int PostIconCallback(const wchar_t* window_class, const wchar_t* message, const wchar_t* mouse_message) {
  const HWND window = ::FindWindowW(window_class, nullptr);
  const HWND taskbar = ::FindWindowW(L"Shell_TrayWnd", nullptr);
  RECT bar{};
  if (window == nullptr || taskbar == nullptr || !::GetWindowRect(taskbar, &bar)) return 1;
  ::SetCursorPos(bar.right - 12, (bar.top + bar.bottom) / 2);
  return ::PostMessageW(window, static_cast<UINT>(std::wcstoul(message, nullptr, 10)), 0,
                        static_cast<LPARAM>(std::wcstoul(mouse_message, nullptr, 10)))
             ? 0
             : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2) {
    const HWND window = ::FindWindowW(veltra::protocol::kWindowClass, nullptr);
    if (window == nullptr) return 1;
    return ::PostMessageW(window, WM_COMMAND, std::wcstoul(argv[1], nullptr, 10), 0) ? 0 : 1;
  }
  if (argc == 3 && std::wcscmp(argv[1], L"wait") == 0) {
    const ULONGLONG deadline = ::GetTickCount64() + 1000 * std::wcstoull(argv[2], nullptr, 10);
    while (::FindWindowW(veltra::protocol::kWindowClass, nullptr) == nullptr) {
      if (::GetTickCount64() >= deadline) return 1;
      ::Sleep(100);
    }
    return 0;
  }
  if (argc == 5 && std::wcscmp(argv[1], L"tray") == 0) return PostIconCallback(argv[2], argv[3], argv[4]);
  if (argc != 4) return 2;
  if (std::wcscmp(argv[1], L"point") == 0) {
    return ::SetCursorPos(static_cast<int>(std::wcstol(argv[2], nullptr, 10)),
                          static_cast<int>(std::wcstol(argv[3], nullptr, 10)))
               ? 0
               : 1;
  }
  const HWND control = ControlOf(argv[2], argv[3]);
  if (control == nullptr) return 1;
  if (std::wcscmp(argv[1], L"click") == 0) return ::PostMessageW(control, BM_CLICK, 0, 0) ? 0 : 1;
  if (std::wcscmp(argv[1], L"hover") != 0) return 2;
  RECT rect{};
  ::GetWindowRect(control, &rect);
  // Two steps, so the control sees the mouse arrive and then rest on it.
  ::SetCursorPos(rect.left + 1, rect.top + 1);
  ::Sleep(100);
  ::SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  return 0;
}
