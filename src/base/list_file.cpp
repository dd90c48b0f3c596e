// List file entries.
#include "base/list_file.h"

#include <string>

namespace base {
namespace {

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::string_view Entry(std::string_view piece) {
  piece = piece.substr(0, piece.find('#'));
  while (!piece.empty() && IsBlank(piece.front())) piece.remove_prefix(1);
  while (!piece.empty() && IsBlank(piece.back())) piece.remove_suffix(1);
  return piece;
}

}  // namespace

void ReadListEntries(std::string_view file, const std::function<bool(std::string_view)>& on_entry) {
  std::string piece;
  std::size_t at = 0;
  while (at < file.size()) {
    piece.clear();
    while (piece.size() < kListLineBuffer - 1 && at < file.size()) {
      const char c = file[at++];
      if (c == '\r' && at < file.size() && file[at] == '\n') continue;
      piece += c;
      if (c == '\n') break;
    }
    const std::string_view entry = Entry(piece);
    if (!entry.empty() && on_entry(entry)) return;
  }
}

}  // namespace base
