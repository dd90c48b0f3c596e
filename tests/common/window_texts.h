// What the tests read from windows they did not make: the text of a message
// box (or any dialog's first static text) and the tooltip of a control.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

namespace veltra::testing {

// The first static control with text in `window`: a message box's message
// (its icon is a static control without text).
inline std::wstring MessageText(HWND window) {
  std::wstring found;
  ::EnumChildWindows(
      window,
      [](HWND child, LPARAM param) -> BOOL {
        wchar_t name[32] = {};
        wchar_t text[1024] = {};
        ::GetClassNameW(child, name, 32);
        ::GetWindowTextW(child, text, 1024);
        if (::lstrcmpiW(name, L"Static") != 0 || text[0] == 0) return TRUE;
        *reinterpret_cast<std::wstring*>(param) = text;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// The text a tooltip owned by `dialog` holds for its control `id`, whether
// the dialog keeps one tooltip for all its controls or one for each.
inline std::wstring TooltipText(HWND dialog, int id) {
  const HWND control = ::GetDlgItem(dialog, id);
  for (HWND tip = nullptr; (tip = ::FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) != nullptr;) {
    if (::GetWindow(tip, GW_OWNER) != dialog) continue;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    for (WPARAM i = 0; ::SendMessageW(tip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&tool)); ++i) {
      if (tool.uId != reinterpret_cast<UINT_PTR>(control)) continue;
      wchar_t text[INFOTIPSIZE] = {};
      tool.lpszText = text;
      ::SendMessageW(tip, TTM_GETTEXTW, INFOTIPSIZE, reinterpret_cast<LPARAM>(&tool));
      return text;
    }
  }
  return L"";
}

}  // namespace veltra::testing
