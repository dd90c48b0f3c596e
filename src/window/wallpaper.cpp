// Wallpaper per orientation.
#include "window/wallpaper.h"

#include <windows.h>
#include <wininet.h>  // before shlobj.h, which declares IActiveDesktop only after it
#include <shlobj.h>

#include <array>

#include "platform/com.h"
#include "platform/trace.h"
#include "platform/unique_handle.h"

namespace veltra {
namespace {

bool FileExists(const std::wstring& path) {
  WIN32_FIND_DATAW found{};
  return UniqueFind(::FindFirstFileW(path.c_str(), &found)).get() != INVALID_HANDLE_VALUE;
}

bool ThroughActiveDesktop(const std::wstring& path, std::int32_t style) {
  ComPtr<IActiveDesktop> desktop;
  if (FAILED(::CoCreateInstance(CLSID_ActiveDesktop, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveDesktop,
                                reinterpret_cast<void**>(desktop.GetAddressOf()))) ||
      !desktop) {
    return false;
  }
  HRESULT result = desktop->SetWallpaper(path.c_str(), 0);
  if (SUCCEEDED(result)) {
    WALLPAPEROPT options{};
    options.dwSize = sizeof(options);
    options.dwStyle = static_cast<DWORD>(style);
    result = desktop->SetWallpaperOptions(&options, 0);
    if (SUCCEEDED(result)) result = desktop->ApplyChanges(AD_APPLY_SAVE | AD_APPLY_HTMLGEN | AD_APPLY_REFRESH);
  }
  return SUCCEEDED(result);
}

// The user's desktop settings that the system parameter reads the style
// from: centre, tile and stretch as the shell's styles mean them.
void WriteStyle(std::int32_t style) {
  const wchar_t* wallpaper_style = nullptr;
  const wchar_t* tile = nullptr;
  switch (style) {
    case 0: wallpaper_style = L"0"; tile = L"0"; break;
    case 1: wallpaper_style = L"0"; tile = L"1"; break;
    case 2: wallpaper_style = L"2"; tile = L"0"; break;
    default: return;  // no such style: the user's current one stays
  }
  UniqueHkey key;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_SET_VALUE, key.put()) != ERROR_SUCCESS) {
    TraceFailure(L"opening Control Panel\\Desktop", ERROR_ACCESS_DENIED);
    return;
  }
  auto set = [&](const wchar_t* name, const wchar_t* value) {
    ::RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                     static_cast<DWORD>((::lstrlenW(value) + 1) * sizeof(wchar_t)));
  };
  set(L"WallpaperStyle", wallpaper_style);
  set(L"TileWallpaper", tile);
}

bool ThroughSystemParameter(const std::wstring& path, std::int32_t style) {
  WriteStyle(style);
  std::wstring file = path;
  if (!::SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, file.data(), SPIF_UPDATEINIFILE | SPIF_SENDCHANGE)) {
    TraceLastError(L"SPI_SETDESKWALLPAPER");
    return false;
  }
  // Success is what the system now reports, not what the call said.
  std::array<wchar_t, 32768> current{};
  if (!::SystemParametersInfoW(SPI_GETDESKWALLPAPER, static_cast<UINT>(current.size()), current.data(), 0)) return false;
  return ::CompareStringOrdinal(current.data(), -1, path.c_str(), -1, TRUE) == CSTR_EQUAL;
}

}  // namespace

int SetDesktopWallpaper(const std::wstring& path, std::int32_t style) {
  if (path.empty() || !FileExists(path)) return 0;
  const ComApartment apartment;
  if (apartment.ok() || apartment.result() == RPC_E_CHANGED_MODE) {
    if (ThroughActiveDesktop(path, style)) return 1;
  }
  return ThroughSystemParameter(path, style) ? 1 : 0;
}

void ApplyOrientationWallpaper(const Settings& settings) {
  if (settings.portrait == 1 && settings.vertical_enable != 0) {
    SetDesktopWallpaper(settings.vertical, settings.vertical_style);
  } else if (settings.portrait == 0 && settings.horizonal_enable != 0) {
    SetDesktopWallpaper(settings.horizonal, settings.horizonal_style);
  }
}

}  // namespace veltra
