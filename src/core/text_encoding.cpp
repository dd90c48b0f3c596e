// The UTF-16LE sniffing rule; see the header for why it is this narrow.
#include "core/text_encoding.h"

#include <algorithm>
#include <array>

namespace veltra {
namespace {

bool StartsWith(std::span<const unsigned char> bytes, std::span<const unsigned char> prefix) {
  return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

bool IsPrintableLatin1(unsigned char c) { return c == '\t' || (c >= 0x20 && c <= 0x7E) || c >= 0xA0; }

}  // namespace

bool LooksLikeUtf16LeWithoutBom(std::span<const unsigned char> head) {
  static constexpr std::array<unsigned char, 2> kUtf16Le{0xFF, 0xFE};
  static constexpr std::array<unsigned char, 2> kUtf16Be{0xFE, 0xFF};
  static constexpr std::array<unsigned char, 3> kUtf8{0xEF, 0xBB, 0xBF};
  if (StartsWith(head, kUtf16Le) || StartsWith(head, kUtf16Be) || StartsWith(head, kUtf8)) return false;

  head = head.first(std::min(head.size(), kUtf16SniffBytes));
  std::size_t units = 0;
  for (std::size_t i = 0; i + 1 < head.size(); i += 2, ++units) {
    const unsigned char low = head[i];
    if (head[i + 1] != 0) return false;
    if (low == '\r' || low == '\n') return units > 0;
    if (!IsPrintableLatin1(low)) return false;
  }
  // No line end within the head: the head itself is the line, and a byte
  // left over is half a unit, which UTF-16 text never ends in.
  return units > 0 && head.size() % 2 == 0;
}

std::size_t Utf16FitLength(std::wstring_view text, std::size_t max_units) {
  if (text.size() <= max_units) return text.size();
  const bool high_surrogate_last = max_units > 0 && text[max_units - 1] >= 0xD800 && text[max_units - 1] <= 0xDBFF;
  return high_surrogate_last ? max_units - 1 : max_units;
}

}  // namespace veltra
