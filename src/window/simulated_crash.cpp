// The production program never crashes on request.
#include "window/simulated_crash.h"

namespace veltra {

void CrashIfRequested(UINT) {}

}  // namespace veltra
