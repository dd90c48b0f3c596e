// A crash on request, for the tests of the last-chance handler. Only the
// simulated program acts on it; the production program's version is empty.
#pragma once

#include <windows.h>

namespace veltra {

void CrashIfRequested(UINT message);

}  // namespace veltra
