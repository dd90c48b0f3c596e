// The status window's opacity through SetLayeredWindowAttributes, looked
// up by name so a system without it leaves the window opaque.
#include "window/layered_window.h"

#include "window/placement.h"

namespace veltra {
namespace {

using SetLayeredWindowAttributesFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

SetLayeredWindowAttributesFn Lookup(HMODULE user32) noexcept {
  // The platform's own way of handing out a function address.
  return reinterpret_cast<SetLayeredWindowAttributesFn>(
      reinterpret_cast<void*>(::GetProcAddress(user32, "SetLayeredWindowAttributes")));
}

}  // namespace

CLayeredWindowHelperST::CLayeredWindowHelperST() noexcept : user32_(::LoadLibraryW(L"USER32.dll")) {}

int CLayeredWindowHelperST::SetOpacityPercent(HWND window, std::uint8_t percent) const noexcept {
  if (!user32_) return 1;
  const SetLayeredWindowAttributesFn set = Lookup(user32_.get());
  if (set == nullptr) return 0;
  return set(window, 0, AlphaForPercent(percent), LWA_ALPHA);
}

int CLayeredWindowHelperST::SetAlpha(HWND window, std::uint8_t alpha) const noexcept {
  if (!user32_) return 0;
  const SetLayeredWindowAttributesFn set = Lookup(user32_.get());
  return set != nullptr ? set(window, 0, alpha, LWA_ALPHA) : 0;
}

}  // namespace veltra
