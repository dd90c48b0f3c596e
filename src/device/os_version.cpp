// OsVersion from NetWkstaGetInfo at level 100.
#include "device/os_version.h"

#include <windows.h>
#include <lm.h>

#include <memory>

#include "platform/paths.h"

namespace veltra {

namespace {

OsVersion ReadWorkstationVersion() {
  OsVersion version;
  // NETAPI32.DLL is not one of the libraries the system protects: imported,
  // the loader would look for it beside the program first. So it is taken
  // from the system folder at run time.
  const UniqueModule netapi = LoadSystemLibrary(L"netapi32.dll");
  const auto get_info = ProcAddress<decltype(&::NetWkstaGetInfo)>(netapi.get(), "NetWkstaGetInfo");
  const auto free_buffer = ProcAddress<decltype(&::NetApiBufferFree)>(netapi.get(), "NetApiBufferFree");
  if (get_info == nullptr || free_buffer == nullptr) return version;

  LPBYTE raw = nullptr;
  const NET_API_STATUS status = get_info(nullptr, 100, &raw);
  const auto release = [free_buffer](void* buffer) { free_buffer(buffer); };
  const std::unique_ptr<void, decltype(release)> buffer(raw, release);
  if (status == NERR_Success && raw != nullptr) {
    const auto* info = reinterpret_cast<const WKSTA_INFO_100*>(raw);
    version.major = info->wki100_ver_major;
    version.minor = info->wki100_ver_minor;
  }
  return version;
}

}  // namespace

OsVersion QueryOsVersion() {
  // Asked at start-up and before every switch; loading the library and
  // asking each time cost about 10 ms a call, and the answer cannot change
  // while the process runs.
  static const OsVersion version = ReadWorkstationVersion();
  return version;
}

bool IsWindows8OrLater() {
  OSVERSIONINFOEXW wanted{};
  wanted.dwOSVersionInfoSize = sizeof(wanted);
  wanted.dwMajorVersion = 6;
  wanted.dwMinorVersion = 2;
  wanted.wServicePackMajor = 0;
  ULONGLONG conditions = 0;
  conditions = ::VerSetConditionMask(conditions, VER_MAJORVERSION, VER_GREATER_EQUAL);
  conditions = ::VerSetConditionMask(conditions, VER_MINORVERSION, VER_GREATER_EQUAL);
  conditions = ::VerSetConditionMask(conditions, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
  return ::VerifyVersionInfoW(&wanted, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR, conditions) != FALSE;
}

}  // namespace veltra
