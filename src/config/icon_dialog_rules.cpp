// The icon picker's portable rules.
#include "config/icon_dialog_rules.h"

#include <algorithm>

namespace veltra {
namespace {

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

std::wstring_view TrimTrailingSpace(std::wstring_view text) {
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
    text.remove_suffix(1);
  }
  return text;
}

}  // namespace

std::wstring NulSeparatedFilter(std::wstring_view bar_separated) {
  std::wstring filter(bar_separated);
  std::replace(filter.begin(), filter.end(), L'|', L'\0');
  return filter;
}

std::wstring OpenFailureText(const std::wstring& path, bool missing, std::wstring_view system_description) {
  std::wstring text;
  // The system's texts end with a line break, which a message box would
  // show as an empty line.
  const std::wstring_view description = TrimTrailingSpace(system_description);
  if (missing) {
    text = path + L" was not found.";
  } else if (!description.empty()) {
    text = description;
  } else {
    text = path + L" could not be opened.";
  }
  if (text.size() > kMaxOpenFailureText) {
    std::size_t length = kMaxOpenFailureText;
    // Half a character would show as a replacement sign.
    if (IsHighSurrogate(text[length - 1])) --length;
    text.resize(length);
  }
  return text;
}

std::wstring NoIconText(const std::wstring& path) { return L"Can't find icon resource in " + path; }

CellBackground CellBackgroundFor(bool selected, bool draw_entire, bool selection_changed) {
  if (selected && (draw_entire || selection_changed)) return CellBackground::kHighlight;
  // An unselected cell drawn whole lies on the background the list has just
  // erased; only a cell losing the selection has a highlight to paint over.
  if (!selected && selection_changed) return CellBackground::kWhite;
  return CellBackground::kUnchanged;
}

}  // namespace veltra
