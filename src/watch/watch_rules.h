// What Veltrawatch decides, apart from the platform: its two program lists
// and, for the program in the foreground, whether to ask Veltra to enable
// the panel, disable it, or leave it alone. Portable: no platform header.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/ascii.h"

namespace veltra::watch {

inline constexpr char kEnableListName[] = "enable_proc_list.txt";
inline constexpr char kDisableListName[] = "disable_proc_list.txt";

// Upper-cases 8-bit text in place. On Windows the watcher folds by the
// rules of the system's code page, so list entries and image paths match
// whatever their letters' case; the portable default knows the ASCII
// letters.
using CaseFolder = void (*)(std::string&);

// The full paths of program files in a list file's bytes, upper-cased, in
// file order (see base::ReadListEntries for the format).
std::vector<std::string> ReadProcessList(std::string_view file, CaseFolder upper = base::UpperCaseAsciiInPlace<char>);

struct ProcessLists {
  std::vector<std::string> enable;
  std::vector<std::string> disable;
};

enum class TouchRequest { None, Enable, Disable };

inline constexpr std::uint32_t kDefaultInterval = 100;  // milliseconds

// The watch period for `stored`, the settings file's interval in
// milliseconds: 10 ms to a minute as stored, anything else the default. A
// negative or huge value would leave the timer never firing while the icon
// says the watcher watches.
std::uint32_t WatchInterval(std::int64_t stored);

// For the foreground program's upper-cased image path (nullopt when it
// could not be read): the enable list wins over the disable list; a path in
// neither gets what `default_status` says (0 disable, 1 enable, any other
// value nothing). Only whole paths match.
TouchRequest DecideRequest(const ProcessLists& lists, std::optional<std::string_view> upper_path,
                           std::int32_t default_status);

// The two shell calls for the watcher's notification icon.
enum class IconCall { Modify, Add };

// What the watcher does with its icon on the shell's "TaskbarCreated". The
// shell sends it after a restart of the taskbar, with the icon gone, but
// also when the display's DPI changes, with the icon still there, and any
// program may send it; adding an icon the shell has fails. So the icon is
// modified first and added only when that fails. `shell` makes a call and
// says whether it succeeded; the result says whether the icon is shown.
// Either way the watcher goes on watching: a missing icon is no reason to
// end it, and the next broadcast tries again.
bool ReshowIcon(const std::function<bool(IconCall)>& shell);

}  // namespace veltra::watch
