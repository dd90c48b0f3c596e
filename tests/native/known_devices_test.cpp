// The known device list and the start-up's choice of the target device.
#include "device/known_devices.h"

#include <gtest/gtest.h>

namespace veltra {
namespace {

std::vector<std::wstring> Lines(const std::string& text) {
  std::vector<std::wstring> lines;
  ReadKnownDeviceList(text, [&](const std::wstring& line) {
    lines.push_back(line);
    return false;
  });
  return lines;
}

TEST(KnownDeviceList, CommentsCaseBlanksAndLongLinesInPieces) {
  using L = std::vector<std::wstring>;
  EXPECT_EQ(Lines(""), L{});
  EXPECT_EQ(Lines("# only a comment\r\n   # indented\r\n\r\n \t \r\n"), L{});
  EXPECT_EQ(Lines("hid\\vid_1b96&pid_0f00&col03\\7&1&0&0002   # the panel\r\nHID\\X\r\n  acpi\\y  "),
            (L{L"HID\\VID_1B96&PID_0F00&COL03\\7&1&0&0002", L"HID\\X", L"ACPI\\Y"}));
  // Unix line ends and a lone CR inside a line.
  EXPECT_EQ(Lines("a\nb\rc\n"), (L{L"A", L"B\rC"}));

  // 1,000 characters read 519 at a time: two pieces, the comment of the
  // first not reaching into the second.
  const std::string first(519, 'a');
  const std::string second = "#" + std::string(480, 'b');
  EXPECT_EQ(Lines(first + second + "\r\nc\r\n"), (L{std::wstring(519, L'A'), L"C"}));
  const std::string long_line = std::string(600, 'x') + "#" + std::string(399, 'y');
  EXPECT_EQ(Lines(long_line), (L{std::wstring(519, L'X'), std::wstring(81, L'X')}));
}

TEST(ResolveTargetDevice, ConfiguredThenKnownListInFileOrderThenTheDialog) {
  const DeviceList listed = {{L"HID\\A", L""}, {L"HID\\B", L""}, {L"HID\\C", L""}};
  int opened = 0;
  auto list_of = [&](const std::string& text) {
    return [&opened, text] {
      ++opened;
      return std::optional<std::string>(text);
    };
  };
  struct Case {
    const wchar_t* configured;
    const char* known;  // null: no file
    TargetSource source;
    const wchar_t* path;
    int opens;
  };
  const Case cases[] = {
      {L"HID\\B", "hid\\c\n", TargetSource::Configured, L"HID\\B", 0},  // the list is not even opened
      {L"HID\\GONE", "hid\\missing\n hid\\c # panel\nhid\\a\n", TargetSource::KnownList, L"HID\\C", 1},
      {L"HID\\GONE", "# nothing\n\nhid\\missing\n", TargetSource::Selection, L"HID\\GONE", 1},
      {L"HID\\GONE", "", TargetSource::Selection, L"HID\\GONE", 1},
      {L"HID\\GONE", nullptr, TargetSource::Selection, L"HID\\GONE", 1},
      {L"hid\\b", "", TargetSource::Selection, L"hid\\b", 1},  // comparison is exact: callers upper-case first
  };
  for (const Case& c : cases) {
    opened = 0;
    std::wstring path = c.configured;
    const auto open = c.known != nullptr ? std::function<std::optional<std::string>()>(list_of(c.known))
                                         : [&opened] {
                                             ++opened;
                                             return std::optional<std::string>();
                                           };
    EXPECT_EQ(ResolveTargetDevice(path, listed, open), c.source) << static_cast<int>(c.source);
    EXPECT_EQ(path, c.path);
    EXPECT_EQ(opened, c.opens);
  }
}

}  // namespace
}  // namespace veltra
