// Any command line: tokenising and option parsing must not crash or overrun,
// and every token must be trimmed and non-empty.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::wstring line;
  for (std::size_t i = 0; i + 1 < size; i += 2) line.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
  for (const std::wstring& token : veltra::TokenizeCommandLine(line)) {
    if (token.empty() || veltra::IsWideSpace(token.front()) || veltra::IsWideSpace(token.back())) std::abort();
  }
  veltra::Settings settings;
  veltra::ParseCommandLine(settings, line);
  if (settings.touch_status > 1 || settings.window_status > 1 || settings.one_shot > 1) std::abort();
  // What an installer presets is a task switch or a device path of at most 200 characters, or nothing.
  std::vector<veltra::Preset> presets;
  if (veltra::ParsePresets(line, presets) != veltra::PresetRequest::Valid && !presets.empty()) std::abort();
  for (const veltra::Preset& p : presets) {
    if (p.value.empty() || p.value.size() > 200) std::abort();
  }
  return 0;
}
