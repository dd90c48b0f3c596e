// A section read whole and then answered key by key. The Windows tests hold
// the same answers against the platform's own one-key reads.
#include "base/profile_section.h"

#include <gtest/gtest.h>

#include <string>

namespace base {
namespace {

using namespace std::string_literals;

TEST(ProfileSection, KeysAnswerAsTheirOwnReadsWould) {
  const ProfileSection section(
      L"Name =  \"two  words\" \0NAME=second\0;hidden=1\0no value\0quoted='x'\0half=\"x\0"
      L"both=\"\"\0empty=\0 =nameless\0tab\t=\t7 \0"s);
  EXPECT_EQ(section.String(L"name", L"-"), L"two  words");  // the first of a repeat, any case
  EXPECT_EQ(section.String(L"hidden", L"-"), L"-");          // a comment
  EXPECT_EQ(section.String(L"no value", L"-"), L"-");
  EXPECT_EQ(section.String(L"quoted", L"-"), L"x");
  EXPECT_EQ(section.String(L"half", L"-"), L"\"x");
  EXPECT_EQ(section.String(L"both", L"-"), L"");
  EXPECT_EQ(section.Int(L"empty", 9), 9);  // an empty value is no number
  EXPECT_EQ(section.String(L"empty", L"-"), L"");
  EXPECT_EQ(section.Int(L"tab", 0), 7);
  EXPECT_EQ(section.Int(L"missing", -3), -3);
  EXPECT_FALSE(section.empty());
  EXPECT_TRUE(ProfileSection(L";only=comment\0"s).empty());
  EXPECT_TRUE(ProfileSection().empty());
}

TEST(ProfileSection, NumbersReadAsThePlatformReadsThem) {
  const struct {
    const wchar_t* text;
    std::int32_t number;
  } cases[] = {
      {L"12abc", 12},         {L" -5", -5},           {L"+7", 7},
      {L"0x1f", 31},          {L"-0x10", -16},        {L"0X10", 0},
      {L"0b101", 5},          {L"0o17", 15},          {L"0b2", 0},
      {L"abc", 0},            {L"-", 0},              {L"09", 9},
      {L"4294967297", 1},     {L"2147483648", INT32_MIN},
      {L"-4294967295", 1},    {L"\t\x1F" L"42", 42},  {L"- 4", 0},
      // Only 29 characters are read: the 30th digit is not part of it.
      {L"00000000000000000000000000001" L"5", 1},
  };
  for (const auto& c : cases) EXPECT_EQ(ProfileNumber(c.text), c.number) << std::wstring(c.text).size();
}

}  // namespace
}  // namespace base
