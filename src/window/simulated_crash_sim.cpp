// The simulated program raises an unhandled exception when its status window
// receives the registered message "VeltraSimulatedCrash".
#include "window/simulated_crash.h"

namespace veltra {

void CrashIfRequested(UINT message) {
  static const UINT crash_message = ::RegisterWindowMessageW(L"VeltraSimulatedCrash");
  if (message == crash_message) ::RaiseException(0xE0000001, EXCEPTION_NONCONTINUABLE, 0, nullptr);
}

}  // namespace veltra
