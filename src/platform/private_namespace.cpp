// The private namespace, over functions looked up in kernel32.
#include "platform/private_namespace.h"

#include <sddl.h>

#include "platform/trace.h"

namespace veltra {
namespace {

struct NamespaceFunctions {
  HANDLE(WINAPI* create_boundary)(LPCWSTR name, ULONG flags) = nullptr;
  BOOL(WINAPI* add_sid)(HANDLE* boundary, PSID sid) = nullptr;
  VOID(WINAPI* delete_boundary)(HANDLE boundary) = nullptr;
  HANDLE(WINAPI* create_namespace)(LPSECURITY_ATTRIBUTES attributes, LPVOID boundary, LPCWSTR alias) = nullptr;
  HANDLE(WINAPI* open_namespace)(LPVOID boundary, LPCWSTR alias) = nullptr;
  BOOLEAN(WINAPI* close_namespace)(HANDLE handle, ULONG flags) = nullptr;

  bool complete() const {
    return create_boundary && add_sid && delete_boundary && create_namespace && open_namespace && close_namespace;
  }
};

template <class Function>
void LookUp(HMODULE module, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

const NamespaceFunctions& Functions() {
  static const NamespaceFunctions functions = [] {
    NamespaceFunctions found;
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    if (kernel == nullptr) return found;
    LookUp(kernel, "CreateBoundaryDescriptorW", found.create_boundary);
    LookUp(kernel, "AddSIDToBoundaryDescriptor", found.add_sid);
    LookUp(kernel, "DeleteBoundaryDescriptor", found.delete_boundary);
    LookUp(kernel, "CreatePrivateNamespaceW", found.create_namespace);
    LookUp(kernel, "OpenPrivateNamespaceW", found.open_namespace);
    LookUp(kernel, "ClosePrivateNamespace", found.close_namespace);
    return found;
  }();
  return functions;
}

void DeleteBoundary(HANDLE boundary) noexcept { Functions().delete_boundary(boundary); }
using UniqueBoundary = UniqueAny<HandleTraits<HANDLE, &DeleteBoundary>>;


// A failed create can meet a namespace whose last holder closes it before
// the open; a few rounds settle that.
constexpr int kCreateOrOpenRounds = 3;

}  // namespace

UniqueLocal AdministratorsOnlyDescriptor() {
  // Full access for the system account and the administrators, none for
  // anyone else, and no entries inherited from elsewhere.
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;GA;;;SY)(A;;GA;;;BA)", SDDL_REVISION_1,
                                                              &descriptor, nullptr)) {
    TraceLastError(L"ConvertStringSecurityDescriptorToSecurityDescriptorW");
  }
  return UniqueLocal(descriptor);
}

void ClosePrivateNamespaceHandle(HANDLE handle) noexcept {
  // Without the destroy flag: other processes may still hold it.
  Functions().close_namespace(handle, 0);
}

PrivateNamespace::PrivateNamespace(const wchar_t* alias, bool create) {
  const NamespaceFunctions& functions = Functions();
  if (!functions.complete()) return;
  UniqueBoundary boundary(functions.create_boundary(alias, 0));
  if (!boundary) return;  // Wine: the function is there and makes nothing
  BYTE sid[SECURITY_MAX_SID_SIZE];
  DWORD sid_size = sizeof(sid);
  if (!::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &sid_size)) {
    TraceLastError(L"CreateWellKnownSid");
    return;
  }
  // The descriptor may be reallocated by the call.
  HANDLE descriptor = boundary.release();
  const BOOL added = functions.add_sid(&descriptor, sid);
  boundary.reset(descriptor);
  if (!added) {
    TraceLastError(L"AddSIDToBoundaryDescriptor");
    return;
  }
  // The boundary decides only who may create the namespace, the access
  // list who may open it.
  const UniqueLocal security = AdministratorsOnlyDescriptor();
  if (!security) return;
  SECURITY_ATTRIBUTES attributes{sizeof(attributes), security.get(), FALSE};
  for (int round = 0; round < kCreateOrOpenRounds; ++round) {
    if (create) {
      handle_.reset(functions.create_namespace(&attributes, boundary.get(), alias));
      if (handle_) return;
      if (::GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    handle_.reset(functions.open_namespace(boundary.get(), alias));
    if (handle_ || !create) return;
  }
  // Not elevated, most likely: the boundary keeps such a process out.
  TraceLastError(create ? L"CreatePrivateNamespaceW" : L"OpenPrivateNamespaceW");
}

DWORD CurrentSessionId() {
  DWORD session = 0;
  if (!::ProcessIdToSessionId(::GetCurrentProcessId(), &session)) return 0;
  return session;
}

}  // namespace veltra
