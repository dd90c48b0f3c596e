// Starts the Device Manager console by the full paths of its program and file.
#include "device/device_manager.h"

#include <windows.h>

#include <shellapi.h>

#include <string>

#include "platform/paths.h"
#include "platform/trace.h"

namespace veltra {

void OpenDeviceManager() {
  // The console file by its full path too: the console looks for a bare
  // name in the current folder first, which anyone may have written.
  const std::wstring mmc = SystemProgramPath(L"mmc.exe");
  const std::wstring console = SystemProgramPath(L"devmgmt.msc");
  if (mmc.empty() || console.empty()) {
    TraceLastError(L"GetSystemDirectoryW");
    return;
  }
  const std::wstring parameters = L"\"" + console + L"\"";
  const auto started = reinterpret_cast<INT_PTR>(
      ::ShellExecuteW(nullptr, L"open", mmc.c_str(), parameters.c_str(), L"", SW_SHOWNORMAL));
  if (started <= 32) TraceFailure(L"starting the Device Manager", static_cast<DWORD>(started));
}

}  // namespace veltra
