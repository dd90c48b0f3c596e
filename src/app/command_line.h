// The main program's command line: splitting it into tokens and applying the
// /T, /W and /O options; recognising /X and reading /P. Portable.
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

// True when /X (case-sensitive) stands where an option may: not as the value
// of /T or /W, nor as the token /O skips. It asks the program to end the
// running Veltra and Veltrawatch and remove the scheduled tasks, as an
// uninstaller needs before it takes the files.
bool IsRemovalCommandLine(std::wstring_view command_line);

// Whether nobody watches this run, so it must never show a message box: the
// one-shot run of a scheduled task (/O, often as the system account), or
// the installer's /X or /P.
bool IsUnattendedCommandLine(std::wstring_view command_line);

// One setting an installer presets in the settings file.
struct Preset {
  const wchar_t* section;
  const wchar_t* key;
  std::wstring value;
  bool operator==(const Preset& other) const;
};

enum class PresetRequest { None, Valid, Invalid };

// /P (where an option may stand, as for /X) followed by NAME=VALUE tokens
// (unquoted: a token after a quoted one keeps its quotes),
// NAME one of DEVICE_PATH, TASK_BOOT, TASK_STARTUP, TASK_LOCK (the
// installer's properties). An empty value is a setting not given and is
// left out. Invalid, and `presets` left empty, when any token is not such a
// pair, a task value is not 0 or 1, or a device path is longer than a
// device instance identifier may be or holds a character one may not (a
// blank, a comma, a control or non-ASCII character); a valid path is kept
// in upper case, as the program compares it.
PresetRequest ParsePresets(std::wstring_view command_line, std::vector<Preset>& presets);

}  // namespace veltra
