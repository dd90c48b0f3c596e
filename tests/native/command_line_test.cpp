// Command-line tokens and options.
#include "app/command_line.h"

#include <gtest/gtest.h>

namespace veltra {
namespace {

using Tokens = std::vector<std::wstring>;

TEST(Tokenize, QuotesBlanksTabsAndWhiteSpace) {
  EXPECT_EQ(TokenizeCommandLine(L"\"C:\\Program Files\\Veltra.exe\" /T 1"),
            (Tokens{L"C:\\Program Files\\Veltra.exe", L"/T", L"1"}));
  EXPECT_EQ(TokenizeCommandLine(L"  /T   0  /W 1 \r\n"), (Tokens{L"/T", L"0", L"/W", L"1"}));
  EXPECT_EQ(TokenizeCommandLine(L"/T\t1"), (Tokens{L"/T\t1"}));
  EXPECT_EQ(TokenizeCommandLine(L"\t/T 1\t"), (Tokens{L"/T", L"1"}));
  EXPECT_EQ(TokenizeCommandLine(L"a\x3000 b"), (Tokens{L"a", L"b"}));  // ideographic space trimmed from the token
  EXPECT_EQ(TokenizeCommandLine(L""), Tokens{});
  EXPECT_EQ(TokenizeCommandLine(L"   "), Tokens{});
}

TEST(Tokenize, AnUnclosedQuoteSwallowsTheRest) {
  EXPECT_EQ(TokenizeCommandLine(L"\"abc /T 1"), (Tokens{L"abc /T 1"}));
  EXPECT_EQ(TokenizeCommandLine(L"/W 1 \"x y"), (Tokens{L"/W", L"1", L"x y"}));
}

TEST(Tokenize, AnEmptyTokenEndsTheList) {
  // Only white space inside the quotes: the list ends there.
  EXPECT_EQ(TokenizeCommandLine(L"/T 1 \"   \" /W 0"), (Tokens{L"/T", L"1"}));
  // A quote directly after a blank-delimited token starts a quoted token.
  EXPECT_EQ(TokenizeCommandLine(L"a \"b c\" d"), (Tokens{L"a", L"b c", L"d"}));
  // Two quotes in a row: the delimiter skip eats the second one.
  EXPECT_EQ(TokenizeCommandLine(L"\"\" /T 1"), (Tokens{L"/T 1"}));
}

TEST(Tokenize, ThousandsOfTokens) {
  std::wstring line;
  for (int i = 0; i < 5000; ++i) line += L"/X ";
  EXPECT_EQ(TokenizeCommandLine(line).size(), 5000u);
}

struct Parsed {
  bool result;
  int touch, window, one_shot;
};

Parsed Parse(std::wstring_view line, int touch = 7, int window = 7) {
  Settings s;
  s.touch_status = static_cast<std::uint8_t>(touch);
  s.window_status = static_cast<std::uint8_t>(window);
  const bool result = ParseCommandLine(s, line);
  return {result, s.touch_status, s.window_status, s.one_shot};
}

TEST(ParseCommandLine, OptionsSetValuesAndReportIt) {
  Parsed p = Parse(L"/T 0 /W 1");
  EXPECT_TRUE(p.result);
  EXPECT_EQ(p.touch, 0);
  EXPECT_EQ(p.window, 1);
  p = Parse(L"/W 0");
  EXPECT_TRUE(p.result);
  EXPECT_EQ(p.touch, 7);
  EXPECT_EQ(p.window, 0);
  p = Parse(L"\"C:\\a b\\Veltra.exe\" /T 1");
  EXPECT_TRUE(p.result);
  EXPECT_EQ(p.touch, 1);
}

TEST(ParseCommandLine, CaseValuesAndMissingValuesAreIgnored) {
  for (std::wstring_view line : {L"/t 1", L"/T1", L"/T 2", L"/T", L"/W", L"/T 01", L"/T\t1", L"", L"hello", L"/w 0"}) {
    const Parsed p = Parse(line);
    EXPECT_FALSE(p.result) << std::wstring(line).size();
    EXPECT_EQ(p.touch, 7);
    EXPECT_EQ(p.window, 7);
    EXPECT_EQ(p.one_shot, 0);
  }
}

TEST(ParseCommandLine, OneShotSkipsTheTokenAfterIt) {
  Parsed p = Parse(L"/T 1 /O");
  EXPECT_TRUE(p.result);
  EXPECT_EQ(p.touch, 1);
  EXPECT_EQ(p.one_shot, 1);
  p = Parse(L"/O /T 0");
  EXPECT_FALSE(p.result);  // "/T" was skipped, so "0" stands alone
  EXPECT_EQ(p.touch, 7);
  EXPECT_EQ(p.one_shot, 1);
  p = Parse(L"/T 0 /O");
  EXPECT_EQ(p.touch, 0);
  EXPECT_EQ(p.one_shot, 1);
}

TEST(ParseCommandLine, ValueTokensAreNotOptionsAndLaterOptionsWin) {
  // "/T /W 1": /W is /T's (invalid) value, so "1" is a stray token.
  Parsed p = Parse(L"/T /W 1");
  EXPECT_FALSE(p.result);
  EXPECT_EQ(p.window, 7);
  p = Parse(L"/T 1 /T 0");
  EXPECT_EQ(p.touch, 0);
  p = Parse(L"/T 0 /T 5");
  EXPECT_TRUE(p.result);  // the first one set a value
  EXPECT_EQ(p.touch, 0);
}

TEST(ParseRemoval, OnlyWhereAnOptionMayStandAndNeverAfterP) {
  using enum Removal;
  const struct {
    std::wstring_view line;
    Removal removal;
  } cases[] = {
      {L"/X", Uninstall},      {L"\"C:\\a b\\Veltra.exe\" /X", Uninstall}, {L"/T 1 /X", Uninstall},
      {L"/O x /X", Uninstall}, {L"/x", None},                             {L"/X1", None},
      {L"/T /X", None},        {L"/W /X", None},                          {L"/O /X", None},
      {L"", None},             {L"/T 1 /O", None},                        {L"\"/X", Uninstall},
      {L"/U", Upgrade},        {L"/X /U", Uninstall},                     {L"/U /X", Upgrade},
      {L"/T /U", None},
      // A preset value that carries an option does not turn an
      // installation into a removal.
      {L"/P TASK_LOCK=1 /X", None}, {L"/P \"TASK_LOCK=1\" /X \"\" \"TASK_BOOT=\"", None}, {L"/P /U", None},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseRemoval(c.line), c.removal) << std::wstring(c.line).size();
  // Runs nobody watches: the one-shot run and the installer's options.
  EXPECT_TRUE(IsUnattendedCommandLine(L"/T 1 /O") && IsUnattendedCommandLine(L"/P TASK_LOCK=1") &&
              IsUnattendedCommandLine(L"/U"));
  EXPECT_FALSE(IsUnattendedCommandLine(L"/T 1 /W 0") || IsUnattendedCommandLine(L"/o"));
  // The other options read /X as a stray token.
  const Parsed p = Parse(L"/X /T 0");
  EXPECT_TRUE(p.result);
  EXPECT_EQ(p.touch, 0);
}

TEST(ParsePresets, GivenValuesOnlyAndAllOrNothing) {
  using enum PresetRequest;
  const std::wstring id = L"HID\\VID_1B96&PID_0F00&COL03\\7&34568466&0&0002";
  const Preset path{L"hardware", L"device_instance_path", id}, lock{L"task_scheduler", L"task_lock", L"1"},
      boot{L"task_scheduler", L"task_boot", L"0"}, startup{L"task_scheduler", L"task_startup", L"1"};
  const struct {
    std::wstring line;
    PresetRequest request;
    std::vector<Preset> presets;
  } cases[] = {
      {L"/T 1", None, {}},
      {L"/T /P", None, {}},  // the value of /T
      {L"/P DEVICE_PATH=" + id + L" TASK_BOOT=0 TASK_STARTUP=1 TASK_LOCK=1", Valid, {path, boot, startup, lock}},
      {L"/P DEVICE_PATH= TASK_BOOT= TASK_LOCK=1", Valid, {lock}},  // left out: not written
      {L"/P DEVICE_PATH=hid\\vid_1b96&pid_0f00&col03\\7&34568466&0&0002", Valid, {path}},
      {L"/P", Valid, {}},
      {L"/P TASK_LOCK=1 TASK_BOOT=2", Invalid, {}},
      {L"/P TASK_LOCK=yes", Invalid, {}},
      {L"/P task_lock=1", Invalid, {}},
      {L"/P TASK_LOCK", Invalid, {}},
      {L"/P WAIT=5", Invalid, {}},
      {L"/P \"DEVICE_PATH=HID\\A B\"", Invalid, {}},
      {L"/P DEVICE_PATH=HID\\A,B", Invalid, {}},
      {L"/P DEVICE_PATH=HID\\\x00E9", Invalid, {}},
      {L"/P DEVICE_PATH=" + std::wstring(201, L'A'), Invalid, {}},
      // As the package's action quotes them.
      {L"/P \"DEVICE_PATH=" + id + L"\" \"TASK_BOOT=0\" \"TASK_STARTUP=\" \"TASK_LOCK=1\"", Valid, {path, boot, lock}},
      // Values that carry an option or a pair of their own.
      {L"/P TASK_LOCK=1 /X", Invalid, {}},
      {L"/P \"TASK_LOCK=1\" /X \"\" \"TASK_BOOT=\"", Invalid, {}},
      {L"/P \"DEVICE_PATH=A\" \"TASK_LOCK=1\" \"TASK_BOOT=\" \"TASK_STARTUP=\" \"TASK_LOCK=\"", Invalid, {}},
      {L"/P DEVICE_PATH=HID\\A\"B", Invalid, {}},
  };
  for (const auto& c : cases) {
    std::vector<Preset> presets{boot};
    EXPECT_EQ(ParsePresets(c.line, presets), c.request) << c.line.size();
    EXPECT_EQ(presets, c.presets) << c.line.size();
  }
}

// The package's early check: what it refuses is what the deferred /P,
// given the same value among the package's quoted pairs, would refuse.
TEST(PresetRefusal, NamesThePairAndAgreesWithTheQuotedLine) {
  EXPECT_NE(PresetRefusal(L"TASK_LOCK", L"2").find(L"TASK_LOCK=2 is refused: TASK_LOCK takes 0 or 1"), std::wstring::npos);
  EXPECT_NE(PresetRefusal(L"DEVICE_PATH", L"HID\\A B").find(L"DEVICE_PATH takes a device instance path"),
            std::wstring::npos);
  const std::wstring values[] = {L"", L"0", L"1", L"2", L"yes", L"HID\\VID_1B96&PID_0F00", L"HID\\A B",
                                 L"1\" \"TASK_BOOT=1", L"1\" /X \"", L"A\u3000B", std::wstring(201, L'A')};
  for (const std::wstring_view name : kPresetProperties) {
    for (const std::wstring& value : values) {
      std::wstring line = L"/P";
      for (const std::wstring_view other : kPresetProperties)
        line += L" \"" + std::wstring(other) + L"=" + (other == name ? value : L"") + L"\"";
      std::vector<Preset> presets;
      EXPECT_EQ(PresetRefusal(name, value).empty(), ParsePresets(line, presets) == PresetRequest::Valid) << line;
    }
  }
}

}  // namespace
}  // namespace veltra
