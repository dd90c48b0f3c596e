// Any known-device list: reading must not crash or overrun, and every line
// handed on must be non-empty, at most 519 characters, free of comments and
// lower-case letters, and trimmed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "device/known_devices.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view file(reinterpret_cast<const char*>(data), size);
  veltra::ReadKnownDeviceList(file, [](const std::wstring& line) {
    if (line.empty() || line.size() > 519 || line.find(L'#') != std::wstring::npos) std::abort();
    for (const wchar_t c : line) {
      if (c >= L'a' && c <= L'z') std::abort();
    }
    if (line.front() == L' ' || line.back() == L' ' || line.back() == L'\n') std::abort();
    return false;
  });
  return 0;
}
