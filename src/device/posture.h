// The machine's posture, read at one place. The production program asks
// the platform (device/default_posture.cpp), the simulated program its
// device file (sim/default_posture.cpp); each program links one of them.
#pragma once

#include <cstdint>

namespace veltra {

struct MachinePosture {
  // Whether a laptop/slate indicator keeps slate_mode current; without one
  // the value never changes.
  bool has_indicator = false;
  // GetSystemMetrics(SM_CONVERTIBLESLATEMODE): 0 in the tablet posture,
  // anything else in the laptop posture.
  std::int32_t slate_mode = 0;
};

MachinePosture ReadMachinePosture();

}  // namespace veltra
