// VeltraPresetCheck.dll: the package's first look at the properties its
// deferred /P will write. The installer runs it from the package itself
// (its Binary table), early and immediate, before the older version is
// removed or any file is touched, so a value /P would refuse ends the
// installation while everything is still as it was. It runs as the user
// who started the package, possibly not elevated: it only reads properties
// and writes to the installer's log.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <string>

#include "app/command_line.h"
#include "platform/unique_handle.h"

namespace {

using UniqueMsiHandle = veltra::UniqueAny<veltra::HandleTraits<MSIHANDLE, &::MsiCloseHandle>>;

std::wstring PropertyValue(MSIHANDLE install, std::wstring_view name) {
  const std::wstring key(name);
  std::wstring value(64, L'\0');
  DWORD size = static_cast<DWORD>(value.size());
  UINT result = ::MsiGetPropertyW(install, key.c_str(), value.data(), &size);
  if (result == ERROR_MORE_DATA) {
    value.resize(++size);
    result = ::MsiGetPropertyW(install, key.c_str(), value.data(), &size);
  }
  value.resize(result == ERROR_SUCCESS ? size : 0);
  return value;
}

// An error record: in the log, and in a box where the installation shows
// one. The text goes in as a field, not as the template, so brackets in a
// value are not read as properties.
void ReportError(MSIHANDLE install, const std::wstring& text) {
  const UniqueMsiHandle record(::MsiCreateRecord(1));
  if (!record) return;
  ::MsiRecordSetStringW(record.get(), 0, L"Veltra: [1]");
  ::MsiRecordSetStringW(record.get(), 1, text.c_str());
  ::MsiProcessMessage(install, static_cast<INSTALLMESSAGE>(INSTALLMESSAGE_ERROR | MB_OK | MB_ICONERROR), record.get());
}

}  // namespace

// The custom action: ERROR_INSTALL_FAILURE, after one error naming every
// property refused and what it takes, when /P would refuse any of them.
extern "C" __declspec(dllexport) UINT __stdcall CheckPresets(MSIHANDLE install) noexcept {
  try {
    std::wstring refused;
    for (const std::wstring_view name : veltra::kPresetProperties) {
      const std::wstring refusal = veltra::PresetRefusal(name, PropertyValue(install, name));
      if (!refusal.empty()) refused += (refused.empty() ? L"" : L"; ") + refusal;
    }
    if (refused.empty()) return ERROR_SUCCESS;
    ReportError(install, refused + L". Nothing was changed.");
  } catch (...) {
    // Out of memory: the installation cannot be vouched for.
  }
  return ERROR_INSTALL_FAILURE;
}
