// Telling BOM-less UTF-16LE settings files from every file that must stay as it is.
#include "core/text_encoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace veltra {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes Utf16Le(std::u16string_view text) {
  Bytes bytes;
  for (char16_t unit : text) {
    bytes.push_back(static_cast<unsigned char>(unit & 0xFF));
    bytes.push_back(static_cast<unsigned char>(unit >> 8));
  }
  return bytes;
}

Bytes Raw(std::string_view text) { return Bytes(text.begin(), text.end()); }

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(TextEncoding, OnlyBomlessUtf16LeWithAPlainOpeningLineIsRecognised) {
  const Bytes kIni = Utf16Le(u"[status]\r\ntouch_status=0\r\n[string]\r\ndialog_enable_txt=タッチ\r\n");
  const struct {
    const char* name;
    Bytes head;
    bool expected;
  } cases[] = {
      {"UTF-16LE without mark", kIni, true},
      {"UTF-16LE Latin-1 line", Utf16Le(u"[café]\n"), true},
      {"UTF-16LE one character, no line end", Utf16Le(u"a"), true},
      {"UTF-16LE line longer than the head", Concat(Utf16Le(std::u16string(300, u'a')), Raw("\x01")), true},
      {"UTF-16LE with mark", Concat({0xFF, 0xFE}, kIni), false},
      {"UTF-16BE without mark", Raw(std::string("\0[\0s\0]\0\r\0\n", 10)), false},
      {"UTF-8 with mark", Concat({0xEF, 0xBB, 0xBF}, Raw("[status]\r\n")), false},
      {"ANSI", Raw("[status]\r\ntouch_status=0\r\n"), false},
      {"UTF-8 Japanese", Raw("[string]\r\ndialog_enable_txt=\xE3\x82\xBF\xE3\x83\x83\r\n"), false},
      {"Latin-1", Raw("caf\xE9\r\n"), false},
      {"single byte", Raw("["), false},
      {"empty", {}, false},
      {"odd-length line", Raw(std::string("[\0s\0]", 5)), false},
      {"NUL low byte in the line", Raw(std::string("[\0\0\0s\0]\0\r\0\n\0", 12)), false},
      {"UTF-16LE empty opening line", Utf16Le(u"\r\n[status]\r\n"), false},
      {"UTF-16LE Japanese opening line", Utf16Le(u"[タッチ]\r\n"), false},
      {"little-endian numbers", Bytes{0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x0A, 0x00}, false},
  };
  for (const auto& c : cases) EXPECT_EQ(LooksLikeUtf16LeWithoutBom(c.head), c.expected) << c.name;
}

// A notification icon's tip holds 127 units: one less where the last would
// be the first half of a character.
TEST(TextEncoding, AFitNeverEndsInHalfASurrogatePair) {
  const std::wstring smile = {static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
  EXPECT_EQ(Utf16FitLength(std::wstring(126, L'x') + smile, 127), 126u);
  EXPECT_EQ(Utf16FitLength(std::wstring(125, L'x') + smile + L"x", 127), 127u);
}

}  // namespace
}  // namespace veltra
