// The touch screen the tests switch, and the one way they write the
// simulated device tree: a list of SimDevice written with every key, or
// one key, each replacing the file whole.
#pragma once

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "sim/sim_device_tree.h"

namespace veltra::testing {

inline constexpr wchar_t kTouchId[] = L"HID\\VID_1B96&PID_0F00&COL03\\7&34568466&0&0002";

// A HID touch screen on the HID interface, as most trees of the tests hold.
inline SimDevice TouchScreen(std::wstring id = kTouchId, bool started = true) {
  return {.id = std::move(id), .description = L"HID-compliant touch screen", .setup_class = L"HID",
          .hid_interface = true, .started = started};
}

// The device file's text: a section for each device, every key written.
inline std::wstring SimDevicesText(const std::vector<SimDevice>& devices) {
  std::wstring text;
  for (const SimDevice& d : devices) {
    std::wstring ids;
    for (const std::wstring& id : d.compatible_ids) ids += (ids.empty() ? L"" : L";") + id;
    text += L"[" + d.id + L"]\r\ndescription=" + d.description + L"\r\nfriendly_name=" + d.friendly_name +
            L"\r\ncompatible_ids=" + ids + L"\r\nsetup_class=" + d.setup_class + L"\r\n";
    const std::pair<const wchar_t*, bool> flags[] = {
        {L"hid_interface", d.hid_interface},     {L"disableable", d.disableable},
        {L"started", d.started},                 {L"needs_restart", d.needs_restart},
        {L"status_readable", d.status_readable}, {L"refuse_change", d.refuse_change}};
    for (const auto& [key, value] : flags) text += std::wstring(key) + (value ? L"=1\r\n" : L"=0\r\n");
    text += L"switch_delay_ms=" + std::to_wstring(d.switch_delay_ms) + L"\r\n";
  }
  return text;
}

// A running program reads a device in several reads of the file, each
// opening it anew: a file rewritten in place is empty for a moment, and a
// read then finds the device's keys gone, each at its default (a device
// "started"), which the program rightly takes for the device's answer. So every write of the tests goes
// to a draft beside the file, which then replaces it whole. The
// replacement is refused while the program writes the file itself (its
// write shares no deletion); it is tried again until that write is over.
// Throws when the file cannot be replaced.
inline void ReplaceWithDraft(const std::filesystem::path& draft, const std::filesystem::path& file) {
  // The program's write of one key takes a few milliseconds at most; two
  // seconds is far past any.
  for (int attempt = 0;; ++attempt) {
    if (::MoveFileExW(draft.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING)) return;
    const DWORD error = ::GetLastError();
    if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) || attempt == 200) {
      throw std::runtime_error("cannot replace " + file.string() + ": error " + std::to_string(error));
    }
    ::Sleep(10);
  }
}

inline std::filesystem::path DraftOf(const std::filesystem::path& file) {
  std::filesystem::path draft = file;
  draft += L".writing";
  return draft;
}

// Writes the file as UTF-16 with a byte-order mark, which the profile
// functions keep when the program changes a value in it.
inline void WriteSimDevices(const std::filesystem::path& file, const std::vector<SimDevice>& devices) {
  const std::wstring text = SimDevicesText(devices);
  const std::filesystem::path draft = DraftOf(file);
  {
    std::ofstream out(draft, std::ios::binary);
    out.write("\xFF\xFE", 2);
    out.write(reinterpret_cast<const char*>(text.data()), static_cast<std::streamsize>(text.size() * 2));
    if (!out.flush()) throw std::runtime_error("cannot write " + draft.string());
  }
  ReplaceWithDraft(draft, file);
}

// One key of the file as the profile functions write it (`value` null
// removes it), through a draft as above. Throws when the file cannot be
// copied, written or replaced.
inline void WriteSimValue(const std::filesystem::path& file, const wchar_t* section, const wchar_t* key,
                          const wchar_t* value) {
  const std::filesystem::path draft = DraftOf(file);
  if (!::CopyFileW(file.c_str(), draft.c_str(), FALSE) ||
      !::WritePrivateProfileStringW(section, key, value, draft.c_str())) {
    throw std::runtime_error("cannot write " + draft.string() + ": error " + std::to_string(::GetLastError()));
  }
  ReplaceWithDraft(draft, file);
}

}  // namespace veltra::testing
