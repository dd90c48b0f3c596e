// The settings file through the platform's private-profile functions.
#pragma once

#include <string>

#include "core/settings.h"

namespace veltra {

class IniFileStore final : public ProfileStore {
 public:
  explicit IniFileStore(std::wstring path) : path_(std::move(path)) {}

  std::int32_t ReadInt(std::wstring_view section, std::wstring_view key, std::int32_t fallback) override;
  std::wstring ReadString(std::wstring_view section, std::wstring_view key, std::wstring_view fallback) override;
  bool WriteString(std::wstring_view section, std::wstring_view key, std::wstring_view value) override;

 private:
  // A file the profile functions create is in the ANSI code page and turns
  // every character outside it into "?". Starting it as UTF-16LE with a
  // byte-order mark makes them keep it UTF-16 and every text intact.
  void CreateUnicodeFileIfMissing();

  std::wstring path_;
  bool checked_file_ = false;
};

}  // namespace veltra
