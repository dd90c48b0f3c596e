// The one upper-casing rule that knows only ASCII: Plug and Play instance
// identifiers are ASCII, and every comparison of them is on upper-cased
// text; the watcher's portable list reader folds by it where no code page
// is at hand. Portable.
#pragma once

#include <string>
#include <string_view>

namespace base {

// Only a-z change; every other character stays as it is.
template <class Char>
void UpperCaseAsciiInPlace(std::basic_string<Char>& text) {
  for (Char& c : text) {
    if (c >= Char('a') && c <= Char('z')) c = static_cast<Char>(c - Char('a') + Char('A'));
  }
}

inline std::wstring UpperCaseAscii(std::wstring_view text) {
  std::wstring upper(text);
  UpperCaseAsciiInPlace(upper);
  return upper;
}

}  // namespace base
