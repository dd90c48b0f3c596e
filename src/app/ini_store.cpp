// The settings file through the profile functions, kept UTF-16 so
// texts in any language survive a save.
#include "app/ini_store.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <span>

#include "core/text_encoding.h"
#include "platform/simulated_crash.h"
#include "platform/unique_handle.h"

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
  if (!saving_) {
    BeginSave();
    const bool written = WriteString(section, key, value);
    return CommitSave() && written;
  }
  if (!copy_ready_) return false;
  const std::wstring s(section), k(key), v(value);
  return ::WritePrivateProfileStringW(s.c_str(), k.c_str(), v.c_str(), CopyPath().c_str()) != FALSE;
}

std::wstring IniFileStore::CopyPath() const {
  constexpr std::wstring_view kExtension = L".ini";
  const std::wstring_view path(path_);
  const bool ini = path.size() >= kExtension.size() &&
                   ::CompareStringOrdinal(path.data() + path.size() - kExtension.size(),
                                          static_cast<int>(kExtension.size()), kExtension.data(),
                                          static_cast<int>(kExtension.size()), TRUE) == CSTR_EQUAL;
  return std::wstring(ini ? path.substr(0, path.size() - kExtension.size()) : path) + L".new";
}

bool IniFileStore::PrepareCopy() {
  const std::wstring copy = CopyPath();
  ::DeleteFileW(copy.c_str());
  const DWORD attributes = ::GetFileAttributesW(path_.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    if (::GetLastError() != ERROR_FILE_NOT_FOUND) return false;
    UniqueFile file(
        ::CreateFileW(copy.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && WriteAll(file.get(), kUtf16LeBom);
  }
  // A read-only file is one the user wants left as it is; Windows would
  // refuse to replace it anyway, Wine would not.
  if ((attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) return false;
  return ::CopyFileW(path_.c_str(), copy.c_str(), FALSE) != FALSE;
}

void IniFileStore::BeginSave() {
  if (access_ == IniAccess::ReadOnly || saving_) return;
  AddMissingByteOrderMark();
  saving_ = true;
  copy_ready_ = PrepareCopy();
}

bool IniFileStore::CommitSave() {
  if (!saving_) return false;
  saving_ = false;
  const std::wstring copy = CopyPath();
  bool flushed = false;
  if (copy_ready_) {
    // On the disk before it takes the file's place: after a power cut the
    // file must not be the copy's name over data that never arrived.
    const UniqueFile file(
        ::CreateFileW(copy.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    flushed = file && ::FlushFileBuffers(file.get()) != FALSE;
  }
  copy_ready_ = false;
  if (!flushed) {
    ::DeleteFileW(copy.c_str());
    return false;
  }
  StepDone(L"settings copy written");
  if (!::MoveFileExW(copy.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ::DeleteFileW(copy.c_str());
    return false;
  }
  StepDone(L"settings saved");
  return true;
}

void IniFileStore::AddMissingByteOrderMark() {
  if (checked_mark_) return;
  checked_mark_ = true;
  // Sharing only reads keeps anyone from changing the file while it is copied.
  UniqueFile original(
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
  const std::wstring replacement = read_only_store ? NewTemporaryFile() : CopyPath();
  if (replacement.empty()) return;
  UniqueFile copy(
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
