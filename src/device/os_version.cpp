// OsVersion from NetWkstaGetInfo at level 100.
#include "device/os_version.h"

#include <windows.h>
#include <lm.h>

#include <memory>

namespace veltra {
namespace {

struct NetBufferFree {
  void operator()(void* buffer) const noexcept { ::NetApiBufferFree(buffer); }
};

}  // namespace

OsVersion QueryOsVersion() {
  LPBYTE raw = nullptr;
  const NET_API_STATUS status = ::NetWkstaGetInfo(nullptr, 100, &raw);
  std::unique_ptr<void, NetBufferFree> buffer(raw);
  OsVersion version;
  if (status == NERR_Success && raw != nullptr) {
    const auto* info = reinterpret_cast<const WKSTA_INFO_100*>(raw);
    version.major = info->wki100_ver_major;
    version.minor = info->wki100_ver_minor;
  }
  return version;
}

}  // namespace veltra
