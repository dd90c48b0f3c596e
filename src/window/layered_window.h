// CLayeredWindowHelperST: the status window's opacity, through the
// layered-window function of USER32.dll looked up by name, so a system
// without it leaves the window opaque instead of failing to start.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/unique_handle.h"

namespace veltra {

class CLayeredWindowHelperST {
 public:
  CLayeredWindowHelperST() noexcept;
  virtual ~CLayeredWindowHelperST() = default;
  CLayeredWindowHelperST(const CLayeredWindowHelperST&) = delete;
  CLayeredWindowHelperST& operator=(const CLayeredWindowHelperST&) = delete;

  // Alpha min(percent, 100) x 255 / 100. 1 when the module is not loaded
  // (nothing to do), 0 when it lacks the function, else the call's result.
  int SetOpacityPercent(HWND window, std::uint8_t percent) const noexcept;
  // The alpha itself; nothing happens without the module or the function.
  int SetAlpha(HWND window, std::uint8_t alpha) const noexcept;

 private:
  UniqueModule user32_;
};

}  // namespace veltra
