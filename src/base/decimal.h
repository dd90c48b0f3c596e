// The decimal text of an integer, as std::to_wstring writes it. The
// library's to_wstring goes through the C runtime's formatted print, which
// a static Windows build carries whole (some 30 KB of each program, floating
// point included); the integer std::to_chars is a few lines of the header.
// Portable.
#pragma once

#include <charconv>
#include <concepts>
#include <iterator>
#include <limits>
#include <string>

namespace base {

template <std::integral Int>
std::wstring DecimalText(Int value) {
  // Every digit and a sign.
  char digits[std::numeric_limits<Int>::digits10 + 2];
  char* const end = std::to_chars(std::begin(digits), std::end(digits), value).ptr;
  return std::wstring(std::begin(digits), end);
}

}  // namespace base
