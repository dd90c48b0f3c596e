// One section of a profile (".ini") file, read once and then answered key
// by key as the platform's one-key reads answer. A program that reads many
// keys opens the file once a section instead of once a key. Portable: the
// caller reads the section (GetPrivateProfileSection) and hands its text
// here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace base {

class ProfileSection {
 public:
  ProfileSection() = default;
  // `lines`: the section read's "name=value" entries, each ended by a NUL.
  // An entry without '=' or with a name that begins with ';' is no key.
  explicit ProfileSection(std::wstring lines) : lines_(std::move(lines)) {}

  // The first value under `name` (names compare without ASCII case), with
  // the blanks around it and one pair of matching quotes left out; nothing
  // when the section has no such key.
  std::optional<std::wstring_view> Find(std::wstring_view name) const;
  std::wstring String(std::wstring_view name, std::wstring_view fallback) const;
  // As the platform's integer read: `fallback` for a missing or empty
  // value, otherwise ProfileNumber of it.
  std::int32_t Int(std::wstring_view name, std::int32_t fallback) const;
  // No key at all.
  bool empty() const;

 private:
  // Hands each key and its value to `visit` until it answers true.
  template <class Visit>
  bool ForEachKey(Visit visit) const;

  std::wstring lines_;
};

// A value read as a number the way the platform's integer read takes it:
// only its first 29 characters; blanks and control characters, an optional
// sign, an optional "0b", "0o" or "0x" for binary, octal or hexadecimal,
// then digits up to the first other character, wrapping at 32 bits. No
// digits read as 0.
std::int32_t ProfileNumber(std::wstring_view value);

// `text` without the blanks and tabs around it.
std::wstring_view TrimmedBlanks(std::wstring_view text);

}  // namespace base
