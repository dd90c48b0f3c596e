// After a switch, the taskbar is told the current tablet mode so that it
// redraws its notification area; Windows before 10 need nothing.
#include "device/taskbar_refresh.h"

#include <windows.h>

#include <cstring>

#include "platform/unique_handle.h"

namespace veltra {

int RefreshTaskbarTabletMode(OsVersion version) {
  const HWND taskbar = ::FindWindowW(L"Shell_TrayWnd", nullptr);
  if (taskbar == nullptr) return 0;
  if (version.major < 10) return 1;

  UniqueHkey key;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ImmersiveShell", 0,
                      KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) {
    ::OutputDebugStringW(L"Err RegOpenKeyEx\r\n");
    ::PostMessageW(taskbar, kTaskbarTabletModeMessage, 0, 0);
    return 0;
  }
  BYTE data[256] = {};
  DWORD size = sizeof(data);
  if (::RegQueryValueExW(key.get(), L"TabletMode", nullptr, nullptr, data, &size) != ERROR_SUCCESS) {
    key.reset();
    ::OutputDebugStringW(L"Err RegQueryValueEx\r\n");
    ::PostMessageW(taskbar, kTaskbarTabletModeMessage, 0, 0);
    return 0;
  }
  key.reset();
  // A value shorter than 32 bits reads as its bytes with the rest zero.
  DWORD mode = 0;
  std::memcpy(&mode, data, sizeof(mode));
  ::PostMessageW(taskbar, kTaskbarTabletModeMessage, mode, 0);
  return 1;
}

}  // namespace veltra
