// The simulated program raises an unhandled exception when its status window
// receives the registered crash message, and ends itself at the step its
// device file names.
#include "platform/simulated_crash.h"

#include <atomic>
#include <cstdint>
#include <string>

#include "base/decimal.h"
#include "protocol/veltra_protocol.h"
#include "sim/sim_device_tree.h"

namespace veltra {

void CrashIfRequested(UINT message) {
  static const UINT crash_message = ::RegisterWindowMessageW(protocol::kSimulatedCrashMessageName);
  if (message == crash_message) ::RaiseException(0xE0000001, EXCEPTION_NONCONTINUABLE, 0, nullptr);
}

namespace {

// `end_at_step` of the [system] section, read once: 0 (no ending) when it
// is missing or cannot be read.
std::int32_t EndAtStep() noexcept {
  try {
    return ReadSimSystemValue(L"end_at_step").value_or(0);
  } catch (...) {
    return 0;
  }
}

}  // namespace

void StepDone(const wchar_t* what) noexcept {
  static const std::int32_t end_at = EndAtStep();
  static std::atomic<std::int32_t> steps{0};
  if (end_at <= 0) return;
  const std::int32_t step = ++steps;
  // Told only while the walk runs, so every other test's log stays as it was.
  try {
    AppendSimDeviceLog(L"STEP " + base::DecimalText(step) + L" " + what + (step == end_at ? L" END" : L""));
  } catch (...) {
  }
  // No exit sequence, no unhandled-exception filter, no library detach:
  // nothing of the program runs after this.
  if (step == end_at) ::TerminateProcess(::GetCurrentProcess(), kEndedAtStepExitCode);
}

}  // namespace veltra
