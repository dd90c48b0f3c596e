// The watcher's program lists and its decision for the foreground program.
#include "watch/watch_rules.h"

#include <gtest/gtest.h>

#include <tuple>


namespace veltra::watch {
namespace {

std::vector<std::string> List(const std::string& text) { return ReadProcessList(text); }

TEST(ProcessList, CommentsCaseBlanksAndPieces) {
  using L = std::vector<std::string>;
  EXPECT_EQ(List(""), L{});
  EXPECT_EQ(List("# Example:\r\n# C:\\Windows\\notepad.exe\r\n\r\n   \t\r\n"), L{});
  // A trailing comment after blanks, lower case, a file name alone kept as
  // written (it simply never equals a full path).
  EXPECT_EQ(List("c:\\Program Files\\Paint\\paint.exe    # drawing\r\n  D:\\Tools\\x.EXE\r\nnotepad.exe\n"),
            (L{"C:\\PROGRAM FILES\\PAINT\\PAINT.EXE", "D:\\TOOLS\\X.EXE", "NOTEPAD.EXE"}));
  // 600 bytes come as 519 and 81: two entries.
  EXPECT_EQ(List(std::string(600, 'p') + "\r\n"), (L{std::string(519, 'P'), std::string(81, 'P')}));
  // The case folder is the caller's: bytes beyond ASCII go through it.
  const L folded = ReadProcessList("c:\\j\xf6rg\\a.exe\r\n", [](std::string& text) {
    base::UpperCaseAsciiInPlace(text);
    for (char& c : text) {
      if (c == '\xf6') c = '\xd6';
    }
  });
  EXPECT_EQ(folded, L{"C:\\J\xd6RG\\A.EXE"});
}

TEST(WatchInterval, TenMillisecondsToAMinuteAsStoredAnythingElseTheDefault) {
  const std::pair<std::int64_t, std::uint32_t> cases[] = {
      {10, 10}, {250, 250}, {60000, 60000},                                                         // as stored
      {9, 100}, {0, 100}, {-1, 100}, {60001, 100}, {2147483647, 100}, {4294967295, 100}};  // the default
  for (const auto& [stored, expected] : cases) EXPECT_EQ(WatchInterval(stored), expected) << stored;
}

// "TaskbarCreated" comes also while the icon is there (a DPI change, any
// sender): the icon is added only when modifying it fails, and a refusal of
// both is only reported.
TEST(ReshowIcon, ModifiesFirstAndAddsOnlyAnIconTheShellLacks) {
  for (const auto& [modify_ok, add_ok, calls, shown] :
       {std::tuple(true, false, std::vector<IconCall>{IconCall::Modify}, true),
        std::tuple(false, true, std::vector<IconCall>{IconCall::Modify, IconCall::Add}, true),
        std::tuple(false, false, std::vector<IconCall>{IconCall::Modify, IconCall::Add}, false)}) {
    std::vector<IconCall> made;
    EXPECT_EQ(ReshowIcon([&](IconCall call) {
                made.push_back(call);
                return call == IconCall::Modify ? modify_ok : add_ok;
              }),
              shown);
    EXPECT_EQ(made, calls);
  }
}

TEST(DecideRequest, EnableListWinsThenDisableListThenTheDefaultStatus) {
  const ProcessLists lists{ReadProcessList("c:\\apps\\both.exe\r\nC:\\Apps\\Reader.exe # reading\r\n"),
                           ReadProcessList("C:\\APPS\\BOTH.EXE\r\nc:\\apps\\paint.exe\r\nnotepad.exe\r\n")};
  const auto None = TouchRequest::None, Enable = TouchRequest::Enable, Disable = TouchRequest::Disable;

  struct Case {
    std::optional<std::string_view> path;
    std::int32_t default_status;
    TouchRequest expected;
  } const cases[] = {
      {"C:\\APPS\\BOTH.EXE", 0, Enable},    // in both lists
      {"C:\\APPS\\READER.EXE", 0, Enable},  // a commented entry
      {"C:\\APPS\\PAINT.EXE", 1, Disable},  // listed beats the default
      {"C:\\APPS\\PAINT.EXE", 2, Disable},
      // Unlisted: the default status decides.
      {"C:\\WINDOWS\\NOTEPAD.EXE", 0, Disable},  // a file name alone never matches
      {"C:\\WINDOWS\\NOTEPAD.EXE", 1, Enable},
      {"C:\\WINDOWS\\NOTEPAD.EXE", 2, None},
      {"C:\\WINDOWS\\NOTEPAD.EXE", -1, None},
      {"C:\\APPS\\PAINT", 0, Disable},  // no prefix matching
      // A path that could not be read counts as unlisted.
      {std::nullopt, 0, Disable},
      {std::nullopt, 1, Enable},
      {std::nullopt, 7, None},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DecideRequest(lists, c.path, c.default_status), c.expected)
        << (c.path ? std::string(*c.path) : "(unreadable)") << " default " << c.default_status;
  }
  // Empty lists: only the default status speaks.
  EXPECT_EQ(DecideRequest({}, "C:\\APPS\\BOTH.EXE", 2), None);
  EXPECT_EQ(DecideRequest({}, "C:\\APPS\\BOTH.EXE", 1), Enable);
}

}  // namespace
}  // namespace veltra::watch
