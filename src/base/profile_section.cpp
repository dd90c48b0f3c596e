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

template <class Visit>
bool ProfileSection::ForEachKey(Visit visit) const {
  std::wstring_view lines = lines_;
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
    if (visit(name, value)) return true;
  }
  return false;
}

std::optional<std::wstring_view> ProfileSection::Find(std::wstring_view name) const {
  std::optional<std::wstring_view> found;
  ForEachKey([&](std::wstring_view key, std::wstring_view value) {
    if (SameName(key, name)) found = value;  // the first of a repeat
    return found.has_value();
  });
  return found;
}

bool ProfileSection::empty() const {
  return !ForEachKey([](std::wstring_view, std::wstring_view) { return true; });
}

std::wstring ProfileSection::String(std::wstring_view name, std::wstring_view fallback) const {
  return std::wstring(Find(name).value_or(fallback));
}

std::int32_t ProfileSection::Int(std::wstring_view name, std::int32_t fallback) const {
  const auto value = Find(name);
  return value && !value->empty() ? ProfileNumber(*value) : fallback;
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
    base = value[1] == L'b' ? 2U : value[1] == L'o' ? 8U : value[1] == L'x' ? 16U : 10U;
    if (base != 10) value.remove_prefix(2);
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
