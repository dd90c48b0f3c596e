// A window of a class of the test's own, standing in for a window of the
// shell or of another program: its class is registered on first use and
// its procedure records what the test needs.
#pragma once

#include <windows.h>

namespace veltra::testing {

// A popup (no parent) or child window of class `class_name` with
// `procedure`; null if it could not be made.
inline HWND CreateStandInWindow(const wchar_t* class_name, WNDPROC procedure, HWND parent = nullptr, int width = 10,
                                int height = 10) {
  const HINSTANCE module = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = module;
  window_class.lpszClassName = class_name;
  // A second registration of the class fails harmlessly; the first one's
  // procedure stays.
  ::RegisterClassExW(&window_class);
  return ::CreateWindowExW(0, class_name, L"", parent != nullptr ? WS_CHILD : WS_POPUP, 0, 0, width, height, parent,
                           nullptr, module, nullptr);
}

}  // namespace veltra::testing
