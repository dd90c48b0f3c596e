// Known device list and the start-up's choice of target.
#include "device/known_devices.h"

#include <algorithm>

#include "core/program_paths.h"

namespace veltra {
namespace {

constexpr std::size_t kReadBuffer = 520;  // one read takes at most 519 characters

bool IsBlank(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }

std::wstring CleanLine(const std::string& piece) {
  std::wstring line;
  for (const char c : piece) {
    if (c == '#') break;
    line += static_cast<wchar_t>(static_cast<unsigned char>(c));
  }
  line = UpperCaseAscii(line);
  const auto first = std::find_if_not(line.begin(), line.end(), IsBlank);
  const auto last = std::find_if_not(line.rbegin(), line.rend(), IsBlank).base();
  return first < last ? std::wstring(first, last) : std::wstring();
}

bool Listed(const std::vector<std::wstring>& listed, const std::wstring& path) {
  return std::find(listed.begin(), listed.end(), path) != listed.end();
}

}  // namespace

void ReadKnownDeviceList(std::istream& in, const std::function<bool(const std::wstring&)>& on_line) {
  std::string piece;
  for (;;) {
    piece.clear();
    int c = 0;
    while (piece.size() < kReadBuffer - 1 && (c = in.get()) != std::char_traits<char>::eof()) {
      // Text mode: a CR before a line feed is not part of the line.
      if (c == '\r' && in.peek() == '\n') continue;
      piece += static_cast<char>(c);
      if (c == '\n') break;
    }
    if (piece.empty()) return;
    const std::wstring line = CleanLine(piece);
    if (!line.empty() && on_line(line)) return;
  }
}

TargetSource ResolveTargetDevice(std::wstring& path, const std::vector<std::wstring>& listed,
                                 const std::function<std::unique_ptr<std::istream>()>& open_known_list) {
  if (Listed(listed, path)) return TargetSource::Configured;
  const std::unique_ptr<std::istream> file = open_known_list();
  if (!file) return TargetSource::Selection;
  bool found = false;
  ReadKnownDeviceList(*file, [&](const std::wstring& line) {
    if (!Listed(listed, line)) return false;
    path = line;
    found = true;
    return true;
  });
  return found ? TargetSource::KnownList : TargetSource::Selection;
}

}  // namespace veltra
