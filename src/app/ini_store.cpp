// The settings file through the profile functions, kept UTF-16 so
// texts in any language survive a save.
#include "app/ini_store.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <span>

#include "core/text_encoding.h"
#include "ui/unique_handle.h"

namespace veltra {
namespace {

constexpr std::array<unsigned char, 2> kUtf16LeBom{0xFF, 0xFE};

bool WriteAll(HANDLE file, std::span<const unsigned char> bytes) {
  DWORD written = 0;
  return ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != FALSE &&
         written == bytes.size();
}

// A new, empty file of this program's in the temporary folder; empty when
// none can be made.
std::wstring NewTemporaryFile() {
  wchar_t folder[MAX_PATH + 1] = {};
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
  wchar_t name[MAX_PATH] = {};
  if (length == 0 || length > MAX_PATH || ::GetTempFileNameW(folder, L"vlt", 0, name) == 0) return {};
  return name;
}

}  // namespace

IniFileStore::~IniFileStore() {
  if (read_path_ != path_) ::DeleteFileW(read_path_.c_str());
}

std::int32_t IniFileStore::ReadInt(std::wstring_view section, std::wstring_view key, std::int32_t fallback) {
  AddMissingByteOrderMark();
  const std::wstring s(section), k(key);
  return static_cast<std::int32_t>(::GetPrivateProfileIntW(s.c_str(), k.c_str(), fallback, read_path_.c_str()));
}

std::wstring IniFileStore::ReadString(std::wstring_view section, std::wstring_view key, std::wstring_view fallback) {
  AddMissingByteOrderMark();
  const std::wstring s(section), k(key), f(fallback);
  wchar_t buffer[kIniStringMax + 1] = {};
  const DWORD length =
      ::GetPrivateProfileStringW(s.c_str(), k.c_str(), f.c_str(), buffer, static_cast<DWORD>(std::size(buffer)), read_path_.c_str());
  return std::wstring(buffer, std::min<std::size_t>(length, kIniStringMax));
}

bool IniFileStore::WriteString(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
  if (access_ == IniAccess::ReadOnly) return false;
  AddMissingByteOrderMark();
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
  WriteAll(file.get(), kUtf16LeBom);
}

void IniFileStore::AddMissingByteOrderMark() {
  if (checked_mark_) return;
  checked_mark_ = true;
  // Sharing only reads keeps anyone from changing the file while it is copied.
  ui::UniqueFile original(
      ::CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!original) return;
  // A read-only file is one the user wants left as it is. Windows would
  // refuse to replace it anyway; Wine would not.
  const bool read_only_store = access_ == IniAccess::ReadOnly;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(original.get(), &info) ||
      (!read_only_store && (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0)) {
    return;
  }
  std::array<unsigned char, 64 * 1024> buffer;
  static_assert(buffer.size() >= kUtf16SniffBytes);
  DWORD got = 0;
  if (!::ReadFile(original.get(), buffer.data(), static_cast<DWORD>(kUtf16SniffBytes), &got, nullptr)) return;
  if (!LooksLikeUtf16LeWithoutBom(std::span(buffer.data(), got))) return;

  // The replacement is written in full beside the original, on the same
  // volume, and only then moved over it. The name is Veltra's own, so one
  // left behind by an interrupted run is simply written over. A read-only
  // store reads from a copy in the temporary folder instead.
  const std::wstring replacement = read_only_store ? NewTemporaryFile() : path_ + L".bom-tmp";
  if (replacement.empty()) return;
  ui::UniqueFile copy(
      ::CreateFileW(replacement.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!copy) {
    if (read_only_store) ::DeleteFileW(replacement.c_str());
    return;
  }
  bool copied = WriteAll(copy.get(), kUtf16LeBom) && WriteAll(copy.get(), std::span(buffer.data(), got));
  while (copied) {
    if (!::ReadFile(original.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
      copied = false;
    } else if (got == 0) {
      break;
    } else {
      copied = WriteAll(copy.get(), std::span(buffer.data(), got));
    }
  }
  copied = copied && ::FlushFileBuffers(copy.get()) != FALSE;
  copy.reset();
  if (read_only_store) {
    if (copied) {
      read_path_ = replacement;
    } else {
      ::DeleteFileW(replacement.c_str());
    }
    return;
  }
  // The original must be closed before it can be replaced.
  original.reset();
  if (!copied ||
      !::MoveFileExW(replacement.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ::DeleteFileW(replacement.c_str());
  }
}

}  // namespace veltra
