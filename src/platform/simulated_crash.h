// Endings on request, for the tests. Only the simulated program acts on
// them; the production program's versions are empty.
#pragma once

#include <windows.h>

namespace veltra {

// Raises an unhandled exception when `message` is the registered crash
// message, for the tests of the last-chance handler.
void CrashIfRequested(UINT message);

// Called right after each step whose effect outlives the process: a device
// switched, the settings file (or its copy) written, a scheduled task run.
// The simulated program ends itself here, without any exit sequence, at the
// step its device file names, as a power cut or "End task" would.
void StepDone(const wchar_t* what) noexcept;

}  // namespace veltra
