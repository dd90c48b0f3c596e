// Command-line tokenising and option handling.
#include "app/command_line.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "base/ascii.h"

namespace veltra {
namespace {

// Takes the next token delimited by `delim`: skips delimiters at `pos`, takes
// characters up to the next delimiter or the end, and leaves `pos` just past
// that delimiter. Nothing left gives an empty token.
std::wstring_view NextToken(std::wstring_view text, std::size_t& pos, wchar_t delim) {
  while (pos < text.size() && text[pos] == delim) ++pos;
  if (pos >= text.size()) return {};
  const std::size_t start = pos;
  while (pos < text.size() && text[pos] != delim) ++pos;
  const std::wstring_view token = text.substr(start, pos - start);
  if (pos < text.size()) ++pos;
  return token;
}

bool ApplyBinaryOption(const std::vector<std::wstring>& tokens, std::size_t i, std::uint8_t& target) {
  if (i + 1 >= tokens.size()) return false;
  const std::wstring& value = tokens[i + 1];
  if (value == L"0") {
    target = 0;
    return true;
  }
  if (value == L"1") {
    target = 1;
    return true;
  }
  return false;
}

// The index of `option` where an option may stand (not the value of /T or
// /W, nor the token /O skips, nor a token after /P), or the token count.
std::size_t FindOption(const std::vector<std::wstring>& tokens, std::wstring_view option) {
  std::size_t i = 0;
  while (i < tokens.size()) {
    const std::wstring& token = tokens[i];
    if (token == option) return i;
    if (token == L"/P") break;
    i += (token == L"/T" || token == L"/W" || token == L"/O") ? 2 : 1;
  }
  return tokens.size();
}

// What a device instance identifier may be: at most 200 characters
// (MAX_DEVICE_ID_LEN), each printable ASCII other than the blank, the comma
// and the double quote (which would end the value on a command line).
bool IsDeviceInstanceId(std::wstring_view text) {
  if (text.size() > 200) return false;
  return std::all_of(text.begin(), text.end(),
                     [](wchar_t c) { return c > L' ' && c < 0x7F && c != L',' && c != L'"'; });
}

// A preset as the installer quotes it: the tokenizer leaves the quotes on
// every quoted token but the first, so one enclosing pair is dropped.
std::wstring_view Unquoted(std::wstring_view token) {
  if (token.size() >= 2 && token.front() == L'"' && token.back() == L'"') return token.substr(1, token.size() - 2);
  return token;
}

}  // namespace

bool IsWideSpace(wchar_t c) {
  const auto u = static_cast<std::uint32_t>(c);
  if ((u >= 0x09 && u <= 0x0D) || u == 0x20 || u == 0x85 || u == 0xA0 || u == 0x1680) return true;
  if (u >= 0x2000 && u <= 0x200A) return true;
  return u == 0x2028 || u == 0x2029 || u == 0x202F || u == 0x205F || u == 0x3000;
}

std::wstring_view TrimWideSpace(std::wstring_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsWideSpace(text[begin])) ++begin;
  while (end > begin && IsWideSpace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::vector<std::wstring> TokenizeCommandLine(std::wstring_view command_line) {
  const std::wstring_view text = TrimWideSpace(command_line);
  std::vector<std::wstring> tokens;
  std::size_t pos = 0;
  for (;;) {
    wchar_t delim = L' ';
    if (pos < text.size() && text[pos] == L'"') {
      ++pos;
      delim = L'"';
    }
    const std::wstring_view token = TrimWideSpace(NextToken(text, pos, delim));
    if (token.empty()) break;
    tokens.emplace_back(token);
  }
  return tokens;
}

bool ParseCommandLine(Settings& settings, std::wstring_view command_line) {
  if (command_line.empty()) return false;
  const std::vector<std::wstring> tokens = TokenizeCommandLine(command_line);
  bool set_value = false;
  std::size_t i = 0;
  while (i < tokens.size()) {
    const std::wstring& token = tokens[i];
    if (token == L"/T") {
      set_value |= ApplyBinaryOption(tokens, i, settings.touch_status);
      i += 2;
    } else if (token == L"/W") {
      set_value |= ApplyBinaryOption(tokens, i, settings.window_status);
      i += 2;
    } else if (token == L"/O") {
      settings.one_shot = 1;
      i += 2;
    } else {
      i += 1;
    }
  }
  return set_value;
}

Removal ParseRemoval(std::wstring_view command_line) {
  const std::vector<std::wstring> tokens = TokenizeCommandLine(command_line);
  const std::size_t uninstall = FindOption(tokens, L"/X");
  const std::size_t upgrade = FindOption(tokens, L"/U");
  if (uninstall == tokens.size() && upgrade == tokens.size()) return Removal::None;
  return uninstall < upgrade ? Removal::Uninstall : Removal::Upgrade;
}

bool IsUnattendedCommandLine(std::wstring_view command_line) {
  const std::vector<std::wstring> tokens = TokenizeCommandLine(command_line);
  if (ParseRemoval(command_line) != Removal::None || FindOption(tokens, L"/P") < tokens.size()) return true;
  Settings probe;
  ParseCommandLine(probe, command_line);
  return probe.one_shot != 0;
}

bool Preset::operator==(const Preset& other) const {
  return std::wstring_view(section) == other.section && std::wstring_view(key) == other.key && value == other.value;
}

namespace {

// What each property presets and takes; in the order of kPresetProperties.
struct PresetTarget {
  const wchar_t* section;
  const wchar_t* key;
  bool (*accepts)(std::wstring_view value);
  std::wstring_view accepted;
};
bool IsTaskValue(std::wstring_view value) { return value == L"0" || value == L"1"; }
constexpr PresetTarget kPresetTargets[] = {
    {L"hardware", L"device_instance_path", IsDeviceInstanceId,
     L"a device instance path: at most 200 printable ASCII characters, no blank, comma or double quote"},
    {L"task_scheduler", L"task_boot", IsTaskValue, L"0 or 1"},
    {L"task_scheduler", L"task_startup", IsTaskValue, L"0 or 1"},
    {L"task_scheduler", L"task_lock", IsTaskValue, L"0 or 1"},
};
static_assert(std::size(kPresetTargets) == std::size(kPresetProperties));

std::size_t PresetIndex(std::wstring_view name) {
  return static_cast<std::size_t>(std::find(std::begin(kPresetProperties), std::end(kPresetProperties), name) -
                                  std::begin(kPresetProperties));
}

}  // namespace

PresetRequest ParsePresets(std::wstring_view command_line, std::vector<Preset>& presets) {
  presets.clear();
  const std::vector<std::wstring> tokens = TokenizeCommandLine(command_line);
  const std::size_t at = FindOption(tokens, L"/P");
  if (at >= tokens.size()) return PresetRequest::None;
  bool seen[std::size(kPresetProperties)] = {};
  for (std::size_t i = at + 1; i < tokens.size(); ++i) {
    const std::wstring_view token = Unquoted(tokens[i]);
    const std::size_t equals = token.find(L'=');
    const std::size_t index = PresetIndex(token.substr(0, equals));
    // A name given twice can only come from a value that carried a pair of
    // its own.
    if (equals == std::wstring_view::npos || index == std::size(kPresetProperties) ||
        std::exchange(seen[index], true)) {
      presets.clear();
      return PresetRequest::Invalid;
    }
    const std::wstring_view value = token.substr(equals + 1);
    if (value.empty()) continue;
    const PresetTarget& target = kPresetTargets[index];
    if (!target.accepts(value)) {
      presets.clear();
      return PresetRequest::Invalid;
    }
    presets.push_back({target.section, target.key, base::UpperCaseAscii(value)});
  }
  return PresetRequest::Valid;
}

std::wstring PresetRefusal(std::wstring_view name, std::wstring_view value) {
  const std::size_t index = PresetIndex(name);
  if (index == std::size(kPresetProperties)) return std::wstring(name) + L" is no property of Veltra's presets";
  if (value.empty() || kPresetTargets[index].accepts(value)) return {};
  return std::wstring(name) + L"=" + std::wstring(value) + L" is refused: " + std::wstring(name) + L" takes " +
         std::wstring(kPresetTargets[index].accepted) + L", or nothing to keep the setting as it is";
}

}  // namespace veltra
