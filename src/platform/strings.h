// Texts from the program's string table. Each English text has a Japanese
// twin, where one exists, at its identifier plus kJapaneseStringOffset; the
// Japanese one is chosen exactly when the user's default interface language
// is Japanese (0x0411).
#pragma once

#include <windows.h>

#include <string>

#include "resources/japanese_offset.h"

namespace veltra {

inline constexpr UINT kJapaneseStringOffset = IDS_JAPANESE_OFFSET;
inline constexpr LANGID kJapaneseLanguage = MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN);  // 0x0411

// The string `id` as stored; empty when there is none.
std::wstring LoadText(HINSTANCE instance, UINT id);

// The text for `language`: the Japanese twin for 0x0411 when it exists,
// otherwise the English one.
std::wstring LoadLocalizedText(HINSTANCE instance, UINT id, LANGID language);
// The same for the user's default interface language.
std::wstring LoadLocalizedText(HINSTANCE instance, UINT id);

// `format`, a text of the string table with one integer ("%d", "%02d"),
// filled with `number`; empty when it does not fit 511 characters.
std::wstring FormatNumber(const std::wstring& format, int number);

}  // namespace veltra
