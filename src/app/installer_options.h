// The installer's options: /X (an uninstall), /U (the removal of this
// version by an upgrade) and /P (the settings a package presets). Run by
// the package's deferred actions as the system account, in session 0, or
// by an administrator for a zip installation; they never show anything.
#pragma once

#include <string>

namespace veltra {

// True when the command line is one of the installer's options, which has
// then run, and the program is to end. A /P request the installer got
// wrong writes nothing and ends the process with exit code 1, which fails
// the installation that ran it; so do presets the settings file cannot
// take, before any program is started again. /P with nothing to preset
// writes nothing.
bool RunInstallerOption(const std::wstring& command_line, const std::wstring& module_path);

}  // namespace veltra
