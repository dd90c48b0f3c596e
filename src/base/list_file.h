// The list files the programs ship beside themselves ("known_device_list.txt",
// the watcher's program lists): plain 8-bit text, one entry per line, with
// '#' comments. Portable: no platform header.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

namespace base {

// Lines are read as a text-mode read into a buffer of this many bytes reads
// them: at most one byte less at a time.
inline constexpr std::size_t kListLineBuffer = 520;

// Hands each entry of a list file's bytes to `on_entry`, in file order,
// until it answers true. The file is read as in text mode (a CR before a
// line feed is dropped) in pieces of at most kListLineBuffer - 1 bytes, so
// a longer line comes in pieces, each taken as a line. Each piece loses
// everything from its first '#' and the white space around the rest; pieces
// left empty are skipped. Letter case is the caller's business.
void ReadListEntries(std::string_view file, const std::function<bool(std::string_view)>& on_entry);

}  // namespace base
