// What the tests read back from the screen and the desktop: a layered
// window's alpha, whether a hot key is free, and the desktop settings as Wine keeps them in the
// registry (each process caches what the system parameters read, so a
// test reads the registry); and a small bitmap to make a wallpaper of.
#pragma once

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace veltra::testing {

// Whether another thread could register the combination now, i.e. nobody
// holds it (a thread of its own, since a hot key this thread holds would
// read as taken).
inline bool HotKeyFree(UINT modifiers, UINT key) {
  bool free = false;
  std::thread([&] {
    if (::RegisterHotKey(nullptr, 0x7777, modifiers, key)) {
      free = true;
      ::UnregisterHotKey(nullptr, 0x7777);
    }
  }).join();
  return free;
}

inline BYTE Alpha(HWND window) {
  BYTE alpha = 0;
  DWORD flags = 0;
  ::GetLayeredWindowAttributes(window, nullptr, &alpha, &flags);
  return alpha;
}

// A value of HKCU\Control Panel\Desktop, such as "Wallpaper".
inline std::wstring DesktopValue(const wchar_t* name) {
  wchar_t value[1024] = {};
  DWORD size = sizeof(value);
  ::RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", name, RRF_RT_REG_SZ, nullptr, value, &size);
  return value;
}

inline void SetDesktopValue(const wchar_t* name, const std::wstring& value) {
  ::RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", name, REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// A 2 x 2 bitmap, enough for the shell to take as a wallpaper.
inline void WriteBitmap(const std::wstring& path) {
  const unsigned char file[] = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0,
                                0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                0, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 0, 255, 255, 255, 0, 0, 0};
  std::ofstream(std::filesystem::path(path), std::ios::binary)
      .write(reinterpret_cast<const char*>(file), sizeof(file));
}

}  // namespace veltra::testing
