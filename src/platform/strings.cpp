// String-table texts, with the Japanese twin chosen by the user's
// interface language.
#include "platform/strings.h"

// The system's bounded print (the C runtime DLL's), not the static
// runtime's own formatted print, which would be linked in whole.
#define STRSAFE_NO_DEPRECATE
#include <strsafe.h>

#include <iterator>

namespace veltra {

std::wstring LoadText(HINSTANCE instance, UINT id) {
  // A zero length asks for a pointer into the resource itself, so a text of
  // any length comes back whole.
  const wchar_t* text = nullptr;
  const int length = ::LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || text == nullptr) return {};
  return std::wstring(text, static_cast<std::size_t>(length));
}

std::wstring LoadLocalizedText(HINSTANCE instance, UINT id, LANGID language) {
  if (language == kJapaneseLanguage) {
    std::wstring japanese = LoadText(instance, id + kJapaneseStringOffset);
    if (!japanese.empty()) return japanese;
  }
  return LoadText(instance, id);
}

std::wstring LoadLocalizedText(HINSTANCE instance, UINT id) {
  return LoadLocalizedText(instance, id, ::GetUserDefaultUILanguage());
}

std::wstring FormatNumber(const std::wstring& format, int number) {
  wchar_t text[512];
  if (FAILED(::StringCchPrintfW(text, std::size(text), format.c_str(), number))) return {};
  return text;
}

}  // namespace veltra
