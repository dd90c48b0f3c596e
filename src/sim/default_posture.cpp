// The simulated program reads the posture from its device file.
#include "device/posture.h"

#include "sim/sim_device_tree.h"

namespace veltra {

// A machine without an indicator reports the tablet posture for good, as
// Windows does when nothing sets the value.
std::int32_t ReadSlateMode() { return ReadSimSlateMode().value_or(0); }

bool HasPostureIndicator() { return ReadSimSlateMode().has_value(); }

}  // namespace veltra
