// The settings file through the platform's private-profile functions.
#pragma once

#include <string>

#include "core/settings.h"

namespace veltra {

// ReadOnly: the store never writes the file, nor mends it; WriteString
// fails. For a run that must leave the user's settings as they are.
enum class IniAccess { ReadWrite, ReadOnly };

class IniFileStore final : public ProfileStore {
 public:
  explicit IniFileStore(std::wstring path, IniAccess access = IniAccess::ReadWrite)
      : path_(std::move(path)), read_path_(path_), access_(access) {}
  ~IniFileStore() override;
  IniFileStore(const IniFileStore&) = delete;
  IniFileStore& operator=(const IniFileStore&) = delete;

  std::int32_t ReadInt(std::wstring_view section, std::wstring_view key, std::int32_t fallback) override;
  std::wstring ReadString(std::wstring_view section, std::wstring_view key, std::wstring_view fallback) override;
  bool WriteString(std::wstring_view section, std::wstring_view key, std::wstring_view value) override;

 private:
  // A file the profile functions create is in the ANSI code page and turns
  // every character outside it into "?". Starting it as UTF-16LE with a
  // byte-order mark makes them keep it UTF-16 and every text intact.
  void CreateUnicodeFileIfMissing();

  // Some editors save UTF-16LE without the byte-order mark; the profile
  // functions then take the file for ANSI, miss every key and garble it on
  // the next save. Run once before the first read or write, this gives such
  // a file its mark (see LooksLikeUtf16LeWithoutBom) through a replacement
  // beside it, so a failure leaves the original as it was. Every other file
  // is not touched. A read-only store reads such a file through a marked
  // copy in the temporary folder instead, removed when the store goes.
  void AddMissingByteOrderMark();

  std::wstring path_;
  std::wstring read_path_;  // path_, or the marked copy of a read-only store
  IniAccess access_;
  bool checked_file_ = false;
  bool checked_mark_ = false;
};

}  // namespace veltra
