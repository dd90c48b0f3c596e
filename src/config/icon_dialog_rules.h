// What the icon picker decides without the platform: the texts it shows
// when a file gives no icons, the open-file dialog's filter in the form that
// dialog reads, and how a cell's background is painted. Portable: no
// platform headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace veltra {

// The longest text a failure to open the file is shown with.
inline constexpr std::size_t kMaxOpenFailureText = 1024;

// The open-file dialog's filter written with "|" between display names and
// patterns, as it is kept: "Name|*.ext|...||".
inline constexpr std::wstring_view kIconFileFilter = L"Resource files | *.ico;*.exe;*.dll|All files|*.*||";

// The filter as the open-file dialog reads it: each "|" becomes a NUL, so the
// trailing "||" ends the list with two NULs.
std::wstring NulSeparatedFilter(std::wstring_view bar_separated);

// The text shown when `path` cannot be opened: "<path> was not found." for
// a missing file, otherwise the system's description of the error (or, when
// the system has none, a plain statement). Cut to kMaxOpenFailureText
// characters without splitting a surrogate pair.
std::wstring OpenFailureText(const std::wstring& path, bool missing, std::wstring_view system_description);

// A file the platform finds no icon in.
std::wstring NoIconText(const std::wstring& path);

// A single icon is a choice too (every .ico file is reported as holding
// exactly one); only a file without any has nothing to offer.
constexpr bool HasIcons(std::uint32_t count) { return count >= 1; }

// How a cell is painted under its icon, from the item's state and the
// reason for the drawing.
enum class CellBackground : std::uint8_t { kUnchanged, kHighlight, kWhite };
CellBackground CellBackgroundFor(bool selected, bool draw_entire, bool selection_changed);

}  // namespace veltra
