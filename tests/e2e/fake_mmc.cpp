// Stands in for the Device Manager console: records each start in mmc.log
// beside itself, so a test can count how often the program opened it.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

int wmain(int argc, wchar_t** argv) {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring log(path);
  log = log.substr(0, log.find_last_of(L'\\') + 1) + L"mmc.log";
  const std::unique_ptr<FILE, int (*)(FILE*)> file(_wfopen(log.c_str(), L"a"), &std::fclose);
  if (!file) return 1;
  for (int i = 1; i < argc; ++i) std::fwprintf(file.get(), L"%ls%ls", i > 1 ? L" " : L"", argv[i]);
  std::fwprintf(file.get(), L"\n");
  return 0;
}
