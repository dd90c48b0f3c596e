// The simulated program reads the posture from its device file.
#include "device/posture.h"

#include "sim/sim_device_tree.h"

namespace veltra {

MachinePosture ReadMachinePosture() {
  const std::optional<std::int32_t> slate_mode = ReadSimSlateMode();
  // A machine without an indicator reports the tablet posture for good, as
  // Windows does when nothing sets the value.
  return {slate_mode.has_value(), slate_mode.value_or(0)};
}

}  // namespace veltra
