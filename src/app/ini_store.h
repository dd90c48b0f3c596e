// The settings file through the platform's private-profile functions.
#pragma once

#include <string>

#include "base/profile_section.h"
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
  // A save goes into a copy beside the file, started from the file itself
  // (so keys and lines the program does not know, the encoding and the
  // byte-order mark stay), which then takes the file's place in one step:
  // a reader at any moment finds the old file or the new one, never a
  // part. The copy replaces the file through ReplaceFileW, so the file
  // keeps its access list, owner and attributes. A copy an interrupted save
  // left behind is written over, never read. A read-only file is not
  // replaced: the save fails.
  void BeginSave() override;
  bool CommitSave() override;
  // Each read reads its key's section whole (GetPrivateProfileSection) and
  // answers as the one-key reads answer; between these, the section's next
  // keys come from the same read.
  void BeginReads() override { batched_ = true; }
  void EndReads() override { batched_ = section_read_ = false; }
  // False when a save is sure to fail without trying one: a read-only
  // store, a read-only file, a folder in its place. A file that does not
  // exist yet can be saved.
  bool Writable() const;

 private:
  // The copy a save writes: the file's name with the extension ".new", as
  // long as the file's own, so a path the profile functions can reach
  // keeps its copy within reach.
  std::wstring CopyPath() const;
  // Makes the copy; false when it cannot be made. A new file is started as
  // UTF-16LE with a byte-order mark: one the profile functions create is in
  // the ANSI code page and turns every character outside it into "?".
  bool PrepareCopy();

  // Some editors save UTF-16LE without the byte-order mark; the profile
  // functions then take the file for ANSI, miss every key and garble it on
  // the next save. Run once before the first read or write, this gives such
  // a file its mark (see LooksLikeUtf16LeWithoutBom) through a replacement
  // beside it, so a failure leaves the original as it was. Every other file
  // is not touched. A read-only store reads such a file through a marked
  // copy in the temporary folder instead, removed when the store goes.
  void AddMissingByteOrderMark();

  const base::ProfileSection& Section(std::wstring_view section);

  std::wstring path_;
  std::wstring read_path_;  // path_, or the marked copy of a read-only store
  IniAccess access_;
  bool checked_mark_ = false;
  bool saving_ = false;
  bool copy_ready_ = false;
  bool batched_ = false;
  bool section_read_ = false;  // section_ holds section_name_ for the reads to come
  std::wstring section_name_;
  base::ProfileSection section_;
};

}  // namespace veltra
