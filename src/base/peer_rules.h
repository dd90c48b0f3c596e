// Whether another process counts as a running copy of one of our programs.
// Portable: the Win32 side reads the facts (the process's image, its
// token's elevation and this process's own) and asks this.
#pragma once

namespace base {

// A process's elevation as its token reports it; Unknown where the token
// cannot be read or the platform does not say.
enum class Elevation { Unknown, Limited, Elevated };

// A process running our program file counts as a running copy unless this
// process is elevated and it is not known to be: our programs ask for
// administrator rights, so a copy without them (one started with the
// compatibility layer RunAsInvoker, say) is a stand-in that must not
// take second starts or the watcher's requests. A process that cannot tell
// its own elevation keeps to the image alone, as does one that is not
// elevated itself (nothing it finds could be trusted more than itself).
inline bool PeerCounts(bool runs_our_file, Elevation self, Elevation peer) {
  if (!runs_our_file) return false;
  return self != Elevation::Elevated || peer == Elevation::Elevated;
}

}  // namespace base
