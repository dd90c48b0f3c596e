// An in-memory profile store for the settings tests: sections and keys
// compared without case, integers read the way the platform reads them
// (an empty value as none).
#pragma once

#include <cwctype>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "base/profile_section.h"
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
    return text == nullptr || text->empty() ? fallback : base::ProfileNumber(*text);
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
