// The simulated program raises an unhandled exception when its status window
// receives the registered crash message.
#include "window/simulated_crash.h"

#include "protocol/veltra_protocol.h"

namespace veltra {

void CrashIfRequested(UINT message) {
  static const UINT crash_message = ::RegisterWindowMessageW(protocol::kSimulatedCrashMessageName);
  if (message == crash_message) ::RaiseException(0xE0000001, EXCEPTION_NONCONTINUABLE, 0, nullptr);
}

}  // namespace veltra
