// Texts from the string tables, compiled from UTF-8 sources.
#include "platform/strings.h"

#include <gtest/gtest.h>

#include "resources/resource.h"
#include "test_resource.h"

namespace {

static_assert(IDS_JAPANESE_OFFSET == veltra::kJapaneseStringOffset);

TEST(Strings, JapaneseExactlyFor0x0411AndEnglishOtherwiseOrWhenThereIsNoTwin) {
  const HINSTANCE module = ::GetModuleHandleW(nullptr);
  EXPECT_EQ(veltra::LoadLocalizedText(module, IDS_TEST_GREETING, 0x0411), L"\u304a\u306f\u3088\u3046\u3054\u3056\u3044\u307e\u3059");
  EXPECT_EQ(veltra::LoadLocalizedText(module, IDS_TEST_GREETING, 0x0409), L"Good morning");
  EXPECT_EQ(veltra::LoadLocalizedText(module, IDS_TEST_GREETING, 0x0404), L"Good morning");  // Chinese is not Japanese
  EXPECT_EQ(veltra::LoadLocalizedText(module, IDS_TEST_ENGLISH_ONLY, 0x0411), L"Only in English");
  EXPECT_EQ(veltra::LoadText(module, 9299), L"");

  // The program's own texts, escapes and trailing blanks intact.
  EXPECT_EQ(veltra::LoadLocalizedText(module, IDS_DEVICE_ERROR, 0x0411),
            L"Device control error.\nPlease check the device status \nand device instance path in device manager.");
  EXPECT_EQ(veltra::LoadLocalizedText(module, IDS_NEED_WINDOWS8), L"You need at least Windows 8\nVersion Not Supported.");
}

}  // namespace
