// The production program hears the pen through raw input: the pen's own
// HID collection of the built-in digitizer (digitizer page 0x0D, usage
// "Pen" 0x02; an external drawing tablet reports as "Digitizer", 0x01, and
// is never registered for), with its reports delivered to the status
// window even while another program is in front (RIDEV_INPUTSINK). Each
// report carries the "In Range" usage (0x32) while the pen is near the
// screen or on it; the digitizer sends one report without it as the pen
// leaves. The touch collection is a device of its own, so disabling it
// leaves these reports flowing.
#include "device/pen_presence.h"

#include <winternl.h>  // NTSTATUS, which the HID parsing header takes for given
#include <hidusage.h>
#include <hidpi.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/paths.h"
#include "platform/unique_handle.h"

namespace veltra {
namespace {

constexpr USHORT kDigitizerPage = 0x0D;
constexpr USHORT kIntegratedPen = 0x02;
constexpr USAGE kInRange = 0x32;

using GetUsagesFn = NTSTATUS(__stdcall*)(HIDP_REPORT_TYPE, USAGE, USHORT, PUSAGE, PULONG, PHIDP_PREPARSED_DATA,
                                         PCHAR, ULONG);

// What reading a report needs, kept while the pen is watched: a hovering
// pen reports a hundred times a second or more.
struct PenReader {
  // HID.DLL, from the system folder by name (see device_api_real.cpp).
  UniqueModule hid;
  GetUsagesFn get_usages = nullptr;
  HANDLE device = nullptr;  // whose parsing data `parsing` holds
  std::vector<std::uint64_t> parsing;
  std::vector<std::uint64_t> input;  // the last report, aligned for RAWINPUT
};

PenReader& Reader() {
  static PenReader reader;
  return reader;
}

// The parsing data of `device`, read once per device.
PHIDP_PREPARSED_DATA Parsing(PenReader& reader, HANDLE device) {
  if (device != reader.device || reader.parsing.empty()) {
    reader.device = nullptr;
    UINT size = 0;
    if (::GetRawInputDeviceInfoW(device, RIDI_PREPARSEDDATA, nullptr, &size) != 0 || size == 0) return nullptr;
    reader.parsing.assign((size + 7) / 8, 0);
    if (::GetRawInputDeviceInfoW(device, RIDI_PREPARSEDDATA, reader.parsing.data(), &size) == static_cast<UINT>(-1)) {
      return nullptr;
    }
    reader.device = device;
  }
  return reinterpret_cast<PHIDP_PREPARSED_DATA>(reader.parsing.data());
}

}  // namespace

bool WatchPen(HWND window, bool on) {
  PenReader& reader = Reader();
  if (!on) {
    RAWINPUTDEVICE device{kDigitizerPage, kIntegratedPen, RIDEV_REMOVE, nullptr};
    const bool removed = ::RegisterRawInputDevices(&device, 1, sizeof(device)) != FALSE;
    reader.get_usages = nullptr;
    reader.device = nullptr;
    reader.hid.reset();
    return removed;
  }
  if (!reader.hid) reader.hid = LoadSystemLibrary(L"hid.dll");
  reader.get_usages = ProcAddress<GetUsagesFn>(reader.hid.get(), "HidP_GetUsages");
  if (reader.get_usages == nullptr) return false;
  RAWINPUTDEVICE device{kDigitizerPage, kIntegratedPen, RIDEV_INPUTSINK, window};
  return ::RegisterRawInputDevices(&device, 1, sizeof(device)) != FALSE;
}

std::optional<bool> PenReported(UINT message, WPARAM, LPARAM lparam) {
  PenReader& reader = Reader();
  if (message != WM_INPUT || reader.get_usages == nullptr) return std::nullopt;
  const auto handle = reinterpret_cast<HRAWINPUT>(lparam);
  UINT size = 0;
  if (::GetRawInputData(handle, RID_INPUT, nullptr, &size, sizeof(RAWINPUTHEADER)) != 0) return std::nullopt;
  constexpr std::size_t kReportsAt = offsetof(RAWINPUT, data.hid.bRawData);
  if (size < kReportsAt) return std::nullopt;
  reader.input.assign((size + 7) / 8, 0);
  if (::GetRawInputData(handle, RID_INPUT, reader.input.data(), &size, sizeof(RAWINPUTHEADER)) != size) {
    return std::nullopt;
  }
  const auto& input = *reinterpret_cast<const RAWINPUT*>(reader.input.data());
  if (input.header.dwType != RIM_TYPEHID) return std::nullopt;
  const RAWHID& hid = input.data.hid;
  // The reports must lie inside what was read, whatever the header says.
  if (hid.dwSizeHid == 0 || hid.dwCount == 0 || (size - kReportsAt) / hid.dwSizeHid < hid.dwCount) return std::nullopt;
  const PHIDP_PREPARSED_DATA parsing = Parsing(reader, input.header.hDevice);
  if (parsing == nullptr) return std::nullopt;
  std::optional<bool> in_range;
  for (DWORD i = 0; i < hid.dwCount; ++i) {
    USAGE usages[32];
    ULONG count = std::size(usages);
    const std::size_t at = static_cast<std::size_t>(i) * hid.dwSizeHid;
    auto* report = reinterpret_cast<PCHAR>(const_cast<BYTE*>(hid.bRawData) + at);
    // A report of another kind (the battery, say) is no news of the range.
    if (reader.get_usages(HidP_Input, kDigitizerPage, 0, usages, &count, parsing, report, hid.dwSizeHid) !=
        HIDP_STATUS_SUCCESS) {
      continue;
    }
    in_range = std::find(usages, usages + count, kInRange) != usages + count;
  }
  return in_range;
}

}  // namespace veltra
