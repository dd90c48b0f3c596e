// Command-line tokenising and option handling.
#include "app/command_line.h"

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

bool IsRemovalCommandLine(std::wstring_view command_line) {
  const std::vector<std::wstring> tokens = TokenizeCommandLine(command_line);
  std::size_t i = 0;
  while (i < tokens.size()) {
    const std::wstring& token = tokens[i];
    if (token == L"/X") return true;
    i += (token == L"/T" || token == L"/W" || token == L"/O") ? 2 : 1;
  }
  return false;
}

}  // namespace veltra
