// A private object namespace whose boundary is the Administrators group:
// only a process whose token holds that group enabled (an elevated one, or
// the system account) can create it, and its access list lets only those
// open it, so no other process can take a name inside it first. The
// functions are looked up at run time: Wine has none of them
// (CreateBoundaryDescriptorW is there but returns no descriptor, and calling
// AddSIDToBoundaryDescriptor, where it exists, would end the process).
#pragma once

#include <windows.h>

#include "platform/unique_handle.h"

namespace veltra {

void ClosePrivateNamespaceHandle(HANDLE handle) noexcept;
using UniqueNamespace = UniqueAny<HandleTraits<HANDLE, &ClosePrivateNamespaceHandle>>;

class PrivateNamespace {
 public:
  // `create`: makes the namespace `alias`, or opens it where another
  // process made it first; otherwise it is only opened. held() says
  // whether that worked; names inside it ("alias\name") can be used only
  // while this object lives.
  PrivateNamespace(const wchar_t* alias, bool create);

  bool held() const { return static_cast<bool>(handle_); }

 private:
  UniqueNamespace handle_;
};

// The session of this process (0 when it cannot be read).
DWORD CurrentSessionId();

// A security descriptor giving the system account and the administrators
// full access and nobody else any; null (and traced) when it cannot be made.
UniqueLocal AdministratorsOnlyDescriptor();

}  // namespace veltra
