// Opens the system's Device Manager, where the user can see why the touch
// panel's device refuses to switch.
#pragma once

namespace veltra {

// Starts the Device Manager console and returns at once; a failure to
// start it is traced only.
void OpenDeviceManager();

}  // namespace veltra
