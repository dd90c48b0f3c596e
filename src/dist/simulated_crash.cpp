// The production program never ends on request.
#include "platform/simulated_crash.h"

namespace veltra {

void CrashIfRequested(UINT) {}

void StepDone(const wchar_t*) noexcept {}

}  // namespace veltra
