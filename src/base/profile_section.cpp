#include "base/profile_section.h"

#include <algorithm>

namespace base {
namespace {

wchar_t LowerAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool SameName(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
           return LowerAscii(x) == LowerAscii(y);
         });
}

// The platform reads an integer's text into a buffer of 30 characters.
constexpr std::size_t kNumberTextMax = 29;

}  // namespace

std::wstring_view TrimmedBlanks(std::wstring_view text) {
  const auto first = text.find_first_not_of(L" \t");
  if (first == std::wstring_view::npos) return {};
  return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

ProfileSection::ProfileSection(std::wstring_view lines) {
  while (!lines.empty()) {
    const auto end = std::min(lines.find(L'\0'), lines.size());
    const std::wstring_view entry = lines.substr(0, end);
    lines.remove_prefix(std::min(end + 1, lines.size()));
    const auto equals = entry.find(L'=');
    if (equals == std::wstring_view::npos) continue;
    const std::wstring_view name = TrimmedBlanks(entry.substr(0, equals));
    if (name.empty() || name.front() == L';') continue;
    std::wstring_view value = TrimmedBlanks(entry.substr(equals + 1));
    if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    entries_.emplace_back(name, value);  // a repeat too: Find takes the first
  }
}

const std::wstring* ProfileSection::Find(std::wstring_view name) const {
  for (const auto& [known, value] : entries_) {
    if (SameName(known, name)) return &value;
  }
  return nullptr;
}

std::wstring ProfileSection::String(std::wstring_view name, std::wstring_view fallback) const {
  const std::wstring* value = Find(name);
  return value != nullptr ? *value : std::wstring(fallback);
}

std::int32_t ProfileSection::Int(std::wstring_view name, std::int32_t fallback) const {
  const std::wstring* value = Find(name);
  if (value == nullptr || value->empty()) return fallback;
  return ProfileNumber(*value);
}

std::int32_t ProfileNumber(std::wstring_view value) {
  value = value.substr(0, std::min(value.size(), kNumberTextMax));
  while (!value.empty() && value.front() <= L' ') value.remove_prefix(1);
  bool negative = false;
  if (!value.empty() && (value.front() == L'+' || value.front() == L'-')) {
    negative = value.front() == L'-';
    value.remove_prefix(1);
  }
  std::uint32_t base = 10;
  if (value.size() >= 2 && value[0] == L'0') {
    for (const auto& [letter, prefixed] : {std::pair{L'b', 2U}, std::pair{L'o', 8U}, std::pair{L'x', 16U}}) {
      if (value[1] == letter) {
        base = prefixed;
        value.remove_prefix(2);
      }
    }
  }
  std::uint32_t total = 0;
  for (const wchar_t c : value) {
    const std::uint32_t digit = c >= L'0' && c <= L'9'   ? static_cast<std::uint32_t>(c - L'0')
                                : c >= L'a' && c <= L'z' ? static_cast<std::uint32_t>(c - L'a' + 10)
                                : c >= L'A' && c <= L'Z' ? static_cast<std::uint32_t>(c - L'A' + 10)
                                                         : base;
    if (digit >= base) break;
    total = total * base + digit;
  }
  return static_cast<std::int32_t>(negative ? 0U - total : total);
}

}  // namespace base
