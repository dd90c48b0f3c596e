// Where the settings file lives, derived from the program's own full path,
// and the case rule for device instance paths. Portable.
#pragma once

#include <string>
#include <string_view>

namespace veltra {

struct ProgramPaths {
  std::wstring program_dir;  // up to and including the last backslash
  std::wstring app_name;     // file name without its extension
  std::wstring ini_path;     // program_dir + app_name + ".ini"
};

ProgramPaths SplitProgramPath(std::wstring_view module_path);

// Device instance identifiers are ASCII, and every comparison of them is on
// upper-cased text, so only a-z change.
std::wstring UpperCaseAscii(std::wstring_view text);

}  // namespace veltra
