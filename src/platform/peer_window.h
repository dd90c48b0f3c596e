// Another of our programs' windows, found by its class. Any process can make
// a window of any class, so a window is only talked to once its process is
// known to run the program that should own it, elevated as our programs run,
// and never without a time-out:
// the programs run elevated, and a decoy must neither steer nor hang them.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "base/peer_rules.h"

namespace veltra {

// How long a message to another program's window may go unanswered. A
// window busy switching a real touch panel answers within about a second;
// five seconds is also how long Windows lets a window go without reading
// its messages before it counts as hung, and a hung one is given up at once.
inline constexpr UINT kPeerSendTimeoutMs = 5000;

// The full image path of `process` (opened with at least
// PROCESS_QUERY_LIMITED_INFORMATION); empty when it cannot be read.
std::wstring ProcessImagePath(HANDLE process);

// Whether two paths name the same file as the file system compares them:
// whole, without regard to case.
bool SamePath(std::wstring_view a, std::wstring_view b);

// Whether two full paths of existing files or folders name the same one:
// as SamePath, or else once both are in their long forms, since a program
// started through an 8.3 short path (C:\PROGRA~1\...) reports its image,
// and its own file name, in that form.
bool SameFile(const std::wstring& a, const std::wstring& b);

// The elevation `process`'s token reports (the process opened with at
// least PROCESS_QUERY_LIMITED_INFORMATION).
base::Elevation ProcessElevation(HANDLE process);

// Whether the process of `window` runs the program file `program_path`
// (SameFile) as a copy of ours would: elevated, where this process is
// (base::PeerCounts).
bool WindowBelongsTo(HWND window, const std::wstring& program_path);

// The first top-level window of `window_class` whose process runs
// `program_path`; windows of that class of any other process are passed
// over. Null when there is none.
HWND FindPeerWindow(const wchar_t* window_class, const std::wstring& program_path);

// Sends with the time-out above, giving up at once on a hung window; the
// answer, or nothing when none came (a hung or ending window, one that went
// away meanwhile).
std::optional<LRESULT> SendToPeer(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace veltra
