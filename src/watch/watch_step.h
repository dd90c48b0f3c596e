// One look at the program in the foreground, and the request it makes of
// Veltra's status window.
#pragma once

#include <cstdint>
#include <string>

#include "watch/watch_rules.h"

namespace veltra::watch {

// Upper-cases by the rules of the system's 8-bit code page.
void UpperCaseAnsi(std::string& text);

// Finds the foreground window's process, reads its image path, and sends
// Veltra's status window the request the lists and `default_status` make
// for it: the window of the Veltra.exe beside the watcher, never one of
// that class another process made, and with a time-out. Returns what was
// sent; None also when nothing could be looked at or Veltra is not running.
TouchRequest WatchStep(const ProcessLists& lists, std::int32_t default_status);
// The same for the Veltra.exe at `veltra_path` (the benchmark stands in for
// Veltra itself).
TouchRequest WatchStep(const ProcessLists& lists, std::int32_t default_status, const std::wstring& veltra_path);

}  // namespace veltra::watch
