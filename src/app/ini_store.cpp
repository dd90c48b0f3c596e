// IniFileStore.
#include "app/ini_store.h"

#include <windows.h>

#include "ui/unique_handle.h"

namespace veltra {

std::int32_t IniFileStore::ReadInt(std::wstring_view section, std::wstring_view key, std::int32_t fallback) {
  const std::wstring s(section), k(key);
  return static_cast<std::int32_t>(::GetPrivateProfileIntW(s.c_str(), k.c_str(), fallback, path_.c_str()));
}

std::wstring IniFileStore::ReadString(std::wstring_view section, std::wstring_view key, std::wstring_view fallback) {
  const std::wstring s(section), k(key), f(fallback);
  wchar_t buffer[kIniStringMax + 1] = {};
  const DWORD length =
      ::GetPrivateProfileStringW(s.c_str(), k.c_str(), f.c_str(), buffer, static_cast<DWORD>(std::size(buffer)), path_.c_str());
  return std::wstring(buffer, std::min<std::size_t>(length, kIniStringMax));
}

bool IniFileStore::WriteString(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
  CreateUnicodeFileIfMissing();
  const std::wstring s(section), k(key), v(value);
  return ::WritePrivateProfileStringW(s.c_str(), k.c_str(), v.c_str(), path_.c_str()) != FALSE;
}

void IniFileStore::CreateUnicodeFileIfMissing() {
  if (checked_file_) return;
  checked_file_ = true;
  // CREATE_NEW never touches a file that exists, whatever its encoding.
  ui::UniqueFile file(::CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  static constexpr unsigned char kBom[] = {0xFF, 0xFE};
  DWORD written = 0;
  ::WriteFile(file.get(), kBom, sizeof(kBom), &written, nullptr);
}

}  // namespace veltra
