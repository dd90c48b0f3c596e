// Process-wide message numbers.
#include "window/messages.h"

namespace veltra {

const UINT WM_WINKEY_TRIGGER = ::RegisterWindowMessageW(kWinKeyMessageName);
UINT WM_TASKBAR_CREATED = 0;

}  // namespace veltra
