// DPI queries, looked up by name so that Windows 8 loads the program.
#include "ui/monitor_dpi.h"

#include "platform/unique_handle.h"

namespace veltra::ui {
namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);

template <typename Fn>
Fn User32Function(const char* name) noexcept {
  const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr) return nullptr;
  // The platform's own way of handing out a function address.
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(user32, name)));
}

}  // namespace

UINT SystemDpi() {
  const UniqueScreenDc screen(::GetDC(nullptr));
  const int dpi = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

UINT WindowDpi(HWND window) {
  static const auto get_dpi = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  // 0 for a window that is gone.
  const UINT dpi = window != nullptr && get_dpi != nullptr ? get_dpi(window) : 0;
  return dpi != 0 ? dpi : SystemDpi();
}

UINT TaskbarDpi() { return WindowDpi(::FindWindowW(L"Shell_TrayWnd", nullptr)); }

SIZE SmallIconSize(UINT dpi) {
  static const auto metric = User32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
  if (metric != nullptr) return SIZE{metric(SM_CXSMICON, dpi), metric(SM_CYSMICON, dpi)};
  return SIZE{::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON)};
}

}  // namespace veltra::ui
