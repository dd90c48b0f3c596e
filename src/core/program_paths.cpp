// Settings-file location and device-path case rule.
#include "core/program_paths.h"

namespace veltra {

ProgramPaths SplitProgramPath(std::wstring_view module_path) {
  ProgramPaths paths;
  const std::size_t slash = module_path.find_last_of(L'\\');
  const std::size_t name_start = slash == std::wstring_view::npos ? 0 : slash + 1;
  paths.program_dir.assign(module_path.substr(0, name_start));
  std::wstring_view name = module_path.substr(name_start);
  const std::size_t dot = name.find_last_of(L'.');
  if (dot != std::wstring_view::npos) name = name.substr(0, dot);
  paths.app_name.assign(name);
  paths.ini_path = paths.program_dir + paths.app_name + L".ini";
  return paths;
}

std::wstring UpperCaseAscii(std::wstring_view text) {
  std::wstring upper(text);
  for (wchar_t& c : upper) {
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  }
  return upper;
}

}  // namespace veltra
