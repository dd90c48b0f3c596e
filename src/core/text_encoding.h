// Recognising a text file's encoding from its first bytes, and cutting
// UTF-16 text to a fixed field. Portable: no platform headers, so the rules
// are tested natively.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace veltra {

// How much of a file's start LooksLikeUtf16LeWithoutBom looks at; bytes
// beyond it are ignored.
inline constexpr std::size_t kUtf16SniffBytes = 512;

// True when `head`, the first bytes of a file, is UTF-16LE text that lacks
// its byte-order mark. The platform's profile functions read such a file as
// ANSI and find no key in it, so it has to gain the mark before it is read.
//
// The rule, deliberately narrow because a false yes would spoil an ANSI file:
// - the file does not start with a mark (FF FE, FE FF or EF BB BF);
// - taken as 16-bit little-endian units, the opening line is the units before
//   the first CR or LF unit, or every unit of the first kUtf16SniffBytes when
//   there is none; it must hold at least one unit and must not end in half a
//   unit (an odd byte left over where the head ends);
// - every unit of that line has a high byte of 0 and a low byte that is a
//   printable Latin-1 character: TAB, 0x20-0x7E or 0xA0-0xFF.
// Text in any 8-bit encoding (ANSI, UTF-8) has no NUL bytes, so its second
// byte already fails. Binary data rarely alternates printable bytes with
// NULs up to a line end; little-endian numbers fail on their control
// characters. An opening line with characters above U+00FF (Japanese, say)
// or an empty opening line gives false: such files stay as they are.
bool LooksLikeUtf16LeWithoutBom(std::span<const unsigned char> head);

// How many UTF-16 units of `text` fit a field of `max_units` (its
// terminator not counted): all of it, or up to `max_units` without keeping
// the first half of a surrogate pair, which would leave a broken character
// at the end of a notification icon's tip, say.
std::size_t Utf16FitLength(std::wstring_view text, std::size_t max_units);

}  // namespace veltra
