// The settings file through the profile functions, kept UTF-16 so
// texts in any language survive a save.
#include "app/ini_store.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <span>

#include "core/text_encoding.h"
#include "platform/profile_file.h"
#include "platform/simulated_crash.h"
#include "platform/unique_handle.h"

namespace veltra {
namespace {

constexpr std::array<unsigned char, 2> kUtf16LeBom{0xFF, 0xFE};

// A read-only file is one the user wants left as it is (Windows would
// refuse to replace it anyway); a folder is no settings file.
constexpr DWORD kNotReplaceable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY;

// What a replacement keeps of the file it replaces where the platform
// cannot carry it over itself.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

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

// Puts a finished copy, flushed, in the file's place in one step. Over an
// existing file through ReplaceFileW, which gives the copy the file's
// access list, owner, attributes and creation time: a move would leave it
// the access list its folder gives a new file, so a file an administrator
// had shut to others would open up at the next save. Where the platform
// cannot merge them (no right to set the access list, a share without
// one), the file is still replaced, as a move would. The move is only for
// a file that does not exist yet, and never goes over one that appeared
// meanwhile.
bool PutInPlace(const std::wstring& copy, const std::wstring& file) {
  if (::GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) {
    return ::MoveFileExW(copy.c_str(), file.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
  }
  // A file another program holds open without letting it go cannot be
  // replaced. Asked first, the platform is not made to try: Wine's
  // replacement then leaves a file of its own beside it.
  if (!UniqueFile(::CreateFileW(file.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr))) {
    return false;
  }
  return ::ReplaceFileW(file.c_str(), copy.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) !=
         FALSE;
}

}  // namespace

bool IniFileStore::Writable() const {
  if (access_ == IniAccess::ReadOnly) return false;
  const DWORD attributes = ::GetFileAttributesW(path_.c_str());
  return attributes == INVALID_FILE_ATTRIBUTES || (attributes & kNotReplaceable) == 0;
}

IniFileStore::~IniFileStore() {
  if (read_path_ != path_) ::DeleteFileW(read_path_.c_str());
}

// Each read takes the key's section whole, as the one-key reads would
// find it; within a load the last section read serves its next keys too
// (the key table keeps a section's keys together).
const base::ProfileSection& IniFileStore::Section(std::wstring_view section) {
  AddMissingByteOrderMark();
  if (!batched_ || !section_read_ || section != section_name_) {
    section_name_ = section;
    section_ = ReadProfileSection(read_path_, section_name_);
  }
  section_read_ = batched_;
  return section_;
}

std::int32_t IniFileStore::ReadInt(std::wstring_view section, std::wstring_view key, std::int32_t fallback) {
  return Section(section).Int(key, fallback);
}

std::wstring IniFileStore::ReadString(std::wstring_view section, std::wstring_view key, std::wstring_view fallback) {
  std::wstring text = Section(section).String(key, fallback);
  if (text.size() > kIniStringMax) text.resize(kIniStringMax);
  return text;
}

bool IniFileStore::WriteString(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
  if (access_ == IniAccess::ReadOnly) return false;
  section_read_ = false;  // a later read reads the file again, with this write
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
  if ((attributes & kNotReplaceable) != 0) return false;
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
  if (!PutInPlace(copy, path_)) {
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
  const bool read_only_store = access_ == IniAccess::ReadOnly;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(original.get(), &info) ||
      (!read_only_store && (info.dwFileAttributes & kNotReplaceable) != 0)) {
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
  // Beside the file, the replacement carries the file's attributes from
  // the start, as a save's copy does, even where the platform's
  // replacement does not merge them; a hidden copy left behind would
  // refuse to be written over, so it goes first.
  const DWORD kept = read_only_store ? 0 : info.dwFileAttributes & kKeptAttributes;
  if (!read_only_store) ::DeleteFileW(replacement.c_str());
  UniqueFile copy(::CreateFileW(replacement.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL, nullptr));
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
  if (!copied || !PutInPlace(replacement, path_)) ::DeleteFileW(replacement.c_str());
}

}  // namespace veltra
