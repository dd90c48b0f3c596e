// An in-memory profile store for the settings tests: sections and keys
// compared without case, integers read the way the platform reads them.
#pragma once

#include <cwctype>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/settings.h"

namespace veltra::testing {

class FakeProfile final : public ProfileStore {
 public:
  struct Write {
    std::wstring section, key, value;
  };

  void Set(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
    values_[Key(section, key)] = std::wstring(value);
  }
  const std::wstring* Get(std::wstring_view section, std::wstring_view key) const {
    const auto it = values_.find(Key(section, key));
    return it == values_.end() ? nullptr : &it->second;
  }
  const std::vector<Write>& writes() const { return writes_; }
  std::size_t size() const { return values_.size(); }
  void set_read_only(bool read_only) { read_only_ = read_only; }

  std::int32_t ReadInt(std::wstring_view section, std::wstring_view key, std::int32_t fallback) override {
    const std::wstring* text = Get(section, key);
    if (text == nullptr) return fallback;
    // Leading blanks, an optional sign, then digits up to the first other
    // character; no digits reads as 0.
    std::size_t i = 0;
    while (i < text->size() && ((*text)[i] == L' ' || (*text)[i] == L'\t')) ++i;
    bool negative = false;
    if (i < text->size() && ((*text)[i] == L'-' || (*text)[i] == L'+')) negative = (*text)[i++] == L'-';
    std::uint32_t value = 0;
    for (; i < text->size() && (*text)[i] >= L'0' && (*text)[i] <= L'9'; ++i) {
      value = value * 10u + static_cast<std::uint32_t>((*text)[i] - L'0');
    }
    return static_cast<std::int32_t>(negative ? 0u - value : value);
  }
  std::wstring ReadString(std::wstring_view section, std::wstring_view key, std::wstring_view fallback) override {
    const std::wstring* text = Get(section, key);
    return text == nullptr ? std::wstring(fallback) : *text;
  }
  bool WriteString(std::wstring_view section, std::wstring_view key, std::wstring_view value) override {
    if (read_only_) return false;
    writes_.push_back({std::wstring(section), std::wstring(key), std::wstring(value)});
    Set(section, key, value);
    return true;
  }

 private:
  static std::pair<std::wstring, std::wstring> Key(std::wstring_view section, std::wstring_view key) {
    auto lower = [](std::wstring_view text) {
      std::wstring out(text);
      for (wchar_t& c : out) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
      return out;
    };
    return {lower(section), lower(key)};
  }

  std::map<std::pair<std::wstring, std::wstring>, std::wstring> values_;
  std::vector<Write> writes_;
  bool read_only_ = false;
};

}  // namespace veltra::testing
