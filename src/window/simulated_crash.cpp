// The production program never ends on request.
#include "ui/simulated_crash.h"

namespace veltra {

void CrashIfRequested(UINT) {}

void StepDone(const wchar_t*) noexcept {}

}  // namespace veltra
