// The files that belong to a program, derived from its own full path: its
// folder, its name and its settings file beside it. One rule for both
// programs, whether they read their path as wide text (Veltra) or as 8-bit
// text (the watcher). Portable.
#pragma once

#include <string>
#include <string_view>

namespace base {

template <class Char>
struct BasicProgramPaths {
  std::basic_string<Char> program_dir;  // up to and including the last backslash
  std::basic_string<Char> app_name;     // file name without its extension
  std::basic_string<Char> ini_path;     // program_dir + app_name + ".ini"
};
using ProgramPaths = BasicProgramPaths<wchar_t>;

// A forward slash separates folders as a backslash does: the platform
// takes either in a path.
ProgramPaths SplitProgramPath(std::wstring_view module_path);
BasicProgramPaths<char> SplitProgramPath(std::string_view module_path);

}  // namespace base
