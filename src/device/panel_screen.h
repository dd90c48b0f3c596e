// Whether the screen the panel belongs to is part of the desktop, read at
// one place. The production program asks the platform
// (dist/default_panel_screen.cpp), the simulated program its device file
// (sim/default_panel_screen.cpp); each program links one of them.
#pragma once

#include <optional>
#include <string>

namespace veltra {

// The screen Windows maps the touch device `device_instance_path` to, else
// the built-in display: true while it is part of the desktop, false while
// it is not, nothing where the machine cannot tell.
std::optional<bool> PanelScreenActive(const std::wstring& device_instance_path);

}  // namespace veltra
