// The simulated program reads the panel's screen from its device file.
#include "device/panel_screen.h"

#include "sim/sim_device_tree.h"

namespace veltra {

// Every device of the file shares the one screen of [system].
std::optional<bool> PanelScreenActive(const std::wstring&) {
  const auto value = ReadSimSystemValue(L"panel_screen_active");
  if (!value || (*value != 0 && *value != 1)) return std::nullopt;
  return *value == 1;
}

}  // namespace veltra
