// The main program's command line: splitting it into tokens and applying the
// /T, /W and /O options; recognising /X and /U, reading /P. Portable.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/settings.h"

namespace veltra {

// White space as the platform's wide-character classification sees it:
// the ASCII controls 9-13, the blank, and the Unicode space separators.
bool IsWideSpace(wchar_t c);
std::wstring_view TrimWideSpace(std::wstring_view text);

// Splits the text after the program name. A token that starts with a double
// quote runs to the next double quote; any other token runs to the next
// blank. Tabs are not delimiters. Splitting ends at the first empty token.
std::vector<std::wstring> TokenizeCommandLine(std::wstring_view command_line);

// Applies /T 0|1, /W 0|1 and /O to the record. Options are case-sensitive
// and take their value from the next token; /O skips the token after it.
// True when /T or /W set a value.
bool ParseCommandLine(Settings& settings, std::wstring_view command_line);

// The installer's removal options, where an option may stand (not as the
// value of /T or /W, nor as the token /O skips, nor after /P, whose
// NAME=VALUE pairs own the rest of the line); case-sensitive. /X ends the
// running Veltra and Veltrawatch and removes the scheduled tasks, as an
// uninstall needs before it takes the files; /U ends them and keeps the
// tasks, for the removal of this version by an upgrade. The first one
// given counts.
enum class Removal { None, Uninstall, Upgrade };
Removal ParseRemoval(std::wstring_view command_line);

// Whether nobody watches this run, so it must never show a message box: the
// one-shot run of a scheduled task (/O, often as the system account), or
// the installer's /X, /U or /P.
bool IsUnattendedCommandLine(std::wstring_view command_line);

// One setting an installer presets in the settings file.
struct Preset {
  const wchar_t* section;
  const wchar_t* key;
  std::wstring value;
  bool operator==(const Preset& other) const;
};

enum class PresetRequest { None, Valid, Invalid };

// /P (where an option may stand, as for /X) followed by NAME=VALUE tokens,
// each alone or in double quotes, NAME one of DEVICE_PATH, TASK_BOOT,
// TASK_STARTUP, TASK_LOCK (the installer's properties). Every token after
// /P must be such a pair: a value cannot carry an option of its own. An
// empty value is a setting not given and is left out. Invalid, and
// `presets` left empty, when any token is not such a pair, a name comes
// twice, a task value is not 0 or 1, or a device path is longer than a
// device instance identifier may be or holds a character one may not (a
// blank, a comma, a control or non-ASCII character); a valid path is kept
// in upper case, as the program compares it.
PresetRequest ParsePresets(std::wstring_view command_line, std::vector<Preset>& presets);

// The installer's properties /P takes, as the package names them.
inline constexpr std::wstring_view kPresetProperties[] = {L"DEVICE_PATH", L"TASK_BOOT", L"TASK_STARTUP", L"TASK_LOCK"};

// Why /P would refuse `value` for the property `name`, said for the
// installer's log: the pair and what the property takes. Empty when /P takes
// it (an empty value always: a setting not given). The package checks its
// properties with this before it changes anything: each value that passes
// also keeps its quoted pair one token, so a line of passing values is one
// ParsePresets takes.
std::wstring PresetRefusal(std::wstring_view name, std::wstring_view value);

}  // namespace veltra
