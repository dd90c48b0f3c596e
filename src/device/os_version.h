// The running Windows version as the workstation information reports it.
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

}  // namespace veltra
