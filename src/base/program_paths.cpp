// Program folder, name and settings file.
#include "base/program_paths.h"

namespace base {
namespace {

template <class Char>
BasicProgramPaths<Char> Split(std::basic_string_view<Char> module_path) {
  using View = std::basic_string_view<Char>;
  BasicProgramPaths<Char> paths;
  const Char separators[] = {Char('\\'), Char('/'), Char('\0')};
  const std::size_t slash = module_path.find_last_of(separators);
  const std::size_t name_start = slash == View::npos ? 0 : slash + 1;
  paths.program_dir.assign(module_path.substr(0, name_start));
  View name = module_path.substr(name_start);
  const std::size_t dot = name.find_last_of(Char('.'));
  if (dot != View::npos) name = name.substr(0, dot);
  paths.app_name.assign(name);
  paths.ini_path = paths.program_dir + paths.app_name;
  paths.ini_path += {Char('.'), Char('i'), Char('n'), Char('i')};
  return paths;
}

}  // namespace

ProgramPaths SplitProgramPath(std::wstring_view module_path) { return Split(module_path); }
BasicProgramPaths<char> SplitProgramPath(std::string_view module_path) { return Split(module_path); }

}  // namespace base
