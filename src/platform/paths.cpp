// Paths and files of the running program, and libraries loaded from the
// system folder only (the programs run elevated).
#include "platform/paths.h"

namespace veltra {

std::wstring ModuleFileName(HMODULE module) {
  // MAX_PATH is not a limit for a program started through a long path, and
  // a cut path would put the settings file somewhere else. The platform's
  // own limit is 32767 characters.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    // A truncated name fills the whole buffer; anything shorter is complete.
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

std::wstring ShortPathName(const std::wstring& path) {
  std::wstring short_form(path.size() + 1, L'\0');
  for (;;) {
    const DWORD length = ::GetShortPathNameW(path.c_str(), short_form.data(), static_cast<DWORD>(short_form.size()));
    if (length == 0) return {};
    // Too small a buffer is answered with the size needed, terminator included.
    if (length < short_form.size()) {
      short_form.resize(length);
      return short_form;
    }
    short_form.resize(length);
  }
}

std::wstring LongPathName(const std::wstring& path) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    const DWORD length = ::GetLongPathNameW(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) break;
    if (length < buffer.size()) return buffer.substr(0, length);
    buffer.resize(length);  // the size asked for, its terminator included
  }
  return path;
}

std::wstring SystemProgramPath(const wchar_t* name) {
  wchar_t folder[MAX_PATH] = {};
  const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return std::wstring(folder, length) + L"\\" + name;
}

std::optional<std::string> ReadFileBytes(const std::wstring& path) {
  // The program may lie deeper than MAX_PATH; the \\?\ form of a full
  // path reaches it.
  const bool long_full_path = path.size() >= MAX_PATH && path.size() > 2 && path[1] == L':';
  const std::wstring name = long_full_path ? L"\\\\?\\" + path : path;
  const UniqueFile file(::CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (::ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr)) {
    if (got == 0) return bytes;
    bytes.append(buffer, got);
  }
  return std::nullopt;
}

bool RestrictLibrarySearch() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  const auto restrict_search =
      ProcAddress<SetDefaultDllDirectoriesFn>(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
  return restrict_search != nullptr && restrict_search(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
}

UniqueModule LoadSystemLibrary(const wchar_t* name) {
  return UniqueModule(::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
}

}  // namespace veltra
