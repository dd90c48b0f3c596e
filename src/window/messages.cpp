// Process-wide message numbers.
#include "window/messages.h"

namespace veltra {

const UINT WM_WINKEY_TRIGGER = ::RegisterWindowMessageW(protocol::kWinKeyMessageName);

}  // namespace veltra
