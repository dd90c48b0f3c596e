// Results that the program drops on purpose (a hot key that cannot be
// registered, a settings write that fails) still leave a trace for a
// debugger: one line in the debug output, never a message box.
#pragma once

#include <windows.h>

namespace veltra {

// "Veltra: <what> failed (error <code>)".
void TraceFailure(const wchar_t* what, DWORD error) noexcept;

// "Veltra: exception caught in <where>", for the catch-all blocks that keep
// an exception from crossing a window procedure or thread entry.
void TraceException(const wchar_t* where) noexcept;

// Captures GetLastError at once, so call it on the line after the call.
inline void TraceLastError(const wchar_t* what) noexcept { TraceFailure(what, ::GetLastError()); }

}  // namespace veltra
