// The running Windows version: as the workstation information reports it,
// and whether it is recent enough to run at all.
#pragma once

#include <cstdint>

namespace veltra {

struct OsVersion {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
};

// Both numbers stay 0 when the workstation information cannot be read. Read
// once per process.
OsVersion QueryOsVersion();

// Whether the program runs on Windows 8 or later, by the version check the
// system keeps for compatibility (which a manifest that names the versions
// lets through unchanged).
bool IsWindows8OrLater();

}  // namespace veltra
