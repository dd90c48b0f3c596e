// Posts a menu command (the decimal number given) to the running Veltra's
// status window, as a choice in its notification icon's menu would; for
// scripts that drive the simulated program from outside. Exits 1 when no
// status window is found.
#include <windows.h>

#include <cwchar>

#include "protocol/veltra_protocol.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  const HWND window = ::FindWindowW(veltra::protocol::kWindowClass, nullptr);
  if (window == nullptr) return 1;
  const WPARAM command = std::wcstoul(argv[1], nullptr, 10);
  return ::PostMessageW(window, WM_COMMAND, command, 0) ? 0 : 1;
}
