// The machine's posture, read at one place. The production program asks
// the platform (dist/default_posture.cpp), the simulated program its
// device file (sim/default_posture.cpp); each program links one of them.
#pragma once

#include <cstdint>

namespace veltra {

// GetSystemMetrics(SM_CONVERTIBLESLATEMODE): 0 in the tablet posture,
// anything else in the laptop posture.
std::int32_t ReadSlateMode();

// Whether a laptop/slate indicator keeps that value current; without one
// the value never changes. Asked only where the answer is used, since it
// walks the device interfaces.
bool HasPostureIndicator();

}  // namespace veltra
